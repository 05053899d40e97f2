#pragma once

#include <cstdint>
#include <string>

// One item of the hidden list: where it belongs and where it is kept while hidden.
struct SHiddenEntry
{
    std::uint64_t id = 0;
    bool inVault = false;   // false: listed but in its folder (hiding switched off, or not movable)
    std::string path;       // original absolute path, as the caller named it
    std::string vaultDir;   // private vault folder on the item's filesystem
    std::string vaultName;  // the item's name inside the vault
    std::uint64_t dev = 0;  // the item's identity when it last moved (0 when never moved)
    std::uint64_t ino = 0;

    [[nodiscard]] std::string VaultPath() const { return vaultDir + "/" + vaultName; }
};
