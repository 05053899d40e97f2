#include "passwords/CDlg_EnterMasterpassword.h"

#include "resources/HVResourceStrings.h"

CDlg_EnterMasterpassword::CDlg_EnterMasterpassword(QWidget* pParent)
    : CDlg_EnterPasswordBase(pParent,
                             HVLoadString(IDS_PWD_ENTER_MASTER_TITLE),
                             HVLoadString(IDS_PWD_ENTER_MASTER_INTRO),
                             QString::fromLatin1(kHelpTopic),
                             true)
{
    setObjectName(QStringLiteral("CDlg_EnterMasterpassword"));
}
