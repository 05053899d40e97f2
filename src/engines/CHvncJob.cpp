#include "engines/CHvncJob.h"

#include "engines/HvncResult.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

namespace HvncJob {

namespace {

constexpr std::size_t kMaxName = NAME_MAX;

}  // namespace

int OpenSource(const SHvncJob& job, HvncIo::CFd& fd, struct stat& st, struct stat& named, std::string& strWhy)
{
    const SHVFileRef& ref = job.src;
    const std::string strShown = ref.strDisplay.empty() ? ref.strName : ref.strDisplay;
    if (!HvncIo::IsPlainName(ref.strName)) {
        strWhy = strShown + " does not name a file";
        return HVNC_NOT_REGULAR;
    }
    const int nFollow = job.bFollow ? 0 : O_NOFOLLOW;
    fd = HvncIo::CFd(::openat(ref.nDirFd, ref.strName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | nFollow));
    if (!fd.Valid()) {
        const int nErr = errno;
        if (nErr == ELOOP) {
            strWhy = strShown + " is a symbolic link; it was not followed";
            return HVNC_NOT_REGULAR;
        }
        strWhy = "cannot open " + strShown + ": " + std::strerror(nErr);
        return nErr == ENOENT && ref.bCheckIdentity ? HVNC_CHANGED : HvncResultOfErrno(nErr);
    }
    if (::fstat(fd.Get(), &st) != 0) {
        strWhy = "cannot examine " + strShown + ": " + std::strerror(errno);
        return HVNC_IO_ERROR;
    }
    if (!S_ISREG(st.st_mode)) {
        strWhy = strShown + " is not a regular file";
        return HVNC_NOT_REGULAR;
    }
    named = st;
    if (job.bFollow && ::fstatat(ref.nDirFd, ref.strName.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
        named = st;
    }
    if (ref.bCheckIdentity && (st.st_dev != ref.nDev || st.st_ino != ref.nIno)) {
        strWhy = strShown + " is no longer the file that was listed";
        return HVNC_CHANGED;
    }
    if (ref.bCheckIdentity && ref.bCheckUnchanged
        && (static_cast<std::uint64_t>(st.st_size) != ref.nSize || HVTimeNs(st.st_mtim) != ref.nMtimeNs
            || HVTimeNs(st.st_ctim) != ref.nCtimeNs)) {
        strWhy = strShown + " changed after it was listed";
        return HVNC_CHANGED;
    }
    return HVNC_OK;  // O_NONBLOCK (against FIFOs) does not affect regular files
}

// The source as it is now, against what was read. The encrypted file must hold the whole file
// as it stands, or the caller (who may wipe the source next) would lose what changed: a file
// that grew, shrank or was written to after it was read, or a name that now holds another file,
// fails the encryption. A source removed meanwhile is no change: what was read is complete.
int SourceUnchanged(const SHvncJob& job, int fd, const struct stat& before, std::string& strWhy)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) != 0 || now.st_size != before.st_size || now.st_mtim.tv_sec != before.st_mtim.tv_sec
        || now.st_mtim.tv_nsec != before.st_mtim.tv_nsec) {
        strWhy = "the source changed while it was being encrypted";
        return HVNC_CHANGED;
    }
    struct stat named
    {
    };
    const int nFlags = job.bFollow ? 0 : AT_SYMLINK_NOFOLLOW;
    if (::fstatat(job.src.nDirFd, job.src.strName.c_str(), &named, nFlags) == 0
        && (named.st_dev != now.st_dev || named.st_ino != now.st_ino)) {
        strWhy = "the source was replaced while it was being encrypted";
        return HVNC_CHANGED;
    }
    return HVNC_OK;
}

std::string PlainNameOf(const std::string& strName)
{
    if (strName.size() > 5 && strcasecmp(strName.c_str() + strName.size() - 5, ".hvnc") == 0) {
        return strName.substr(0, strName.size() - 5);
    }
    return strName;  // taken by the encrypted file itself: the free-name rule gives "name(1)"
}

// Creates the temporary output in the job's destination folder.
int CreateOutput(const SHvncJob& job, const std::string& strFinal, SHvncPending& pending, std::string& strWhy)
{
    pending.dir = job.destDir;
    pending.strFinal = strFinal;
    if (!HvncIo::IsPlainName(strFinal)) {
        strWhy = "\"" + strFinal + "\" is not a file name";
        return HVNC_FAILED;
    }
    if (strFinal.size() > kMaxName) {
        strWhy = "the output name " + HvncIo::JoinPath(job.destDir.strShown, strFinal) + " is too long";
        return HVNC_NAME_TOO_LONG;
    }
    std::string strFailure;
    pending.fd = HvncIo::CFd(HvncIo::MakeTempAt(job.destDir.nFd, strFinal, pending.strTemp, strFailure));
    if (!pending.fd.Valid()) {
        const int nErr = errno;
        const std::string strDir = job.destDir.strShown.empty() ? std::string(".") : job.destDir.strShown;
        strWhy = "cannot create a file in " + strDir + ": " + strFailure;
        return HvncResultOfErrno(nErr);
    }
    pending.bUnnamed = pending.strTemp.empty();
    return HVNC_OK;
}

}  // namespace HvncJob
