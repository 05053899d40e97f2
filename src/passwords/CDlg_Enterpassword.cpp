#include "passwords/CDlg_Enterpassword.h"

#include "resources/HVResourceStrings.h"

#include <QLabel>

CDlg_Enterpassword::CDlg_Enterpassword(QWidget* pParent)
    : CDlg_EnterPasswordBase(pParent,
                             HVLoadString(IDS_PWD_ENTER_TITLE),
                             HVLoadString(IDS_PWD_ENTER_FILE_INTRO),
                             QString::fromLatin1(kHelpTopic),
                             false)
{
    setObjectName(QStringLiteral("CDlg_Enterpassword"));
}

void CDlg_Enterpassword::SetFilePath(const QString& strPath)
{
    m_pDetail->setText(strPath);
    m_pDetail->setVisible(!strPath.isEmpty());
}
