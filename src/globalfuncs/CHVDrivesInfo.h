#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>
#include <QStringList>

// Mounted filesystems by kind. A "drive root" here is a mount point. Pseudo filesystems
// (proc, sysfs, cgroup, ...) are not drives and are never listed.
class HVGLOBALMFC_API CHVDrivesInfo
{
public:
    enum DriveType : int
    {
        DRIVE_UNKNOWN = 0,
        DRIVE_NO_ROOT_DIR = 1,
        DRIVE_REMOVABLE = 2,
        DRIVE_FIXED = 3,
        DRIVE_REMOTE = 4,
        DRIVE_CDROM = 5,
        DRIVE_RAMDISK = 6,
    };

    // Fills the three lists: optical (iso9660/udf or /dev/sr*), removable (the block device's
    // "removable" flag or a USB-attached disk) and the others. Returns the number of roots.
    int EnumDrives();
    // The same, then every root in one list (m_arrAllDrives) in mount order.
    int EnumDrivesEx();

    // The kind of the filesystem holding path; DRIVE_NO_ROOT_DIR when path does not exist.
    [[nodiscard]] static int GetDriveTypeEx(const QString& path);

    // Not supported: tape drives are not enumerated here; always an empty list.
    [[nodiscard]] QStringList GetTapeDrivesArray() const { return {}; }

    QStringList m_arrCDDrives;
    QStringList m_arrRemovableDrives;
    QStringList m_arrOtherDrives;
    QStringList m_arrAllDrives;
};
