#include "shellext/CHVServiceMenus.h"

#include <algorithm>
#include <cstdio>

#include "resources/HVExtStrings.h"

namespace {

std::string S(unsigned nId)
{
    return HVExtLoadString(nId);
}

// Key files trim values: a text keeps no trailing blank.
std::string TrimRight(std::string str)
{
    while (!str.empty() && str.back() == ' ') {
        str.pop_back();
    }
    return str;
}

std::string ExecLine(const std::string& strLauncher, int nOffset)
{
    return "Exec=" + CHVServiceMenus::QuoteExecArgument(strLauncher) + ' ' + std::to_string(nOffset) + " %U\n";
}

std::string DolphinFile(const std::vector<SHVMenuEntry>& entries, const char* pszMime, const std::string& strLauncher)
{
    std::string str = "[Desktop Entry]\nType=Service\nMimeType=";
    str += pszMime;
    str += ";\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\nX-KDE-Submenu=" + S(IDS_EXT_SUBMENU) + "\nActions=";
    for (const SHVMenuEntry& e : entries) {
        str += "hvext" + std::to_string(e.nOffset) + ';';
    }
    str += '\n';
    for (const SHVMenuEntry& e : entries) {
        str += "\n[Desktop Action hvext" + std::to_string(e.nOffset) + "]\nName=" + TrimRight(e.strText) + '\n';
        str += ExecLine(strLauncher, e.nOffset);
    }
    return str;
}

std::string NemoFile(const SHVMenuEntry& e, const char* pszExtensions, const std::string& strLauncher)
{
    std::string str = "[Nemo Action]\nName=" + TrimRight(e.strText) + "\nComment=" + S(IDS_EXT_SUBMENU) + '\n';
    str += ExecLine(strLauncher, e.nOffset);
    str += "Selection=notnone\nExtensions=";
    str += pszExtensions;
    str += ";\n";
    return str;
}

}  // namespace

std::vector<SHVMenuEntry> CHVServiceMenus::PlainEntries(const CHVExtSettings& settings)
{
    const bool H = settings.m_nDisableHide != 0;
    const bool W = settings.m_nShlEnableWipe != 0;
    std::vector<SHVMenuEntry> entries;
    entries.push_back({CHVShlExt::OffEncrypt, S(IDS_EXT_ENCRYPT_SELECTED)});
    if (!H) {
        entries.push_back({CHVShlExt::OffEncryptHide, S(IDS_EXT_ENCRYPT_SELECTED) + S(IDS_EXT_THEN_HIDE)});
    }
    entries.push_back({CHVShlExt::OffEncryptMail, S(IDS_EXT_ENCRYPT_AND) + S(IDS_EXT_EMAIL_SELECTED)});
    if (W) {
        entries.push_back({CHVShlExt::OffEncryptWipe, S(IDS_EXT_ENCRYPT_SELECTED) + S(IDS_EXT_THEN_WIPE)});
    }
    if (!H) {
        entries.push_back({CHVShlExt::OffHide, S(IDS_EXT_HIDE_SELECTED)});
    }
    if (W) {
        entries.push_back({CHVShlExt::OffWipe, S(IDS_EXT_WIPE_SELECTED)});
    }
    entries.push_back({CHVShlExt::OffAddToSecure, S(IDS_EXT_ADD_TO_SECURE)});
    if (!H) {
        entries.push_back({CHVShlExt::OffHideManagement, S(IDS_EXT_HIDE_MANAGEMENT)});
    }
    return entries;
}

std::vector<SHVMenuEntry> CHVServiceMenus::EncryptedEntries(const CHVExtSettings&)
{
    return {{CHVShlExt::OffDecrypt, S(IDS_EXT_DECRYPT_SELECTED)}};
}

std::vector<CHVServiceMenus::SFile> CHVServiceMenus::Build(const CHVExtSettings& settings,
                                                           const std::string& strLauncher)
{
    if (strLauncher.empty() || std::any_of(strLauncher.begin(), strLauncher.end(), [](char ch) {
            return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F;
        })) {
        return {};
    }
    const std::string strPrefix = kPrefix;
    const auto plain = PlainEntries(settings);
    const auto encrypted = EncryptedEntries(settings);
    std::vector<SFile> files;
    files.push_back({kDolphinFolder, strPrefix + ".desktop", DolphinFile(plain, "all/all", strLauncher), true});
    files.push_back({kDolphinFolder,
                     strPrefix + "-decrypt.desktop",
                     DolphinFile(encrypted, "application/x-hvnc;inode/directory", strLauncher),
                     true});
    // Nemo lists actions by file name: the number keeps the handler's order.
    int nIndex = 0;
    auto addNemo = [&](const SHVMenuEntry& e, const char* pszExtensions) {
        char szIndex[16];
        std::snprintf(szIndex, sizeof szIndex, "%02d", ++nIndex);
        files.push_back({kNemoFolder,
                         strPrefix + '-' + szIndex + '-' + std::to_string(e.nOffset) + ".nemo_action",
                         NemoFile(e, pszExtensions, strLauncher),
                         false});
    };
    for (const SHVMenuEntry& e : plain) {
        if (e.nOffset == CHVShlExt::OffHide) {
            for (const SHVMenuEntry& d : encrypted) {
                addNemo(d, "hvnc;dir");
            }
        }
        addNemo(e, "any");
    }
    if (std::none_of(
            plain.begin(), plain.end(), [](const SHVMenuEntry& e) { return e.nOffset == CHVShlExt::OffHide; })) {
        for (const SHVMenuEntry& d : encrypted) {
            addNemo(d, "hvnc;dir");
        }
    }
    return files;
}

std::string CHVServiceMenus::QuoteExecArgument(const std::string& strArg)
{
    // Inside double quotes, ", `, $ and \ take a backslash; the file's own escaping then
    // doubles every backslash, and % is written as %%.
    std::string strQuoted = "\"";
    for (const char ch : strArg) {
        if (ch == '"' || ch == '`' || ch == '$' || ch == '\\') {
            strQuoted += '\\';
        }
        strQuoted += ch;
    }
    strQuoted += '"';
    std::string out;
    for (const char ch : strQuoted) {
        if (ch == '\\') {
            out += "\\\\";
        } else if (ch == '%') {
            out += "%%";
        } else {
            out += ch;
        }
    }
    return out;
}
