#include "security/CGuiRunnerHost.h"

#include "security/CDataSecurityMngr.h"
#include "security/CDlg_HideProgrss.h"
#include "security/CDlg_ProgrssManager.h"
#include "settings/CHDGlobalData.h"

CGuiRunnerHost::CGuiRunnerHost(CDataSecurityMngr*& pMngr, QWidget* pParent)
    : m_pMngr(pMngr)
    , m_pParent(pParent)
{
}

std::unique_ptr<IProgrssRun> CGuiRunnerHost::CreateProgrssManager()
{
    return std::make_unique<CDlg_ProgrssManager>(m_pParent);
}

std::unique_ptr<IHideRun> CGuiRunnerHost::CreateHideProgrss()
{
    auto pDlg = std::make_unique<CDlg_HideProgrss>(m_pParent);
    CHideProgrssWork& work = pDlg->Work();
    if (CDataSecurityMngr* pMngr = m_pMngr) {
        work.SetHidePath([pMngr](const QString& strPath) { return pMngr->HidePath(strPath); });
        work.SetHideControl(pMngr->m_pHideControl);
    }
    work.SetRefreshFolderView([](const QString& strFolder) { g_HDGlobalData.RefreshFolderView(strFolder); });
    work.SetRunLock(CDataSecurityMngr::RunLockFile());
    return pDlg;
}
