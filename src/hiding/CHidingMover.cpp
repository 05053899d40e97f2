#include "hiding/CHidingMover.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Puts back the permission bits an item had before the move (links have none of their own).
void RestoreMode(const std::string& strPath, const struct stat& st, mode_t mode)
{
    if (!S_ISLNK(st.st_mode) && (st.st_mode & 07777) != (mode & 07777)) {
        if (::chmod(strPath.c_str(), mode & 07777) != 0) {
            // The item is in place; only its mode stays as the move left it.
        }
    }
}

}  // namespace

CHidingMover::CHidingMover(HidingFaultHook hook, bool bLinkInsteadOfNoReplace)
    : m_hook(std::move(hook))
    , m_bLink(bLinkInsteadOfNoReplace)
{
}

void CHidingMover::Step(std::string_view step) const
{
    if (m_hook) {
        m_hook(step);
    }
}

int CHidingMover::MoveOnce(const std::string& strSrc, const std::string& strDst, bool bDir) const
{
    if (!m_bLink) {
        if (::renameat2(AT_FDCWD, strSrc.c_str(), AT_FDCWD, strDst.c_str(), RENAME_NOREPLACE) == 0) {
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            return errno;
        }
    }
    if (!bDir) {
        if (::link(strSrc.c_str(), strDst.c_str()) == 0) {
            Step("linked");
            if (::unlink(strSrc.c_str()) != 0) {
                const int nErr = errno;
                ::unlink(strDst.c_str());
                return nErr;
            }
            return 0;
        }
        if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != ENOSYS) {
            return errno;  // EEXIST among them: the destination is taken
        }
    }
    // A folder, or a filesystem without hard links: look first, then rename.
    struct stat st = {};
    if (::lstat(strDst.c_str(), &st) == 0) {
        return EEXIST;
    }
    if (errno != ENOENT) {
        return errno;
    }
    return ::rename(strSrc.c_str(), strDst.c_str()) == 0 ? 0 : errno;
}

int CHidingMover::Move(const std::string& strSrc, const std::string& strDst, const struct stat& st) const
{
    const bool bDir = S_ISDIR(st.st_mode);
    int nErr = MoveOnce(strSrc, strDst, bDir);
    if (nErr == EACCES && bDir && st.st_uid == ::geteuid() && (st.st_mode & S_IWUSR) == 0) {
        if (::chmod(strSrc.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) {
            return EACCES;
        }
        Step("chmod");
        nErr = MoveOnce(strSrc, strDst, bDir);
        if (::chmod(nErr == 0 ? strDst.c_str() : strSrc.c_str(), st.st_mode & 07777) != 0) {
            // Settled again by the next start through the journalled mode.
        }
    }
    return nErr;
}

CHidingMover::EWhere
CHidingMover::Settle(const std::string& strSrc, const std::string& strDst, dev_t dev, ino_t ino, mode_t mode) const
{
    struct stat stSrc = {};
    struct stat stDst = {};
    const bool bAtDst = ::lstat(strDst.c_str(), &stDst) == 0 && stDst.st_dev == dev && stDst.st_ino == ino;
    const bool bAtSrc = ::lstat(strSrc.c_str(), &stSrc) == 0 && stSrc.st_dev == dev && stSrc.st_ino == ino;
    if (bAtDst) {
        if (bAtSrc && !S_ISDIR(stSrc.st_mode)) {
            ::unlink(strSrc.c_str());  // second name made, first not yet removed
        }
        RestoreMode(strDst, stDst, mode);
        return EWhere::AtDestination;
    }
    if (bAtSrc) {
        RestoreMode(strSrc, stSrc, mode);
        return EWhere::AtSource;
    }
    return EWhere::Gone;
}
