#include "mainwnd/CMainWndRun.h"

#include "mainwnd/CHalvoDataSecurityDlg.h"

bool HVRunMainWindow(int nStartPage, CDataSecurityMngr& mngr, const std::function<void(QWidget*)>& onWindow)
{
    CHalvoDataSecurityDlg dlg(mngr);
    dlg.m_nStartPage = nStartPage;
    if (onWindow) {
        onWindow(&dlg);
    }
    dlg.exec();
    if (onWindow) {
        onWindow(nullptr);
    }
    return true;
}
