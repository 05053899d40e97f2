#pragma once

#include "shellext/CHVExtSettings.h"
#include "shellext/CHVShlExt.h"

#include <string>
#include <vector>

// The static menus of the file managers that cannot run our handler in their own process
// (Dolphin service menus, Nemo actions). They hold the handler's entries with the texts for
// several items, and every entry calls the launcher with its command offset and the selection;
// the launcher classifies the selection again, so an entry that does not fit it does nothing.
class CHVServiceMenus
{
public:
    struct SFile
    {
        std::string strFolder;  // below the user's data folder
        std::string strName;
        std::string strContent;
        bool bExecutable = false;  // Dolphin runs only executable service menus
    };

    // Every file name of ours begins with this.
    static constexpr const char* kPrefix = "halvonorvane-hvext";
    static constexpr const char* kDolphinFolder = "kio/servicemenus";
    static constexpr const char* kNemoFolder = "nemo/actions";

    // The entries a static menu shows on any item, and those it shows on encrypted files and
    // folders (which may hold nothing else).
    [[nodiscard]] static std::vector<SHVMenuEntry> PlainEntries(const CHVExtSettings& settings);
    [[nodiscard]] static std::vector<SHVMenuEntry> EncryptedEntries(const CHVExtSettings& settings);

    // The files for the launcher at strLauncher; empty when its path cannot be written into an
    // Exec line (control characters).
    [[nodiscard]] static std::vector<SFile> Build(const CHVExtSettings& settings, const std::string& strLauncher);

    // One argument of an Exec line, quoted and escaped for a desktop-entry file.
    [[nodiscard]] static std::string QuoteExecArgument(const std::string& strArg);
};
