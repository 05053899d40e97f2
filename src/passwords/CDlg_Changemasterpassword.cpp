#include "passwords/CDlg_Changemasterpassword.h"

#include "engines/CSecureBuffer.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "ui/CButtonST.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

CDlg_Changemasterpassword::CDlg_Changemasterpassword(const CSecureBuffer* pMaster, int nAESType, QWidget* pParent)
    : CDlg_NewPasswordBase(pParent, HVLoadString(IDS_PWD_CHANGE_MASTER_TITLE), QString::fromLatin1(kHelpTopic), true)
    , m_pMaster(pMaster)
    , m_nAESType(nAESType)
{
    EnableFields(false);
}

int CDlg_Changemasterpassword::MaxLength(int nAESType)
{
    switch (nAESType) {
    case 0:
        return 15;
    case 1:
        return 23;
    default:
        return 32;
    }
}

unsigned CDlg_Changemasterpassword::LengthMessage(int nAESType)
{
    switch (nAESType) {
    case 0:
        return IDS_PASSWORD_LENGTH_128;
    case 1:
        return IDS_PASSWORD_LENGTH_192;
    default:
        return IDS_PASSWORD_LENGTH_256;
    }
}

bool CDlg_Changemasterpassword::OnInitDialog()
{
    CDlg_NewPasswordBase::OnInitDialog();
    CGuiMessageBox::BringToFront(this);
    // The question comes once the dialog is on the screen; its fields take no input before.
    QTimer::singleShot(0, this, &CDlg_Changemasterpassword::AskFirst);
    return true;
}

void CDlg_Changemasterpassword::AskFirst()
{
    if (!CGuiMessageBox::AskYesNo(this, IDS_ASK_CHANGE_MASTER, 57344)) {
        QDialog::reject();
        return;
    }
    m_bConfirmed = true;
    EnableFields(true);
    m_pEditCurrent->setFocus();
}

void CDlg_Changemasterpassword::EnableFields(bool bEnable)
{
    for (QWidget* pControl :
         std::initializer_list<QWidget*>{m_pEditCurrent,
                                         m_pEditNew,
                                         m_pEditConfirm,
                                         m_pShow,
                                         m_pButtons->findChild<QPushButton*>(QStringLiteral("1"))}) {
        pControl->setEnabled(bEnable);
    }
}

bool CDlg_Changemasterpassword::Validate()
{
    if (!m_bConfirmed) {
        return false;
    }
    const QString strCurrent = m_pEditCurrent->text();
    const QString strNew = m_pEditNew->text();
    const QString strConfirm = m_pEditConfirm->text();
    if (strCurrent.isEmpty() || strNew.isEmpty() || strConfirm.isEmpty()) {
        QLineEdit* pEmpty = strCurrent.isEmpty() ? m_pEditCurrent : (strNew.isEmpty() ? m_pEditNew : m_pEditConfirm);
        return Refuse(pEmpty, IDS_PASSWORD_EMPTY);
    }
    const CSecureBuffer current =
        CSecureBuffer::FromBytes(strCurrent.utf16(), static_cast<std::size_t>(strCurrent.size()) * sizeof(char16_t));
    if (m_pMaster == nullptr || !current.Equals(*m_pMaster)) {
        return Refuse(m_pEditCurrent, IDS_WRONG_CURRENT_PASSWORD);
    }
    if (strNew != strConfirm) {
        return Refuse(m_pEditConfirm, IDS_PASSWORD_MISMATCH);
    }
    if (strNew.size() < 6 || strNew.size() > MaxLength(m_nAESType)) {
        return Refuse(m_pEditNew, LengthMessage(m_nAESType));
    }
    CGuiMessageBox::Show(this, IDS_MASTER_CHANGED);
    return true;
}
