#include "engines/CHvncStaleTemps.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace HvncStaleTemps {

namespace {

constexpr std::size_t kMaxShortName = 200;  // keeps a temporary name within NAME_MAX
constexpr const char* kMarker = ".hvtmp-";

// When this process (its engine library) was loaded, by the coarse clock that also stamps files:
// a file changed after that never carries an earlier time.
const struct timespec g_tsStart = [] {
    struct timespec ts
    {
    };
    (void)::clock_gettime(CLOCK_REALTIME_COARSE, &ts);
    return ts;
}();

std::mutex g_mutex;
// Folder -> target short name -> temporary file names seen when the folder was read.
std::map<std::string, std::multimap<std::string, std::string>> g_candidates;

bool IsRandomChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// ".<short>.hvtmp-<pid>-XXXXXX": the short name and the pid, or false.
bool ParseName(const std::string& strName, std::string& strShort, pid_t& nPid)
{
    if (strName.size() < 1 + 7 + 1 + 1 + 6 || strName[0] != '.') {
        return false;
    }
    const std::size_t nSuffix = strName.size() - 6;
    for (std::size_t i = nSuffix; i < strName.size(); ++i) {
        if (!IsRandomChar(strName[i])) {
            return false;
        }
    }
    if (strName[nSuffix - 1] != '-') {
        return false;
    }
    std::size_t nDigits = nSuffix - 1;
    long long nValue = 0;
    std::size_t nCount = 0;
    while (nDigits > 0 && strName[nDigits - 1] >= '0' && strName[nDigits - 1] <= '9' && nCount < 10) {
        --nDigits;
        ++nCount;
    }
    if (nCount == 0 || nDigits < 7 || strName.compare(nDigits - 7, 7, kMarker) != 0) {
        return false;
    }
    for (std::size_t i = nDigits; i < nSuffix - 1; ++i) {
        nValue = nValue * 10 + (strName[i] - '0');
    }
    if (nValue <= 1 || nValue > 0x7fffffff) {
        return false;
    }
    strShort = strName.substr(1, nDigits - 7 - 1);
    nPid = static_cast<pid_t>(nValue);
    return !strShort.empty();
}

bool Before(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

bool WriterGone(pid_t nPid)
{
    return nPid != ::getpid() && ::kill(nPid, 0) != 0 && errno == ESRCH;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool IsStale(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1 && Before(st.st_ctim, g_tsStart)
           && Before(st.st_mtim, g_tsStart);
}

// One pass of zeros over the file, synced, then its name removed. False when anything fails
// (the file is then left as it is, or as far as it got).
bool WipeStale(int dirFd, const std::string& strName)
{
    struct stat before
    {
    };
    if (::fstatat(dirFd, strName.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0 || !IsStale(before)) {
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
    return "." + strName.substr(0, kMaxShortName) + kMarker + std::to_string(::getpid()) + "-";
}

int Sweep(const std::string& strDir, const std::string& strName)
{
    const int dirFd = ::open(strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return 0;
    }
    const int nRemoved = SweepAt(dirFd, strName);
    ::close(dirFd);
    return nRemoved;
}

int SweepAt(int dirFd, const std::string& strName)
{
    struct stat stDir
    {
    };
    if (::fstat(dirFd, &stDir) != 0) {
        return 0;
    }
    const std::string strKey = std::to_string(stDir.st_dev) + ":" + std::to_string(stDir.st_ino);
    const std::string strShort = strName.substr(0, kMaxShortName);
    std::lock_guard lock(g_mutex);
    auto it = g_candidates.find(strKey);
    if (it == g_candidates.end()) {
        std::multimap<std::string, std::string> found;
        const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (DIR* pDir = listFd >= 0 ? ::fdopendir(listFd) : nullptr) {
            while (const dirent* pEnt = ::readdir(pDir)) {
                std::string strFound;
                pid_t nPid = 0;
                if (ParseName(pEnt->d_name, strFound, nPid)) {
                    found.emplace(strFound, pEnt->d_name);
                }
            }
            ::closedir(pDir);
        } else if (listFd >= 0) {
            ::close(listFd);
        }
        it = g_candidates.emplace(strKey, std::move(found)).first;
    }
    auto [first, last] = it->second.equal_range(strShort);
    int nRemoved = 0;
    for (auto i = first; i != last;) {
        std::string strTemp;
        pid_t nPid = 0;
        (void)ParseName(i->second, strTemp, nPid);
        if (WriterGone(nPid) && WipeStale(dirFd, i->second)) {
            ++nRemoved;
            i = it->second.erase(i);
        } else {
            ++i;
        }
    }
    if (nRemoved > 0) {
        (void)::fsync(dirFd);
    }
    return nRemoved;
}

}  // namespace HvncStaleTemps
