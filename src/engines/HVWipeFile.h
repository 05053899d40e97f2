#pragma once

#include "engines/HvncResult.h"
#include "globalfuncs/HVUniqueFd.h"

#include <string>
#include <sys/stat.h>

// A regular file opened for overwriting.
struct HVWipeTarget
{
    HVUniqueFd fd;
    struct stat st
    {
    };                          // of the open file
    bool bModeChanged = false;  // the owner's write bit was added to open it; st has the old mode
};

// Opens strName inside the folder dirfd for writing. Never follows a symbolic link and opens
// nothing but a regular file. A file that the caller owns but may not write is given the owner's
// write bit first.
[[nodiscard]] SHvncResult HVOpenWipeTarget(int dirfd, const std::string& strName, HVWipeTarget& target);

// Puts the mode back after a failed wipe of a file whose mode HVOpenWipeTarget changed.
void HVRestoreWipeTargetMode(HVWipeTarget& target);

// Sets the opened file aside before it is overwritten, so that its own name never shows damaged
// content: records the wipe (durably) in the data folder, renames the file to ".hvwipe-<token>" in
// the same folder (never replacing a name), checks the new name holds the opened file, and syncs
// the folder. strAside gets the new name.
[[nodiscard]] SHvncResult
HVSetAside(int dirfd, const std::string& strName, const HVWipeTarget& target, int nMethod, std::string& strAside);

// Gives a set-aside file its name back (never replacing one). False when that name is taken.
[[nodiscard]] bool HVPutBack(int dirfd, const std::string& strAside, const std::string& strName);

// Ends the life of an overwritten file: truncates it to 0 and syncs it, removes the name strName
// (after checking it still holds that file) and syncs the folder. IoError with the reason when a
// step fails.
[[nodiscard]] SHvncResult HVRemoveWipedFile(int dirfd, const std::string& strName, HVWipeTarget& target);
