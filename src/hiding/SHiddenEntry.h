#pragma once

#include <cstdint>
#include <string>

// What a hidden item is. Lists written before the kind was recorded say Unknown; the engine
// then looks at the item itself.
enum class EHiddenKind : std::uint8_t
{
    Unknown = 0,
    File = 1,
    Folder = 2,
};

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
    EHiddenKind kind = EHiddenKind::Unknown;  // as found when it was hidden

    [[nodiscard]] std::string VaultPath() const { return vaultDir + "/" + vaultName; }
};
