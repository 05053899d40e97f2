#pragma once

#include <QString>
#include <QStringList>

// The freedesktop base directories, read from the environment at every call (so that a test,
// or a change of HOME, takes effect at once). Relative values are ignored, as the base
// directory rules ask.
class CHVXdgDirs
{
public:
    [[nodiscard]] static QString Home();
    [[nodiscard]] static QString ConfigHome();      // $XDG_CONFIG_HOME, else ~/.config
    [[nodiscard]] static QString DataHome();        // $XDG_DATA_HOME, else ~/.local/share
    [[nodiscard]] static QStringList ConfigDirs();  // $XDG_CONFIG_DIRS, else /etc/xdg
    [[nodiscard]] static QStringList DataDirs();    // $XDG_DATA_DIRS, else /usr/local/share:/usr/share
    // The folder that holds the read-only system-wide settings: /etc/xdg. The variable
    // HV_SYSTEM_CONFIG_DIR replaces it; it exists for tests only.
    [[nodiscard]] static QString SystemConfigDir();
    // Lower-case names of $XDG_CURRENT_DESKTOP, in order.
    [[nodiscard]] static QStringList CurrentDesktops();
};
