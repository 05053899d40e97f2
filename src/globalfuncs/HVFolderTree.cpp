#include "globalfuncs/HVFolderTree.h"

#include "globalfuncs/HVDurableFile.h"
#include "globalfuncs/HVUniqueFd.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace HVGlobalMFC::detail {

namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The names inside the folder open at dirFd ("." and ".." left out); false on a read error.
bool ListNames(int dirFd, std::vector<std::string>& names, int& err)
{
    const int dupFd = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = dupFd >= 0 ? ::fdopendir(dupFd) : nullptr;
    if (!dir) {
        err = errno;
        if (dupFd >= 0)
            ::close(dupFd);
        return false;
    }
    ::rewinddir(dir);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    err = errno;
    ::closedir(dir);
    return err == 0;
}

bool Fail(const FTreeFailure& onFailure, int err)
{
    if (onFailure)
        onFailure(err);
    return false;
}

bool CopyFileAt(int srcFd, int dstFd, const std::string& name, const FTreeFailure& onFailure)
{
    const HVUniqueFd in(::openat(srcFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st
    {
    };
    if (in.Get() < 0 || ::fstat(in.Get(), &st) != 0)
        return Fail(onFailure, errno);
    if (!S_ISREG(st.st_mode))
        return Fail(onFailure, EINVAL);
    HVDurableFile::SOptions opt;
    opt.nMode = st.st_mode & 07777;
    opt.eModes = HVDurableFile::EModes::BestEffort;  // a file system without modes still takes the copy
    const int err = HVDurableFile::WriteAt(
        dstFd,
        name,
        [&in](int outFd) {
            char buf[65536];
            for (;;) {
                const ssize_t n = ::read(in.Get(), buf, sizeof buf);
                if (n == 0)
                    return 0;
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0)
                    return errno;
                if (const int werr = HVDurableFile::WriteAll(outFd, std::string_view(buf, static_cast<size_t>(n))))
                    return werr;
            }
        },
        opt);
    return err == 0 || Fail(onFailure, err);
}

bool CopyLinkAt(int srcFd, int dstFd, const std::string& name, const FTreeFailure& onFailure)
{
    std::string target(4096, '\0');
    const ssize_t n = ::readlinkat(srcFd, name.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size())
        return Fail(onFailure, n < 0 ? errno : ENAMETOOLONG);
    target.resize(static_cast<size_t>(n));
    // The existing link (not what it points to) is what gets replaced.
    struct stat st
    {
    };
    if (::fstatat(dstFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode) || ::unlinkat(dstFd, name.c_str(), 0) != 0)
            return Fail(onFailure, S_ISDIR(st.st_mode) ? EISDIR : errno);
    }
    return ::symlinkat(target.c_str(), dstFd, name.c_str()) == 0 || Fail(onFailure, errno);
}

}  // namespace

bool EmptyFolderAt(int dirFd, bool addOwnerWrite, const FTreeFailure& onFailure)
{
    std::vector<std::string> names;
    int err = 0;
    bool ok = ListNames(dirFd, names, err) || Fail(onFailure, err);
    for (const std::string& name : names) {
        struct stat st
        {
        };
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = Fail(onFailure, errno);
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            const HVUniqueFd sub(::openat(dirFd, name.c_str(), kDirFlags));
            const int subFd = sub.Get();
            if (subFd < 0) {
                ok = Fail(onFailure, errno);
                continue;
            }
            if (addOwnerWrite && (st.st_mode & S_IRWXU) != S_IRWXU)
                (void)::fchmod(subFd, (st.st_mode & 07777) | S_IRWXU);
            if (!EmptyFolderAt(subFd, addOwnerWrite, onFailure)) {
                ok = false;
                continue;
            }
        }
        if (::unlinkat(dirFd, name.c_str(), S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) != 0)
            ok = Fail(onFailure, errno);
    }
    return ok;
}

bool CopyFolderAt(int srcFd, int dstFd, bool overwrite, const FTreeFailure& onFailure)
{
    std::vector<std::string> names;
    int err = 0;
    bool ok = ListNames(srcFd, names, err) || Fail(onFailure, err);
    for (const std::string& name : names) {
        struct stat st
        {
        };
        struct stat existing
        {
        };
        if (::fstatat(srcFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = Fail(onFailure, errno);
            continue;
        }
        const bool bExists = ::fstatat(dstFd, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
        if (S_ISDIR(st.st_mode)) {
            if (!bExists && ::mkdirat(dstFd, name.c_str(), 0700) != 0) {
                ok = Fail(onFailure, errno);
                continue;
            }
            const HVUniqueFd subSrc(::openat(srcFd, name.c_str(), kDirFlags));
            const HVUniqueFd subDst(::openat(dstFd, name.c_str(), kDirFlags));
            if (subSrc.Get() < 0 || subDst.Get() < 0) {
                ok = Fail(onFailure, errno);
                continue;
            }
            ok = CopyFolderAt(subSrc.Get(), subDst.Get(), overwrite, onFailure) && ok;
            if (!bExists)
                (void)::fchmod(subDst.Get(), st.st_mode & 07777);
        } else if (bExists && !overwrite) {
            continue;
        } else if (S_ISREG(st.st_mode)) {
            ok = CopyFileAt(srcFd, dstFd, name, onFailure) && ok;
        } else if (S_ISLNK(st.st_mode)) {
            ok = CopyLinkAt(srcFd, dstFd, name, onFailure) && ok;
        } else {
            ok = Fail(onFailure, EINVAL);
        }
    }
    return ok;
}

}  // namespace HVGlobalMFC::detail
