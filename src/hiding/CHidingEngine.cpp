#include "hiding/CHidingEngine.h"

#include "hiding/HiddenListFormat.h"
#include "hiding/HidingPaths.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string EnvPath(const char* pName)
{
    const char* pValue = std::getenv(pName);
    return pValue != nullptr && pValue[0] == '/' ? std::string(pValue) : std::string();
}

std::string HomeFolder()
{
    std::string strHome = EnvPath("HOME");
    if (strHome.empty()) {
        if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_dir != nullptr) {
            strHome = pw->pw_dir;
        }
    }
    return strHome;
}

// The identifier with or without braces, in any letter case.
bool IsOurEngineId(std::string strId)
{
    if (strId.size() >= 2 && strId.front() == '{' && strId.back() == '}') {
        strId = strId.substr(1, strId.size() - 2);
    }
    const std::string strOurs = IHidingEngine::kEngineId;
    return strId.size() == strOurs.size()
           && std::equal(strId.begin(), strId.end(), strOurs.begin(), [](char a, char b) {
                  return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
              });
}

}  // namespace

std::string CHidingEngine::DefaultBaseDir()
{
    std::string strData = EnvPath("XDG_DATA_HOME");
    if (strData.empty()) {
        strData = HomeFolder() + "/.local/share";
    }
    return strData + "/Halvo-Soft";
}

CHidingEngine::CHidingEngine(SHidingOptions options)
    : m_strBaseDir(HidingPaths::Clean(options.strBaseDir.empty() ? DefaultBaseDir() : options.strBaseDir))
    , m_strMountVaultName(options.strMountVaultName.empty() ? ".hvvault-" + std::to_string(::geteuid())
                                                            : options.strMountVaultName)
    , m_pStore(std::make_unique<CHidingStore>(
          m_strBaseDir, m_strMountVaultName, std::move(options.faultHook), options.bLinkInsteadOfNoReplace))
{
}

CHidingEngine::~CHidingEngine() = default;

std::string CHidingEngine::GetLastError() const
{
    std::lock_guard guard(m_mutex);
    return m_strLastError;
}

bool CHidingEngine::Fail(std::string strError)
{
    m_strLastError = std::move(strError);
    return false;
}

bool CHidingEngine::FromStore(bool bOk)
{
    return bOk || Fail(m_pStore->LastError());
}

bool CHidingEngine::SetCurrentHidingEngine(const std::string& strEngineId)
{
    std::lock_guard guard(m_mutex);
    if (!IsOurEngineId(strEngineId)) {
        return Fail("unknown hiding engine " + strEngineId);
    }
    CHidingStore::CSession session(*m_pStore);
    return FromStore(session.Ok());
}

bool CHidingEngine::IsHidingEnabled()
{
    std::lock_guard guard(m_mutex);
    CHidingStore::CSession session(*m_pStore);
    return FromStore(session.Ok()) && m_pStore->List().Enabled();
}

std::int32_t CHidingEngine::GetHiddenCount()
{
    std::lock_guard guard(m_mutex);
    CHidingStore::CSession session(*m_pStore);
    if (!FromStore(session.Ok())) {
        return 0;
    }
    return static_cast<std::int32_t>(std::min<std::size_t>(m_pStore->List().Entries().size(), INT32_MAX));
}

std::string CHidingEngine::GetHiddenItem(std::int32_t nIndex)
{
    std::lock_guard guard(m_mutex);
    CHidingStore::CSession session(*m_pStore);
    if (!FromStore(session.Ok())) {
        return {};
    }
    const auto& entries = m_pStore->List().Entries();
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= entries.size()) {
        (void)Fail("no hidden item at index " + std::to_string(nIndex));
        return {};
    }
    return entries[static_cast<std::size_t>(nIndex)].path;
}

