#pragma once

#include "globalfuncs/HVFileFunctions.h"
#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>
#include <QStringList>

namespace HVGlobalMFC {

// Enumeration appends full paths (folder + "/" + name) to the list, hidden items included,
// "." and ".." never. Symbolic links to folders are listed as items but never entered, so a
// link cannot make the walk loop. Each returns the number of entries added, or -1 when folder
// cannot be read (entries of unreadable sub-folders are skipped).

// Every file (not folder) under folder; with recursive, in sub-folders too.
HVGLOBALMFC_API int HVEnumAllFiles(const QString& folder, QStringList& files, bool recursive = true);

// Files and folders under folder, in one list; a folder comes before its contents.
HVGLOBALMFC_API int HVEnumFilesAndFolders(const QString& folder, QStringList& items, bool recursive = true);

// Files and folders under folder, in two lists.
HVGLOBALMFC_API int
EnumFilesAndFolders(const QString& folder, QStringList& files, QStringList& folders, bool recursive = true);

// Whether the found item is a junction: a symbolic link to a folder.
[[nodiscard]] HVGLOBALMFC_API bool IsJunctionPoint(const HVFileFindData& finder);

}  // namespace HVGlobalMFC
