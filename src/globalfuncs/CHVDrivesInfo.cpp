#include "globalfuncs/CHVDrivesInfo.h"

#include "globalfuncs/HVPathText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace {

struct Mount
{
    QString device;
    QString root;
    QByteArray type;
};

// Undoes the octal escapes of /proc/self/mounts ("\040" for a blank).
QString Unescape(const QByteArray& field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        out.append(field.at(i));
    }
    return HVGlobalMFC::HVPathFromBytes(out);
}

bool IsPseudo(const QByteArray& type)
{
    static const QList<QByteArray> kPseudo = {
        "proc",   "sysfs",   "devtmpfs",    "devpts",   "cgroup",     "cgroup2", "securityfs",
        "pstore", "debugfs", "tracefs",     "configfs", "fusectl",    "mqueue",  "hugetlbfs",
        "bpf",    "autofs",  "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",    "selinuxfs",
    };
    return kPseudo.contains(type);
}

QList<Mount> ReadMounts()
{
    QList<Mount> mounts;
    QFile file(QStringLiteral("/proc/self/mounts"));
    if (!file.open(QIODevice::ReadOnly))
        return mounts;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 3 || IsPseudo(f.at(2)))
            continue;
        mounts.append({Unescape(f.at(0)), Unescape(f.at(1)), f.at(2)});
    }
    return mounts;
}

bool IsRemovableDevice(const QString& device)
{
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    QString sys = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (sys.isEmpty())
        return false;
    if (QFile::exists(sys + QStringLiteral("/partition")))
        sys = QFileInfo(sys).path();
    QFile flag(sys + QStringLiteral("/removable"));
    if (flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1")
        return true;
    return sys.contains(QLatin1String("/usb"));
}

int Classify(const Mount& m)
{
    static const QList<QByteArray> kRemote = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "ceph", "afs"};
    if (m.type == "iso9660" || m.type == "udf" || m.device.startsWith(QLatin1String("/dev/sr")))
        return CHVDrivesInfo::DRIVE_CDROM;
    if (kRemote.contains(m.type))
        return CHVDrivesInfo::DRIVE_REMOTE;
    if (m.type == "tmpfs" || m.type == "ramfs")
        return CHVDrivesInfo::DRIVE_RAMDISK;
    if (IsRemovableDevice(m.device))
        return CHVDrivesInfo::DRIVE_REMOVABLE;
    return CHVDrivesInfo::DRIVE_FIXED;
}

}  // namespace

int CHVDrivesInfo::EnumDrives()
{
    m_arrCDDrives.clear();
    m_arrRemovableDrives.clear();
    m_arrOtherDrives.clear();
    m_arrAllDrives.clear();
    const QList<Mount> mounts = ReadMounts();
    for (const Mount& m : mounts) {
        switch (Classify(m)) {
        case DRIVE_CDROM:
            m_arrCDDrives.append(m.root);
            break;
        case DRIVE_REMOVABLE:
            m_arrRemovableDrives.append(m.root);
            break;
        default:
            m_arrOtherDrives.append(m.root);
            break;
        }
    }
    return static_cast<int>(mounts.size());
}

int CHVDrivesInfo::EnumDrivesEx()
{
    const int count = EnumDrives();
    for (const Mount& m : ReadMounts())
        m_arrAllDrives.append(m.root);
    return count;
}

int CHVDrivesInfo::GetDriveTypeEx(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return DRIVE_NO_ROOT_DIR;
    const Mount* best = nullptr;
    const QList<Mount> mounts = ReadMounts();
    for (const Mount& m : mounts) {
        const bool under =
            m.root == QLatin1String("/") || canonical == m.root || canonical.startsWith(m.root + QLatin1Char('/'));
        // The last matching mount of the longest root is the one in effect.
        if (under && (!best || m.root.size() >= best->root.size()))
            best = &m;
    }
    return best ? Classify(*best) : DRIVE_UNKNOWN;
}
