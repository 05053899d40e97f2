#pragma once

#include "hiding/HiddenListFormat.h"
#include "hiding/HidingFaultHook.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The durable, ordered list of hidden items, kept in one journal file (see HiddenListFormat).
// Every call expects the caller to hold the hiding lock, so that one process at a time reads
// and appends. Failures return false with a reason in strError.
class CHiddenList
{
public:
    explicit CHiddenList(std::string strFile);
    ~CHiddenList();
    CHiddenList(const CHiddenList&) = delete;
    CHiddenList& operator=(const CHiddenList&) = delete;

    // Opens (creating when missing) and replays the file. A record torn by a crash at the end
    // is cut off; damage before the end fails the load rather than losing entries.
    [[nodiscard]] bool Load(std::string& strError);
    // Takes in what other processes wrote since the last look (reloads after a rewrite).
    [[nodiscard]] bool Sync(std::string& strError);

    [[nodiscard]] const std::vector<SHiddenEntry>& Entries() const { return m_entries; }
    [[nodiscard]] const SHiddenEntry* Find(std::uint64_t id) const;
    [[nodiscard]] bool Enabled() const { return m_bEnabled; }
    // The move journalled by Begin and not yet settled by Commit or Abort.
    [[nodiscard]] const std::optional<SListRecord>& Pending() const { return m_pending; }
    [[nodiscard]] std::uint64_t NewId() { return m_nextId++; }

    // Appends one record and applies it; bDurable syncs the file before returning.
    [[nodiscard]] bool Append(const SListRecord& record, bool bDurable, std::string& strError);
    // Rewrites the file with only the live entries once the journal has grown well beyond them.
    [[nodiscard]] bool CompactIfLarge(const HidingFaultHook& hook, std::string& strError);
    [[nodiscard]] bool Compact(const HidingFaultHook& hook, std::string& strError);
    // Makes this list anew from every whole record of a damaged list file (records after a
    // damaged stretch are found again by their checksums); the file strDamaged is only read.
    // The list's own file must be absent. nSkipped: bytes that held no readable record.
    [[nodiscard]] bool Rebuild(const std::string& strDamaged, std::size_t& nSkipped, std::string& strError);

    [[nodiscard]] const std::string& File() const { return m_strFile; }

private:
    void Reset();
    void Close();
    [[nodiscard]] bool ReadFrom(off_t nFrom, off_t nSize, std::string& strError);
    void Apply(const SListRecord& record);
    [[nodiscard]] std::vector<SHiddenEntry>::iterator Locate(std::uint64_t id);
    // The live list as a file: header, state, entries, and the pending move when there is one.
    [[nodiscard]] std::string LiveText() const;
    // Writes text as the list file through a temporary file and a rename, then loads it.
    [[nodiscard]] bool ReplaceWith(const std::string& text, const HidingFaultHook& hook, std::string& strError);

    std::string m_strFile;
    int m_fd = -1;
    dev_t m_dev = 0;
    ino_t m_ino = 0;
    off_t m_nOffset = 0;  // bytes of the file taken in
    std::vector<SHiddenEntry> m_entries;
    std::optional<SListRecord> m_pending;
    bool m_bEnabled = true;
    std::uint64_t m_nextId = 1;
    std::size_t m_nRecords = 0;  // records in the file since its last rewrite
};
