#include "engines/CHvncIo.h"

#include "globalfuncs/HVDurableFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace HvncIo {

namespace {

std::atomic<std::int64_t> g_nFaultBudget{-1};
std::atomic<int> g_nFaultErrno{ENOSPC};
SHvncResult WriteFailure(int nErr)
{
    return {nErr == ENOSPC || nErr == EDQUOT ? EHvnc::NoSpace : EHvnc::IoError,
            std::string("write failed: ") + std::strerror(nErr)};
}

// Consumes nLen bytes of the fault budget; false when the fault fires.
bool FaultAllows(std::size_t nLen)
{
    std::int64_t nBudget = g_nFaultBudget.load();
    while (nBudget >= 0) {
        if (static_cast<std::uint64_t>(nBudget) < nLen) {
            g_nFaultBudget.store(0);
            return false;
        }
        if (g_nFaultBudget.compare_exchange_weak(nBudget, nBudget - static_cast<std::int64_t>(nLen))) {
            return true;
        }
    }
    return true;
}

}  // namespace

void SetWriteFault(std::int64_t nBytes, int nErrno)
{
    g_nFaultErrno.store(nErrno);
    g_nFaultBudget.store(nBytes);
}

SHvncResult WriteAll(int fd, const iovec* pIov, int nIov)
{
    // The fault seam sees each run of up to 64 buffers as one write.
    while (nIov > 0) {
        const int nNow = std::min(nIov, 64);
        std::size_t nTotal = 0;
        for (int i = 0; i < nNow; ++i) {
            nTotal += pIov[i].iov_len;
        }
        if (!FaultAllows(nTotal)) {
            return WriteFailure(g_nFaultErrno.load());
        }
        if (const int nErr = HVDurableFile::WriteAllV(fd, pIov, nNow); nErr != 0) {
            return WriteFailure(nErr);
        }
        pIov += nNow;
        nIov -= nNow;
    }
    return {};
}

SHvncResult WriteAll(int fd, const void* pData, std::size_t nLen)
{
    iovec v{const_cast<void*>(pData), nLen};
    return WriteAll(fd, &v, 1);
}

std::string DirOf(const std::string& strPath)
{
    const auto nPos = strPath.find_last_of('/');
    if (nPos == std::string::npos) {
        return ".";
    }
    if (nPos == 0) {
        return "/";
    }
    return strPath.substr(0, nPos);
}

std::string NameOf(const std::string& strPath)
{
    const auto nPos = strPath.find_last_of('/');
    return nPos == std::string::npos ? strPath : strPath.substr(nPos + 1);
}

std::string NumberedName(const std::string& strPath, unsigned nNumber)
{
    const auto nSlash = strPath.find_last_of('/');
    const std::size_t nNameStart = nSlash == std::string::npos ? 0 : nSlash + 1;
    auto nDot = strPath.find_last_of('.');
    // A leading dot names a hidden file, not an extension.
    if (nDot == std::string::npos || nDot <= nNameStart) {
        nDot = strPath.size();
    }
    return strPath.substr(0, nDot) + "(" + std::to_string(nNumber) + ")" + strPath.substr(nDot);
}

bool PathExists(const std::string& strPath)
{
    struct stat st
    {
    };
    return ::lstat(strPath.c_str(), &st) == 0;
}

std::string FindFreeName(const std::string& strPath)
{
    if (!PathExists(strPath)) {
        return strPath;
    }
    for (unsigned n = 1; n < 1000000; ++n) {
        std::string strTry = NumberedName(strPath, n);
        if (!PathExists(strTry)) {
            return strTry;
        }
    }
    return std::string();
}

}  // namespace HvncIo
