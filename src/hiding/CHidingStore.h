#pragma once

#include "hiding/CHiddenList.h"
#include "hiding/CHidingMover.h"
#include "hiding/CHidingVaults.h"

#include <string>
#include <vector>

// The hidden list, the vaults and the moves between folders and vaults, kept consistent for
// every process of the user. Each use runs inside a CSession, which holds the lock file,
// takes in what other processes changed and settles a move that a killed process left behind.
// Every move is journalled in the list before it happens (see CHiddenList), so a process can
// be killed at any step: the next session finds the item either hidden and listed or visible
// and not listed.
class CHidingStore
{
public:
    CHidingStore(const std::string& strBaseDir,
                 const std::string& strMountVaultName,
                 HidingFaultHook hook,
                 bool bLinkInsteadOfNoReplace);
    ~CHidingStore();
    CHidingStore(const CHidingStore&) = delete;
    CHidingStore& operator=(const CHidingStore&) = delete;

    class CSession
    {
    public:
        explicit CSession(CHidingStore& store);
        ~CSession();
        CSession(const CSession&) = delete;
        CSession& operator=(const CSession&) = delete;
        [[nodiscard]] bool Ok() const { return m_bOk; }

    private:
        CHidingStore& m_store;
        bool m_bLocked = false;
        bool m_bOk = false;
    };

    [[nodiscard]] const CHiddenList& List() const { return m_list; }
    [[nodiscard]] const CHidingVaults& Vaults() const { return m_vaults; }
    [[nodiscard]] const std::string& ListFile() const { return m_strListFile; }
    [[nodiscard]] const std::string& LockFile() const { return m_strLockFile; }
    [[nodiscard]] const std::string& LastError() const { return m_strError; }

    // The operations below need an open session.
    // Moves the item at strClean into a vault and lists it.
    [[nodiscard]] bool HideNew(const std::string& strClean);
    // Lists the item at strClean without moving it (hiding is switched off).
    [[nodiscard]] bool AddListed(const std::string& strClean);
    // Moves a listed entry that is in its folder into a vault.
    [[nodiscard]] bool MoveIn(std::uint64_t id);
    // Moves a listed entry back to its folder and keeps it listed.
    [[nodiscard]] bool MoveOut(std::uint64_t id);
    // Moves a listed entry back to its folder (when in a vault) and takes it off the list.
    [[nodiscard]] bool Unhide(std::uint64_t id);
    [[nodiscard]] bool SetEnabled(bool bEnabled);
    // Takes an entry off the list without moving anything.
    [[nodiscard]] bool Forget(std::uint64_t id);
    // Whether st is the item the entry hid (same device and inode); an entry without a
    // recorded identity matches nothing.
    [[nodiscard]] static bool IsSameItem(const SHiddenEntry& entry, const struct stat& st);
    // Items in the home vault that no entry names (they cannot be shown by the list).
    [[nodiscard]] std::vector<std::string> UnlistedInHomeVault() const;

    // What a repair of the list found.
    struct SRepair
    {
        std::string strAside;               // where the damaged list was set aside
        std::size_t nEntries = 0;           // entries recovered
        std::size_t nSkippedBytes = 0;      // bytes that held no readable record
        std::vector<std::string> unlisted;  // vault items that no recovered entry names
    };
    // For a list that cannot be read: sets it aside (never deleted), rebuilds the list from every
    // record in it that is still whole, and settles the move it may have left pending. Needs no
    // session (takes the lock itself). A list of a newer version is not touched.
    [[nodiscard]] bool Repair(SRepair& report);

private:
    [[nodiscard]] bool Lock();
    void Unlock();
    [[nodiscard]] bool Open();
    [[nodiscard]] bool SettlePending();
    [[nodiscard]] bool ToVault(EMoveKind kind, SHiddenEntry entry);
    [[nodiscard]] int RunMove(EMoveKind kind, const SHiddenEntry& entry, const struct stat& st);
    [[nodiscard]] bool Fail(std::string strError);
    // The entry's item is at its own path although the list has it in a vault.
    [[nodiscard]] static bool IsBackInPlace(const SHiddenEntry& entry);
    [[nodiscard]] static std::string NewVaultName(std::uint64_t id);

    std::string m_strBaseDir;
    std::string m_strListFile;
    std::string m_strLockFile;
    CHiddenList m_list;
    CHidingVaults m_vaults;
    CHidingMover m_mover;
    HidingFaultHook m_hook;
    int m_lockFd = -1;
    bool m_bOpen = false;
    std::string m_strError;
};
