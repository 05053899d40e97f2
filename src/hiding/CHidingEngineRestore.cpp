// The hiding engine's full restore before uninstalling, and the repair of its list.
#include "hiding/CHidingEngine.h"
#include "hiding/HidingPaths.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SRestoreFailure::EWhy CHidingEngine::WhyNotRestored(const SHiddenEntry& entry)
{
    using EWhy = SRestoreFailure::EWhy;
    struct stat st = {};
    if (entry.inVault && ::lstat(entry.VaultPath().c_str(), &st) != 0) {
        // Not where it is kept: that filesystem is not mounted (its vault is not there either).
        return ::lstat(entry.vaultDir.c_str(), &st) != 0 ? EWhy::VolumeAbsent : EWhy::Other;
    }
    if (::lstat(entry.path.c_str(), &st) == 0) {
        return EWhy::PathOccupied;
    }
    const std::string strParent = HidingPaths::ParentOf(entry.path);
    if (::stat(strParent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return EWhy::ParentMissing;
    }
    // With the effective ids and capabilities: those the move was made with.
    if (::faccessat(AT_FDCWD, strParent.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return EWhy::Permission;
    }
    return EWhy::Other;
}

bool CHidingEngine::RestoreAll(std::vector<SRestoreFailure>& failures)
{
    failures.clear();
    std::lock_guard guard(m_mutex);
    CHidingStore::CSession session(*m_pStore);
    if (!FromStore(session.Ok()) || !FromStore(m_pStore->SetEnabled(false))) {
        failures.push_back({m_pStore->ListFile(), SRestoreFailure::EWhy::Other, m_strLastError});
        return false;
    }
    // Newest first, so that an item hidden inside a folder hidden later finds its folder.
    std::vector<SHiddenEntry> entries = m_pStore->List().Entries();
    std::reverse(entries.begin(), entries.end());
    for (const auto& entry : entries) {
        if (!FromStore(m_pStore->Unhide(entry.id))) {
            failures.push_back({entry.path, WhyNotRestored(entry), m_strLastError});
        }
    }
    return failures.empty();
}

bool CHidingEngine::RepairList(std::string& strReport)
{
    std::lock_guard guard(m_mutex);
    CHidingStore::SRepair repair;
    if (!FromStore(m_pStore->Repair(repair))) {
        strReport = m_strLastError;
        return false;
    }
    strReport = std::to_string(repair.nEntries) + " hidden item(s) recovered";
    if (!repair.strAside.empty()) {
        strReport += "; the damaged list is kept as " + repair.strAside;
    }
    if (repair.nSkippedBytes > 0) {
        strReport += "; " + std::to_string(repair.nSkippedBytes) + " damaged byte(s) passed over";
    }
    for (const auto& strItem : repair.unlisted) {
        strReport += "\nkept but on no list: " + strItem;
    }
    return true;
}

std::vector<std::string> CHidingEngine::UnlistedItems()
{
    std::lock_guard guard(m_mutex);
    CHidingStore::CSession session(*m_pStore);
    if (!FromStore(session.Ok())) {
        return {};
    }
    return m_pStore->UnlistedInHomeVault();
}
