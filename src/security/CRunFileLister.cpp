#include "security/CRunFileLister.h"

#include "engines/HVTempNames.h"
#include "engines/HVWipeFile.h"
#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"
#include "security/CItemData.h"
#include "security/HVRunFiles.h"
#include "signal/CSignal.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct DirCloser
{
    void operator()(DIR* p) const { ::closedir(p); }
};

std::int64_t Ns(const struct timespec& ts)
{
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QString PathText(const std::string& strPath)
{
    return HVGlobalMFC::HVPathFromBytes(strPath);
}

std::string Join(const std::string& strFolder, const std::string& strName)
{
    return strFolder == "/" ? "/" + strName : strFolder + "/" + strName;
}

}  // namespace

CRunFileLister::CRunFileLister(
    const CSignal& sigStop, bool bDecrypt, bool bEncrypt, FileList& files, std::vector<SRunFile>& runFiles)
    : m_sigStop(sigStop)
    , m_bDecrypt(bDecrypt)
    , m_bEncrypt(bEncrypt)
    , m_files(files)
    , m_runFiles(runFiles)
{
}

bool CRunFileLister::IsEngineTemporary(const std::string& strName)
{
    if (HVIsOwnTemporaryName(strName)) {
        return true;
    }
    // The form older writers used: ".<name>.hvtmp-XXXXXX" or ".<name>.hvtmp-<pid>-XXXXXX".
    static constexpr const char kMarker[] = ".hvtmp-";
    if (strName.size() < 2 || strName[0] != '.') {
        return false;
    }
    const auto nPos = strName.rfind(kMarker);
    if (nPos == std::string::npos || nPos < 2) {
        return false;
    }
    std::string strTail = strName.substr(nPos + sizeof kMarker - 1);
    const auto nDash = strTail.find('-');
    if (nDash != std::string::npos) {
        const std::string strPid = strTail.substr(0, nDash);
        if (strPid.empty() || strPid.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        strTail = strTail.substr(nDash + 1);
    }
    if (strTail.size() != 6) {
        return false;
    }
    for (const char c : strTail) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    return true;
}

void CRunFileLister::Fail(CItemData& owner, const std::string& strPath, const std::string& strWhy)
{
    LOGGER::g_HVLog.Log("Cannot list %s: %s", strPath.c_str(), strWhy.c_str());
    if (m_pDetails != nullptr) {
        m_pDetails->Add(&owner, strPath, "list", strWhy);
    }
    if (m_failure) {
        m_failure(owner, strPath, strWhy);
    }
}

void CRunFileLister::Note(CItemData& owner, const std::string& strPath, const std::string& strWhy)
{
    LOGGER::g_HVLog.Log("Left out %s: %s", strPath.c_str(), strWhy.c_str());
    if (m_pDetails != nullptr) {
        m_pDetails->Add(&owner, strPath, "skipped", strWhy);
    }
}

void CRunFileLister::Append(CItemData& owner,
                            const std::shared_ptr<SRunFolder>& pFolder,
                            const std::string& strName,
                            const struct stat& st)
{
    SRunFile file;
    file.pFolder = pFolder;
    file.strName = strName;
    file.strPath = Join(pFolder->strPath, strName);
    file.nDev = st.st_dev;
    file.nIno = st.st_ino;
    file.nSize = static_cast<std::uint64_t>(st.st_size);
    file.nMtimeNs = Ns(st.st_mtim);
    file.nCtimeNs = Ns(st.st_ctim);
    auto entry = std::make_unique<CItemData>(PathText(file.strPath), file.nSize, CItemData::KindFile);
    entry->m_pOwner = &owner;
    m_files.push_back(std::move(entry));
    m_runFiles.push_back(std::move(file));
}

std::shared_ptr<SRunFolder>
CRunFileLister::ParentOf(const std::string& strPathIn, std::string& strName, std::string& strWhy)
{
    std::string strPath = strPathIn;
    while (strPath.size() > 1 && strPath.back() == '/') {
        strPath.pop_back();
    }
    const std::string strParent = HVRunFiles::OutputFolder(strPath);
    const auto nSlash = strPath.rfind('/');
    strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    auto& pFolder = m_parents[strParent];
    if (!pFolder) {
        pFolder = HVOpenRootFolder(strParent, strWhy);
    }
    return pFolder;
}

void CRunFileLister::AddSelectedFile(CItemData& item)
{
    const std::string strPath = HVGlobalMFC::HVPathToStd(item.m_strPath);
    std::string strName;
    std::string strWhy;
    struct stat st
    {
    };
    if (::lstat(strPath.c_str(), &st) != 0) {
        return;  // gone since it was chosen: left out without a trace
    }
    const std::shared_ptr<SRunFolder> pFolder = ParentOf(strPath, strName, strWhy);
    if (!pFolder) {
        Fail(item, strPath, strWhy);
        return;
    }
    if (::fstatat(pFolder->pPinned->Get(), strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return;
    }
    if (S_ISREG(st.st_mode)) {
        Append(item, pFolder, strName, st);
        return;
    }
    if (!S_ISLNK(st.st_mode)) {
        Fail(item, strPath, S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file");
        return;
    }
    // A selected link: its target may be encrypted; nothing else follows it.
    struct stat target
    {
    };
    const bool bTarget = ::fstatat(pFolder->pPinned->Get(), strName.c_str(), &target, 0) == 0;
    if (bTarget && S_ISDIR(target.st_mode)) {
        Fail(item, strPath, "is a symbolic link to a folder; links are not followed");
        return;
    }
    if (!bTarget || !S_ISREG(target.st_mode) || !m_bEncrypt || m_bDecrypt) {
        Fail(item, strPath, "is a symbolic link; links are not followed for wiping, hiding or decrypting");
        return;
    }
    Append(item, pFolder, strName, target);
    m_runFiles.back().bLink = true;
    m_runFiles.back().nLinkDev = st.st_dev;
    m_runFiles.back().nLinkIno = st.st_ino;
}

void CRunFileLister::AddSelectedFolder(CItemData& item)
{
    const std::string strPath = HVGlobalMFC::HVPathToStd(item.m_strPath);
    std::string strWhy;
    std::shared_ptr<SRunFolder> pRoot = HVOpenRootFolder(strPath, strWhy);
    if (!pRoot) {
        Fail(item, strPath, strWhy);
        return;
    }
    ListFolder(pRoot, pRoot->pPinned->Get(), item);
}

bool CRunFileLister::ListFolder(const std::shared_ptr<SRunFolder>& pFolder, int nFd, CItemData& owner)
{
    const int nDup = ::fcntl(nFd, F_DUPFD_CLOEXEC, 0);
    std::unique_ptr<DIR, DirCloser> dir(nDup >= 0 ? ::fdopendir(nDup) : nullptr);
    if (!dir) {
        if (nDup >= 0) {
            ::close(nDup);
        }
        Fail(owner, pFolder->strPath, std::string("cannot read the folder: ") + std::strerror(errno));
        return true;
    }
    ::rewinddir(dir.get());
    while (true) {
        errno = 0;
        const dirent* pEntry = ::readdir(dir.get());
        if (pEntry == nullptr) {
            if (errno != 0) {
                Fail(owner, pFolder->strPath, std::string("cannot read the folder: ") + std::strerror(errno));
            }
            return true;
        }
        const std::string strName = pEntry->d_name;
        if (strName == "." || strName == "..") {
            continue;
        }
        const std::string strPath = Join(pFolder->strPath, strName);
        struct stat st
        {
        };
        if (::fstatat(nFd, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                Fail(owner, strPath, std::string("cannot read: ") + std::strerror(errno));
            }
        } else if (S_ISDIR(st.st_mode)) {
            HVUniqueFd child(HVOpenBeneath(nFd, strName, O_RDONLY | O_DIRECTORY));
            struct stat stChild
            {
            };
            if (!child.IsValid()) {
                Fail(owner, strPath, std::string("cannot open the folder: ") + std::strerror(errno));
            } else if (::fstat(child.Get(), &stChild) != 0 || stChild.st_dev != st.st_dev
                       || stChild.st_ino != st.st_ino) {
                Fail(owner, strPath, "the folder was replaced while it was being listed");
            } else {
                auto pChild = std::make_shared<SRunFolder>();
                pChild->pParent = pFolder;
                pChild->strName = strName;
                pChild->strPath = strPath;
                pChild->nDev = st.st_dev;
                pChild->nIno = st.st_ino;
                if (!ListFolder(pChild, child.Get(), owner)) {
                    return false;
                }
            }
            continue;
        } else {
            if (m_observer) {
                m_observer(strPath);
            }
            const bool bWanted = !m_bDecrypt || HVRunFiles::HasHvncExtension(strName);
            if (IsEngineTemporary(strName)) {
                LOGGER::g_HVLog.Log("Left out (a temporary of the encryption engine): %s", strPath.c_str());
            } else if (bWanted && S_ISREG(st.st_mode)) {
                Append(owner, pFolder, strName, st);
            } else if (bWanted) {
                Note(owner,
                     strPath,
                     S_ISLNK(st.st_mode) ? "a symbolic link: left alone, links are not followed"
                                         : "not a regular file: left alone");
            }
        }
        if (m_sigStop.IsSet()) {
            return false;
        }
    }
}
