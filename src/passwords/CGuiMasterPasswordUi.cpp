#include "passwords/CGuiMasterPasswordUi.h"

#include "engines/CSecureBuffer.h"
#include "passwords/CDlg_EnterMasterpassword.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"

CGuiMasterPasswordUi::CGuiMasterPasswordUi(QWidget* pParent)
    : m_pParent(pParent)
{
}

CGuiMasterPasswordUi::~CGuiMasterPasswordUi() = default;

bool CGuiMasterPasswordUi::AskNewMasterPassword(CSecureBuffer& utf16)
{
    CDlg_Setmasterpassword dlg(m_pParent);
    return dlg.AskPassword(utf16);
}

bool CGuiMasterPasswordUi::AskMasterPassword(int nAttempt, CSecureBuffer& utf16)
{
    (void)nAttempt;
    utf16.clear();
    if (!m_pEnter) {
        m_pEnter = std::make_unique<CDlg_EnterMasterpassword>(m_pParent);
    }
    m_pEnter->ClearPassword();
    const bool bOk = m_pEnter->exec() == QDialog::Accepted;
    if (bOk) {
        m_pEnter->TakePassword(utf16);
    }
    m_pEnter->ClearPassword();
    return bOk;
}

void CGuiMasterPasswordUi::ShowMessage(unsigned nStringId, const QStringList& args)
{
    const QString strText = args.isEmpty() ? HVLoadString(nStringId) : HVFormatText(HVLoadString(nStringId), args);
    CGuiMessageBox::ShowText(m_pParent, strText, nStringId);
}

bool CGuiMasterPasswordUi::AskYesNo(unsigned nTextId, unsigned nCaptionId)
{
    return CGuiMessageBox::AskYesNo(m_pParent, nTextId, nCaptionId);
}
