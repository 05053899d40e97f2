#pragma once

#include <string>

// Named temporary outputs that a killed process left behind.
//
// Where the file system can hold an unnamed file (O_TMPFILE), the engine writes its outputs that
// way and a killed run leaves nothing. Elsewhere it writes ".<name>.hvtmp-<pid>-<token>" and records
// that name in its record in the data folder (HVPendingRecords) before it creates the file. The
// sweep removes (one overwrite pass, then unlink) only temporaries recorded by processes that are
// gone, and only a regular file (never a link) of this user with one link: a file that merely
// looks like a temporary is never touched.
namespace HvncStaleTemps {

// Sweeps the orphan records once per process (later calls do nothing). Returns the number removed.
int SweepOnce();
// Sweeps the orphan records now. Returns the number of temporaries removed.
int SweepRecorded();

// The temporary-name prefix of a target: ".<name up to 200 bytes>.hvtmp-<pid>-".
[[nodiscard]] std::string TempPrefix(const std::string& strName);

}  // namespace HvncStaleTemps
