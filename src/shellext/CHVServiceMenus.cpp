#include "shellext/CHVServiceMenus.h"

#include "resources/HVExtStrings.h"

#include <algorithm>
#include <cstdio>

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

// Exec line of an entry: the launcher, the offset and the selection as URIs, which carry no
// quote, blank or backslash of their own.
std::string ExecLine(const std::string& strLauncher, int nOffset)
{
    return "Exec=" + CHVServiceMenus::QuoteExecArgument(strLauncher) + ' ' + std::to_string(nOffset) + " %U\n";
}

std::string DolphinFile(const std::vector<SHVMenuEntry>& entries,
                        const char* pszMime,
                        const char* pszExclude,
                        const std::string& strLauncher)
{
    std::string str = "[Desktop Entry]\nType=Service\nMimeType=";
    str += pszMime;
    str += '\n';
    if (pszExclude != nullptr) {
        // A KConfig list: comma-separated, unlike MimeType.
        str += std::string("ExcludeServiceTypes=") + pszExclude + '\n';
    }
    str += "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\nX-KDE-Protocols=file\nX-KDE-Submenu=" + S(IDS_EXT_SUBMENU) + '\n';
    str += "TryExec=" + strLauncher + "\nActions=";
    // The keys sort in the handler's order.
    auto key = [](std::size_t nIndex, const SHVMenuEntry& e) {
        char szKey[32];
        std::snprintf(szKey, sizeof szKey, "hv%02zu-%d", nIndex + 1, e.nOffset);
        return std::string(szKey);
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        str += key(i, entries[i]) + ';';
    }
    str += '\n';
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SHVMenuEntry& e = entries[i];
        str += "\n[Desktop Action " + key(i, e) + "]\nName=" + TrimRight(e.strText) + '\n';
        str += ExecLine(strLauncher, e.nOffset);
    }
    return str;
}

std::string NemoFile(const SHVMenuEntry& e, const char* pszExtensions, const std::string& strLauncher)
{
    std::string str = "[Nemo Action]\nName=" + S(IDS_EXT_SUBMENU) + ": " + TrimRight(e.strText) + '\n';
    str += "Comment=" + TrimRight(e.strText) + '\n';
    str += ExecLine(strLauncher, e.nOffset);
    str += "Quote=double\nSelection=notnone\nExtensions=";
    str += pszExtensions;
    str += ";\nDependencies=" + strLauncher + ";\n";
    // Nemo runs the condition as a command line with the selection (%F, double-quoted) in it.
    str += "Conditions=exec " + CHVServiceMenus::QuoteExecArgument(strLauncher) + ' ' + CHVServiceMenus::kOfferOption
           + ' ' + std::to_string(e.nOffset) + " %F;\n";
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

std::vector<SHVMenuEntry> CHVServiceMenus::EncryptedEntries(const CHVExtSettings& settings)
{
    const bool H = settings.m_nDisableHide != 0;
    const bool W = settings.m_nShlEnableWipe != 0;
    std::vector<SHVMenuEntry> entries{{CHVShlExt::OffDecrypt, S(IDS_EXT_DECRYPT_SELECTED)}};
    if (!H) {
        entries.push_back({CHVShlExt::OffHide, S(IDS_EXT_HIDE_SELECTED)});
    }
    if (W) {
        entries.push_back({CHVShlExt::OffWipe, S(IDS_EXT_WIPE_SELECTED)});
    }
    if (!H) {
        entries.push_back({CHVShlExt::OffHideManagement, S(IDS_EXT_HIDE_MANAGEMENT)});
    }
    return entries;
}

std::vector<CHVServiceMenus::SFile> CHVServiceMenus::Build(const CHVExtSettings& settings,
                                                           const std::string& strLauncher)
{
    if (strLauncher.empty() || strLauncher[0] != '/'
        || std::any_of(strLauncher.begin(), strLauncher.end(), [](char ch) {
               return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F || ch == ';';
           })) {
        return {};
    }
    const std::string strPrefix = kPrefix;
    const auto plain = PlainEntries(settings);
    const auto encrypted = EncryptedEntries(settings);
    std::vector<SFile> files;
    files.push_back({kDolphinFolder,
                     strPrefix + ".desktop",
                     DolphinFile(plain, "all/allfiles;inode/directory;", "application/x-hvnc", strLauncher),
                     true});
    files.push_back({kDolphinFolder,
                     strPrefix + "-decrypt.desktop",
                     DolphinFile(encrypted, "application/x-hvnc;", nullptr, strLauncher),
                     true});

    // Nemo: one action per entry of the handler's order (decryption stands where encryption
    // would, the two never show together), numbered so that the file names sort that way.
    std::vector<SHVMenuEntry> order;
    bool bDecryptPlaced = false;
    for (const SHVMenuEntry& e : plain) {
        const bool bEncryptGroup = e.nOffset == CHVShlExt::OffEncrypt || e.nOffset == CHVShlExt::OffEncryptHide
                                   || e.nOffset == CHVShlExt::OffEncryptMail || e.nOffset == CHVShlExt::OffEncryptWipe;
        if (!bEncryptGroup && !bDecryptPlaced) {
            order.push_back(encrypted.front());
            bDecryptPlaced = true;
        }
        order.push_back(e);
    }
    int nIndex = 0;
    for (const SHVMenuEntry& e : order) {
        const bool bDecrypt = e.nOffset == CHVShlExt::OffDecrypt;
        char szIndex[16];
        std::snprintf(szIndex, sizeof szIndex, "%02d", ++nIndex);
        files.push_back({kNemoFolder,
                         strPrefix + '-' + szIndex + '-' + std::to_string(e.nOffset) + ".nemo_action",
                         NemoFile(e, bDecrypt ? "hvnc;none" : "any", strLauncher),
                         false});
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
