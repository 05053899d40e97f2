#include "globalfuncs/HVSystemFunctions.h"

#include "globalfuncs/CBackupFilterManager.h"
#include "globalfuncs/HVInternal.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace HVGlobalMFC {

int HVGetErrorMessage(QString& buffer, int errorCode, int size)
{
    buffer.clear();
    if (size <= 0)
        return 0;
    buffer = detail::SysErrorText(errorCode).left(size);
    return 1;
}

int HVRunRegistryFile(const QString& path)
{
    (void)path;
    return 0;
}

int HVReplaceRegFile(const QString& source, const QString& target, CBackupFilterManager& filter, bool withAppPaths)
{
    return filter.RewriteFile(source, target, false, withAppPaths, true);
}

long RegCopyKey(const QString& from, const QString& to, const QString& name)
{
    (void)from;
    (void)to;
    (void)name;
    return 50;
}

quint64 GetPhysicalRamSize()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<quint64>(pages) * static_cast<quint64>(pageSize);
}

quint64 GetMaxRamSizeForProgram()
{
    constexpr quint64 kFloor = 0x2000000;    // 32 MiB
    constexpr quint64 kReserve = 0x1000000;  // 16 MiB
    const quint64 ram = GetPhysicalRamSize();
    return ram > kFloor + kReserve ? ram - kReserve : kFloor;
}

int GetDiskFreeSpaceEx1(const QString& path, quint64& freeToCaller, quint64& total, quint64& totalFree)
{
    freeToCaller = total = totalFree = 0;
    QString probe = QDir::cleanPath(QFileInfo(path.isEmpty() ? QStringLiteral(".") : path).absoluteFilePath());
    struct statvfs vfs
    {
    };
    while (statvfs(detail::Native(probe).constData(), &vfs) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            return 0;
        const qsizetype slash = probe.lastIndexOf(QLatin1Char('/'));
        if (probe == QLatin1String("/"))
            return 0;
        probe = slash <= 0 ? QStringLiteral("/") : probe.left(slash);
    }
    const quint64 unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    freeToCaller = static_cast<quint64>(vfs.f_bavail) * unit;
    total = static_cast<quint64>(vfs.f_blocks) * unit;
    totalFree = static_cast<quint64>(vfs.f_bfree) * unit;
    return 1;
}

int ShortPathToLongPath(const QString& shortPath, QString& longPath, int size)
{
    longPath.clear();
    if (shortPath.isEmpty())
        return 0;
    const QString full = QDir::cleanPath(QFileInfo(shortPath).absoluteFilePath());
    if (size > 0)
        longPath = full.left(size);
    return static_cast<int>(full.size());
}

QString GetMIMEType(const QString& path, bool isFolder)
{
    QMimeDatabase db;
    if (isFolder)
        return db.mimeTypeForName(QStringLiteral("inode/directory")).comment();
    return db.mimeTypeForFile(path).comment();
}

QString HVGetResourceFile(const QString& module, const QString& resourceName)
{
    (void)module;
    (void)resourceName;
    return {};
}

QString HVMakeFile(const QString& fileName, const QString& moduleFolder)
{
    QString folder = moduleFolder;
    if (folder.isEmpty()) {
        folder = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    }
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + fileName;
}

}  // namespace HVGlobalMFC
