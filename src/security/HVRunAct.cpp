#include "security/HVRunAct.h"

#include "engines/HvncResult.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HVRunAct {

namespace {

std::int64_t Ns(const struct timespec& ts)
{
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::string FdFolder(int nDirFd)
{
    return "/proc/self/fd/" + std::to_string(nDirFd);
}

}  // namespace

SHVFileRef Ref(int nDirFd, const SRunFile& file, bool bCheckUnchanged)
{
    SHVFileRef ref;
    ref.nDirFd = nDirFd;
    ref.strName = file.strName;
    ref.strDisplay = file.strPath;
    ref.bCheckIdentity = true;
    ref.nDev = file.nDev;
    ref.nIno = file.nIno;
    ref.bCheckUnchanged = bCheckUnchanged;
    ref.nSize = file.nSize;
    ref.nMtimeNs = file.nMtimeNs;
    ref.nCtimeNs = file.nCtimeNs;
    return ref;
}

int CheckListed(int nDirFd, const SRunFile& file, bool bUnchanged, std::uint64_t* pnLinks, std::string& strWhy)
{
    struct stat st
    {
    };
    if (::fstatat(nDirFd, file.strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        const int nErr = errno;
        strWhy = nErr == ENOENT ? "the file is gone (renamed or removed while the run went on)"
                                : std::string("cannot read the file: ") + std::strerror(nErr);
        return nErr == ENOENT ? HVNC_CHANGED : HvncResultOfErrno(nErr);
    }
    if (file.bLink) {
        if (!S_ISLNK(st.st_mode) || st.st_dev != file.nLinkDev || st.st_ino != file.nLinkIno) {
            strWhy = "the link was replaced while the run went on";
            return HVNC_CHANGED;
        }
        if (::fstatat(nDirFd, file.strName.c_str(), &st, 0) != 0) {
            strWhy = std::string("cannot read the link's target: ") + std::strerror(errno);
            return HVNC_CHANGED;
        }
    }
    if (!S_ISREG(st.st_mode) || st.st_dev != file.nDev || st.st_ino != file.nIno) {
        strWhy = "the file was replaced while the run went on (it is no longer the file listed)";
        return HVNC_CHANGED;
    }
    if (bUnchanged
        && (static_cast<std::uint64_t>(st.st_size) != file.nSize || Ns(st.st_mtim) != file.nMtimeNs
            || Ns(st.st_ctim) != file.nCtimeNs)) {
        strWhy = "the file changed after it was read (listed or encrypted); it was not wiped";
        return HVNC_CHANGED;
    }
    if (pnLinks != nullptr) {
        *pnLinks = st.st_nlink;
    }
    return HVNC_OK;
}

int OpenLinkTarget(int nDirFd, const SRunFile& file, int& nTargetDirFd, std::string& strTargetName, std::string& strWhy)
{
    nTargetDirFd = -1;
    const int nCheck = CheckListed(nDirFd, file, false, nullptr, strWhy);
    if (nCheck != HVNC_OK) {
        return nCheck;
    }
    // Where the link leads now, as the kernel resolved it.
    const int nTarget = ::openat(nDirFd, file.strName.c_str(), O_PATH | O_CLOEXEC);
    if (nTarget < 0) {
        strWhy = std::string("cannot open the link's target: ") + std::strerror(errno);
        return HvncResultOfErrno(errno);
    }
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink(FdFolder(nTarget).c_str(), buf, PATH_MAX);
    ::close(nTarget);
    if (n <= 0 || buf[0] != '/') {
        strWhy = "cannot find where the link leads";
        return HVNC_CHANGED;
    }
    const std::string strTarget(buf, static_cast<std::size_t>(n));
    const auto nSlash = strTarget.rfind('/');
    strTargetName = strTarget.substr(nSlash + 1);
    const std::string strFolder = nSlash == 0 ? "/" : strTarget.substr(0, nSlash);
    nTargetDirFd = ::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st
    {
    };
    if (nTargetDirFd < 0 || ::fstatat(nTargetDirFd, strTargetName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0
        || !S_ISREG(st.st_mode) || st.st_dev != file.nDev || st.st_ino != file.nIno) {
        if (nTargetDirFd >= 0) {
            ::close(nTargetDirFd);
            nTargetDirFd = -1;
        }
        strWhy = "the link's target was replaced while the run went on";
        return HVNC_CHANGED;
    }
    return HVNC_OK;
}

void TakeState(int nDirFd, SRunFile& file)
{
    struct stat st
    {
    };
    if (::fstatat(nDirFd, file.strName.c_str(), &st, file.bLink ? 0 : AT_SYMLINK_NOFOLLOW) == 0
        && st.st_dev == file.nDev && st.st_ino == file.nIno) {
        file.nSize = static_cast<std::uint64_t>(st.st_size);
        file.nMtimeNs = Ns(st.st_mtim);
        file.nCtimeNs = Ns(st.st_ctim);
    }
}

int RemoveName(int nDirFd, const SRunFile& file, std::string& strWhy)
{
    const int nCheck = CheckListed(nDirFd, file, true, nullptr, strWhy);
    if (nCheck != HVNC_OK) {
        return nCheck;
    }
    if (::unlinkat(nDirFd, file.strName.c_str(), 0) != 0) {
        const int nErr = errno;
        strWhy = std::string("cannot remove the name: ") + std::strerror(nErr);
        return HvncResultOfErrno(nErr);
    }
    (void)::fsync(nDirFd);
    return HVNC_OK;
}

}  // namespace HVRunAct
