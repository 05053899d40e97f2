#include "app/HVPrivateFolders.h"

#include "globalfuncs/HVPathText.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kFolderMode = 0700;

// Gives fd the mode wanted when it is the user's and lets others in.
int MakePrivate(int fd, bool bFolder)
{
    struct stat st = {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & 077) == 0) {
        return 0;
    }
    const mode_t nMode = bFolder ? kFolderMode : (st.st_mode & 0700);
    return ::fchmod(fd, nMode) == 0 ? 1 : 0;
}

int TightenEntries(int fdDir)
{
    const int fdList = ::dup(fdDir);
    DIR* pDir = fdList < 0 ? nullptr : ::fdopendir(fdList);
    if (pDir == nullptr) {
        if (fdList >= 0) {
            ::close(fdList);
        }
        return 0;
    }
    int nChanged = 0;
    while (const dirent* pEntry = ::readdir(pDir)) {
        const QByteArray name(pEntry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        struct stat st = {};
        if (::fstatat(fdDir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0
            || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) {
            continue;
        }
        const bool bFolder = S_ISDIR(st.st_mode);
        const int fd = ::openat(
            fdDir, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (bFolder ? O_DIRECTORY : 0));
        if (fd >= 0) {
            nChanged += MakePrivate(fd, bFolder);
            ::close(fd);
        }
    }
    ::closedir(pDir);
    return nChanged;
}

}  // namespace

int HVPrivateFolders::Tighten(const QString& strBase, const QStringList& lstParts)
{
    if (strBase.isEmpty() || lstParts.isEmpty()) {
        return 0;
    }
    int fd = ::open(HVGlobalMFC::HVPathToBytes(strBase).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int nChanged = 0;
    for (const QString& strPart : lstParts) {
        if (fd < 0) {
            return nChanged;
        }
        const QByteArray part = HVGlobalMFC::HVPathToBytes(strPart);
        const int fdNext = part.isEmpty() || part.contains('/')
                               ? -1
                               : ::openat(fd, part.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(fd);
        fd = fdNext;
        if (fd >= 0) {
            nChanged += MakePrivate(fd, true);
        }
    }
    if (fd >= 0) {
        nChanged += TightenEntries(fd);
        ::close(fd);
    }
    return nChanged;
}
