#pragma once

#include "shellext/CHVExtSettings.h"
#include "shellext/HVExt.h"

#include <optional>
#include <string>
#include <vector>

// One entry of the submenu: a command offset and its text, or a separator (offset 0).
struct SHVMenuEntry
{
    int nOffset = 0;
    std::string strText;

    [[nodiscard]] bool IsSeparator() const { return nOffset == 0; }
    bool operator==(const SHVMenuEntry&) const = default;
};

// The context-menu handler (class HVShlExt): classifies a selection, builds the submenu and
// starts the program with the command line of the chosen entry. One object per request; it
// knows no file manager and no GUI toolkit.
class CHVShlExt
{
public:
    // Command offsets.
    static constexpr int OffEncrypt = 1;
    static constexpr int OffAddToSecure = 2;
    static constexpr int OffEncryptHide = 3;
    static constexpr int OffEncryptWipe = 4;
    static constexpr int OffHide = 5;
    static constexpr int OffWipe = 6;
    static constexpr int OffDecrypt = 7;
    static constexpr int OffHideManagement = 8;
    static constexpr int OffEncryptMail = 9;
    static constexpr int OffSubmenu = 10;
    static constexpr int kCommandCount = 11;

    enum class EItemKind
    {
        Encrypted,   // extension exactly ".hvnc"
        Plain,       // any other extension
        FolderLike,  // no extension
    };

    // Reads the settings afresh from the user's settings file, then classifies the items.
    [[nodiscard]] HVRESULT Initialize(const std::vector<std::string>& arrPaths);
    // The same with settings given by the caller. HV_E_INVALIDARG for an empty selection or an
    // empty path (the other items are still taken).
    [[nodiscard]] HVRESULT Initialize(const std::vector<std::string>& arrPaths, const CHVExtSettings& settings);

    // The submenu's label (string 111).
    [[nodiscard]] static std::string SubmenuLabel();
    // The submenu's entries in order; empty when the menu is switched off or nothing is selected.
    [[nodiscard]] std::vector<SHVMenuEntry> BuildMenu() const;
    // True when the submenu holds the entry with this offset.
    [[nodiscard]] bool IsOffered(int nOffset) const;

    // The program's arguments (program path not included) for an offset from 1 to 9; empty
    // for any other offset or without items.
    [[nodiscard]] std::optional<std::vector<std::string>> BuildCommandArgs(int nOffset) const;
    // Starts `Module EXE Path` with the entry's arguments, detached. HV_E_INVALIDARG for an
    // offset the submenu does not hold, HV_E_FAIL when the program cannot be started.
    [[nodiscard]] HVRESULT InvokeCommand(int nOffset) const;

    [[nodiscard]] static EItemKind Classify(const std::string& strPath);
    // The text from the last dot of the last path part; empty when it has no dot.
    [[nodiscard]] static std::string Extension(const std::string& strPath);
    // True when the folder holds nothing but encrypted files, at any depth. A path that is no
    // readable folder, an unreadable subfolder, a link, or a tree larger than kMaxScanEntries
    // entries or deeper than kMaxScanDepth folders answers false.
    [[nodiscard]] static bool HoldsOnlyEncrypted(const std::string& strPath);
    static constexpr std::size_t kMaxScanEntries = 10000;
    static constexpr int kMaxScanDepth = 64;

    [[nodiscard]] bool HasPlain() const { return m_bHasPlain; }
    [[nodiscard]] bool HasFolder() const { return m_bHasFolder; }
    [[nodiscard]] const std::vector<std::string>& Items() const { return m_arrItems; }
    [[nodiscard]] const CHVExtSettings& Settings() const { return m_settings; }

private:
    bool m_bHasPlain = false;
    bool m_bHasFolder = false;
    std::vector<std::string> m_arrItems;
    CHVExtSettings m_settings;
};
