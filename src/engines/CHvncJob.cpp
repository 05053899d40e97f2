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

SHvncResult OpenSource(const SHvncJob& job, SHvncSource& src)
{
    HvncIo::CFd& fd = src.fd;
    struct stat& st = src.st;
    struct stat& named = src.named;
    const SHVFileRef& ref = job.src;
    const std::string strShown = ref.strDisplay.empty() ? ref.strName : ref.strDisplay;
    if (!HvncIo::IsPlainName(ref.strName)) {
        return {EHvnc::NotRegular, strShown + " does not name a file"};
    }
    const int nFollow = job.bFollow ? 0 : O_NOFOLLOW;
    fd = HvncIo::CFd(::openat(ref.nDirFd, ref.strName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | nFollow));
    if (!fd.IsValid()) {
        const int nErr = errno;
        if (nErr == ELOOP) {
            return {EHvnc::NotRegular, strShown + " is a symbolic link; it was not followed"};
        }
        return {nErr == ENOENT && ref.bCheckIdentity ? EHvnc::Changed : HvncOfErrno(nErr),
                "cannot open " + strShown + ": " + std::strerror(nErr)};
    }
    if (::fstat(fd.Get(), &st) != 0) {
        return {EHvnc::IoError, "cannot examine " + strShown + ": " + std::strerror(errno)};
    }
    if (!S_ISREG(st.st_mode)) {
        return {EHvnc::NotRegular, strShown + " is not a regular file"};
    }
    named = st;
    if (job.bFollow && ::fstatat(ref.nDirFd, ref.strName.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
        named = st;
    }
    if (ref.bCheckIdentity && (st.st_dev != ref.nDev || st.st_ino != ref.nIno)) {
        return {EHvnc::Changed, strShown + " is no longer the file that was listed"};
    }
    if (ref.bCheckIdentity && ref.bCheckUnchanged
        && (static_cast<std::uint64_t>(st.st_size) != ref.nSize || HVTimeNs(st.st_mtim) != ref.nMtimeNs
            || HVTimeNs(st.st_ctim) != ref.nCtimeNs)) {
        return {EHvnc::Changed, strShown + " changed after it was listed"};
    }
    return {};  // O_NONBLOCK (against FIFOs) does not affect regular files
}

// The source as it is now, against what was read. The encrypted file must hold the whole file
// as it stands, or the caller (who may wipe the source next) would lose what changed: a file
// that grew, shrank or was written to after it was read, or a name that now holds another file,
// fails the encryption. A source removed meanwhile is no change: what was read is complete.
SHvncResult SourceUnchanged(const SHvncJob& job, int fd, const struct stat& before)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) != 0 || now.st_size != before.st_size || now.st_mtim.tv_sec != before.st_mtim.tv_sec
        || now.st_mtim.tv_nsec != before.st_mtim.tv_nsec) {
        return {EHvnc::Changed, "the source changed while it was being encrypted"};
    }
    struct stat named
    {
    };
    const int nFlags = job.bFollow ? 0 : AT_SYMLINK_NOFOLLOW;
    if (::fstatat(job.src.nDirFd, job.src.strName.c_str(), &named, nFlags) == 0
        && (named.st_dev != now.st_dev || named.st_ino != now.st_ino)) {
        return {EHvnc::Changed, "the source was replaced while it was being encrypted"};
    }
    return {};
}

std::string PlainNameOf(const std::string& strName)
{
    if (strName.size() > 5 && strcasecmp(strName.c_str() + strName.size() - 5, ".hvnc") == 0) {
        return strName.substr(0, strName.size() - 5);
    }
    return strName;  // taken by the encrypted file itself: the free-name rule gives "name(1)"
}

// Creates the temporary output in the job's destination folder.
SHvncResult CreateOutput(const SHvncJob& job, const std::string& strFinal, SHvncPending& pending)
{
    pending.dir = job.destDir;
    pending.strFinal = strFinal;
    if (!HvncIo::IsPlainName(strFinal)) {
        return {EHvnc::Failed, "\"" + strFinal + "\" is not a file name"};
    }
    if (strFinal.size() > kMaxName) {
        return {EHvnc::NameTooLong,
                "the output name " + HvncIo::JoinPath(job.destDir.strShown, strFinal) + " is too long"};
    }
    std::string strFailure;
    pending.fd = HvncIo::CFd(HvncIo::MakeTempAt(job.destDir.nFd, strFinal, pending.strTemp, strFailure));
    if (!pending.fd.IsValid()) {
        const int nErr = errno;
        const std::string strDir = job.destDir.strShown.empty() ? std::string(".") : job.destDir.strShown;
        return {HvncOfErrno(nErr), "cannot create a file in " + strDir + ": " + strFailure};
    }
    pending.bUnnamed = pending.strTemp.empty();
    return {};
}

}  // namespace HvncJob
