#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>

namespace HVGlobalMFC {

// Creates path with its missing parents. Never changes the process's current directory, so it
// is safe from several threads. Returns 0 when the folder was created; -1 when it already
// existed, or when it could not be created (a file in the way, no permission, empty path).
// A trailing '/' is ignored.
[[nodiscard]] HVGLOBALMFC_API int HVCreateFolder(const QString& path);
// The same as HVCreateFolder.
[[nodiscard]] HVGLOBALMFC_API int HVCreateFolder_(const QString& path);

// pathIsFolder != 0: creates path; 0: creates the folder part of path (path without its last
// component: "/a/b/f.txt" -> "/a/b", "/a/b/" -> "/a/b"; nothing when path has no '/').
// Always returns 1, whether or not anything was made.
HVGLOBALMFC_API int HVEnsureFolderIsCreated(const QString& path, int pathIsFolder);

// Removes an empty folder. With clearAttributes the owner's write bit is added first (the
// hidden attribute, a leading dot, cannot be cleared). Symbolic links are not followed.
// Logs "Failed to remove Folder: Error: (%d) - %s" on failure. 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int HVDeleteFolderEx(const QString& path, int clearAttributes = 0);

// Deletes everything inside path (files, links and sub-folders, hidden ones too) and keeps the
// folder. Links are removed, never followed; path itself must be a folder, not a link to one
// ("link/" too). Logs each failure as HVDeleteFolderEx. 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int HVEmptyDirectory(const QString& path, int clearAttributes = 0);

// Copies the tree under source into target (created when missing). Symbolic links are copied as
// links; links already in the target are never followed (a link where a copied file goes is
// replaced, its target untouched; one where a folder goes fails the copy); FIFOs, devices and
// sockets are refused. Files are written under a temporary name and renamed into place.
// overwrite == 0 keeps existing target items as they are.
// Refuses a target inside the source. 1 when everything was copied, else 0.
[[nodiscard]] HVGLOBALMFC_API int HVCopyFolder(const QString& source, const QString& target, int overwrite = 1);

// Creates a new folder named prefix + an 8-digit number ("%.8d") inside parent; the full path
// goes to created. 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int HVCreateUniqueFolder(const QString& parent, const QString& prefix, QString& created);

// A new private folder (mode 0700) under the temporary-files folder, named "HBK" + a unique
// suffix; the path goes to created. 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int MakeHVTempFolder(QString& created);
// A new empty private file (mode 0600) under the temporary-files folder, named "HBK" + a unique
// suffix; the path goes to created. 1 or 0.
[[nodiscard]] HVGLOBALMFC_API int HV_MakeTempFile(QString& created);

}  // namespace HVGlobalMFC
