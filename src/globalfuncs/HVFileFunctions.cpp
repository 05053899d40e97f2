#include "globalfuncs/HVFileFunctions.h"

#include "globalfuncs/CCrc32Static.h"
#include "globalfuncs/HVInternal.h"

#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HVGlobalMFC {

namespace {

QDateTime FromTimespec(const timespec& ts)
{
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}

// rename(2) that fails with EEXIST instead of replacing an existing target.
int RenameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // Filesystems without RENAME_NOREPLACE: check first (a race remains only there).
    struct stat st
    {
    };
    if (lstat(to.constData(), &st) == 0)
        return EEXIST;
    return rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

}  // namespace

int HVDeleteFileEx(const QString& path, int clearAttributes)
{
    const QByteArray native = detail::Native(path);
    struct stat st
    {
    };
    if (lstat(native.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return 0;
    if (clearAttributes && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)) {
        // By descriptor: a link put in its place meanwhile is not followed.
        const int fd = open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd >= 0) {
            (void)fchmod(fd, (st.st_mode & 07777) | S_IWUSR);
            close(fd);
        }
    }
    return unlink(native.constData()) == 0 ? 1 : 0;
}

int HVRenameFile(const QString& from, const QString& to)
{
    const int err = RenameNoReplace(detail::Native(from), detail::Native(to));
    if (err == 0)
        return 1;
    HV_LOG(1,
           QString::asprintf("Failed to rename: %s TO %s\nCause: %s",
                             qUtf8Printable(from),
                             qUtf8Printable(to),
                             qUtf8Printable(detail::SysErrorText(err))));
    HV_LOG(1, QStringLiteral("Cant rename file"));
    return 0;
}

int HVWriteStringFile(const QString& path, const QString& text)
{
    // Replaces a regular file only: a link there is neither written through nor replaced.
    struct stat st
    {
    };
    if (lstat(detail::Native(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return 0;
    }
    return file.commit() ? 1 : 0;
}

qint64 HVGetFileSize(const QString& path)
{
    struct stat st
    {
    };
    if (stat(detail::Native(path).constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return -1;
    return static_cast<qint64>(st.st_size);
}

int HVGetFileSizeDate(const QString& path, qint64& size, QDateTime& modified)
{
    struct stat st
    {
    };
    if (stat(detail::Native(path).constData(), &st) != 0)
        return 0;
    size = S_ISDIR(st.st_mode) ? 0 : static_cast<qint64>(st.st_size);
    modified = FromTimespec(st.st_mtim);
    return 1;
}

QDateTime HVGetFileModificationDate(const QString& path)
{
    struct stat st
    {
    };
    if (stat(detail::Native(path).constData(), &st) != 0)
        return {};
    return FromTimespec(st.st_mtim);
}

int HVGetFileFindData(const QString& path, HVFileFindData& data)
{
    const QByteArray native = detail::Native(path);
    struct statx stx
    {
    };
    if (statx(AT_FDCWD, native.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0)
        return 0;
    data = HVFileFindData{};
    data.strFullPath = path;
    QString name = path;
    while (name.size() > 1 && name.endsWith(QLatin1Char('/')))
        name.chop(1);
    data.cFileName = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    unsigned attributes = 0;
    if (S_ISDIR(stx.stx_mode))
        attributes |= HV_FILE_ATTRIBUTE_DIRECTORY;
    if (S_ISLNK(stx.stx_mode)) {
        attributes |= HV_FILE_ATTRIBUTE_REPARSE_POINT;
        struct stat target
        {
        };
        if (stat(native.constData(), &target) == 0 && S_ISDIR(target.st_mode))
            attributes |= HV_FILE_ATTRIBUTE_DIRECTORY;
    }
    if (!(stx.stx_mode & S_IWUSR))
        attributes |= HV_FILE_ATTRIBUTE_READONLY;
    if (data.cFileName.startsWith(QLatin1Char('.')) && data.cFileName != QLatin1String(".")
        && data.cFileName != QLatin1String(".."))
        attributes |= HV_FILE_ATTRIBUTE_HIDDEN;
    if (stx.stx_uid != geteuid())
        attributes |= HV_FILE_ATTRIBUTE_SYSTEM;
    data.dwFileAttributes = attributes ? attributes : HV_FILE_ATTRIBUTE_NORMAL;
    if (S_ISREG(stx.stx_mode))
        data.nFileSize = stx.stx_size;
    auto toDate = [](const statx_timestamp& t) {
        return QDateTime::fromMSecsSinceEpoch(t.tv_sec * 1000 + t.tv_nsec / 1000000);
    };
    data.ftLastWriteTime = toDate(stx.stx_mtime);
    data.ftLastAccessTime = toDate(stx.stx_atime);
    data.ftCreationTime = toDate((stx.stx_mask & STATX_BTIME) ? stx.stx_btime : stx.stx_ctime);
    return 1;
}

int HVGetCRC(const QString& path, quint32& crc)
{
    return static_cast<int>(CCrc32Static::FileCrc32Win32(path, crc));
}

}  // namespace HVGlobalMFC
