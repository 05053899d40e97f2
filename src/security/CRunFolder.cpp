#include "security/CRunFolder.h"

#include "engines/HVWipeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::string ErrnoText(int nErr)
{
    return std::strerror(nErr);
}

}  // namespace

int HVOpenBeneath(int nDirFd, const std::string& strName, int nFlags)
{
    if (strName.empty() || strName == "." || strName == ".." || strName.find('/') != std::string::npos) {
        errno = EINVAL;
        return -1;
    }
#ifdef SYS_openat2
    static bool s_bNoOpenat2 = false;
    if (!s_bNoOpenat2) {
        struct open_how how
        {
        };
        how.flags = static_cast<std::uint64_t>(nFlags | O_CLOEXEC | O_NOFOLLOW);
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        long nFd;
        do {
            nFd = ::syscall(SYS_openat2, nDirFd, strName.c_str(), &how, sizeof how);
        } while (nFd < 0 && errno == EINTR);
        if (nFd >= 0 || (errno != ENOSYS && errno != EPERM)) {
            return static_cast<int>(nFd);
        }
        s_bNoOpenat2 = true;  // an old kernel, or a filter that forbids it
    }
#endif
    int nFd;
    do {
        nFd = ::openat(nDirFd, strName.c_str(), nFlags | O_CLOEXEC | O_NOFOLLOW);
    } while (nFd < 0 && errno == EINTR);
    return nFd;
}

std::shared_ptr<HVUniqueFd> CRunFolderCache::Find(const SRunFolder* pFolder)
{
    const auto it = m_index.find(pFolder);
    if (it == m_index.end()) {
        return nullptr;
    }
    m_lru.splice(m_lru.begin(), m_lru, it->second);
    return it->second->second;
}

void CRunFolderCache::Put(const SRunFolder* pFolder, std::shared_ptr<HVUniqueFd> pFd)
{
    std::lock_guard lock(m_mutex);
    if (m_index.count(pFolder) != 0) {
        return;
    }
    m_lru.emplace_front(pFolder, std::move(pFd));
    m_index[pFolder] = m_lru.begin();
    while (m_lru.size() > kMaxOpen) {
        m_index.erase(m_lru.back().first);
        m_lru.pop_back();  // closes unless a caller still holds it
    }
}

void CRunFolderCache::Clear()
{
    std::lock_guard lock(m_mutex);
    m_index.clear();
    m_lru.clear();
}

std::shared_ptr<HVUniqueFd> CRunFolderCache::Open(const std::shared_ptr<SRunFolder>& pFolder, std::string& strWhy)
{
    if (!pFolder) {
        strWhy = "no folder";
        return nullptr;
    }
    if (pFolder->pPinned) {
        return pFolder->pPinned;
    }
    {
        std::lock_guard lock(m_mutex);
        if (auto pFd = Find(pFolder.get())) {
            return pFd;
        }
    }
    const std::shared_ptr<HVUniqueFd> pParent = Open(pFolder->pParent, strWhy);
    if (!pParent) {
        return nullptr;
    }
    auto pFd = std::make_shared<HVUniqueFd>(HVOpenBeneath(pParent->Get(), pFolder->strName, O_RDONLY | O_DIRECTORY));
    if (!pFd->IsValid()) {
        const int nErr = errno;
        strWhy = nErr == ELOOP || nErr == ENOTDIR || nErr == EXDEV
                     ? "the folder " + pFolder->strPath + " was replaced (it is no longer the folder listed)"
                     : "cannot open the folder " + pFolder->strPath + ": " + ErrnoText(nErr);
        return nullptr;
    }
    struct stat st
    {
    };
    if (::fstat(pFd->Get(), &st) != 0 || st.st_dev != pFolder->nDev || st.st_ino != pFolder->nIno) {
        strWhy = "the folder " + pFolder->strPath + " was replaced (it is no longer the folder listed)";
        return nullptr;
    }
    Put(pFolder.get(), pFd);
    return pFd;
}

void HVRaiseOpenFileLimit()
{
    constexpr rlim_t kMost = 65536;
    struct rlimit lim
    {
    };
    if (::getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < kMost && lim.rlim_cur < lim.rlim_max) {
        lim.rlim_cur = std::min<rlim_t>(lim.rlim_max, kMost);
        (void)::setrlimit(RLIMIT_NOFILE, &lim);
    }
}

std::shared_ptr<SRunFolder> HVOpenRootFolder(const std::string& strPathIn, std::string& strWhy)
{
    std::string strPath = strPathIn;
    while (strPath.size() > 1 && strPath.back() == '/') {
        strPath.pop_back();
    }
    const auto nSlash = strPath.rfind('/');
    const std::string strParent = nSlash == std::string::npos ? "." : (nSlash == 0 ? "/" : strPath.substr(0, nSlash));
    const std::string strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);

    int nFd = -1;
    if (strPath == "/" || strName == "." || strName == "..") {
        nFd = ::open(strPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    } else {
        HVUniqueFd parent(::open(strParent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!parent.IsValid()) {
            strWhy = "cannot open the folder " + strParent + ": " + ErrnoText(errno);
            return nullptr;
        }
        nFd = HVOpenBeneath(parent.Get(), strName, O_RDONLY | O_DIRECTORY);
        struct stat stLink
        {
        };
        if (nFd < 0 && ::fstatat(parent.Get(), strName.c_str(), &stLink, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISLNK(stLink.st_mode)) {
            errno = ELOOP;
        }
    }
    if (nFd < 0) {
        const int nErr = errno;
        strWhy = nErr == ELOOP ? "is a symbolic link to a folder; links are not followed"
                               : "cannot open the folder: " + ErrnoText(nErr);
        return nullptr;
    }
    auto pFolder = std::make_shared<SRunFolder>();
    pFolder->pPinned = std::make_shared<HVUniqueFd>(nFd);
    pFolder->strPath = strPath;
    struct stat st
    {
    };
    if (::fstat(nFd, &st) != 0) {
        strWhy = "cannot read the folder: " + ErrnoText(errno);
        return nullptr;
    }
    pFolder->nDev = st.st_dev;
    pFolder->nIno = st.st_ino;
    return pFolder;
}
