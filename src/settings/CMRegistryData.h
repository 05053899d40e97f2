#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

class CRegistry;

// The user's lasting preferences: one object, held by the global data, whose fields every part
// of the program reads and writes directly. The values live in the per-user settings key
// "SOFTWARE\Halvo-Soft\HalvoNorvane\Main" (group Main of $XDG_CONFIG_HOME/Halvo-Soft/
// HalvoNorvane.conf), under the value names given beside each field; the shell extension reads
// the same names. Numbers are written as 32-bit numbers, strings as strings.
class CMRegistryData
{
public:
    CMRegistryData();
    virtual ~CMRegistryData();

    CMRegistryData(const CMRegistryData&) = default;
    CMRegistryData& operator=(const CMRegistryData&) = default;

    // Fields, in declaration order, with their value names. Defaults are those of SetDefaults.
    QString m_strModulePath;     // "Module Path": program folder, no trailing slash
    QString m_strModuleEXEPath;  // "Module EXE Path": the program file
    int m_nPriority = -1;        // "Priority": the manager's priority, written at shutdown
    int m_nAESType = 2;          // "AESType": 0 128-bit, 1 192-bit, 2 256-bit key
    int m_nHidenType = 0;        // "HidenType": after encryption 0 nothing, 1 hide, 2 wipe
    int m_nDisableHide = 0;      // "DisableHide": the hiding engine could not be set up
    int m_nEnableAdvLog = 0;     // "EnableAdvLog": write the log file
    int m_nResolveLinks = 0;     // "ResolveLinks": picked links are resolved to their targets
    int m_nActionHidden = 0;     // "ActionHidden": hidden items 0 ask, 1 process, 2 skip
    int m_nActionReadOnly = 1;   // "ActionReadOnly": the same for read-only items
    int m_nActionSystem = 0;     // "ActionSystem": the same for system items
    int m_nEnableEncrypt = 1;    // "EnableEncrypt": the manager's encrypt flag
    int m_nPasswordType = 0;     // "PasswordType": 0 master, 1 user-defined
    int m_nWipeType = 0;         // "WipeType": wipe method 0, 1 or 2
    int m_nDodPass3Type = 0;     // "DodPass3Type": third pass of method 1, 0 or 1
    QString m_strDoDPass3;       // "DoDPass3": its byte pattern, two hex digits ("AA")
    int m_nShlEnableShell = 1;   // "ShlEnableShell": the context menu is on
    int m_nShlEnableWipe = 0;    // "ShlEnableWipe": the context menu offers wiping
    int m_nShlPasswordType = 1;  // "ShlPasswordType": 1 master password, 0 ask for a new one
    int m_nShlAskMaster = 1;     // "ShlAskMaster": command-line runs ask the master password
    int m_nWindowPosition = 1;   // "WindowPosition": store the main window's placement
    int m_nAsscExtension = 1;    // "AsscExtension": register the .hvnc type at start-up

    // The two keys.
    QString m_strRegistryKey;  // per-user settings key
    QString m_strAppPathsKey;  // the program's registration key (system-wide, read-only)

    static constexpr const char* kSettingsKey = "SOFTWARE\\Halvo-Soft\\HalvoNorvane\\Main";
    static constexpr const char* kAppPathsKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\HalvoNorvane.exe";
    static constexpr const char* kPlacementValue = "Postion";
    // File names of the graphical and the terminal program in the program folder.
    static constexpr const char* kGraphicalProgram = "HalvoNorvane";
    static constexpr const char* kTerminalProgram = "hnv";

    // One row per value, in the order WriteValues writes them.
    struct CValueInfo
    {
        const char* pszName;
        int CMRegistryData::*pnField;        // numbers (null for strings)
        QString CMRegistryData::*pstrField;  // strings (null for numbers)
        int nDefault;
        const char* pszDefault;
        bool bPath;  // the two program paths: no default, never read from the settings key
    };
    [[nodiscard]] static std::span<const CValueInfo> Values();
    [[nodiscard]] static const CValueInfo* FindValue(QStringView strName);

    // Typed access by value name; empty / false for unknown names or the wrong kind.
    [[nodiscard]] std::optional<int> GetInt(QStringView strName) const;
    [[nodiscard]] bool SetInt(QStringView strName, int nValue);
    [[nodiscard]] std::optional<QString> GetString(QStringView strName) const;
    [[nodiscard]] bool SetString(QStringView strName, const QString& strValue);

    // Both program paths from the running program. `Module EXE Path` is always the graphical
    // program: run as the terminal program, the graphical one beside it (empty when missing).
    void FirstTimeInit();
    // Program paths from the system-wide registration, else from the running program; true.
    // A package registers the program in /etc/xdg/Halvo-Soft/HalvoNorvane.conf:
    //   [App%20Paths]
    //   Path=/opt/Halvo Norvane
    //   %40=/opt/Halvo Norvane/HalvoNorvane
    bool LoadAppPaths();
    // Reads the settings key, or creates it with defaults; true.
    bool LoadOrCreate();
    // LoadAppPaths, then LoadOrCreate.
    [[nodiscard]] bool Load();
    // Reads every value from an open key. One missing or unreadable value returns all values to
    // their defaults and writes them back (once; a failing rewrite does not loop). True when
    // the values finally read are all there.
    bool ReadValues(CRegistry& key);
    // Writes every value, paths included, to an open key; false when one was refused.
    bool WriteValues(CRegistry& key);
    // Writes every value when the settings key exists (never creates it); false when the key
    // is missing or the values did not reach the disk.
    bool Save();

    // The main window's placement (Qt's saved geometry) as the binary value "Postion". Both
    // do nothing, the load reporting false, when the settings key is missing.
    bool SaveWindowPlacement(const QByteArray& placement);
    [[nodiscard]] bool LoadWindowPlacement(QByteArray& placement);

    void SetDefaults();
    void ResetShellDefaults();
    void ResetEncryptDefaults();
    void ResetWipeDefaults();
    void ResetGeneralDefaults();

    // Registers the .hvnc file type for the current user (see CHVFileAssociation).
    bool AssociateExtension();

private:
    void ResetValues(std::span<const char* const> names);
};
