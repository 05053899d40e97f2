#pragma once

#include "hiding/SHiddenEntry.h"

#include <cstddef>
#include <cstdint>
#include <string>

// On-disk form of the hidden list. The list file is a journal: a 16-byte header followed by
// records, each "u32 body length | body | u64 FNV-1a of the body", little-endian. The live list
// is the replay of every record; a move of an item is written as Begin before it happens and
// settled by Commit or Abort after it, so a reader always knows about an unfinished move.
enum class EListRecord : std::uint8_t
{
    Entry = 1,   // an entry as is (compaction, hiding while hiding is switched off)
    Begin = 2,   // a move is about to happen
    Commit = 3,  // the pending move happened
    Abort = 4,   // the pending move did not happen
    Remove = 5,  // an entry leaves the list without a move
    State = 6,   // hiding switched on or off
};

enum class EMoveKind : std::uint8_t
{
    HideNew = 1,  // into the vault; a new entry on commit
    MoveIn = 2,   // a listed entry back into the vault (hiding switched on)
    MoveOut = 3,  // a listed entry back to its folder, staying listed (hiding switched off)
    Unhide = 4,   // back to its folder and off the list
};

struct SListRecord
{
    EListRecord type = EListRecord::Entry;
    EMoveKind kind = EMoveKind::HideNew;  // Begin
    bool enabled = true;                  // State
    std::uint64_t dev = 0;                // Begin: the item as found before the move
    std::uint64_t ino = 0;
    std::uint32_t mode = 0;
    SHiddenEntry entry;  // Entry and Begin: all of it; Commit, Abort, Remove: the id
};

namespace HiddenListFormat {

constexpr std::size_t kHeaderSize = 16;
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kMaxText = 4096;  // a path, as the kernel allows
constexpr std::size_t kMaxBody = 3 * (kMaxText + 4) + 64;
constexpr std::size_t kMaxFile = std::size_t{1} << 30;

enum class EDecode
{
    Ok,
    Truncated,  // the record runs past the end of the data
    Bad,        // checksum, length or field out of range
};

enum class EHeader
{
    Ok,
    BadMagic,
    NewerVersion,
};

[[nodiscard]] std::string EncodeHeader();
[[nodiscard]] EHeader CheckHeader(const char* pData, std::size_t nSize);
[[nodiscard]] std::string Encode(const SListRecord& record);
// Decodes the record at pData; on Ok, nUsed is its encoded length.
[[nodiscard]] EDecode Decode(const char* pData, std::size_t nAvail, SListRecord& record, std::size_t& nUsed);
[[nodiscard]] std::uint64_t Fnv1a(const char* pData, std::size_t nSize);

}  // namespace HiddenListFormat
