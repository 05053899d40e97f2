#include "engines/HVWipeFile.h"

#include "engines/HVFastRandom.h"
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
        return HVWipeResultOfErrno(nErr);
    }
    HVUniqueFd fd(open(strProc.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!fd.IsValid()) {
        const int nErr = errno;
        (void)chmod(strProc.c_str(), st.st_mode & 07777);
        strError = "the file could not be opened for writing: " + ErrnoText(nErr);
        return HVWipeResultOfErrno(nErr);
    }
    target.fd = std::move(fd);
    target.st = st;
    target.bModeChanged = true;
    return HVNC_OK;
}

std::string RandomName(std::size_t nLength, HVFastRandom& rng)
{
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::vector<std::uint8_t> bytes(nLength);
    if (!rng.Fill(bytes.data(), bytes.size())) {
        (void)HVFastRandom::OsRandom(bytes.data(), bytes.size());
    }
    std::string strName(nLength, 'x');
    for (std::size_t i = 0; i < nLength; ++i) {
        strName[i] = kChars[bytes[i] % (sizeof kChars - 1)];
    }
    return strName;
}

// Renames strName to a free random name of the same length; returns the name it now has.
std::string RenameToRandom(int dirfd, const std::string& strName, HVFastRandom& rng)
{
    for (int nTry = 0; nTry < 64; ++nTry) {
        const std::string strNew = RandomName(strName.size(), rng);
        if (strNew == strName) {
            continue;
        }
        if (renameat2(dirfd, strName.c_str(), dirfd, strNew.c_str(), RENAME_NOREPLACE) == 0) {
            return strNew;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            break;
        }
        // The filesystem cannot refuse to replace: look first.
        struct stat st
        {
        };
        if (fstatat(dirfd, strNew.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT) {
            continue;
        }
        if (renameat(dirfd, strName.c_str(), dirfd, strNew.c_str()) == 0) {
            return strNew;
        }
        break;
    }
    return strName;  // the content is gone all the same; the name stays as it was
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

int HVWipeResultOfErrno(int nErr)
{
    switch (nErr) {
    case EACCES:
    case EPERM:
        return HVNC_PERMISSION;
    case ENAMETOOLONG:
        return HVNC_NAME_TOO_LONG;
    case ENOSPC:
    case EDQUOT:
        return HVNC_NO_SPACE;
    case ELOOP:
        return HVNC_NOT_REGULAR;
    default:
        return HVNC_IO_ERROR;
    }
}

int HVOpenWipeTarget(int dirfd, const std::string& strName, HVWipeTarget& target, std::string& strError)
{
    struct stat lst
    {
    };
    if (fstatat(dirfd, strName.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0) {
        const int nErr = errno;
        strError = "the file could not be examined: " + ErrnoText(nErr);
        return HVWipeResultOfErrno(nErr);
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
        return HVWipeResultOfErrno(nErr);
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

bool HVRemoveWipedFile(
    int dirfd, const std::string& strName, HVWipeTarget& target, HVFastRandom& rng, std::string& strError)
{
    if (ftruncate(target.fd.Get(), 0) != 0 || fsync(target.fd.Get()) != 0) {
        strError = "the overwritten file could not be truncated: " + ErrnoText(errno);
        return false;
    }
    const std::string strNow = RenameToRandom(dirfd, strName, rng);
    if (!SyncFolder(dirfd)) {
        strError = "the folder could not be synced: " + ErrnoText(errno);
        return false;
    }
    target.bModeChanged = false;  // the file goes; its mode no longer matters
    target.fd.Close();
    if (unlinkat(dirfd, strNow.c_str(), 0) != 0) {
        strError = "the overwritten file (now named \"" + strNow + "\") could not be removed: " + ErrnoText(errno);
        return false;
    }
    if (!SyncFolder(dirfd)) {
        strError = "the folder could not be synced after the removal: " + ErrnoText(errno);
        return false;
    }
    return true;
}
