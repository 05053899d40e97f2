#include "globalfuncs/HVFolderFunctions.h"

#include "globalfuncs/HVFolderTree.h"
#include "globalfuncs/HVInternal.h"
#include "globalfuncs/HVPathText.h"
#include "globalfuncs/HVShellFunctions.h"

#include <QDir>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace HVGlobalMFC {

namespace detail {

int MakePath(const QString& path, unsigned mode)
{
    if (path.isEmpty())
        return ENOENT;
    const QByteArray native = Native(QDir::cleanPath(path));
    struct stat st
    {
    };
    if (stat(native.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    // Walk the components; each mkdir may meet one that a concurrent caller just made.
    for (qsizetype pos = 1; pos <= native.size(); ++pos) {
        if (pos < native.size() && native.at(pos) != '/')
            continue;
        const QByteArray part = native.left(pos);
        if (mkdir(part.constData(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST)
            return errno;
    }
    if (stat(native.constData(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

}  // namespace detail

namespace {

QString Trimmed(const QString& path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

// By descriptor, so that a link put in the folder's place is not followed.
void AddOwnerWrite(const QByteArray& native)
{
    const int fd = open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st
    {
    };
    if (fstat(fd, &st) == 0 && !(st.st_mode & S_IWUSR))
        (void)fchmod(fd, (st.st_mode & 07777) | S_IWUSR);
    close(fd);
}

void LogRemoveFailure(int err)
{
    HV_LOG(
        1,
        QString::asprintf("Failed to remove Folder: Error: (%d) - %s", err, qUtf8Printable(detail::SysErrorText(err))));
}

}  // namespace

int HVCreateFolder(const QString& path)
{
    const QString folder = Trimmed(path);
    if (folder.isEmpty())
        return -1;
    struct stat st
    {
    };
    if (stat(detail::Native(folder).constData(), &st) == 0)
        return -1;  // a folder that exists, or a file in the way
    return detail::MakePath(folder, 0777) == 0 ? 0 : -1;
}

int HVCreateFolder_(const QString& path)
{
    return HVCreateFolder(path);
}

int HVEnsureFolderIsCreated(const QString& path, int pathIsFolder)
{
    QString folder = path;
    if (!pathIsFolder) {
        // "/a/b/name" -> "/a/b"; "/a/b/" names no file, so its folder is "/a/b" itself.
        const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return 1;
        folder = slash == 0 ? QStringLiteral("/") : folder.left(slash);
    }
    (void)HVCreateFolder(folder);
    return 1;
}

int HVDeleteFolderEx(const QString& path, int clearAttributes)
{
    const QByteArray native = detail::Native(Trimmed(path));
    if (clearAttributes)
        AddOwnerWrite(native);
    if (rmdir(native.constData()) == 0)
        return 1;
    LogRemoveFailure(errno);
    return 0;
}

int HVEmptyDirectory(const QString& path, int clearAttributes)
{
    // "link/" and "link/." name the link, not the folder it points to.
    const int fd =
        open(detail::Native(QDir::cleanPath(path)).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const bool ok = detail::EmptyFolderAt(fd, clearAttributes != 0, LogRemoveFailure);
    close(fd);
    return ok ? 1 : 0;
}

int HVCopyFolder(const QString& source, const QString& target, int overwrite)
{
    std::error_code ec;
    const fs::path src = fs::weakly_canonical(fs::path(detail::Native(Trimmed(source)).toStdString()), ec);
    if (ec || !fs::is_directory(fs::symlink_status(src, ec)))
        return 0;
    const fs::path dst = fs::weakly_canonical(fs::path(detail::Native(Trimmed(target)).toStdString()), ec);
    if (ec)
        return 0;
    // A target inside the source would copy itself without end.
    auto [srcEnd, dstIt] = std::mismatch(src.begin(), src.end(), dst.begin(), dst.end());
    if (srcEnd == src.end())
        return 0;
    if (detail::MakePath(QString::fromStdString(dst.native()), 0777) != 0)
        return 0;
    const int srcFd = open(src.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int dstFd = open(dst.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const bool ok = srcFd >= 0 && dstFd >= 0 && detail::CopyFolderAt(srcFd, dstFd, overwrite != 0, {});
    if (srcFd >= 0)
        close(srcFd);
    if (dstFd >= 0)
        close(dstFd);
    return ok ? 1 : 0;
}

int HVCreateUniqueFolder(const QString& parent, const QString& prefix, QString& created)
{
    created.clear();
    if (detail::MakePath(parent, 0777) != 0)
        return 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int number = static_cast<int>(QRandomGenerator::global()->bounded(100000000));
        const QString candidate = Trimmed(parent) + QLatin1Char('/') + prefix + QString::asprintf("%.8d", number);
        if (mkdir(detail::Native(candidate).constData(), 0777) == 0) {
            created = candidate;
            return 1;
        }
        if (errno != EEXIST)
            return 0;
    }
    return 0;
}

int MakeHVTempFolder(QString& created)
{
    created.clear();
    QByteArray templ = detail::Native(HVGetTempFolder() + QStringLiteral("/HBKXXXXXX"));
    if (!mkdtemp(templ.data()))
        return 0;
    created = HVGlobalMFC::HVPathFromBytes(templ);
    return 1;
}

int HV_MakeTempFile(QString& created)
{
    created.clear();
    QByteArray templ = detail::Native(HVGetTempFolder() + QStringLiteral("/HBKXXXXXX"));
    const int fd = mkstemp(templ.data());
    if (fd < 0)
        return 0;
    close(fd);
    created = HVGlobalMFC::HVPathFromBytes(templ);
    return 1;
}

}  // namespace HVGlobalMFC
