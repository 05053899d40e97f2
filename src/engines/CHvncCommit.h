#pragma once

#include "engines/CHvncIo.h"

#include <string>
#include <vector>

// An output written completely to its temporary file and waiting to be put in place.
struct SHvncPending
{
    HvncIo::CFd fd;          // the temporary file, open until it is synced
    std::string strTemp;     // ".<name>.hvtmp-XXXXXX" in the destination folder
    std::string strFinal;    // wanted name
    bool bFreeName = false;  // decryption: take the next free "name(n).ext" when strFinal is taken
    std::string strRemove;   // decryption: the encrypted file, removed once the output is durable
    std::string strPlaced;   // the name the output got
};

// Putting outputs in place durably: the content is synced, renamed to its final name without
// replacing anything, and the folder synced, before success is reported. Only then is a
// decrypted file's source removed.
namespace HvncCommit {

// One output: fsync of the file, rename, fsync of the folder. Returns an EHvncResult.
[[nodiscard]] int CommitOne(SHvncPending& p, std::string& strWhy);

// Many outputs: one syncfs per file system for all contents, the renames, one syncfs per file
// system for all the folders, then the removals. results[i] receives each EHvncResult and
// whys[i] its reason.
void CommitBatch(std::vector<SHvncPending>& pending, std::vector<int>& results, std::vector<std::string>& whys);

// Drops an unfinished output (closes and removes the temporary file).
void Abandon(SHvncPending& p);

}  // namespace HvncCommit
