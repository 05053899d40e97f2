#pragma once

#include "engines/HvncResult.h"
#include "globalfuncs/HVDurableFile.h"
#include "globalfuncs/HVUniqueFd.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <sys/types.h>
#include <sys/uio.h>

// File-system helpers of the encryption engine: whole reads and writes with the engine's result
// codes, temporary names, renaming without replacing, folder syncs, free output names.
namespace HvncIo {

using CFd = HVUniqueFd;

// Writes all iovecs: Ok, NoSpace (ENOSPC, EDQUOT) or IoError with the reason.
[[nodiscard]] SHvncResult WriteAll(int fd, const iovec* pIov, int nIov);
[[nodiscard]] SHvncResult WriteAll(int fd, const void* pData, std::size_t nLen);
using HVDurableFile::ReadFull;
using HVDurableFile::ReadFullV;

// Test seam: after nBytes more bytes written through WriteAll, writes fail with nErrno
// (e.g. ENOSPC). A negative nBytes switches the fault off.
void SetWriteFault(std::int64_t nBytes, int nErrno);

// A new output file in the folder nDirFd for the target strName, opened read-write, mode 0600.
// Where the file system allows, it has no name yet (O_TMPFILE; strTempOut is then empty) and gets
// one only by LinkInto once complete, so a crash leaves nothing. Elsewhere it is named
// ".<name>.hvtmp-<pid>-<token>" (name cut to 200 bytes), recorded in this process's record in the
// data folder before it is created (see CHvncStaleTemps). Returns the descriptor, or -1 with errno
// set and strWhy saying why.
[[nodiscard]] int MakeTempAt(int nDirFd, const std::string& strName, std::string& strTempOut, std::string& strWhy);
// Gives an unnamed output its name strTo in nDirFd, never replacing one. Returns 0 or an errno.
[[nodiscard]] int LinkInto(int fd, int nDirFd, const std::string& strTo);
// Test seam: false makes MakeTempAt always create named temporaries (as on file systems that
// cannot hold unnamed files). The environment variable HV_ENGINE_NAMED_TEMPS=1 does the same for
// a whole process.
void SetUnnamedTemps(bool bAllowed);

[[nodiscard]] std::string DirOf(const std::string& strPath);   // "." for a bare name
[[nodiscard]] std::string NameOf(const std::string& strPath);  // last component

// While a file of that name exists, tries base + "(n)" + extension with n = 1, 2, ...
// and returns the first free name (the name itself when it is free).
[[nodiscard]] std::string FindFreeName(const std::string& strPath);
[[nodiscard]] std::string NumberedName(const std::string& strPath, unsigned nNumber);
[[nodiscard]] bool PathExists(const std::string& strPath);  // also a dangling link counts

// The same inside a folder held open: names are single components relative to nDirFd.
[[nodiscard]] bool ExistsAt(int nDirFd, const std::string& strName);
[[nodiscard]] std::string FindFreeNameAt(int nDirFd, const std::string& strName);
// Renames without replacing an existing target. Returns 0 or an errno (EEXIST when taken).
[[nodiscard]] int RenameNoReplaceAt(int nFromDir, const std::string& strFrom, int nToDir, const std::string& strTo);

// One name component: not empty, no '/', not "." or "..".
[[nodiscard]] bool IsPlainName(const std::string& strName);
// Opens the folder of a path (following links, as a path given by a caller always did) and
// splits off the last component. Returns 0 or an errno.
[[nodiscard]] int OpenParent(const std::string& strPath, CFd& dir, std::string& strName);
// strDir + "/" + strName for messages; strName alone when strDir is empty.
[[nodiscard]] std::string JoinPath(const std::string& strDir, const std::string& strName);
// The path of an open folder, for messages and records ("" when unknown).
[[nodiscard]] std::string PathOfFd(int nFd);

}  // namespace HvncIo
