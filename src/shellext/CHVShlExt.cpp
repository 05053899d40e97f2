#include "shellext/CHVShlExt.h"

#include "resources/HVExtStrings.h"
#include "shellext/CHVExtSpawn.h"
#include "shellext/HVExtPaths.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string S(unsigned nId)
{
    return HVExtLoadString(nId);
}

// Scans an open folder; false at the first entry that is not an encrypted file or cannot be
// looked into. Takes ownership of nFd.
bool ScanFolder(int nFd, int nDepth, std::size_t& nBudget)
{
    DIR* pDir = ::fdopendir(nFd);
    if (pDir == nullptr) {
        ::close(nFd);
        return false;
    }
    bool bOnlyEncrypted = true;
    while (bOnlyEncrypted) {
        errno = 0;
        const dirent* pEntry = ::readdir(pDir);
        if (pEntry == nullptr) {
            bOnlyEncrypted = errno == 0;  // a failed read proves nothing
            break;
        }
        const std::string strName = pEntry->d_name;
        if (strName == "." || strName == "..") {
            continue;
        }
        if (nBudget == 0) {
            bOnlyEncrypted = false;
            break;
        }
        --nBudget;
        unsigned char nType = pEntry->d_type;
        if (nType == DT_UNKNOWN) {
            struct stat st
            {
            };
            if (::fstatat(::dirfd(pDir), pEntry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                bOnlyEncrypted = false;
                break;
            }
            nType = S_ISDIR(st.st_mode) ? DT_DIR : (S_ISREG(st.st_mode) ? DT_REG : DT_LNK);
        }
        if (nType == DT_DIR) {
            if (nDepth >= CHVShlExt::kMaxScanDepth) {
                bOnlyEncrypted = false;
                break;
            }
            const int nSub = ::openat(::dirfd(pDir), pEntry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            bOnlyEncrypted = nSub >= 0 && ScanFolder(nSub, nDepth + 1, nBudget);
        } else if (nType == DT_REG) {
            bOnlyEncrypted = CHVShlExt::Extension(strName) == ".hvnc";
        } else {
            // Links and special files are not encrypted files of ours.
            bOnlyEncrypted = false;
        }
    }
    ::closedir(pDir);
    return bOnlyEncrypted;
}

}  // namespace

HVRESULT CHVShlExt::Initialize(const std::vector<std::string>& arrPaths)
{
    return Initialize(arrPaths, CHVExtSettings::Load());
}

HVRESULT CHVShlExt::Initialize(const std::vector<std::string>& arrPaths, const CHVExtSettings& settings)
{
    m_settings = settings;
    m_bHasPlain = false;
    m_bHasFolder = false;
    m_arrItems.clear();
    if (arrPaths.empty()) {
        return HV_E_INVALIDARG;
    }
    HVRESULT hr = HV_S_OK;
    for (const std::string& strRaw : arrPaths) {
        if (strRaw.empty() || strRaw.find('\0') != std::string::npos) {
            hr = HV_E_INVALIDARG;
            continue;
        }
        const std::string strPath = HVExtPaths::Normalize(strRaw);
        switch (Classify(strPath)) {
        case EItemKind::Encrypted:
            break;
        case EItemKind::Plain:
            m_bHasPlain = true;
            break;
        case EItemKind::FolderLike:
            m_bHasFolder = true;
            if (!HoldsOnlyEncrypted(strPath)) {
                m_bHasPlain = true;
            }
            break;
        }
        m_arrItems.push_back(strPath);
    }
    return hr;
}

std::string CHVShlExt::SubmenuLabel()
{
    return S(IDS_EXT_SUBMENU);
}

std::vector<SHVMenuEntry> CHVShlExt::BuildMenu() const
{
    std::vector<SHVMenuEntry> menu;
    if (m_settings.m_nShlEnableShell == 0 || m_arrItems.empty()) {
        return menu;
    }
    const bool P = m_bHasPlain;
    const bool H = m_settings.m_nDisableHide != 0;
    const bool W = m_settings.m_nShlEnableWipe != 0;
    if (m_bHasFolder || m_arrItems.size() > 1) {
        if (P) {
            menu.push_back({OffEncrypt, S(IDS_EXT_ENCRYPT_SELECTED)});
            if (!H) {
                menu.push_back({OffEncryptHide, S(IDS_EXT_ENCRYPT_SELECTED) + S(IDS_EXT_THEN_HIDE)});
            }
            menu.push_back({OffEncryptMail, S(IDS_EXT_ENCRYPT_AND) + S(IDS_EXT_EMAIL_SELECTED)});
            if (W) {
                menu.push_back({OffEncryptWipe, S(IDS_EXT_ENCRYPT_SELECTED) + S(IDS_EXT_THEN_WIPE)});
            }
        } else {
            menu.push_back({OffDecrypt, S(IDS_EXT_DECRYPT_SELECTED)});
        }
        if (!H) {
            menu.push_back({OffHide, S(IDS_EXT_HIDE_SELECTED)});
        }
        if (W) {
            menu.push_back({OffWipe, S(IDS_EXT_WIPE_SELECTED)});
        }
    } else {
        const std::string N = HVExtPaths::FileName(m_arrItems.front());
        if (P) {
            const std::string strEncrypt = S(IDS_EXT_ENCRYPT_TO) + N + ".hvnc";
            menu.push_back({OffEncrypt, strEncrypt});
            if (!H) {
                menu.push_back({OffEncryptHide, strEncrypt + S(IDS_EXT_THEN_HIDE)});
            }
            menu.push_back({OffEncryptMail, S(IDS_EXT_ENCRYPT_AND) + S(IDS_EXT_EMAIL) + N + ".hvnc"});
            if (W) {
                menu.push_back({OffEncryptWipe, strEncrypt + S(IDS_EXT_THEN_WIPE)});
            }
        } else {
            menu.push_back({OffDecrypt, S(IDS_EXT_DECRYPT) + N});
        }
        if (!H) {
            menu.push_back({OffHide, S(IDS_EXT_HIDE) + N});
        }
        if (W) {
            menu.push_back({OffWipe, S(IDS_EXT_WIPE) + N});
        }
    }
    menu.push_back({0, {}});
    if (P) {
        menu.push_back({OffAddToSecure, S(IDS_EXT_ADD_TO_SECURE)});
    }
    if (!H) {
        menu.push_back({OffHideManagement, S(IDS_EXT_HIDE_MANAGEMENT)});
    }
    return menu;
}

bool CHVShlExt::IsOffered(int nOffset) const
{
    if (nOffset <= 0) {
        return false;
    }
    const auto menu = BuildMenu();
    return std::any_of(menu.begin(), menu.end(), [nOffset](const SHVMenuEntry& e) { return e.nOffset == nOffset; });
}

std::optional<std::vector<std::string>> CHVShlExt::BuildCommandArgs(int nOffset) const
{
    if (nOffset < OffEncrypt || nOffset > OffEncryptMail) {
        return std::nullopt;
    }
    if (nOffset == OffHideManagement) {
        return std::vector<std::string>{"-rh"};
    }
    if (m_arrItems.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> args;
    switch (nOffset) {
    case OffEncrypt:
        args = {"-e"};
        break;
    case OffAddToSecure:
        args = {"-s"};
        break;
    case OffEncryptHide:
        args = {"-e", "-h"};
        break;
    case OffEncryptWipe:
        args = {"-e", "-w"};
        break;
    case OffHide:
        args = {"-h"};
        break;
    case OffWipe:
        args = {"-w"};
        break;
    case OffDecrypt:
        args = {"-d"};
        break;
    case OffEncryptMail:
        args = {"-em"};
        break;
    default:
        return std::nullopt;
    }
    args.push_back("-pt");
    args.push_back(m_settings.m_nShlPasswordType != 0 ? "master" : "new");

    // The usual form names the folder once and each item by its name. An item whose name is
    // empty (the root) or would read as an option, or that lies in another folder than the
    // first (a search view), cannot be named that way: then every item is given by its full
    // path, which always begins with "/".
    const std::string strFolder = HVExtPaths::FolderPart(m_arrItems.front());
    const bool bByName = std::all_of(m_arrItems.begin(), m_arrItems.end(), [&strFolder](const std::string& strItem) {
        const std::string strName = HVExtPaths::FileName(strItem);
        return !strName.empty() && strName[0] != '-' && HVExtPaths::FolderPart(strItem) == strFolder;
    });
    if (bByName) {
        args.push_back("-p");
        args.push_back(strFolder);
        for (const std::string& strItem : m_arrItems) {
            args.push_back("-f");
            args.push_back(HVExtPaths::FileName(strItem));
        }
    } else {
        for (const std::string& strItem : m_arrItems) {
            args.push_back("-fp");
            args.push_back(strItem);
        }
    }
    return args;
}

HVRESULT CHVShlExt::InvokeCommand(int nOffset) const
{
    if (!IsOffered(nOffset)) {
        return HV_E_INVALIDARG;
    }
    const auto args = BuildCommandArgs(nOffset);
    if (!args) {
        return HV_E_INVALIDARG;
    }
    return CHVExtSpawn::StartDetached(m_settings.m_strModuleEXEPath, *args) ? HV_S_OK : HV_E_FAIL;
}

CHVShlExt::EItemKind CHVShlExt::Classify(const std::string& strPath)
{
    const std::string strExt = Extension(strPath);
    if (strExt.empty()) {
        return EItemKind::FolderLike;
    }
    return strExt == ".hvnc" ? EItemKind::Encrypted : EItemKind::Plain;
}

std::string CHVShlExt::Extension(const std::string& strPath)
{
    const std::string strName = HVExtPaths::FileName(strPath);
    const auto nDot = strName.rfind('.');
    return nDot == std::string::npos ? std::string() : strName.substr(nDot);
}

bool CHVShlExt::HoldsOnlyEncrypted(const std::string& strPath)
{
    // The selected item itself may be a link to a folder; links inside it are not followed.
    const int nFd = ::open(strPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFd < 0) {
        return false;
    }
    std::size_t nBudget = kMaxScanEntries;
    return ScanFolder(nFd, 0, nBudget);
}
