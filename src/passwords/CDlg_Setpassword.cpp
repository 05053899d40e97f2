#include "passwords/CDlg_Setpassword.h"

#include "passwords/CGuiLinkButton.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "ui/CBCGButton.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

CDlg_Setpassword::CDlg_Setpassword(QWidget* pParent)
    : CDlg_NewPasswordBase(pParent, HVLoadString(IDS_PWD_SET_TITLE), QString::fromLatin1(kHelpTopic), false)
{
    auto* pLinks = new QHBoxLayout;
    pLinks->addWidget(
        CGuiLinkButton::Make(this, 1029, HVLoadString(IDS_PWD_LINK_ABOUT), 5, QString::fromLatin1(kHelpTopic)));
    pLinks->addStretch(1);
    m_pBottom->addLayout(pLinks);
}
