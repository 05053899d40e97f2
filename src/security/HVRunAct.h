#pragma once

#include "engines/HVFileRef.h"
#include "security/SRunFile.h"

#include <cstdint>
#include <string>

// The checks a runner makes right before it acts on a listed file, and the small acts it does
// itself. Everything is relative to the descriptor of the file's folder; nothing re-resolves
// the folder's path.
namespace HVRunAct {

// The engines' descriptor-and-name form of a listed file.
[[nodiscard]] SHVFileRef Ref(int nDirFd, const SRunFile& file, bool bCheckUnchanged);

// Whether the name in the folder still is the listed file (device and inode; for a selected link,
// the link and its target). With bUnchanged, also its size and times. Returns an EHvnc code
// (HVNC_OK, HVNC_CHANGED, ...) with the reason in strWhy; pnLinks gets the file's link count.
[[nodiscard]] int
CheckListed(int nDirFd, const SRunFile& file, bool bUnchanged, std::uint64_t* pnLinks, std::string& strWhy);

// For a selected link to a regular file: the folder and name of its target, opened now, checked
// to be the listed target. pFolderFd gets the folder (owned by the caller). Returns an EHvnc code.
[[nodiscard]] int
OpenLinkTarget(int nDirFd, const SRunFile& file, int& nTargetDirFd, std::string& strTargetName, std::string& strWhy);

// Takes the file's current size and times as the state to keep until its wipe.
void TakeState(int nDirFd, SRunFile& file);

// Removes only this name (a selected link, or one name of a file with other names), after
// checking it still is the listed object. Returns an EHvnc code.
[[nodiscard]] int RemoveName(int nDirFd, const SRunFile& file, std::string& strWhy);

}  // namespace HVRunAct
