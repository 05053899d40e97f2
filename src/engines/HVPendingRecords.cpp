#include "engines/HVPendingRecords.h"

#include "engines/HVPendingRecordsText.h"
#include "engines/HVTempNames.h"
#include "globalfuncs/HVDurableFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace HVPendingRecords {

namespace {

constexpr std::size_t kMaxRecordBytes = 64u << 20;  // a record read back is capped (hostile input)

std::mutex g_mutex;
std::string g_strDataFolder;  // "" = the default

// This process's record: created at the first entry, locked while the process runs.
struct SOwnRecord
{
    int fd = -1;
    std::string strPath;
    std::vector<SEntry> entries;
    ~SOwnRecord();
};
SOwnRecord g_own;

std::string DefaultDataFolder()
{
    const char* pszData = std::getenv("XDG_DATA_HOME");
    std::string strBase = pszData != nullptr && pszData[0] == '/' ? std::string(pszData) : std::string();
    if (strBase.empty()) {
        const char* pszHome = std::getenv("HOME");
        if (pszHome == nullptr || pszHome[0] != '/') {
            return std::string();
        }
        strBase = std::string(pszHome) + "/.local/share";
    }
    return strBase + "/Halvo-Soft/HalvoNorvane/Data";
}

std::string PendingFolderLocked()
{
    const std::string strData = g_strDataFolder.empty() ? DefaultDataFolder() : g_strDataFolder;
    return strData.empty() ? std::string() : strData + "/Pending";
}

// mkdir -p with mode 0700 for what it creates.
bool MakeFolders(const std::string& strPath)
{
    for (std::size_t nPos = 1; nPos <= strPath.size(); ++nPos) {
        if (nPos == strPath.size() || strPath[nPos] == '/') {
            const std::string strPart = strPath.substr(0, nPos);
            if (::mkdir(strPart.c_str(), 0700) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    struct stat st
    {
    };
    return ::stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool OpenOwnLocked()
{
    if (g_own.fd >= 0) {
        return true;
    }
    const std::string strFolder = PendingFolderLocked();
    const std::string strToken = HVNewTempToken();
    if (strFolder.empty() || strToken.empty() || !MakeFolders(strFolder)) {
        return false;
    }
    const std::string strPath = strFolder + "/" + std::to_string(::getpid()) + "-" + strToken + ".rec";
    const int fd = ::open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        ::unlink(strPath.c_str());
        return false;
    }
    g_own.fd = fd;
    g_own.strPath = strPath;
    return true;
}

// The record is removed at a normal end once none of its entries is left in place.
SOwnRecord::~SOwnRecord()
{
    if (fd < 0) {
        return;
    }
    bool bLeft = false;
    for (const SEntry& e : entries) {
        const int dirFd = ::open(e.strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st
        {
        };
        if (dirFd >= 0 && ::fstat(dirFd, &st) == 0 && st.st_dev == e.nDev && st.st_ino == e.nDirIno
            && ::fstatat(dirFd, e.strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            bLeft = true;
        }
        if (dirFd >= 0) {
            ::close(dirFd);
        }
    }
    if (!bLeft) {
        ::unlink(strPath.c_str());
    }
    ::close(fd);
}

bool ReadAll(int fd, std::string& out)
{
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        out.append(buf, static_cast<std::size_t>(n));
        if (out.size() > kMaxRecordBytes) {
            return false;
        }
    }
}

}  // namespace

void SetDataFolder(const std::string& strFolder)
{
    std::lock_guard lock(g_mutex);
    g_strDataFolder = strFolder;
}

std::string DataFolder()
{
    std::lock_guard lock(g_mutex);
    return g_strDataFolder.empty() ? DefaultDataFolder() : g_strDataFolder;
}

bool Add(char cKind, int nArg, int nDirFd, const std::string& strName, std::uint64_t nFileIno, bool bSync)
{
    struct stat st
    {
    };
    if (::fstat(nDirFd, &st) != 0) {
        return false;
    }
    SEntry e;
    e.cKind = cKind;
    e.nArg = nArg;
    e.nDev = st.st_dev;
    e.nDirIno = st.st_ino;
    e.nFileIno = nFileIno;
    char buf[4096];
    const std::string strLink = "/proc/self/fd/" + std::to_string(nDirFd);
    const ssize_t n = ::readlink(strLink.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf || buf[0] != '/') {
        return false;
    }
    e.strDir.assign(buf, static_cast<std::size_t>(n));
    e.strName = strName;
    std::lock_guard lock(g_mutex);
    if (!OpenOwnLocked()) {
        return false;
    }
    const std::string strLine = Line(e);
    if (::write(g_own.fd, strLine.data(), strLine.size()) != static_cast<ssize_t>(strLine.size())
        || (bSync && ::fdatasync(g_own.fd) != 0)) {
        return false;
    }
    g_own.entries.push_back(std::move(e));
    return true;
}

int ForEachOrphan(char cKind, const std::function<void(const SEntry&, int nDirFd)>& fn)
{
    std::string strFolder;
    std::string strOwn;
    {
        std::lock_guard lock(g_mutex);
        strFolder = PendingFolderLocked();
        strOwn = g_own.strPath;
    }
    std::vector<std::string> records;
    if (DIR* pDir = strFolder.empty() ? nullptr : ::opendir(strFolder.c_str())) {
        while (const dirent* pEnt = ::readdir(pDir)) {
            const std::string strName = pEnt->d_name;
            if (strName.size() > 4 && strName.compare(strName.size() - 4, 4, ".rec") == 0) {
                records.push_back(strFolder + "/" + strName);
            }
        }
        ::closedir(pDir);
    }
    int nSeen = 0;
    for (const std::string& strPath : records) {
        if (strPath == strOwn) {
            continue;
        }
        const int fd = ::open(strPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat stRec
        {
        };
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &stRec) != 0 || !S_ISREG(stRec.st_mode)
            || stRec.st_uid != ::geteuid()) {
            ::close(fd);  // its process still runs, or it is not ours
            continue;
        }
        std::string strText;
        const bool bRead = ReadAll(fd, strText);
        std::string strKeep;
        std::istringstream lines(strText);
        for (std::string strLine; bRead && std::getline(lines, strLine);) {
            SEntry e;
            if (!Parse(strLine, e)) {
                continue;  // a damaged line names nothing that could be acted on
            }
            if (e.cKind != cKind) {
                strKeep += Line(e);
                continue;
            }
            ++nSeen;
            const int dirFd = ::open(e.strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            struct stat st
            {
            };
            if (dirFd >= 0 && ::fstat(dirFd, &st) == 0 && st.st_dev == e.nDev && st.st_ino == e.nDirIno) {
                fn(e, dirFd);
            }
            if (dirFd >= 0) {
                ::close(dirFd);
            }
        }
        if (bRead && strKeep.empty()) {
            ::unlink(strPath.c_str());
        } else if (bRead) {
            // Rewrite with what is left for the other kind's sweep (a failure keeps the old record).
            HVDurableFile::SOptions opt;
            opt.strTempName = strPath.substr(strPath.rfind('/') + 1) + ".new";
            opt.bDataSyncOnly = true;
            HVDurableFile::Write(strPath, strKeep, opt);
        }
        ::close(fd);
    }
    return nSeen;
}

}  // namespace HVPendingRecords
