// HvncIo: the helpers that work inside a folder held open, and the creation of outputs.
#include "engines/CHvncIo.h"
#include "engines/CHvncStaleTemps.h"
#include "engines/HVPendingRecords.h"
#include "engines/HVTempNames.h"
#include "globalfuncs/HVDurableFile.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HvncIo {

namespace {

std::atomic<bool> g_bUnnamedAllowed{true};

// Unnamed outputs need /proc to be given a name later; a process may also be told not to use them.
bool UnnamedWorks()
{
    static const bool bWorks = [] {
        const char* pszNamed = std::getenv("HV_ENGINE_NAMED_TEMPS");
        return (pszNamed == nullptr || std::string(pszNamed) != "1") && ::access("/proc/self/fd", X_OK) == 0;
    }();
    return bWorks;
}

}  // namespace

void SetUnnamedTemps(bool bAllowed)
{
    g_bUnnamedAllowed.store(bAllowed);
}

int MakeTempAt(int nDirFd, const std::string& strName, std::string& strTempOut, std::string& strWhy)
{
    (void)HvncStaleTemps::SweepOnce();
    strTempOut.clear();
    if (g_bUnnamedAllowed.load() && UnnamedWorks()) {
        const int fd = ::openat(nDirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            strWhy = std::strerror(errno);
            return -1;
        }
    }
    // Each name is recorded before it is created, so that a crash leaves nothing unrecorded.
    auto nextName = [&](std::string& strTemp) {
        const std::string strToken = HVNewTempToken();
        if (strToken.empty()) {
            strWhy = "no random name could be made";
            return EIO;
        }
        strTemp = HvncStaleTemps::TempPrefix(strName) + strToken;
        if (!HVPendingRecords::Add(HVPendingRecords::kTemp, 0, nDirFd, strTemp, 0, false)) {
            const int nErr = errno;
            strWhy = "the temporary file could not be recorded in " + HVPendingRecords::DataFolder() + " ("
                     + std::strerror(nErr) + ")";
            return nErr != 0 ? nErr : EIO;  // never taken for a success
        }
        return 0;
    };
    strWhy.clear();
    const int fd = HVDurableFile::CreateExclusiveAt(nDirFd, O_RDWR, 0600, nextName, strTempOut);
    if (fd < 0) {
        if (strWhy.empty()) {
            strWhy = fd == -EEXIST ? "no free temporary name" : std::strerror(-fd);
        }
        errno = -fd;
        return -1;
    }
    return fd;
}

int LinkInto(int fd, int nDirFd, const std::string& strTo)
{
    const std::string strProc = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, strProc.c_str(), nDirFd, strTo.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return 0;
    }
    const int nErr = errno;
    if (nErr != ENOENT || ::linkat(fd, "", nDirFd, strTo.c_str(), AT_EMPTY_PATH) != 0) {
        return nErr == ENOENT ? errno : nErr;
    }
    return 0;
}

bool ExistsAt(int nDirFd, const std::string& strName)
{
    struct stat st
    {
    };
    return ::fstatat(nDirFd, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

std::string FindFreeNameAt(int nDirFd, const std::string& strName)
{
    if (!ExistsAt(nDirFd, strName)) {
        return strName;
    }
    for (unsigned n = 1; n < 1000000; ++n) {
        std::string strTry = NumberedName(strName, n);
        if (!ExistsAt(nDirFd, strTry)) {
            return strTry;
        }
    }
    return std::string();
}

int RenameNoReplaceAt(int nFromDir, const std::string& strFrom, int nToDir, const std::string& strTo)
{
    if (::renameat2(nFromDir, strFrom.c_str(), nToDir, strTo.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    const int nErr = errno;
    if (nErr != EINVAL && nErr != ENOSYS && nErr != ENOTSUP) {
        return nErr;
    }
    // File systems without RENAME_NOREPLACE: a hard link never replaces either.
    if (::linkat(nFromDir, strFrom.c_str(), nToDir, strTo.c_str(), 0) != 0) {
        return errno;
    }
    ::unlinkat(nFromDir, strFrom.c_str(), 0);
    return 0;
}

bool IsPlainName(const std::string& strName)
{
    return !strName.empty() && strName != "." && strName != ".." && strName.find('/') == std::string::npos
           && strName.find('\0') == std::string::npos;
}

int OpenParent(const std::string& strPath, CFd& dir, std::string& strName)
{
    std::string strPlain = strPath;
    while (strPlain.size() > 1 && strPlain.back() == '/') {
        strPlain.pop_back();
    }
    strName = NameOf(strPlain);
    dir = CFd(::open(DirOf(strPlain).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.IsValid() ? 0 : errno;
}

std::string JoinPath(const std::string& strDir, const std::string& strName)
{
    if (strDir.empty()) {
        return strName;
    }
    return strDir.back() == '/' ? strDir + strName : strDir + "/" + strName;
}

std::string PathOfFd(int nFd)
{
    char buf[4096];
    const std::string strLink = "/proc/self/fd/" + std::to_string(nFd);
    const ssize_t n = ::readlink(strLink.c_str(), buf, sizeof buf);
    return n > 0 && static_cast<std::size_t>(n) < sizeof buf ? std::string(buf, static_cast<std::size_t>(n))
                                                             : std::string();
}

}  // namespace HvncIo
