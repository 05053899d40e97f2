#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Work of this process that must not outlive it: named temporary outputs and wipes under way.
// Each is recorded in the data folder before it begins, so that a later start can finish what a
// crash interrupted, and so that nothing is ever removed because of its name alone.
//
// Every process keeps one record file "<data folder>/Pending/<pid>-<token>.rec", holds an
// exclusive lock on it while it runs, and removes it when it ends normally. A record whose lock
// can be taken belongs to a process that is gone: its entries are orphans.
namespace HVPendingRecords {

// The data folder (process-wide). Default: $XDG_DATA_HOME (or ~/.local/share) +
// "/Halvo-Soft/HalvoNorvane/Data". An empty text restores the default.
void SetDataFolder(const std::string& strFolder);
[[nodiscard]] std::string DataFolder();

enum EKind : char
{
    kTemp = 'T',  // a named temporary output; arg unused
    kWipe = 'W'   // a file renamed for wiping; arg = wipe method
};

struct SEntry
{
    char cKind = kTemp;
    int nArg = 0;
    std::uint64_t nDev = 0;      // of the folder
    std::uint64_t nDirIno = 0;   // of the folder
    std::uint64_t nFileIno = 0;  // of the file, 0 when not known yet
    std::string strDir;          // the folder's path when recorded (found again by it, then checked)
    std::string strName;         // the file's name in that folder
};

// Appends an entry for strName in the folder nDirFd to this process's record, made durable when
// bSync. False when it cannot be written (the caller must then not begin that work).
[[nodiscard]] bool
Add(char cKind, int nArg, int nDirFd, const std::string& strName, std::uint64_t nFileIno, bool bSync);

// Calls fn for each orphan entry of that kind whose folder is still the recorded one, with that
// folder open (its descriptor). Entries of other kinds stay recorded. Returns the number of entries
// seen.
int ForEachOrphan(char cKind, const std::function<void(const SEntry&, int nDirFd)>& fn);

}  // namespace HVPendingRecords
