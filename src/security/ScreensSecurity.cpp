// Screens of the progress and report dialogs.
#include "security/CDlg_HideProgrss.h"
#include "security/CDlg_ProgrssManager.h"
#include "security/CDlg_Report.h"
#include "security/CReportComposer.h"
#include "ui/CHProgressCtrlX.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QLabel>
#include <QPushButton>

namespace {

void Show(QWidget* pDlg, const QString& strStatus, int nCurrent, int nOverall)
{
    if (auto* pStatus = pDlg->findChild<QLabel*>(QStringLiteral("1016"))) {
        pStatus->setText(strStatus);
    }
    if (auto* pBar = pDlg->findChild<CHProgressCtrlX*>(QStringLiteral("1018"))) {
        pBar->SetPos(nCurrent);
    }
    if (auto* pBar = pDlg->findChild<CHProgressCtrlX*>(QStringLiteral("1017"))) {
        pBar->SetPos(nOverall);
    }
}

}  // namespace

HV_SCREEN("dlg_progrssmanager")
{
    auto* pDlg = new CDlg_ProgrssManager;
    Show(pDlg, QStringLiteral("Encrypting /home/user/Documents/Projects/2026/Budget forecast (final).xlsx"), 64, 37);
    return pDlg;
}

HV_SCREEN("dlg_hideprogrss")
{
    auto* pDlg = new CDlg_HideProgrss;
    Show(pDlg, QStringLiteral("Hiding /home/user/Pictures/Holidays"), 0, 60);
    return pDlg;
}

HV_SCREEN("dlg_report_secure")
{
    SRunCounters run;
    run.m_nProcessed = 12;
    run.m_nSucceeded = 11;
    run.m_nFailed = 1;
    run.m_nWipeAttempted = 12;
    run.m_nWipeSucceeded = 11;
    run.m_nWipeFailed = 1;
    SHideCounters hide;
    hide.m_nProcessed = 3;
    hide.m_nSucceeded = 3;
    auto* pDlg = new CDlg_Report;
    pDlg->SetReport(CReportComposer::ForSecureData(true, 1, run, hide));
    return pDlg;
}

HV_SCREEN("dlg_report_details")
{
    SRunCounters run;
    run.m_nProcessed = 6;
    run.m_nSucceeded = 4;
    run.m_nFailed = 1;
    SRunDetails details;
    details.bCancelled = true;
    details.nNotStarted = 1;
    details.Add(nullptr, "/home/user/Documents/locked.ods", "encrypt", "permission denied");
    CReportComposer report = CReportComposer::ForSecureData(true, 0, run, SHideCounters{});
    report.AddDetails(details);
    auto* pDlg = new CDlg_Report;
    pDlg->SetReport(report);
    pDlg->show();
    pDlg->DetailsButton()->click();
    return pDlg;
}

HV_SCREEN("dlg_report_decrypt")
{
    SRunCounters run;
    run.m_nProcessed = 4;
    run.m_nSucceeded = 4;
    auto* pDlg = new CDlg_Report;
    pDlg->SetReport(CReportComposer::ForDecryption(run, false));
    return pDlg;
}
