#include "engines/HVWipeFile.h"

#include "engines/HVPendingRecords.h"
#include "engines/HVTempNames.h"
#include "engines/HvncResult.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

std::string ErrnoText(int nErr)
{
    return std::strerror(nErr);
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Syncs a folder; filesystems that cannot sync a folder are let be.
bool SyncFolder(int dirfd)
{
    return fsync(dirfd) == 0 || errno == EINVAL || errno == EROFS;
}

// A read-only file of our own: add the owner's write bit through a handle that pins the inode
// (so a name swapped in between is never touched), then open that inode for writing.
int OpenOwnReadOnly(
    int dirfd, const std::string& strName, const struct stat& lst, HVWipeTarget& target, std::string& strError)
{
    HVUniqueFd pathFd(openat(dirfd, strName.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat st
    {
    };
    if (!pathFd.IsValid() || fstat(pathFd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || !SameFile(st, lst)) {
        strError = "the file changed while it was being opened";
        return HVNC_CHANGED;
    }
    const std::string strProc = "/proc/self/fd/" + std::to_string(pathFd.Get());
    if (chmod(strProc.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) {
        const int nErr = errno;
        strError = "the file is read-only and its mode could not be changed: " + ErrnoText(nErr);
        return HvncResultOfErrno(nErr);
    }
    HVUniqueFd fd(open(strProc.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!fd.IsValid()) {
        const int nErr = errno;
        (void)chmod(strProc.c_str(), st.st_mode & 07777);
        strError = "the file could not be opened for writing: " + ErrnoText(nErr);
        return HvncResultOfErrno(nErr);
    }
    target.fd = std::move(fd);
    target.st = st;
    target.bModeChanged = true;
    return HVNC_OK;
}

}  // namespace

HVUniqueFd& HVUniqueFd::operator=(HVUniqueFd&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

int HVUniqueFd::Close()
{
    int nResult = 0;
    if (m_fd >= 0) {
        nResult = close(m_fd) == 0 ? 0 : errno;
        m_fd = -1;
    }
    return nResult;
}

int HVOpenWipeTarget(int dirfd, const std::string& strName, HVWipeTarget& target, std::string& strError)
{
    struct stat lst
    {
    };
    if (fstatat(dirfd, strName.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0) {
        const int nErr = errno;
        strError = "the file could not be examined: " + ErrnoText(nErr);
        return HvncResultOfErrno(nErr);
    }
    if (S_ISLNK(lst.st_mode)) {
        strError = "the path is a symbolic link; links are not followed, and neither the link nor its target "
                   "was touched";
        return HVNC_NOT_REGULAR;
    }
    if (!S_ISREG(lst.st_mode)) {
        strError = "the path is not a regular file";
        return HVNC_NOT_REGULAR;
    }
    // O_NONBLOCK keeps a fifo swapped in under the name from blocking the open.
    HVUniqueFd fd(openat(dirfd, strName.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsValid()) {
        const int nErr = errno;
        if (nErr == EACCES && geteuid() == lst.st_uid) {
            return OpenOwnReadOnly(dirfd, strName, lst, target, strError);
        }
        if (nErr == ELOOP) {
            strError = "the path became a symbolic link; it was not followed";
            return HVNC_CHANGED;
        }
        if (nErr == EPERM) {
            strError = "the file may not be written (immutable or append-only?): " + ErrnoText(nErr);
        } else {
            strError = "the file could not be opened for writing: " + ErrnoText(nErr);
        }
        return HvncResultOfErrno(nErr);
    }
    struct stat st
    {
    };
    if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || !SameFile(st, lst)) {
        strError = "the file changed while it was being opened";
        return HVNC_CHANGED;
    }
    const int nFlags = fcntl(fd.Get(), F_GETFL);
    if (nFlags >= 0) {
        (void)fcntl(fd.Get(), F_SETFL, nFlags & ~O_NONBLOCK);
    }
    target.fd = std::move(fd);
    target.st = st;
    target.bModeChanged = false;
    return HVNC_OK;
}

void HVRestoreWipeTargetMode(HVWipeTarget& target)
{
    if (target.bModeChanged && target.fd.IsValid()) {
        (void)fchmod(target.fd.Get(), target.st.st_mode & 07777);
        target.bModeChanged = false;
    }
}

int HVSetAside(int dirfd,
               const std::string& strName,
               const HVWipeTarget& target,
               int nMethod,
               std::string& strAside,
               std::string& strError)
{
    for (int nTry = 0; nTry < 16; ++nTry) {
        const std::string strToken = HVNewTempToken();
        if (strToken.empty()) {
            break;
        }
        const std::string strNew = ".hvwipe-" + strToken;
        // Recorded first and durably: should the process die from here on, the next start finds
        // the file under its new name and finishes the wipe.
        if (!HVPendingRecords::Add(HVPendingRecords::kWipe, nMethod, dirfd, strNew, target.st.st_ino, true)) {
            strError = "the wipe could not be recorded in " + HVPendingRecords::DataFolder() + ": " + ErrnoText(errno);
            return HVNC_IO_ERROR;
        }
        if (renameat2(dirfd, strName.c_str(), dirfd, strNew.c_str(), RENAME_NOREPLACE) != 0) {
            const int nErr = errno;
            if (nErr == EEXIST) {
                continue;
            }
            strError = "the file could not be renamed before it is overwritten: " + ErrnoText(nErr);
            return HvncResultOfErrno(nErr);
        }
        // The name may have been given to another file in between: then that one goes back.
        struct stat st
        {
        };
        if (fstatat(dirfd, strNew.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(st, target.st)) {
            (void)renameat2(dirfd, strNew.c_str(), dirfd, strName.c_str(), RENAME_NOREPLACE);
            strError = "the file was replaced while it was being wiped; nothing was overwritten";
            return HVNC_CHANGED;
        }
        if (!SyncFolder(dirfd)) {
            const int nErr = errno;
            (void)renameat2(dirfd, strNew.c_str(), dirfd, strName.c_str(), RENAME_NOREPLACE);
            strError = "the folder could not be synced: " + ErrnoText(nErr);
            return HvncResultOfErrno(nErr);
        }
        strAside = strNew;
        return HVNC_OK;
    }
    strError = "no free name to set the file aside";
    return HVNC_IO_ERROR;
}

bool HVPutBack(int dirfd, const std::string& strAside, const std::string& strName)
{
    if (renameat2(dirfd, strAside.c_str(), dirfd, strName.c_str(), RENAME_NOREPLACE) != 0) {
        return false;
    }
    SyncFolder(dirfd);
    return true;
}

bool HVRemoveWipedFile(int dirfd, const std::string& strName, HVWipeTarget& target, std::string& strError)
{
    if (ftruncate(target.fd.Get(), 0) != 0 || fsync(target.fd.Get()) != 0) {
        strError = "the overwritten file could not be truncated: " + ErrnoText(errno);
        return false;
    }
    struct stat st
    {
    };
    if (fstatat(dirfd, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(st, target.st)) {
        strError = "the overwritten file (named \"" + strName + "\") was moved away; it is empty now";
        return false;
    }
    target.bModeChanged = false;  // the file goes; its mode no longer matters
    target.fd.Close();
    if (unlinkat(dirfd, strName.c_str(), 0) != 0) {
        strError = "the overwritten file (now named \"" + strName + "\") could not be removed: " + ErrnoText(errno);
        return false;
    }
    if (!SyncFolder(dirfd)) {
        strError = "the folder could not be synced after the removal: " + ErrnoText(errno);
        return false;
    }
    return true;
}
