#include "engines/HVWipeFile.h"

#include "engines/HVPendingRecords.h"
#include "engines/HVTempNames.h"
#include "engines/HvncResult.h"
#include "globalfuncs/HVDurableFile.h"

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

// A read-only file of our own: add the owner's write bit through a handle that pins the inode
// (so a name swapped in between is never touched), then open that inode for writing.
SHvncResult OpenOwnReadOnly(int dirfd, const std::string& strName, const struct stat& lst, HVWipeTarget& target)
{
    HVUniqueFd pathFd(openat(dirfd, strName.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat st
    {
    };
    if (!pathFd.IsValid() || fstat(pathFd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || !SameFile(st, lst)) {
        return {EHvnc::Changed, "the file changed while it was being opened"};
    }
    const std::string strProc = "/proc/self/fd/" + std::to_string(pathFd.Get());
    if (chmod(strProc.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) {
        const int nErr = errno;
        return {HvncOfErrno(nErr), "the file is read-only and its mode could not be changed: " + ErrnoText(nErr)};
    }
    HVUniqueFd fd(open(strProc.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!fd.IsValid()) {
        const int nErr = errno;
        (void)chmod(strProc.c_str(), st.st_mode & 07777);
        return {HvncOfErrno(nErr), "the file could not be opened for writing: " + ErrnoText(nErr)};
    }
    target.fd = std::move(fd);
    target.st = st;
    target.bModeChanged = true;
    return {};
}

}  // namespace

SHvncResult HVOpenWipeTarget(int dirfd, const std::string& strName, HVWipeTarget& target)
{
    struct stat lst
    {
    };
    if (fstatat(dirfd, strName.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0) {
        const int nErr = errno;
        return {HvncOfErrno(nErr), "the file could not be examined: " + ErrnoText(nErr)};
    }
    if (S_ISLNK(lst.st_mode)) {
        return {EHvnc::NotRegular,
                "the path is a symbolic link; links are not followed, and neither the link nor its target "
                "was touched"};
    }
    if (!S_ISREG(lst.st_mode)) {
        return {EHvnc::NotRegular, "the path is not a regular file"};
    }
    // O_NONBLOCK keeps a fifo swapped in under the name from blocking the open.
    HVUniqueFd fd(openat(dirfd, strName.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsValid()) {
        const int nErr = errno;
        if (nErr == EACCES && geteuid() == lst.st_uid) {
            return OpenOwnReadOnly(dirfd, strName, lst, target);
        }
        if (nErr == ELOOP) {
            return {EHvnc::Changed, "the path became a symbolic link; it was not followed"};
        }
        return {HvncOfErrno(nErr),
                (nErr == EPERM ? "the file may not be written (immutable or append-only?): "
                               : "the file could not be opened for writing: ")
                    + ErrnoText(nErr)};
    }
    struct stat st
    {
    };
    if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || !SameFile(st, lst)) {
        return {EHvnc::Changed, "the file changed while it was being opened"};
    }
    const int nFlags = fcntl(fd.Get(), F_GETFL);
    if (nFlags >= 0) {
        (void)fcntl(fd.Get(), F_SETFL, nFlags & ~O_NONBLOCK);
    }
    target.fd = std::move(fd);
    target.st = st;
    target.bModeChanged = false;
    return {};
}

void HVRestoreWipeTargetMode(HVWipeTarget& target)
{
    if (target.bModeChanged && target.fd.IsValid()) {
        (void)fchmod(target.fd.Get(), target.st.st_mode & 07777);
        target.bModeChanged = false;
    }
}

SHvncResult
HVSetAside(int dirfd, const std::string& strName, const HVWipeTarget& target, int nMethod, std::string& strAside)
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
            return {EHvnc::IoError,
                    "the wipe could not be recorded in " + HVPendingRecords::DataFolder() + ": " + ErrnoText(errno)};
        }
        if (renameat2(dirfd, strName.c_str(), dirfd, strNew.c_str(), RENAME_NOREPLACE) != 0) {
            const int nErr = errno;
            if (nErr == EEXIST) {
                continue;
            }
            return {HvncOfErrno(nErr), "the file could not be renamed before it is overwritten: " + ErrnoText(nErr)};
        }
        // The name may have been given to another file in between: then that one goes back.
        struct stat st
        {
        };
        if (fstatat(dirfd, strNew.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(st, target.st)) {
            (void)renameat2(dirfd, strNew.c_str(), dirfd, strName.c_str(), RENAME_NOREPLACE);
            return {EHvnc::Changed, "the file was replaced while it was being wiped; nothing was overwritten"};
        }
        if (!HVDurableFile::SyncDir(dirfd)) {
            const int nErr = errno;
            (void)renameat2(dirfd, strNew.c_str(), dirfd, strName.c_str(), RENAME_NOREPLACE);
            return {HvncOfErrno(nErr), "the folder could not be synced: " + ErrnoText(nErr)};
        }
        strAside = strNew;
        return {};
    }
    return {EHvnc::IoError, "no free name to set the file aside"};
}

bool HVPutBack(int dirfd, const std::string& strAside, const std::string& strName)
{
    if (renameat2(dirfd, strAside.c_str(), dirfd, strName.c_str(), RENAME_NOREPLACE) != 0) {
        return false;
    }
    HVDurableFile::SyncDir(dirfd);
    return true;
}

SHvncResult HVRemoveWipedFile(int dirfd, const std::string& strName, HVWipeTarget& target)
{
    if (ftruncate(target.fd.Get(), 0) != 0 || fsync(target.fd.Get()) != 0) {
        return {EHvnc::IoError, "the overwritten file could not be truncated: " + ErrnoText(errno)};
    }
    struct stat st
    {
    };
    if (fstatat(dirfd, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(st, target.st)) {
        return {EHvnc::IoError, "the overwritten file (named \"" + strName + "\") was moved away; it is empty now"};
    }
    target.bModeChanged = false;  // the file goes; its mode no longer matters
    target.fd.Close();
    if (unlinkat(dirfd, strName.c_str(), 0) != 0) {
        return {EHvnc::IoError,
                "the overwritten file (now named \"" + strName + "\") could not be removed: " + ErrnoText(errno)};
    }
    if (!HVDurableFile::SyncDir(dirfd)) {
        return {EHvnc::IoError, "the folder could not be synced after the removal: " + ErrnoText(errno)};
    }
    return {};
}
