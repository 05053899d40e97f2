#include "passwords/CDlg_Setmasterpassword.h"

#include "passwords/CGuiLinkButton.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "ui/CBCGButton.h"
#include "ui/CButtonST.h"
#include "ui/CGradientProgressCtrl.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* MakeText(QWidget* pParent, const QString& strText, int nId)
{
    auto* pLabel = new QLabel(strText, pParent);
    pLabel->setObjectName(QString::number(nId));
    pLabel->setWordWrap(true);
    return pLabel;
}

}  // namespace

CDlg_Setmasterpassword::CDlg_Setmasterpassword(QWidget* pParent)
    : CDlg_NewPasswordBase(pParent, HVLoadString(IDS_PWD_SET_MASTER_TITLE), QString::fromLatin1(kHelpTopic), false)
{
    m_pTop->addWidget(MakeText(this, HVLoadString(IDS_PWD_SET_MASTER_INTRO), 4096));
    m_pConsent = new QCheckBox(HVLoadString(IDS_PWD_CONSENT), this);
    m_pConsent->setObjectName(QString::number(IDC_CHECK_CONSENT));
    QFont bold = m_pConsent->font();
    bold.setBold(true);
    m_pConsent->setFont(bold);
    m_pConsent->setChecked(false);  // the user has to tick it before choosing a password
    m_pTop->addWidget(m_pConsent);

    m_pRules = MakeText(this, HVLoadString(IDS_SETMASTER_RULES), 4097);
    m_pRemember = MakeText(this, HVLoadString(IDS_SETMASTER_REMEMBER), 4098);
    m_pBottom->addWidget(m_pRules);
    m_pBottom->addWidget(m_pRemember);

    auto* pLinks = new QHBoxLayout;
    pLinks->setSpacing(12);
    pLinks->addWidget(
        CGuiLinkButton::Make(this, 3, HVLoadString(IDS_PWD_LINK_HELP), 5, QString::fromLatin1(kHelpGettingHelp)));
    pLinks->addWidget(
        CGuiLinkButton::Make(this, 4, HVLoadString(IDS_PWD_LINK_ABOUT), 5, QString::fromLatin1(kHelpTopic)));
    pLinks->addWidget(CGuiLinkButton::Make(
        this, 4090, HVLoadString(IDS_PWD_LINK_DISCLAIMER), -1, QString::fromLatin1(kHelpDisclaimer)));
    pLinks->addStretch(1);
    m_pBottom->addLayout(pLinks);

    connect(m_pConsent, &QCheckBox::clicked, this, &CDlg_Setmasterpassword::ApplyConsent);
    ApplyConsent();
}

bool CDlg_Setmasterpassword::IsConsentGiven() const
{
    return m_pConsent->isChecked();
}

bool CDlg_Setmasterpassword::OnInitDialog()
{
    CDlg_NewPasswordBase::OnInitDialog();
    ApplyConsent();
    CGuiMessageBox::BringToFront(this);
    (IsConsentGiven() ? static_cast<QWidget*>(m_pEditNew) : m_pConsent)->setFocus();
    return true;
}

void CDlg_Setmasterpassword::ApplyConsent()
{
    const bool bOn = m_pConsent->isChecked();
    for (QWidget* pControl :
         std::initializer_list<QWidget*>{m_pEditNew,
                                         m_pEditConfirm,
                                         m_pMeter,
                                         m_pShow,
                                         m_pRules,
                                         m_pRemember,
                                         m_pStrengthCaption,
                                         m_pButtons->findChild<QPushButton*>(QString::number(IDOK))}) {
        if (pControl != nullptr) {
            pControl->setEnabled(bOn);
        }
    }
    if (bOn && isVisible()) {
        m_pEditNew->setFocus();
    }
}
