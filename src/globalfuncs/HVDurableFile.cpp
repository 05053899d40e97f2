#include "globalfuncs/HVDurableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HVDurableFile {

namespace {

std::string FreshToken()
{
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[10] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        return std::string();
    }
    std::string strToken;
    for (const unsigned char c : bytes) {
        strToken += kChars[c % (sizeof kChars - 1)];
    }
    return strToken;
}

int OpenTemp(int nDirFd, const std::string& strName, const SOptions& opt, std::string& strTemp)
{
    constexpr int kFlags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW;
    if (!opt.strTempName.empty()) {
        strTemp = opt.strTempName;
        // Opened before it is emptied: a hard link planted there must not empty its other name.
        const int nFd = ::openat(nDirFd, strTemp.c_str(), kFlags | O_NONBLOCK, opt.nMode);
        if (nFd < 0) {
            return -errno;
        }
        struct stat st = {};
        if (::fstat(nFd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || ::ftruncate(nFd, 0) != 0) {
            const int nErr = errno != 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 ? errno : EMLINK;
            ::close(nFd);
            return -nErr;
        }
        return nFd;
    }
    for (int nTry = 0; nTry < 100; ++nTry) {
        const std::string strToken = FreshToken();
        if (strToken.empty()) {
            return -EIO;
        }
        strTemp = "." + strName.substr(0, 200) + "." + strToken;
        const int nFd = ::openat(nDirFd, strTemp.c_str(), kFlags | O_EXCL, opt.nMode);
        if (nFd >= 0 || errno != EEXIST) {
            return nFd >= 0 ? nFd : -errno;
        }
    }
    return -EEXIST;
}

}  // namespace

int WriteAll(int nFd, std::string_view content)
{
    std::size_t nDone = 0;
    while (nDone < content.size()) {
        const ssize_t n = ::write(nFd, content.data() + nDone, content.size() - nDone);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : ENOSPC;
        }
        nDone += static_cast<std::size_t>(n);
    }
    return 0;
}

int WriteAt(int nDirFd, const std::string& strName, const std::function<int(int nFd)>& fill, const SOptions& opt)
{
    std::string strTemp;
    const int nFd = OpenTemp(nDirFd, strName, opt, strTemp);
    if (nFd < 0) {
        return -nFd;
    }
    int nErr = fill(nFd);
    if (nErr == 0 && opt.eModes != EModes::Umask && ::fchmod(nFd, opt.nMode) != 0 && opt.eModes == EModes::Required) {
        nErr = errno;
    }
    if (nErr == 0 && (opt.bDataSyncOnly ? ::fdatasync(nFd) : ::fsync(nFd)) != 0) {
        nErr = errno;
    }
    if (::close(nFd) != 0 && nErr == 0) {
        nErr = errno;
    }
    if (nErr == 0 && opt.hook) {
        opt.hook("written");
    }
    if (nErr == 0 && ::renameat(nDirFd, strTemp.c_str(), nDirFd, strName.c_str()) != 0) {
        nErr = errno;
    }
    if (nErr != 0) {
        ::unlinkat(nDirFd, strTemp.c_str(), 0);
        return nErr;
    }
    // The content is in place either way; a failed folder sync only leaves its name less durable.
    (void)::fsync(nDirFd);
    if (opt.hook) {
        opt.hook("renamed");
    }
    return 0;
}

int Write(const std::string& strPath, std::string_view content, const SOptions& opt)
{
    const std::size_t nSlash = strPath.rfind('/');
    const std::string strDir = nSlash == std::string::npos ? "." : (nSlash == 0 ? "/" : strPath.substr(0, nSlash));
    const std::string strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    if (strName.empty()) {
        return EISDIR;
    }
    const int nDirFd = ::open(strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nDirFd < 0) {
        return errno;
    }
    const int nErr = WriteAt(
        nDirFd, strName, [content](int nFd) { return WriteAll(nFd, content); }, opt);
    ::close(nDirFd);
    return nErr;
}

}  // namespace HVDurableFile
