#pragma once

#include "shellext/CHVExtSettings.h"
#include "shellext/CHVShlExt.h"

#include <string>
#include <vector>

// The static menus of the file managers that cannot run our handler in their own process
// (Dolphin service menus, Nemo actions). Every entry calls the launcher with its command offset
// and the selection; the launcher classifies the selection again and starts only what the
// handler offers. The menus show as little as their format allows beyond the handler's offer:
//  - Dolphin: one submenu with the product's name; the entries for plain items (files and
//    folders, no encrypted file among them) and those for encrypted files, each in the handler's
//    order. A folder that holds only encrypted files cannot be told apart there.
//  - Nemo: labels that begin with the product's name, in the handler's order (Nemo sorts by file
//    name), each shown only when the launcher, asked by the action's display condition with
//    the selection, answers that the handler offers it; every name is double-quoted.
// Both hide their entries once the launcher is gone (Dolphin's TryExec, Nemo's Dependencies).
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
    // "hvext-launch --offered <offset> <path>..." starts nothing and only answers whether the
    // handler offers that entry for the paths.
    static constexpr const char* kOfferOption = "--offered";

    // The entries a static menu shows on plain items, and those it shows on encrypted files
    // and folders that hold only encrypted files, in the handler's order.
    [[nodiscard]] static std::vector<SHVMenuEntry> PlainEntries(const CHVExtSettings& settings);
    [[nodiscard]] static std::vector<SHVMenuEntry> EncryptedEntries(const CHVExtSettings& settings);

    // The files for the launcher at strLauncher; empty when its path cannot be written into an
    // Exec line (control characters) or is not absolute.
    [[nodiscard]] static std::vector<SFile> Build(const CHVExtSettings& settings, const std::string& strLauncher);

    // One argument of an Exec line, quoted and escaped for a desktop-entry file.
    [[nodiscard]] static std::string QuoteExecArgument(const std::string& strArg);
};
