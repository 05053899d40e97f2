// Screens of the preferences dialog, one per page.
#include "prefs/CPreferencesDlg.h"
#include "settings/CMRegistryData.h"
#include "ui/tools/HVScreenRegistry.h"

using HVDialogs::HVPref::CPreferencesDlg;

namespace {

// Settings of the screens: a fresh set with the three-pass wipe and its pattern chosen, so that
// every control of the wipe page shows enabled.
CMRegistryData& ScreenSettings()
{
    static CMRegistryData s_settings = [] {
        CMRegistryData settings;
        settings.SetDefaults();
        settings.m_nWipeType = 1;
        settings.m_nDodPass3Type = 1;
        settings.m_strDoDPass3 = QStringLiteral("5A");
        settings.m_nActionHidden = 0;
        settings.m_nActionReadOnly = 1;
        settings.m_nActionSystem = 2;
        return settings;
    }();
    return s_settings;
}

QWidget* MakePreferences(int nPage)
{
    auto* pDlg = new CPreferencesDlg(nullptr, nullptr, &ScreenSettings());
    pDlg->SetStartPage(nPage);
    return pDlg;
}

}  // namespace

HV_SCREEN("dlg_preferences_general")
{
    return MakePreferences(CPreferencesDlg::PageGeneral);
}

HV_SCREEN("dlg_preferences_encryption")
{
    return MakePreferences(CPreferencesDlg::PageEncrypt);
}

HV_SCREEN("dlg_preferences_wipe")
{
    return MakePreferences(CPreferencesDlg::PageWipe);
}

HV_SCREEN("dlg_preferences_contextmenu")
{
    return MakePreferences(CPreferencesDlg::PageContextMenu);
}
