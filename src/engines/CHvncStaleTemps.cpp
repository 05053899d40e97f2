#include "engines/CHvncStaleTemps.h"

#include "engines/HVPendingRecords.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace HvncStaleTemps {

namespace {

constexpr std::size_t kMaxShortName = 200;  // keeps a temporary name within NAME_MAX

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool IsOwnPlainFile(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
}

// One pass of zeros over the file, synced, then its name removed. False when anything fails
// (the file is then left as it is, or as far as it got).
bool WipeStale(int dirFd, const std::string& strName)
{
    struct stat before
    {
    };
    if (::fstatat(dirFd, strName.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0 || !IsOwnPlainFile(before)) {
        return false;
    }
    const int fd = ::openat(dirFd, strName.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat st
    {
    };
    bool bOk = ::fstat(fd, &st) == 0 && SameFile(st, before) && S_ISREG(st.st_mode);
    if (bOk) {
        std::vector<char> zeros(1u << 20, 0);
        for (off_t nOffset = 0; bOk && nOffset < st.st_size;) {
            const auto nLen = static_cast<std::size_t>(std::min<off_t>(st.st_size - nOffset, 1 << 20));
            const ssize_t n = ::pwrite(fd, zeros.data(), nLen, nOffset);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            bOk = n > 0;
            nOffset += n > 0 ? n : 0;
        }
        bOk = bOk && ::fdatasync(fd) == 0 && ::ftruncate(fd, 0) == 0;
    }
    ::close(fd);
    struct stat again
    {
    };
    if (!bOk || ::fstatat(dirFd, strName.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(again, before)) {
        return false;
    }
    return ::unlinkat(dirFd, strName.c_str(), 0) == 0;
}

}  // namespace

std::string TempPrefix(const std::string& strName)
{
    return "." + strName.substr(0, kMaxShortName) + ".hvtmp-" + std::to_string(::getpid()) + "-";
}

int SweepRecorded()
{
    int nRemoved = 0;
    (void)HVPendingRecords::ForEachOrphan(HVPendingRecords::kTemp, [&](const HVPendingRecords::SEntry& e, int dirFd) {
        if (WipeStale(dirFd, e.strName)) {
            ++nRemoved;
            (void)::fsync(dirFd);
        }
    });
    return nRemoved;
}

int SweepOnce()
{
    static std::once_flag once;
    int nRemoved = 0;
    std::call_once(once, [&] { nRemoved = SweepRecorded(); });
    return nRemoved;
}

}  // namespace HvncStaleTemps
