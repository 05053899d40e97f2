#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QDateTime>
#include <QString>

namespace HVGlobalMFC {

// File attribute bits as the callers know them, derived from POSIX metadata:
// read-only = the owner has no write permission, hidden = the name begins with '.',
// system = not owned by the current user, reparse point = a symbolic link.
enum HVFileAttribute : unsigned
{
    HV_FILE_ATTRIBUTE_READONLY = 0x1,
    HV_FILE_ATTRIBUTE_HIDDEN = 0x2,
    HV_FILE_ATTRIBUTE_SYSTEM = 0x4,
    HV_FILE_ATTRIBUTE_DIRECTORY = 0x10,
    HV_FILE_ATTRIBUTE_NORMAL = 0x80,
    HV_FILE_ATTRIBUTE_REPARSE_POINT = 0x400,
};

// The find record of one item (what a directory search reports).
struct HVFileFindData
{
    QString cFileName;    // name without folder
    QString strFullPath;  // the path as given
    unsigned dwFileAttributes = 0;
    quint64 nFileSize = 0;      // 0 for folders
    QDateTime ftLastWriteTime;  // local time
    QDateTime ftLastAccessTime;
    QDateTime ftCreationTime;  // birth time where the filesystem keeps it, else the change time
};

// Deletes a file (a symbolic link itself, never its target). With clearAttributes the owner's
// write bit is added first. 1 when the file was deleted, else 0.
[[nodiscard]] HVGLOBALMFC_API int HVDeleteFileEx(const QString& path, int clearAttributes = 0);

// Renames from to to. Never replaces an existing item at to. On failure logs
// "Failed to rename: %s TO %s\nCause: %s" and "Cant rename file". 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int HVRenameFile(const QString& from, const QString& to);

// Writes text (UTF-8) to path, replacing it atomically. 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int HVWriteStringFile(const QString& path, const QString& text);

// Size of a file in bytes (a link is followed); -1 when it cannot be read.
[[nodiscard]] HVGLOBALMFC_API qint64 HVGetFileSize(const QString& path);
// Size and modification time; 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int HVGetFileSizeDate(const QString& path, qint64& size, QDateTime& modified);
// Modification time; an invalid QDateTime when the file cannot be read.
[[nodiscard]] HVGLOBALMFC_API QDateTime HVGetFileModificationDate(const QString& path);
// The find record of path (a link is described, not followed); 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int HVGetFileFindData(const QString& path, HVFileFindData& data);

// CRC-32 of a file (CCrc32Static::FileCrc32Win32): 0 or the errno of the failure.
[[nodiscard]] HVGLOBALMFC_API int HVGetCRC(const QString& path, quint32& crc);

}  // namespace HVGlobalMFC
