#pragma once

#include <QString>

class CMRegistryData;

// The current user's own registrations with the desktop, kept in line with the settings from
// inside the program: the static file-manager menus (Dolphin, Nemo) in the user's data folder,
// written while `ShlEnableShell` is on and removed while it is off, and, for the clean-up before
// an uninstallation, those menus together with the .hvnc association. The GNOME Files module is
// the package's; it follows `ShlEnableShell` by itself.
class CHVShellMenus
{
public:
    // Writes or removes the menus as the settings say (the launcher in `Module Path`). Files
    // that already hold the right text are left alone. False, with the reason, on a failure.
    [[nodiscard]] static bool Sync(const CMRegistryData& settings, QString* pstrError = nullptr);
    // Removes the menus, whatever the settings say.
    [[nodiscard]] static bool Remove(QString* pstrError = nullptr);
    // Removes the menus and gives the .hvnc type back to its previous handler (or to none).
    [[nodiscard]] static bool RemoveUserRegistrations(QString* pstrError = nullptr);
};
