// The hiding store's steps that change the list without moving an item: listing, forgetting,
// the hiding switch, the repair of a list that cannot be read, and the vault items no entry names.
#include "hiding/CHidingStore.h"
#include "hiding/HidingFs.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool CHidingStore::IsSameItem(const SHiddenEntry& entry, const struct stat& st)
{
    return entry.ino != 0 && st.st_dev == entry.dev && st.st_ino == entry.ino;
}

bool CHidingStore::AddListed(const std::string& strClean)
{
    struct stat st = {};
    if (::lstat(strClean.c_str(), &st) != 0) {
        return Fail(HidingFs::ErrnoText("cannot find " + strClean));
    }
    SListRecord record;
    record.type = EListRecord::Entry;
    record.entry.id = m_list.NewId();
    record.entry.path = strClean;
    record.entry.dev = st.st_dev;  // the identity it must have when hiding is switched on
    record.entry.ino = st.st_ino;
    std::string strError;
    return m_list.Append(record, true, strError) || Fail(strError);
}

bool CHidingStore::Forget(std::uint64_t id)
{
    SListRecord record;
    record.type = EListRecord::Remove;
    record.entry.id = id;
    std::string strError;
    return m_list.Append(record, true, strError) || Fail(strError);
}

bool CHidingStore::SetEnabled(bool bEnabled)
{
    SListRecord record;
    record.type = EListRecord::State;
    record.enabled = bEnabled;
    std::string strError;
    return m_list.Append(record, true, strError) || Fail(strError);
}

bool CHidingStore::Repair(SRepair& report)
{
    report = SRepair();
    if (!Lock()) {
        return false;
    }
    struct SUnlock
    {
        CHidingStore& store;
        ~SUnlock() { store.Unlock(); }
    } unlock{*this};
    m_bOpen = false;
    std::string strError;
    if (m_vaults.Prepare(strError) && m_list.Load(strError)) {
        m_bOpen = true;  // readable after all (another process repaired it): nothing to do
        report.nEntries = m_list.Entries().size();
        return SettlePending();
    }
    // The damaged list is kept beside the new one under a name no earlier repair took.
    const std::string strStamp = std::to_string(static_cast<long long>(std::time(nullptr)));
    for (int n = 0; n < 100 && report.strAside.empty(); ++n) {
        const std::string strAside =
            m_strListFile + ".damaged-" + strStamp + (n == 0 ? std::string() : "-" + std::to_string(n));
        if (::renameat2(AT_FDCWD, m_strListFile.c_str(), AT_FDCWD, strAside.c_str(), RENAME_NOREPLACE) == 0) {
            report.strAside = strAside;
        } else if (errno != EEXIST) {
            return Fail(HidingFs::ErrnoText("cannot set the damaged hidden list aside " + m_strListFile));
        }
    }
    if (report.strAside.empty()) {
        return Fail("cannot set the damaged hidden list aside " + m_strListFile);
    }
    if (!m_list.Rebuild(report.strAside, report.nSkippedBytes, strError)) {
        // Nothing usable was made: the damaged list goes back to its name, untouched.
        ::unlink(m_strListFile.c_str());
        (void)::renameat2(AT_FDCWD, report.strAside.c_str(), AT_FDCWD, m_strListFile.c_str(), RENAME_NOREPLACE);
        report.strAside.clear();
        return Fail(strError);
    }
    m_bOpen = true;
    const bool bSettled = SettlePending();
    report.nEntries = m_list.Entries().size();
    report.unlisted = UnlistedInHomeVault();
    return bSettled;
}

std::vector<std::string> CHidingStore::UnlistedInHomeVault() const
{
    std::vector<std::string> unlisted;
    const std::string& strVault = m_vaults.HomeVault();
    DIR* pDir = strVault.empty() ? nullptr : ::opendir(strVault.c_str());
    if (pDir == nullptr) {
        return unlisted;
    }
    const auto& entries = m_list.Entries();
    const auto& pending = m_list.Pending();
    while (const dirent* pEntry = ::readdir(pDir)) {
        const std::string strName = pEntry->d_name;
        if (strName == "." || strName == "..") {
            continue;
        }
        const auto isThis = [&](const SHiddenEntry& e) {
            return e.vaultName == strName && (e.vaultDir == strVault || e.vaultDir.empty());
        };
        if (std::none_of(entries.begin(), entries.end(), isThis) && !(pending && isThis(pending->entry))) {
            unlisted.push_back(strVault + "/" + strName);
        }
    }
    ::closedir(pDir);
    std::sort(unlisted.begin(), unlisted.end());
    return unlisted;
}
