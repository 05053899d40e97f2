#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>
#include <QStringList>

namespace HVGlobalMFC {

// Free names next to an existing item. The name part is split at its last '.' (a leading dot
// of a hidden name belongs to the base: ".profile" has no extension, ".config.old" has ".old");
// dots in folder names never count. Existence counts any item (file, folder, link). Each returns
// the path unchanged when nothing exists there, and an empty string when no free name was found.

// "name.ext" -> "name(1).ext", "name(2).ext", ...
[[nodiscard]] HVGLOBALMFC_API QString HV_FindFileAndRenameIfExist(const QString& path);

// Three-digit numbered names: with extPrefix empty, "name.ext" -> "name.ext.001", "name.ext.002"
// ("%s.%.3d" over the whole name); with extPrefix, "name.ext" -> "name.<extPrefix>001"
// ("%s.%s%.3d" over the name without extension).
[[nodiscard]] HVGLOBALMFC_API QString HVFindFileAndRenameIfExist00X(const QString& path, const QString& extPrefix = {});

// Copy names from the words of g_GlobalData: "Copy of name.ext", then "Copy (2) of name.ext",
// "Copy (3) of name.ext", ... in the same folder.
[[nodiscard]] HVGLOBALMFC_API QString HVFindFileAndRenameIfExist_Copy(const QString& path);

// text made unique within names, compared without regard to case: text, "text(1)", "text(2)", ...
[[nodiscard]] HVGLOBALMFC_API QString HVCheckRepeatedString(const QString& text, const QStringList& names);

}  // namespace HVGlobalMFC
