#pragma once

#include "hiding/CHidingStore.h"
#include "hiding/HidingFaultHook.h"
#include "hiding/IHidingEngine.h"

#include <memory>
#include <mutex>
#include <string>

struct SHidingOptions
{
    // Folder of the hidden list, its lock file and the home vault; empty:
    // $XDG_DATA_HOME/Halvo-Soft (default ~/.local/share/Halvo-Soft).
    std::string strBaseDir;
    // Name of the vault at the top of other mounts; empty: ".hvvault-<uid>".
    std::string strMountVaultName;
    // Test seams (see HidingFaultHook.h and CHidingMover).
    HidingFaultHook faultHook;
    bool bLinkInsteadOfNoReplace = false;
};

// The hiding engine: a hidden item is moved by a rename into a private vault on its own
// filesystem, so that it is gone from its folder (also for "ls -a"), and is renamed back with
// its name, contents and metadata when shown again; showing never replaces what now occupies
// the path. The ordered list of hidden items survives restarts, a kill at any step and several
// processes at once (see CHidingStore). An object may be used from several threads.
//
// Refused whatever the caller allows: "/", the vaults, the list and lock files and every folder
// that contains a vault, and mount points (they cannot be moved).
class CHidingEngine final : public IHidingEngine
{
public:
    explicit CHidingEngine(SHidingOptions options = {});
    ~CHidingEngine() override;

    [[nodiscard]] bool IsHidingEnabled() override;
    [[nodiscard]] std::int32_t GetHiddenCount() override;
    [[nodiscard]] bool EnableHiding() override;
    [[nodiscard]] bool DisableHiding() override;
    [[nodiscard]] bool HideItem(const std::string& strPath) override;
    [[nodiscard]] bool UnhideItem(const std::string& strPath) override;
    [[nodiscard]] bool HideItemEx(const std::string& strPath, std::int32_t nFlag) override;
    [[nodiscard]] std::string GetHiddenItem(std::int32_t nIndex) override;
    [[nodiscard]] bool IsHiddenItemFolder(std::int32_t nIndex) override;
    [[nodiscard]] bool SetCurrentHidingEngine(const std::string& strEngineId) override;

    [[nodiscard]] bool RestoreAll(std::vector<SRestoreFailure>& failures) override;
    [[nodiscard]] bool RepairList(std::string& strReport) override;
    [[nodiscard]] std::vector<std::string> UnlistedItems() override;

    // Why the last operation said no (for the log).
    [[nodiscard]] std::string GetLastError() const override;
    [[nodiscard]] const std::string& BaseDir() const { return m_strBaseDir; }
    // $XDG_DATA_HOME/Halvo-Soft, or ~/.local/share/Halvo-Soft.
    [[nodiscard]] static std::string DefaultBaseDir();

private:
    [[nodiscard]] bool Hide(const std::string& strPath);
    [[nodiscard]] bool IsRefused(const std::string& strClean, const std::string& strReal) const;
    [[nodiscard]] bool SetAllEnabled(bool bEnabled);
    [[nodiscard]] bool Fail(std::string strError);
    [[nodiscard]] bool FromStore(bool bOk);
    [[nodiscard]] static SRestoreFailure::EWhy WhyNotRestored(const SHiddenEntry& entry);

    std::string m_strBaseDir;
    std::string m_strMountVaultName;
    mutable std::mutex m_mutex;
    std::unique_ptr<CHidingStore> m_pStore;
    std::string m_strLastError;
};
