#pragma once

#include "shellext/CHVExtSettings.h"
#include "shellext/HVExt.h"

#include <string>
#include <vector>

// Registration of the extension for the current user: the static menus of the file managers
// that cannot load our handler (Dolphin service menus, Nemo actions), in the user's own data
// folder. The GNOME Files module belongs to the package, which installs it into the system
// extension folder; it reads the user's settings at every menu request, so the switch in the
// settings turns it on and off for that user alone. Nothing here needs or asks for root.
class CHVExtRegistrar
{
public:
    struct SPlaces
    {
        std::string strLauncher;  // the launcher the static menus call
        std::string strDataHome;  // the user's data folder
    };

    // File name of the launcher beside the library.
    static constexpr const char* kLauncherName = "hvext-launch";

    // The places for a library in strLibraryFolder.
    [[nodiscard]] static SPlaces DefaultPlaces(const std::string& strLibraryFolder);

    // Writes the static menus of the current settings (files of ours that they no longer hold
    // are removed); a file that already holds the right text is not rewritten. HV_E_ACCESSDENIED
    // when the user's folders refuse the files, HV_E_FAIL on any other failure.
    [[nodiscard]] static HVRESULT Register(const SPlaces& places, const CHVExtSettings& settings);
    // Removes every static menu file of ours; files of others stay.
    [[nodiscard]] static HVRESULT Unregister(const SPlaces& places);

private:
    [[nodiscard]] static HVRESULT RemoveMenus(const SPlaces& places, const std::vector<std::string>& keep);
};
