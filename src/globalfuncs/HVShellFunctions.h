#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>

namespace HVGlobalMFC {

// Special-folder identifiers (the numbering the callers use).
enum HVSpecialFolderId : int
{
    HV_CSIDL_DESKTOP = 0,            // XDG desktop directory (never created)
    HV_CSIDL_PROGRAMS = 2,           // $XDG_DATA_HOME/applications
    HV_CSIDL_PERSONAL = 5,           // XDG documents directory
    HV_CSIDL_STARTUP = 7,            // $XDG_CONFIG_HOME/autostart
    HV_CSIDL_MYMUSIC = 13,           // XDG music directory
    HV_CSIDL_MYVIDEO = 14,           // XDG videos directory
    HV_CSIDL_DESKTOPDIRECTORY = 16,  // XDG desktop directory
    HV_CSIDL_TEMPLATES = 21,         // XDG templates directory
    HV_CSIDL_APPDATA = 26,           // $XDG_DATA_HOME (default ~/.local/share)
    HV_CSIDL_LOCAL_APPDATA = 28,     // $XDG_STATE_HOME (default ~/.local/state)
    HV_CSIDL_COMMON_APPDATA = 35,    // $XDG_DATA_HOME too: each user keeps an own master password
    HV_CSIDL_WINDOWS = 36,           // no meaning here: empty
    HV_CSIDL_MYPICTURES = 39,        // XDG pictures directory
    HV_CSIDL_PROFILE = 40,           // $HOME
    HV_CSIDL_FLAG_CREATE = 0x8000,
    HV_CSIDL_FLAG_MASK = 0xFF00,
};

// Resolves a special folder (flags in HV_CSIDL_FLAG_MASK are accepted and ignored).
// The folder is created when missing (as the create flag asks) for every identifier but 0.
// XDG user directories (desktop, documents, music, ...) come from $XDG_CONFIG_HOME/user-dirs.dirs
// (then the XDG_*_DIR variables); a user directory that is not configured or is set to $HOME
// (disabled) gives an empty string, except the desktop, which falls back to $HOME/Desktop.
// Identifiers without a meaning on this platform (Windows, system, program files, cookies,
// history, internet cache, send-to, recent, favorites, the all-users folders, ...) give an empty
// string, and so does a folder that cannot be created. Relative XDG_* values are ignored.
[[nodiscard]] HVGLOBALMFC_API QString HV_GetSpecialFolder(int folderId);

// Opens address in the desktop's default browser: "xdg-open" (looked up on PATH) is started
// detached with the address as its one argument, no shell. flagA and useAutomation are accepted
// for compatibility; browser automation is not supported here, so every call takes this path.
// Returns false when address is empty, starts with '-' (it would be taken for an option), or
// xdg-open cannot be found or started.
HVGLOBALMFC_API bool HVLauchIEBrowser(const QString& address, int flagA = 0, int useAutomation = 0);

// The temporary-files folder: $TMPDIR when it is an absolute path, else "/tmp".
[[nodiscard]] HVGLOBALMFC_API QString HVGetTempFolder();
// The login name of the current user (password database, then $USER).
[[nodiscard]] HVGLOBALMFC_API QString HVGetUserName();
// The host name.
[[nodiscard]] HVGLOBALMFC_API QString HVGetComputerName();
// The home folder: $HOME when absolute, else the password database.
[[nodiscard]] HVGLOBALMFC_API QString HVGetHomeFolder();

}  // namespace HVGlobalMFC
