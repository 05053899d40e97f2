#include "passwords/CDlg_NewPasswordBase.h"

#include "engines/CSecureBuffer.h"
#include "passwords/CGuiDialogHeader.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "settings/CHDGlobalData.h"
#include "ui/CButtonST.h"
#include "ui/CGradientProgressCtrl.h"
#include "ui/HVUiTheme.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QLineEdit* MakeEdit(QWidget* pParent, int nId)
{
    auto* pEdit = new QLineEdit(pParent);
    pEdit->setObjectName(QString::number(nId));
    pEdit->setMaxLength(256);
    pEdit->setMinimumWidth(220);
    return pEdit;
}

QLabel* MakeLabel(QWidget* pParent, unsigned nId, QWidget* pBuddy)
{
    auto* pLabel = new QLabel(HVLoadString(nId), pParent);
    pLabel->setBuddy(pBuddy);
    return pLabel;
}

}  // namespace

CDlg_NewPasswordBase::CDlg_NewPasswordBase(QWidget* pParent,
                                           const QString& strTitle,
                                           const QString& strHelpTopic,
                                           bool bCurrentField)
    : CHPageDlgBase(pParent)
    , m_strHelpTopic(strHelpTopic)
{
    setWindowTitle(strTitle);
    setSizeGripEnabled(false);

    // Plain characters in the plain font; hidden entry shows bullets in a slightly larger one.
    m_fontPlain = QFont(QStringLiteral("Tahoma"));
    m_fontPlain.setPixelSize(12);
    m_fontPlain.setWeight(QFont::Normal);
    m_fontHidden = m_fontPlain;
    m_fontHidden.setPixelSize(13);

    QVBoxLayout* pBody = nullptr;
    m_pHeader = CGuiDialogHeader::FrameDialog(this, strTitle, 10, pBody);

    m_pTop = new QVBoxLayout;
    m_pTop->setSpacing(6);
    pBody->addLayout(m_pTop);

    m_pGrid = new QGridLayout;
    m_pGrid->setHorizontalSpacing(8);
    m_pGrid->setVerticalSpacing(8);
    m_pGrid->setColumnStretch(1, 1);
    pBody->addLayout(m_pGrid);

    int nRow = 0;
    if (bCurrentField) {
        m_pEditCurrent = MakeEdit(this, IDC_EDIT_CURRENT);
        m_pGrid->addWidget(MakeLabel(this, IDS_PWD_CURRENT, m_pEditCurrent), nRow, 0);
        m_pGrid->addWidget(m_pEditCurrent, nRow, 1);
        ++nRow;
    }
    m_pEditNew = MakeEdit(this, IDC_EDIT_NEW);
    m_pShow = new CButtonST(this);
    m_pShow->setObjectName(QString::number(IDC_BUTTON_SHOW));
    m_pShow->SetThemeHelper(new CThemeHelperST(m_pShow));
    m_pShow->SetFlat(true);
    m_pShow->SetIcon(
        QIcon::fromTheme(QStringLiteral("view-visible"), style()->standardIcon(QStyle::SP_FileDialogContentsView)));
    m_pShow->setToolTip(HVLoadString(IDS_PWD_SHOW));
    m_pShow->setAccessibleName(HVLoadString(IDS_PWD_SHOW));
    m_pShow->setFocusPolicy(Qt::TabFocus);
    m_pGrid->addWidget(MakeLabel(this, IDS_PWD_NEW, m_pEditNew), nRow, 0);
    m_pGrid->addWidget(m_pEditNew, nRow, 1);
    m_pGrid->addWidget(m_pShow, nRow, 2);
    ++nRow;

    m_pEditConfirm = MakeEdit(this, IDC_EDIT_CONFIRM);
    m_pMatch = new QLabel(this);
    m_pMatch->setObjectName(QString::number(IDC_MATCH_TEXT));
    m_pMatch->setMinimumWidth(m_pMatch->fontMetrics().horizontalAdvance(QString::fromLatin1(kNoMatch)) + 4);
    m_pGrid->addWidget(MakeLabel(this, IDS_PWD_CONFIRM, m_pEditConfirm), nRow, 0);
    m_pGrid->addWidget(m_pEditConfirm, nRow, 1);
    m_pGrid->addWidget(m_pMatch, nRow, 2);
    ++nRow;

    m_pMeter = new CGradientProgressCtrl(this);
    m_pMeter->setObjectName(QString::number(IDC_STRENGTH_BAR));
    m_pMeter->setFixedHeight(14);
    m_pStrength = new QLabel(this);
    m_pStrength->setObjectName(QString::number(IDC_STRENGTH_TEXT));
    m_pStrengthCaption = new QLabel(HVLoadString(IDS_PWD_STRENGTH), this);
    m_pStrengthCaption->setObjectName(QStringLiteral("4099"));
    m_pGrid->addWidget(m_pStrengthCaption, nRow, 0);
    m_pGrid->addWidget(m_pMeter, nRow, 1);
    m_pGrid->addWidget(m_pStrength, nRow, 2);

    m_pBottom = new QVBoxLayout;
    m_pBottom->setSpacing(6);
    pBody->addLayout(m_pBottom);
    pBody->addStretch(1);

    m_pButtons = new QDialogButtonBox(this);
    m_pButtons->addButton(HVLoadString(IDS_BTN_OK), QDialogButtonBox::AcceptRole)->setObjectName(QString::number(IDOK));
    m_pButtons->addButton(HVLoadString(IDS_BTN_CANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QString::number(IDCANCEL));
    pBody->addWidget(m_pButtons);
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &CDlg_NewPasswordBase::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &CDlg_NewPasswordBase::reject);
    if (auto* pOk = m_pButtons->findChild<QPushButton*>(QString::number(IDOK))) {
        pOk->setDefault(true);
    }

    for (QLineEdit* pEdit : {m_pEditCurrent, m_pEditNew, m_pEditConfirm}) {
        if (pEdit != nullptr) {
            SetHiddenMode(pEdit, true);
        }
    }
    connect(m_pEditNew, &QLineEdit::textChanged, this, &CDlg_NewPasswordBase::ShowPasswordStrength);
    connect(m_pEditConfirm, &QLineEdit::textChanged, this, &CDlg_NewPasswordBase::OnConfirmChanged);
    connect(m_pShow, &QToolButton::clicked, this, &CDlg_NewPasswordBase::OnShowCharacters);
}

