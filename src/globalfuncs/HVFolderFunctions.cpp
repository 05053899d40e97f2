#include "globalfuncs/HVFolderFunctions.h"

#include "globalfuncs/HVInternal.h"
#include "globalfuncs/HVShellFunctions.h"

#include <QDir>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

void AddOwnerWrite(const QByteArray& native)
{
    struct stat st
    {
    };
    if (lstat(native.constData(), &st) == 0 && !S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR))
        chmod(native.constData(), (st.st_mode & 07777) | S_IWUSR);
}

// Adds the owner's write bit to an item and, for a real folder, to everything inside it.
void AddOwnerWriteTree(const fs::path& item)
{
    AddOwnerWrite(QByteArray::fromStdString(item.native()));
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(item, ec)))
        return;
    for (fs::recursive_directory_iterator it(item, ec), end; !ec && it != end; it.increment(ec))
        AddOwnerWrite(QByteArray::fromStdString(it->path().native()));
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
    const fs::path root(detail::Native(path).toStdString());
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(root, ec)))
        return 0;
    bool ok = true;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (clearAttributes)
            AddOwnerWriteTree(it->path());
        std::error_code rmEc;
        fs::remove_all(it->path(), rmEc);  // never follows links
        if (rmEc) {
            LogRemoveFailure(rmEc.value());
            ok = false;
        }
    }
    if (ec) {
        LogRemoveFailure(ec.value());
        ok = false;
    }
    return ok ? 1 : 0;
}

int HVCopyFolder(const QString& source, const QString& target, int overwrite)
{
    std::error_code ec;
    const fs::path src = fs::weakly_canonical(fs::path(detail::Native(source).toStdString()), ec);
    if (ec || !fs::is_directory(fs::symlink_status(src, ec)))
        return 0;
    const fs::path dst = fs::weakly_canonical(fs::path(detail::Native(target).toStdString()), ec);
    if (ec)
        return 0;
    // A target inside the source would copy itself without end.
    auto [srcEnd, dstIt] = std::mismatch(src.begin(), src.end(), dst.begin(), dst.end());
    if (srcEnd == src.end())
        return 0;
    if (detail::MakePath(QString::fromStdString(dst.native()), 0777) != 0)
        return 0;
    auto options = fs::copy_options::recursive | fs::copy_options::copy_symlinks;
    options |= overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::skip_existing;
    fs::copy(src, dst, options, ec);
    return ec ? 0 : 1;
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
    created = QFile::decodeName(templ);
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
    created = QFile::decodeName(templ);
    return 1;
}

}  // namespace HVGlobalMFC
