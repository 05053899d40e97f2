#include "app/CGuiAppFrontEnd.h"

#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "mainwnd/CMainWndPageRegistry.h"
#include "mainwnd/CMainWndRun.h"
#include "pages/HVDesktopSeams.h"
#include "pages/HVTaskPages.h"
#include "passwords/CGuiMessageBox.h"
#include "prefs/CPreferencesDlg.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "ui/CGlobalColors.h"

#include <QApplication>
#include <QIcon>

CGuiAppFrontEnd::CGuiAppFrontEnd()
    : m_host(m_pMngr)
{
    HVDesktopSeams::InstallDefaults();
    qApp->installEventFilter(&m_screenFit);
}

CGuiAppFrontEnd::~CGuiAppFrontEnd()
{
    qApp->removeEventFilter(&m_screenFit);
}

void CGuiAppFrontEnd::ManagerCreated(CDataSecurityMngr& mngr)
{
    m_pMngr = &mngr;
    // The resource module is loaded by now: its icon becomes every window's icon, message boxes
    // and password dialogs included.
    const QString strIcon = HVImagePath(HVImageKind::Icon, CHalvoDataSecurityDlg::kIconId);
    if (!strIcon.isEmpty()) {
        QApplication::setWindowIcon(QIcon(strIcon));
    }
}

void CGuiAppFrontEnd::ShowText(const QString& strText)
{
    CGuiMessageBox::ShowText(nullptr, strText);
}

void CGuiAppFrontEnd::InitTheme()
{
    g_GlobalColors.InitColors();
    g_GlobalColors.LoadTheme();
    g_GlobalColors.LoadImages();
}

bool CGuiAppFrontEnd::ShowMainWindow(int nStartPage, CDataSecurityMngr& mngr)
{
    HVRegisterTaskPages();
    HVSetPreferencesOpener([pMngr = &mngr](QWidget* pParent, int nPage) {
        (void)HVDialogs::HVPref::CPreferencesDlg::Open(pParent, nPage, pMngr);
    });
    // The report's buttons lead to their page through the main window's container.
    m_ui.SetPageSwitch([pMngr = &mngr](int nPageId) { (void)pMngr->SwitchPage(nPageId); });
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
