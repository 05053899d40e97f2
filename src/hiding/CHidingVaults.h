#pragma once

#include <string>
#include <sys/types.h>

// The private folders that keep hidden items. An item can only be moved by a rename within
// one filesystem, so each filesystem has its own vault: the home vault in the user's data
// folder for items on that filesystem, and "<mount point>/<mount vault name>" for items on any
// other mount, made where the user may create it. Vaults are folders of mode 0700 owned by the
// user; a folder of that name owned by someone else or open to others is never used.
class CHidingVaults
{
public:
    CHidingVaults(std::string strHomeVault, std::string strMountVaultName);

    // Creates the home vault when missing and notes its real path and filesystem.
    [[nodiscard]] bool Prepare(std::string& strError);
    [[nodiscard]] const std::string& HomeVault() const { return m_strHomeVault; }
    [[nodiscard]] const std::string& MountVaultName() const { return m_strMountVaultName; }

    // The vault for an item in the folder strRealParent (a real path) on the filesystem dev.
    // bAllowHome false skips the home vault (a bind mount that refused the rename). Empty with
    // a reason when no vault can be had there.
    [[nodiscard]] std::string
    VaultFor(const std::string& strRealParent, dev_t dev, bool bAllowHome, std::string& strError);

    // The top folder of the mount that holds strRealPath, which lies on the filesystem dev.
    [[nodiscard]] static std::string MountTopOf(const std::string& strRealPath, dev_t dev);
    // Makes strDir a private folder of the user (creating it with mode 0700), or says why not.
    [[nodiscard]] static bool EnsurePrivateDir(const std::string& strDir, std::string& strError);

private:
    std::string m_strHomeVault;
    std::string m_strMountVaultName;
    dev_t m_homeDev = 0;
};
