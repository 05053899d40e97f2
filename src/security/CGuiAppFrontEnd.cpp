#include "security/CGuiAppFrontEnd.h"

#include "app/CHalvoDataSecurityDlg.h"
#include "app/CMainWndPageRegistry.h"
#include "app/CMainWndRun.h"
#include "passwords/CGuiMessageBox.h"
#include "security/CDataSecurityMngr.h"
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
    // The report's buttons lead to their page through the main window's container.
    m_ui.SetPageSwitch([pMngr = &mngr](int nPageId) {
        if (pMngr->m_pMainDlg != nullptr) {
            pMngr->m_pMainDlg->PostPageSwitch(nPageId);
        }
    });
    // The progress, password, report and message dialogs of the runs started from the window
    // open over it.
    const bool bShown = HVRunMainWindow(nStartPage, mngr, [this](QWidget* pWindow) {
        m_ui.SetParentWidget(pWindow);
        m_host.SetParentWidget(pWindow);
    });
    m_ui.SetPageSwitch({});
    HVSetPreferencesOpener({});
    return bShown;
}
