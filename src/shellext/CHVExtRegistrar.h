#pragma once

#include "shellext/CHVExtSettings.h"
#include "shellext/HVExt.h"

#include <string>
#include <vector>

// Registration of the extension with the file managers: the GNOME Files module in the system
// extension folder (which only an administrator can write) and the per-user static menus.
class CHVExtRegistrar
{
public:
    struct SPlaces
    {
        std::string strModuleFile;    // the built GNOME Files module; empty when not built
        std::string strExtensionDir;  // the system extension folder; empty when unknown
        std::string strLauncher;      // the launcher the static menus call
        std::string strDataHome;      // the user's data folder
    };

    // File name of the GNOME Files module beside the library.
    static constexpr const char* kModuleName = "libHVExtNautilus.so";
    // File name of the launcher beside the library.
    static constexpr const char* kLauncherName = "hvext-launch";

    // The places for a library in strLibraryFolder. The system extension folder is the one the
    // build found; the variable HV_NAUTILUS_EXTENSION_DIR replaces it (for tests only).
    [[nodiscard]] static SPlaces DefaultPlaces(const std::string& strLibraryFolder);

    // Step 1: the module, when it was built and the extension folder exists; an identical copy
    // already there is left alone. HV_E_ACCESSDENIED when the folder may not be written, and
    // nothing else is registered. Step 2: the static menus of the current settings (stale
    // ones of ours removed).
    [[nodiscard]] static HVRESULT Register(const SPlaces& places, const CHVExtSettings& settings);
    // Removes the module (HV_E_ACCESSDENIED when it stays for lack of rights) and all static
    // menus of ours.
    [[nodiscard]] static HVRESULT Unregister(const SPlaces& places);

private:
    [[nodiscard]] static HVRESULT InstallModule(const SPlaces& places);
    [[nodiscard]] static HVRESULT RemoveMenus(const SPlaces& places, const std::vector<std::string>& keep);
};