bool CDlg_NewPasswordBase::OnInitDialog()
{
    SetBackgroundColor(HVUi::ThemeColor(QStringLiteral("clrDlgBk"), palette().window().color()));
    SetTextColor(HVUi::ThemeColor(QStringLiteral("clrDlgText"), palette().windowText().color()));
    CGradientProgressCtrl::StylePasswordMeter(*m_pMeter);
    ShowPasswordStrength(QString());
    (m_pEditCurrent != nullptr ? m_pEditCurrent : m_pEditNew)->setFocus();
    return true;
}

void CDlg_NewPasswordBase::ShowPasswordStrength(const QString& strPassword)
{
    const SPasswordStrength strength = CHDGlobalData::PasswordStrength(strPassword);
    m_pMeter->SetPos(strength.nBarValue);
    m_pStrength->setText(strength.strLabel);
}

void CDlg_NewPasswordBase::OnConfirmChanged()
{
    m_pMatch->setText(QString::fromLatin1(m_pEditNew->text() == m_pEditConfirm->text() ? kMatched : kNoMatch));
}

bool CDlg_NewPasswordBase::IsHiddenMode() const
{
    return m_pEditNew->echoMode() == QLineEdit::Password;
}

void CDlg_NewPasswordBase::SetHiddenMode(QLineEdit* pEdit, bool bHidden)
{
    if (bHidden) {
        pEdit->setFont(m_fontHidden);
        // A bullet for every character.
        pEdit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 8226; }"));
        pEdit->setEchoMode(QLineEdit::Password);
    } else {
        pEdit->setFont(m_fontPlain);
        pEdit->setEchoMode(QLineEdit::Normal);
    }
    pEdit->update();
}

void CDlg_NewPasswordBase::OnShowCharacters()
{
    const bool bHide = !IsHiddenMode();
    for (QLineEdit* pEdit : {m_pEditNew, m_pEditConfirm, m_pEditCurrent}) {
        if (pEdit != nullptr) {
            SetHiddenMode(pEdit, bHide);
        }
    }
    m_pEditNew->setFocus();
}

void CDlg_NewPasswordBase::OnOK()
{
    if (Validate()) {
        QDialog::accept();
    }
}

void CDlg_NewPasswordBase::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1) {
        CGuiMessageBox::ShowHelp(m_strHelpTopic);
        return;
    }
    CHPageDlgBase::keyPressEvent(pEvent);
}

bool CDlg_NewPasswordBase::Refuse(QLineEdit* pField, unsigned nId)
{
    pField->setFocus();
    CGuiMessageBox::Show(this, nId);
    pField->setFocus();
    return false;
}

bool CDlg_NewPasswordBase::ValidateNewPassword()
{
    const QString strNew = m_pEditNew->text();
    const QString strConfirm = m_pEditConfirm->text();
    if (strNew.isEmpty() || strConfirm.isEmpty()) {
        return Refuse(strNew.isEmpty() ? m_pEditNew : m_pEditConfirm, IDS_PASSWORD_EMPTY);
    }
    if (strNew != strConfirm) {
        return Refuse(m_pEditConfirm, IDS_PASSWORD_MISMATCH);
    }
    if (strNew.size() < 6 || strNew.size() > 32) {
        return Refuse(m_pEditNew, IDS_PASSWORD_LENGTH_256);
    }
    return true;
}

void CDlg_NewPasswordBase::TakePassword(CSecureBuffer& utf16)
{
    CGuiMessageBox::TakeText(m_pEditNew, utf16);
    ClearPasswords();
}

bool CDlg_NewPasswordBase::AskPassword(CSecureBuffer& utf16)
{
    utf16.clear();
    if (exec() != QDialog::Accepted) {
        ClearPasswords();
        return false;
    }
    TakePassword(utf16);
    return true;
}

void CDlg_NewPasswordBase::ClearPasswords()
{
    for (QLineEdit* pEdit : {m_pEditNew, m_pEditConfirm, m_pEditCurrent}) {
        if (pEdit != nullptr) {
            pEdit->clear();
        }
    }
}
