// The application object's run by mode, its shutdown and the hiding engine's switch.
#include "app/CHalvoDataSecurityApp.h"
#include "app/IAppFrontEnd.h"
#include "hiding/IHidingEngine.h"
#include "logging/CHVLog.h"
#include "passwords/CMasterPasswordStartup.h"
#include "resources/CResourceModule.h"
#include "security/IDataSecurityUi.h"
#include "settings/CHVShellMenus.h"

void CHalvoDataSecurityApp::RunRequest()
{
    CDataSecurityMngr& mngr = *m_pDataSecurityMngr;
    if (!m_bCmdLineRun) {
        LOGGER::g_HVLog.Log("Secure throw App");
        ShowWindow(kPageWelcome, true);
        return;
    }
    switch (m_nCmdMode) {
    case CDataSecurityMngr::CmdModeSecure:
    case CDataSecurityMngr::CmdModeDecrypt:
        m_nFlowResult = m_nCmdMode == CDataSecurityMngr::CmdModeSecure ? mngr.SecureData() : mngr.DecryptData();
        m_eFlowEnd = mngr.m_eLastFlowEnd;
        m_eEnd = EEnd::FlowRan;
        m_frontEnd.FlowEnded(m_nCmdMode, m_nFlowResult, mngr);
        return;
    case CDataSecurityMngr::CmdModeHideWindow:
        LOGGER::g_HVLog.Log("Secure throw app");
        ShowWindow(kPageHideManagement, false);
        return;
    case CDataSecurityMngr::CmdModeCleanup: {
        const int nExit = CMasterPasswordStartup::RunCleanup(
            mngr.m_strConfigFile, m_frontEnd.Ui(), [this] { return RestoreHiddenItems(); });
        const bool bConfirmed = nExit != CMasterPasswordStartup::kExitNoMasterPassword;
        // Nothing the user registered may point to the program once it is gone.
        if (QString strError; bConfirmed && !CHVShellMenus::RemoveUserRegistrations(&strError)) {
            LOGGER::g_HVLog.Log("Error: %s", qUtf8Printable(strError));
        }
        m_eEnd = nExit == 0 ? EEnd::CleanupDone
                            : (nExit == kExitItemsStillHidden ? EEnd::CleanupIncomplete : EEnd::CleanupDeclined);
        m_nExitCode = nExit;
        return;
    }
    case CDataSecurityMngr::CmdModeSelectWindow:
        LOGGER::g_HVLog.Log("Secure throw App");
        ShowWindow(kPageSelection, true);
        return;
    default:
        return;
    }
}

// The main window on a start page. bLeaveCmdLine: the manager stays in command-line mode (the
// selection page takes over the command-line items); otherwise it leaves it first.
void CHalvoDataSecurityApp::ShowWindow(int nStartPage, bool bLeaveCmdLine)
{
    if (!bLeaveCmdLine) {
        m_pDataSecurityMngr->m_bCmdLine = 0;
    }
    if (m_frontEnd.ShowMainWindow(nStartPage, *m_pDataSecurityMngr)) {
        m_eEnd = EEnd::MainWindowShown;
        return;
    }
    LOGGER::g_HVLog.Log("Main window not available");
    m_frontEnd.ShowText(QStringLiteral("The main window is not available in this program. "
                                       "Give a task on the command line instead."));
    m_eEnd = EEnd::NoMainWindow;
}

int CHalvoDataSecurityApp::ExitInstance()
{
    if (m_pDataSecurityMngr != nullptr) {
        m_pDataSecurityMngr->SaveAndClose();
        delete m_pDataSecurityMngr;
        m_pDataSecurityMngr = nullptr;
    }
    if (m_bResourceLoaded) {
        CResourceModule::Instance().Unload();
        m_bResourceLoaded = false;
    }
    return m_nExitCode;
}

int CHalvoDataSecurityApp::Run()
{
    (void)InitInstance();
    return ExitInstance();
}

int CHalvoDataSecurityApp::DisableHideEngine()
{
    CDataSecurityMngr* pMngr = m_pDataSecurityMngr;
    if (pMngr == nullptr) {
        return 1;
    }
    if (pMngr->m_bHideDisabled == 1) {
        LOGGER::g_HVLog.Log("HideEngine already Disable");
        return 1;
    }
    if (pMngr->m_pHideControl && pMngr->m_pHideControl->IsHidingEnabled()) {
        (void)pMngr->m_pHideControl->DisableHiding();
        LOGGER::g_HVLog.Log("Disable Hiding");
    }
    LOGGER::g_HVLog.Log("DisableHideEngine ");
    return 1;
}
