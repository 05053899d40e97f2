#include "mainwnd/CMainWndPageRegistry.h"

#include "logging/CHVLog.h"

#include <map>
#include <utility>

namespace {

// Function-local, so that it is built on first use, whoever registers first.
std::map<int, HVPageFactory>& Factories()
{
    static std::map<int, HVPageFactory> s_factories;
    return s_factories;
}

HVPreferencesOpener& PreferencesOpener()
{
    static HVPreferencesOpener s_opener;
    return s_opener;
}

}  // namespace

bool HVRegisterPage(int nPageId, HVPageFactory factory)
{
    if (!factory) {
        HVUnregisterPage(nPageId);
        return true;
    }
    Factories()[nPageId] = std::move(factory);
    return true;
}

void HVUnregisterPage(int nPageId)
{
    Factories().erase(nPageId);
}

HVPageFactory HVFindPageFactory(int nPageId)
{
    const auto it = Factories().find(nPageId);
    return it != Factories().end() ? it->second : HVPageFactory();
}

void HVSetPreferencesOpener(HVPreferencesOpener opener)
{
    PreferencesOpener() = std::move(opener);
}

bool HVOpenPreferences(QWidget* pParent, int nStartPage)
{
    const HVPreferencesOpener& opener = PreferencesOpener();
    if (!opener) {
        LOGGER::g_HVLog.Log("Preferences dialog not available");
        return false;
    }
    opener(pParent, nStartPage);
    return true;
}
