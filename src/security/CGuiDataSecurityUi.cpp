#include "security/CGuiDataSecurityUi.h"

#include "engines/CSecureBuffer.h"
#include "passwords/CDlg_Setpassword.h"
#include "security/CDlg_Report.h"
#include "security/CReportComposer.h"

CGuiDataSecurityUi::CGuiDataSecurityUi(QWidget* pParent)
    : m_master(pParent)
    , m_pParent(pParent)
{
}

void CGuiDataSecurityUi::SetParentWidget(QWidget* pParent)
{
    m_pParent = pParent;
    m_master.SetParentWidget(pParent);
}

bool CGuiDataSecurityUi::AskNewPassword(CSecureBuffer& utf16)
{
    CDlg_Setpassword dlg(m_pParent);
    return dlg.AskPassword(utf16);
}

void CGuiDataSecurityUi::ShowReport(const CReportComposer& report)
{
    CDlg_Report dlg;  // no parent window, as the report has always been shown
    dlg.SetReport(report);
    dlg.SetPageSwitch(m_fnPageSwitch);
    (void)dlg.exec();
}
