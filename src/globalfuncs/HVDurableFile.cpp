#include "globalfuncs/HVDurableFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace HVDurableFile {

namespace {

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
    auto nextName = [&strName](std::string& strTry) {
        const std::string strToken = RandomToken(10, "abcdefghijklmnopqrstuvwxyz0123456789");
        strTry = "." + strName.substr(0, 200) + "." + strToken;
        return strToken.empty() ? EIO : 0;
    };
    return CreateExclusiveAt(nDirFd, O_WRONLY, opt.nMode, nextName, strTemp);
}

// Steps past nDone bytes of the nLeft iovecs at p.
void Advance(iovec*& p, int& nLeft, std::size_t nDone)
{
    while (nLeft > 0 && nDone >= p->iov_len) {
        nDone -= p->iov_len;
        ++p;
        --nLeft;
    }
    if (nLeft > 0) {
        p->iov_base = static_cast<char*>(p->iov_base) + nDone;
        p->iov_len -= nDone;
    }
}

}  // namespace

std::string RandomToken(std::size_t nLen, std::string_view alphabet)
{
    std::string strToken(nLen, 'x');
    std::vector<unsigned char> bytes(nLen);
    if (alphabet.empty() || ::getrandom(bytes.data(), nLen, 0) != static_cast<ssize_t>(nLen)) {
        return std::string();
    }
    for (std::size_t i = 0; i < nLen; ++i) {
        strToken[i] = alphabet[bytes[i] % alphabet.size()];
    }
    return strToken;
}

int CreateExclusiveAt(int nDirFd,
                      int nFlags,
                      mode_t nMode,
                      const std::function<int(std::string& strName)>& nextName,
                      std::string& strTemp)
{
    for (int nTry = 0; nTry < 100; ++nTry) {
        std::string strTry;
        if (const int nErr = nextName(strTry); nErr != 0) {
            return -nErr;
        }
        const int nFd = ::openat(nDirFd, strTry.c_str(), nFlags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, nMode);
        if (nFd >= 0) {
            strTemp = std::move(strTry);
            return nFd;
        }
        if (errno != EEXIST) {
            return -errno;
        }
    }
    return -EEXIST;
}

void RemoveTemp(int nDirFd, std::string& strTemp)
{
    if (!strTemp.empty()) {
        ::unlinkat(nDirFd, strTemp.c_str(), 0);
        strTemp.clear();
    }
}

int WriteAllV(int nFd, const iovec* pIov, int nIov)
{
    iovec local[64];
    while (nIov > 0) {
        const int nNow = std::min(nIov, 64);
        std::copy(pIov, pIov + nNow, local);
        iovec* p = local;
        int nLeft = nNow;
        Advance(p, nLeft, 0);  // empty buffers need no write
        while (nLeft > 0) {
            const ssize_t n = ::writev(nFd, p, nLeft);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return n < 0 ? errno : ENOSPC;
            }
            Advance(p, nLeft, static_cast<std::size_t>(n));
        }
        pIov += nNow;
        nIov -= nNow;
    }
    return 0;
}

int WriteAll(int nFd, std::string_view content)
{
    iovec v{const_cast<char*>(content.data()), content.size()};
    return WriteAllV(nFd, &v, 1);
}

ssize_t ReadFull(int nFd, void* pData, std::size_t nLen)
{
    iovec v{pData, nLen};
    return ReadFullV(nFd, &v, 1);
}

ssize_t ReadFullV(int nFd, iovec* pIov, int nIov)
{
    ssize_t nTotal = 0;
    while (nIov > 0) {
        const ssize_t n = ::readv(nFd, pIov, std::min(nIov, 64));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (n == 0) {
            break;
        }
        nTotal += n;
        Advance(pIov, nIov, static_cast<std::size_t>(n));
    }
    return nTotal;
}

int SyncFile(int nFd, bool bDataOnly)
{
    return (bDataOnly ? ::fdatasync(nFd) : ::fsync(nFd)) == 0 ? 0 : errno;
}

bool SyncDir(int nDirFd)
{
    return ::fsync(nDirFd) == 0 || errno == EINVAL || errno == EROFS;
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
    if (nErr == 0) {
        nErr = SyncFile(nFd, opt.bDataSyncOnly);
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
        RemoveTemp(nDirFd, strTemp);
        return nErr;
    }
    // The content is in place either way; a failed folder sync only leaves its name less durable.
    SyncDir(nDirFd);
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
