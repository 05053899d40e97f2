// Screens of the main window on its welcome page for the screenshot program.
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "resources/CResourceModule.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "ui/CGlobalColors.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QCoreApplication>

namespace {

// A manager that lives as long as the program; the windows only read it.
CDataSecurityMngr& Manager(bool bHideDisabled)
{
    static CDataSecurityMngr s_mngr;
    s_mngr.m_bHideDisabled = bHideDisabled ? 1 : 0;
    return s_mngr;
}

QWidget* MainWindow(bool bHideDisabled, QSize size)
{
    auto* pDlg = new CHalvoDataSecurityDlg(Manager(bHideDisabled));
    pDlg->resize(size);
    return pDlg;
}

}  // namespace

HV_SCREEN("mainwin_welcome")
{
    return MainWindow(false, CHalvoDataSecurityDlg::MinimumSizeFor(1));
}

HV_SCREEN("mainwin_welcome_wide")
{
    return MainWindow(false, QSize(1040, 700));
}

HV_SCREEN("mainwin_welcome_nohide")
{
    return MainWindow(true, CHalvoDataSecurityDlg::MinimumSizeFor(1));
}
