#include "security/CRunLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The lock of this process: one descriptor, counted.
std::mutex g_mutex;
int g_nFd = -1;
int g_nCount = 0;
std::string g_strFile;

}  // namespace

bool CRunLock::TryAcquire(const std::string& strFile, std::string& strWhy)
{
    if (m_bHeld) {
        return true;
    }
    if (strFile.empty()) {
        return true;
    }
    std::lock_guard lock(g_mutex);
    if (g_nCount > 0) {
        if (g_strFile != strFile) {
            strWhy = kBusyText;
            return false;
        }
        ++g_nCount;
        m_bHeld = true;
        return true;
    }
    const int nFd = ::open(strFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (nFd < 0) {
        strWhy = "cannot open the run lock " + strFile + ": " + std::strerror(errno);
        return false;
    }
    struct stat st
    {
    };
    if (::fstat(nFd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(nFd);
        strWhy = "the run lock " + strFile + " is not a file of this user";
        return false;
    }
    int nRet;
    do {
        nRet = ::flock(nFd, LOCK_EX | LOCK_NB);
    } while (nRet != 0 && errno == EINTR);
    if (nRet != 0) {
        const int nErr = errno;
        ::close(nFd);
        strWhy = nErr == EWOULDBLOCK ? kBusyText : "cannot lock " + strFile + ": " + std::strerror(nErr);
        return false;
    }
    g_nFd = nFd;
    g_strFile = strFile;
    ++g_nCount;
    m_bHeld = true;
    return true;
}

void CRunLock::Release()
{
    if (!m_bHeld) {
        return;
    }
    m_bHeld = false;
    std::lock_guard lock(g_mutex);
    if (g_nCount > 0 && --g_nCount == 0) {
        ::close(g_nFd);  // closing the only descriptor drops the lock
        g_nFd = -1;
        g_strFile.clear();
    }
}
