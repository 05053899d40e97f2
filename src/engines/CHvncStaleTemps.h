#pragma once

#include <string>

// Temporary files the encryption engine left behind when its process was killed.
//
// The engine writes every output to ".<name>.hvtmp-<pid>-XXXXXX" (the writer's process id, then
// six random characters). A decryption killed half-way leaves plaintext there, so before the
// engine writes a file it sweeps the folder for stale temporaries of the same target name and
// wipes them (one overwrite pass, then unlink). A temporary counts as stale only when all hold:
//   - its name is exactly of that form, for this target name;
//   - it is a regular file (never a link), owned by this user, with one link;
//   - it was last changed before this process started;
//   - its writer is gone: kill(pid, 0) fails with ESRCH, and the pid is not this process.
// Anything else (names without a pid, a writer that still runs, another user's file) is left
// alone.
namespace HvncStaleTemps {

// Wipes the stale temporaries of strName in strDir. Returns the number removed. A folder is
// read once per process; what it held is kept and judged again at every call.
int Sweep(const std::string& strDir, const std::string& strName);
// The same in a folder held open.
int SweepAt(int dirFd, const std::string& strName);

// The temporary-name prefix of a target: ".<name up to 200 bytes>.hvtmp-<pid>-".
[[nodiscard]] std::string TempPrefix(const std::string& strName);

}  // namespace HvncStaleTemps
