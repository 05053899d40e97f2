#include "hiding/HidingFs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HidingFs {

bool WriteAllAt(int fd, const std::string& text, off_t nOffset)
{
    std::size_t nDone = 0;
    while (nDone < text.size()) {
        const ssize_t n = ::pwrite(fd, text.data() + nDone, text.size() - nDone, nOffset + static_cast<off_t>(nDone));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        nDone += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAllAt(int fd, std::string& out, off_t nOffset, std::size_t nSize)
{
    out.resize(nSize);
    std::size_t nDone = 0;
    while (nDone < nSize) {
        const ssize_t n = ::pread(fd, out.data() + nDone, nSize - nDone, nOffset + static_cast<off_t>(nDone));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;  // the file shrank under us
            }
            return false;
        }
        nDone += static_cast<std::size_t>(n);
    }
    return true;
}

bool SyncDir(const std::string& strDir)
{
    const int fd = ::open(strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool bOk = ::fsync(fd) == 0;
    const int nErr = errno;
    ::close(fd);
    errno = nErr;
    return bOk;
}

bool MakeDirs(const std::string& strDir)
{
    if (strDir.empty() || strDir[0] != '/') {
        errno = EINVAL;
        return false;
    }
    std::size_t nPos = 1;
    while (nPos <= strDir.size()) {
        const std::size_t nEnd = std::min(strDir.find('/', nPos), strDir.size());
        const std::string strPart = strDir.substr(0, nEnd);
        if (nEnd > nPos && ::mkdir(strPart.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        nPos = nEnd + 1;
    }
    struct stat st = {};
    if (::stat(strDir.c_str(), &st) != 0) {
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

std::string ErrnoText(const std::string& strWhat)
{
    return strWhat + ": " + std::strerror(errno);
}

}  // namespace HidingFs
