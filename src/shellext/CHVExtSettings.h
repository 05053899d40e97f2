#pragma once

#include <string>

// The program's settings that the file-manager extension reads, straight from the program's
// per-user settings file (group "Main" of $XDG_CONFIG_HOME/Halvo-Soft/HalvoNorvane.conf). A
// missing file or value leaves 0 and an empty program path.
class CHVExtSettings
{
public:
    int m_nShlPasswordType = 0;      // "ShlPasswordType": 1 master password, 0 a new password
    int m_nShlEnableWipe = 0;        // "ShlEnableWipe": offer wiping
    int m_nDisableHide = 0;          // "DisableHide": no hide entries
    int m_nShlEnableShell = 0;       // "ShlEnableShell": the menu is switched on
    std::string m_strModuleEXEPath;  // "Module EXE Path": the program to start

    // At most this many bytes of the program path are taken.
    static constexpr std::size_t kMaxPath = 4096;

    // Reads the values afresh from the user's settings file.
    [[nodiscard]] static CHVExtSettings Load();
    // Reads them from a given file.
    [[nodiscard]] static CHVExtSettings LoadFile(const std::string& strFile);
    // $XDG_CONFIG_HOME/Halvo-Soft/HalvoNorvane.conf ($HOME/.config when the variable is unset
    // or not absolute); empty when no home folder is known.
    [[nodiscard]] static std::string SettingsFile();
};
