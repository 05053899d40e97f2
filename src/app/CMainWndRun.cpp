#include "app/CMainWndRun.h"

#include "app/CHalvoDataSecurityDlg.h"

bool HVRunMainWindow(int nStartPage, CDataSecurityMngr& mngr)
{
    CHalvoDataSecurityDlg dlg(mngr);
    dlg.m_nStartPage = nStartPage;
    dlg.exec();
    return true;
}