bool CHidingEngine::IsHiddenItemFolder(std::int32_t nIndex)
{
    std::lock_guard guard(m_mutex);
    CHidingStore::CSession session(*m_pStore);
    if (!FromStore(session.Ok())) {
        return false;
    }
    const auto& entries = m_pStore->List().Entries();
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= entries.size()) {
        return false;
    }
    const SHiddenEntry& entry = entries[static_cast<std::size_t>(nIndex)];
    if (entry.kind != EHiddenKind::Unknown) {
        return entry.kind == EHiddenKind::Folder;
    }
    // Listed before the kind was recorded: the item itself says, where it is now.
    struct stat st = {};
    return ::lstat((entry.inVault ? entry.VaultPath() : entry.path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CHidingEngine::EnableHiding()
{
    std::lock_guard guard(m_mutex);
    return SetAllEnabled(true);
}

bool CHidingEngine::DisableHiding()
{
    std::lock_guard guard(m_mutex);
    return SetAllEnabled(false);
}

bool CHidingEngine::SetAllEnabled(bool bEnabled)
{
    CHidingStore::CSession session(*m_pStore);
    if (!FromStore(session.Ok()) || !FromStore(m_pStore->SetEnabled(bEnabled))) {
        return false;
    }
    // Every item is moved on its own journalled step; one that cannot move (its path taken,
    // its filesystem gone) stays as it is and is tried again by the next switch.
    // Items come back newest first and leave oldest first, the order in which they were hidden,
    // so that an item hidden inside a folder that was hidden later finds its folder in place.
    std::vector<std::uint64_t> ids;
    for (const auto& entry : m_pStore->List().Entries()) {
        if (entry.inVault != bEnabled) {
            ids.push_back(entry.id);
        }
    }
    if (!bEnabled) {
        std::reverse(ids.begin(), ids.end());
    }
    bool bAll = true;
    for (const auto id : ids) {
        const bool bMoved = bEnabled ? m_pStore->MoveIn(id) : m_pStore->MoveOut(id);
        bAll = FromStore(bMoved) && bAll;
    }
    return bAll;
}

bool CHidingEngine::HideItem(const std::string& strPath)
{
    std::lock_guard guard(m_mutex);
    return Hide(strPath);
}

bool CHidingEngine::HideItemEx(const std::string& strPath, std::int32_t /*nFlag*/)
{
    std::lock_guard guard(m_mutex);
    return Hide(strPath);
}

bool CHidingEngine::IsRefused(const std::string& strClean, const std::string& strReal) const
{
    const std::string& strVault = m_pStore->Vaults().HomeVault();
    if (strReal == "/" || HidingPaths::IsSameOrInside(strVault, strReal)
        || HidingPaths::IsSameOrInside(strReal, strVault)) {
        return true;
    }
    // A link on the way to the data folder: moving it would cut every later start off the list.
    if (HidingPaths::IsSameOrInside(m_strBaseDir, strClean)) {
        return true;
    }
    const std::string strBase = HidingPaths::ParentOf(strVault);  // real form of the base folder
    for (const char* pOwn : {"hidden.lst", "hidden.lck", "hidden.lst.tmp"}) {
        if (strReal == strBase + "/" + pOwn) {
            return true;
        }
    }
    // A mount vault, or anything inside one.
    for (std::size_t nStart = 1; nStart <= strReal.size();) {
        const std::size_t nEnd = std::min(strReal.find('/', nStart), strReal.size());
        if (strReal.compare(nStart, nEnd - nStart, m_strMountVaultName) == 0) {
            return true;
        }
        nStart = nEnd + 1;
    }
    const auto& entries = m_pStore->List().Entries();
    return std::any_of(entries.begin(), entries.end(), [&strReal](const SHiddenEntry& e) {
        return !e.vaultDir.empty() && HidingPaths::IsSameOrInside(e.vaultDir, strReal);
    });
}

bool CHidingEngine::Hide(const std::string& strPath)
{
    CHidingStore::CSession session(*m_pStore);
    if (!FromStore(session.Ok())) {
        return false;
    }
    const std::string strClean = HidingPaths::Clean(strPath);
    const std::string strReal = strClean.empty() ? std::string() : HidingPaths::RealForm(strClean);
    if (strReal.empty()) {
        return Fail("cannot resolve " + strPath);
    }
    if (strClean.size() > HiddenListFormat::kMaxText || strReal.size() > HiddenListFormat::kMaxText) {
        return Fail("the path is too long to be listed: " + strPath);
    }
    struct stat st = {};
    if (::lstat(strClean.c_str(), &st) != 0) {
        return Fail("cannot find " + strPath);
    }
    if (IsRefused(strClean, strReal)) {
        return Fail("the hiding engine's own files and folders cannot be hidden: " + strPath);
    }
    const auto& entries = m_pStore->List().Entries();
    const bool bEnabled = m_pStore->List().Enabled();
    // An item listed under this path but left in its folder is hidden again, not listed twice.
    const auto it = std::find_if(entries.rbegin(), entries.rend(), [&strClean](const SHiddenEntry& e) {
        return !e.inVault && e.path == strClean;
    });
    if (it != entries.rend()) {
        if (CHidingStore::IsSameItem(*it, st)) {
            return !bEnabled || FromStore(m_pStore->MoveIn(it->id));
        }
        // Another item took the path since: the old entry goes, the new item is hidden as itself.
        if (!FromStore(m_pStore->Forget(it->id))) {
            return false;
        }
    }
    return FromStore(bEnabled ? m_pStore->HideNew(strClean) : m_pStore->AddListed(strClean));
}

bool CHidingEngine::UnhideItem(const std::string& strPath)
{
    std::lock_guard guard(m_mutex);
    CHidingStore::CSession session(*m_pStore);
    if (!FromStore(session.Ok())) {
        return false;
    }
    std::string strClean = HidingPaths::Clean(strPath);
    if (strClean.empty()) {
        strClean = strPath;
    }
    // The latest item hidden under that path comes back first.
    const auto& entries = m_pStore->List().Entries();
    const auto it = std::find_if(
        entries.rbegin(), entries.rend(), [&strClean](const SHiddenEntry& e) { return e.path == strClean; });
    if (it == entries.rend()) {
        return Fail("not hidden: " + strPath);
    }
    return FromStore(m_pStore->Unhide(it->id));
}
