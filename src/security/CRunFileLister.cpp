#include "security/CRunFileLister.h"

#include "logging/CHVLog.h"
#include "security/CItemData.h"
#include "security/CSignal.h"
#include "security/HVRunFiles.h"

#include <QFile>

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

}  // namespace

CRunFileLister::CRunFileLister(const CSignal& sigStop, bool bDecrypt, FileList& files)
    : m_sigStop(sigStop)
    , m_bDecrypt(bDecrypt)
    , m_files(files)
{
}

void CRunFileLister::AddSelectedFile(CItemData& item)
{
    const QByteArray path = QFile::encodeName(item.m_strPath);
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) != 0) {
        return;  // gone since it was chosen: left out without a trace
    }
    auto entry = std::make_unique<CItemData>(item.m_strPath, item.m_nSize, CItemData::KindFile);
    entry->m_pOwner = &item;
    m_files.push_back(std::move(entry));
}

void CRunFileLister::AddSelectedFolder(CItemData& item)
{
    std::string strFolder = QFile::encodeName(item.m_strPath).toStdString();
    while (strFolder.size() > 1 && strFolder.back() == '/') {
        strFolder.pop_back();
    }
    (void)ListFolder(strFolder, item);
}

bool CRunFileLister::ListFolder(const std::string& strFolder, CItemData& owner)
{
    std::unique_ptr<DIR, DirCloser> dir(::opendir(strFolder.c_str()));
    if (!dir) {
        ++m_nUnreadable;
        LOGGER::g_HVLog.Log("Cannot list %s: %s", strFolder.c_str(), std::strerror(errno));
        return true;
    }
    const std::string strPrefix = strFolder == "/" ? strFolder : strFolder + '/';
    while (true) {
        errno = 0;
        const dirent* pEntry = ::readdir(dir.get());
        if (pEntry == nullptr) {
            if (errno != 0) {
                ++m_nUnreadable;
                LOGGER::g_HVLog.Log("Cannot list %s: %s", strFolder.c_str(), std::strerror(errno));
            }
            return true;
        }
        const char* pszName = pEntry->d_name;
        if (std::strcmp(pszName, ".") == 0 || std::strcmp(pszName, "..") == 0) {
            continue;
        }
        const std::string strPath = strPrefix + pszName;
        struct stat st
        {
        };
        const bool bKnown = ::fstatat(::dirfd(dir.get()), pszName, &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (bKnown && S_ISDIR(st.st_mode)) {
            if (!ListFolder(strPath, owner)) {
                return false;
            }
            continue;
        }
        if (m_observer) {
            m_observer(strPath);
        }
        const bool bWanted = !m_bDecrypt || HVRunFiles::HasHvncExtension(pszName);
        if (bWanted && bKnown && S_ISREG(st.st_mode)) {
            auto entry = std::make_unique<CItemData>(
                QFile::decodeName(QByteArray(strPath.data(), static_cast<qsizetype>(strPath.size()))),
                static_cast<quint64>(st.st_size),
                CItemData::KindFile);
            entry->m_pOwner = &owner;
            m_files.push_back(std::move(entry));
        } else if (bWanted && !bKnown) {
            ++m_nUnreadable;
            LOGGER::g_HVLog.Log("Cannot read %s: %s", strPath.c_str(), std::strerror(errno));
        } else if (bWanted) {
            LOGGER::g_HVLog.Log("Not a regular file, left out: %s", strPath.c_str());
        }
        if (m_sigStop.IsSet()) {
            return false;
        }
    }
}
