#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>

class CBackupFilterManager;

namespace HVGlobalMFC {

// The system's message text for an errno value, at most size characters. 1, or 0 with an
// empty buffer when size is not positive.
HVGLOBALMFC_API int HVGetErrorMessage(QString& buffer, int errorCode, int size);

// Not supported: there is no registry editor here. Nothing is run; returns 0.
HVGLOBALMFC_API int HVRunRegistryFile(const QString& path);

// Rewrites a text file (".reg" or any other) through the placeholder filter: each line of
// source goes through filter.FilterString(line, withAppPaths, doubleBackslashes = true) and the
// result replaces target atomically (source may be target). Keeps the encoding, the line ends
// and the permissions of source. Logs "Failed to open/read file: %s",
// "Failed to open/write file: %s", "Failed to rename: %s to %s". 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int
HVReplaceRegFile(const QString& source, const QString& target, CBackupFilterManager& filter, bool withAppPaths = true);

// Not supported: there is no registry here. Returns 50 ("not supported") and copies nothing.
HVGLOBALMFC_API long RegCopyKey(const QString& from, const QString& to, const QString& name);

// Total physical memory in bytes (0 when unknown).
[[nodiscard]] HVGLOBALMFC_API quint64 GetPhysicalRamSize();
// The larger of 32 MiB and physical memory less 16 MiB.
[[nodiscard]] HVGLOBALMFC_API quint64 GetMaxRamSizeForProgram();

// Space on the filesystem holding path (or its nearest existing parent): bytes free to this
// user, total bytes, bytes free in all. 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int
GetDiskFreeSpaceEx1(const QString& path, quint64& freeToCaller, quint64& total, quint64& totalFree);

// There are no short names here: the long form of a path is the absolute, cleaned path itself.
// Copies at most size characters into longPath; returns the length of the full long path
// (larger than size when it did not fit), 0 for an empty path.
HVGLOBALMFC_API int ShortPathToLongPath(const QString& shortPath, QString& longPath, int size);

// The desktop's description of the path's type ("PDF document", "folder"); by the file's name
// and, when it exists, its content.
[[nodiscard]] HVGLOBALMFC_API QString GetMIMEType(const QString& path, bool isFolder);

// Not supported: HTML resources live in the program's resource module. Returns an empty string.
[[nodiscard]] HVGLOBALMFC_API QString HVGetResourceFile(const QString& module, const QString& resourceName);

// fileName joined to moduleFolder, or to the running program's folder when moduleFolder is empty.
[[nodiscard]] HVGLOBALMFC_API QString HVMakeFile(const QString& fileName, const QString& moduleFolder = {});

}  // namespace HVGlobalMFC
