#include "security/HVRunFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace HVRunFiles {

namespace {

std::string BaseName(const std::string& strPath)
{
    std::string s = strPath;
    while (s.size() > 1 && s.back() == '/') {
        s.pop_back();
    }
    const auto nSlash = s.rfind('/');
    return nSlash == std::string::npos ? s : s.substr(nSlash + 1);
}

}  // namespace

bool ReadAttributes(const std::string& strPath, SAttributes& attrs, std::string& strWhy)
{
    struct stat st
    {
    };
    if (::lstat(strPath.c_str(), &st) != 0) {
        strWhy = std::string("cannot read the attributes: ") + std::strerror(errno);
        return false;
    }
    const std::string strName = BaseName(strPath);
    attrs.bHidden = !strName.empty() && strName[0] == '.';
    attrs.bReadOnly = (st.st_mode & S_IWUSR) == 0;
    attrs.bSystem = st.st_uid != ::geteuid();
    return true;
}

bool ReadAttributesAt(int nDirFd, const std::string& strName, SAttributes& attrs, std::string& strWhy)
{
    struct stat st
    {
    };
    if (::fstatat(nDirFd, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        strWhy = std::string("cannot read the attributes: ") + std::strerror(errno);
        return false;
    }
    attrs.bHidden = !strName.empty() && strName[0] == '.';
    attrs.bReadOnly = !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
    attrs.bSystem = st.st_uid != ::geteuid();
    return true;
}

std::string OutputFolder(const std::string& strPath)
{
    std::string s = strPath;
    while (s.size() > 1 && s.back() == '/') {
        s.pop_back();
    }
    const auto nSlash = s.rfind('/');
    if (nSlash == std::string::npos) {
        return ".";
    }
    if (nSlash == 0) {
        return "/";
    }
    return s.substr(0, nSlash);
}

std::optional<std::uint64_t> FreeBytes(const std::string& strFolder)
{
    struct statvfs vfs
    {
    };
    int nRet;
    do {
        nRet = ::statvfs(strFolder.c_str(), &vfs);
    } while (nRet != 0 && errno == EINTR);
    if (nRet != 0) {
        return std::nullopt;
    }
    const std::uint64_t nUnit = vfs.f_frsize != 0 ? vfs.f_frsize : vfs.f_bsize;
    return static_cast<std::uint64_t>(vfs.f_bavail) * nUnit;
}

std::optional<std::uint64_t> FreeBytesAt(int nDirFd)
{
    struct statvfs vfs
    {
    };
    int nRet;
    do {
        nRet = ::fstatvfs(nDirFd, &vfs);
    } while (nRet != 0 && errno == EINTR);
    if (nRet != 0) {
        return std::nullopt;
    }
    const std::uint64_t nUnit = vfs.f_frsize != 0 ? vfs.f_frsize : vfs.f_bsize;
    return static_cast<std::uint64_t>(vfs.f_bavail) * nUnit;
}

bool HasHvncExtension(const std::string& strName)
{
    static constexpr char kExt[] = ".hvnc";
    constexpr std::size_t nExt = sizeof kExt - 1;
    return strName.size() >= nExt && ::strcasecmp(strName.c_str() + strName.size() - nExt, kExt) == 0;
}

}  // namespace HVRunFiles
