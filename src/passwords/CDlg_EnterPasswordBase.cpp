#include "passwords/CDlg_EnterPasswordBase.h"

#include "engines/CSecureBuffer.h"
#include "passwords/CGuiDialogHeader.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "ui/HVUiTheme.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CDlg_EnterPasswordBase::CDlg_EnterPasswordBase(
    QWidget* pParent, const QString& strTitle, const QString& strIntro, const QString& strHelpTopic, bool bToFront)
    : CHPageDlgBase(pParent)
    , m_strHelpTopic(strHelpTopic)
    , m_bToFront(bToFront)
{
    setWindowTitle(strTitle);
    setSizeGripEnabled(false);

    QVBoxLayout* pBody = nullptr;
    CGuiDialogHeader::FrameDialog(this, strTitle, 8, pBody);

    m_pIntro = new QLabel(strIntro, this);
    m_pIntro->setWordWrap(true);
    pBody->addWidget(m_pIntro);
    m_pDetail = new QLabel(this);
    m_pDetail->setObjectName(QStringLiteral("detail"));
    m_pDetail->setWordWrap(true);
    m_pDetail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pDetail->hide();
    pBody->addWidget(m_pDetail);

    auto* pRow = new QHBoxLayout;
    m_pEdit = new QLineEdit(this);
    m_pEdit->setObjectName(QString::number(IDC_EDIT_PASSWORD));
    m_pEdit->setEchoMode(QLineEdit::Password);
    m_pEdit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 8226; }"));
    m_pEdit->setMaxLength(256);
    m_pEdit->setMinimumWidth(260);
    auto* pLabel = new QLabel(HVLoadString(IDS_PWD_PASSWORD), this);
    pLabel->setBuddy(m_pEdit);
    pRow->addWidget(pLabel);
    pRow->addWidget(m_pEdit, 1);
    pBody->addLayout(pRow);
    pBody->addStretch(1);

    auto* pButtons = new QDialogButtonBox(this);
    QPushButton* pOk = pButtons->addButton(HVLoadString(IDS_BTN_OK), QDialogButtonBox::AcceptRole);
    pOk->setObjectName(QString::number(IDOK));
    pOk->setDefault(true);
    pButtons->addButton(HVLoadString(IDS_BTN_CANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QString::number(IDCANCEL));
    connect(pButtons, &QDialogButtonBox::accepted, this, &CDlg_EnterPasswordBase::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &CDlg_EnterPasswordBase::reject);
    pBody->addWidget(pButtons);
}

bool CDlg_EnterPasswordBase::OnInitDialog()
{
    SetBackgroundColor(HVUi::ThemeColor(QStringLiteral("clrDlgBk"), palette().window().color()));
    SetTextColor(HVUi::ThemeColor(QStringLiteral("clrDlgText"), palette().windowText().color()));
    if (m_bToFront) {
        CGuiMessageBox::BringToFront(this);
    }
    m_pEdit->setFocus();
    return true;
}

void CDlg_EnterPasswordBase::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1) {
        CGuiMessageBox::ShowHelp(m_strHelpTopic);
        return;
    }
    CHPageDlgBase::keyPressEvent(pEvent);
}

void CDlg_EnterPasswordBase::TakePassword(CSecureBuffer& utf16)
{
    CGuiMessageBox::TakeText(m_pEdit, utf16);
}

void CDlg_EnterPasswordBase::ClearPassword()
{
    m_pEdit->clear();
}
