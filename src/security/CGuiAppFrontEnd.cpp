#include "security/CGuiAppFrontEnd.h"

#include "app/CMainWndPageRegistry.h"
#include "app/CMainWndRun.h"
#include "passwords/CGuiMessageBox.h"
#include "settings/CPreferencesDlg.h"
#include "ui/CGlobalColors.h"

CGuiAppFrontEnd::CGuiAppFrontEnd()
    : m_host(m_pMngr)
{
}

void CGuiAppFrontEnd::ShowText(const QString& strText)
{
    CGuiMessageBox::ShowText(nullptr, strText);
}

void CGuiAppFrontEnd::InitTheme()
{
    (void)g_GlobalColors.InitColors();
    (void)g_GlobalColors.LoadTheme();
    (void)g_GlobalColors.LoadImages();
}

bool CGuiAppFrontEnd::ShowMainWindow(int nStartPage, CDataSecurityMngr& mngr)
{
    HVSetPreferencesOpener([pMngr = &mngr](QWidget* pParent, int nPage) {
        (void)HVDialogs::HVPref::CPreferencesDlg::Open(pParent, nPage, pMngr);
    });
    const bool bShown = HVRunMainWindow(nStartPage, mngr);
    HVSetPreferencesOpener({});
    return bShown;
}
