#pragma once

#include "engines/CHvncIo.h"
#include "engines/HvncResult.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A folder the engine works in: a descriptor, owned by the engine when it opened the folder itself
// (a path given by a caller), borrowed from the caller otherwise.
struct SHvncDir
{
    int nFd = -1;
    std::shared_ptr<HvncIo::CFd> owned;  // keeps nFd open when the engine opened it
    std::string strShown;                // the folder as shown in messages and records
};

// An output written completely to its temporary file and waiting to be put in place.
struct SHvncPending
{
    HvncIo::CFd fd;          // the temporary file, open until it is synced (unnamed: until it is named)
    SHvncDir dir;            // the destination folder
    std::string strTemp;     // the temporary's name in that folder ("" while it has none)
    bool bUnnamed = false;   // an unnamed file (O_TMPFILE), given its name by a link
    std::string strFinal;    // wanted name in that folder
    bool bFreeName = false;  // decryption: take the next free "name(n).ext" when strFinal is taken
    // Decryption: the encrypted file, removed once the output is durable, and only while that
    // name still holds the file that was decrypted (device and inode).
    SHvncDir removeDir;
    std::string strRemove;
    std::uint64_t nRemoveDev = 0;
    std::uint64_t nRemoveIno = 0;
    std::string strPlaced;   // the name the output got in its folder
    std::string strWarning;  // what could not be kept (the file system's modes, times)
};

// Putting outputs in place durably: the content is synced, renamed to its final name without
// replacing anything, and the folder synced, before success is reported. Only then is a
// decrypted file's source removed.
namespace HvncCommit {

// One output: fsync of the file, rename, fsync of the folder.
[[nodiscard]] SHvncResult CommitOne(SHvncPending& p);

// Many outputs: one syncfs per file system for all contents, the renames, one syncfs per file
// system for all the folders, then the removals. Returns each output's result.
[[nodiscard]] std::vector<SHvncResult> CommitBatch(std::vector<SHvncPending>& pending);

// Drops an unfinished output (closes and removes the temporary file).
void Abandon(SHvncPending& p);

}  // namespace HvncCommit
