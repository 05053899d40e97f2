#pragma once

// HVGlobalMFC: the shared utility library. Include this header for all of it, or the family
// headers one by one. Free functions live in namespace HVGlobalMFC; classes are global.
//
// On this platform (POSIX paths, "/" separator, root "/"):
// - Special folders resolve to XDG directories (HVShellFunctions.h); identifiers without a
//   meaning here give an empty string.
// - HVLauchIEBrowser opens the desktop's default browser through xdg-open; browser automation
//   is not supported, so the automation flag has no effect.
// - Not supported, with a clear result: HVRunRegistryFile (no registry editor; returns 0),
//   RegCopyKey (no registry; returns 50), CHVDrivesInfo::GetTapeDrivesArray (empty),
//   CCrc32Static::FileCrc32Streams (returns 50), HVGetResourceFile and MyLoadString (no
//   resources in this library; empty strings).
// - The file dialogs (HVBrowseForFile, HVBrowseForSaveFile) and the shell item lists
//   (HV_GetPathIDList) are not part of this library: it links Qt Core only, and the program
//   uses its own Qt dialogs.
// - Nothing here changes the process's current directory; the folder functions are safe from
//   several threads.
// - Failure lines go to the handler installed with HVSetLogHandler (HVLogHook.h).

#include "globalfuncs/CBackupFilterManager.h"
#include "globalfuncs/CCrc32Static.h"
#include "globalfuncs/CGlobalLocals.h"
#include "globalfuncs/CHVDrivesInfo.h"
#include "globalfuncs/CHVGlobalFunc.h"
#include "globalfuncs/CStdioFileEx.h"
#include "globalfuncs/HVEnumFunctions.h"
#include "globalfuncs/HVFileFunctions.h"
#include "globalfuncs/HVFolderFunctions.h"
#include "globalfuncs/HVLogHook.h"
#include "globalfuncs/HVNumberFunctions.h"
#include "globalfuncs/HVPasswordStrength.h"
#include "globalfuncs/HVPathText.h"
#include "globalfuncs/HVShellFunctions.h"
#include "globalfuncs/HVSystemFunctions.h"
#include "globalfuncs/HVTextFunctions.h"
#include "globalfuncs/HVUniqueNames.h"
