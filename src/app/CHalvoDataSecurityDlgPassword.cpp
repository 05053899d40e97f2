// The main window's change of the master password.
#include "app/CHalvoDataSecurityDlg.h"
#include "engines/CSecureBuffer.h"
#include "globalfuncs/HVPathText.h"
#include "hiding/IHidingEngine.h"
#include "logging/CHVFuncLog.h"
#include "passwords/CDlg_Changemasterpassword.h"
#include "passwords/CGuiMessageBox.h"
#include "passwords/CMasterPasswordStartup.h"
#include "passwords/CMasterPasswordStore.h"
#include "passwords/HVWipeText.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"

#include <string_view>

#include "resources/HVResourceStrings.h"

namespace {

std::u16string_view Utf16(const QString& str)
{
    return {reinterpret_cast<const char16_t*>(str.utf16()), static_cast<std::size_t>(str.size())};
}

}  // namespace

bool CHalvoDataSecurityDlg::AskNewMasterPassword(QString& strNewPassword)
{
    const QString& strCurrent = m_mngr.m_strMasterPassword;
    const CSecureBuffer master = CSecureBuffer::FromBytes(strCurrent.utf16(), strCurrent.size() * sizeof(char16_t));
    CDlg_Changemasterpassword dlg(&master, g_HDGlobalData.m_RegData.m_nAESType, nullptr);
    if (dlg.exec() != QDialog::Accepted) {
        dlg.ClearPasswords();
        return false;
    }
    CSecureBuffer utf16;
    dlg.TakePassword(utf16);
    strNewPassword =
        QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size() / sizeof(char16_t)));
    return true;
}

// The signature file is shown while it is rewritten and hidden again in any case. The running
// program takes the new password only once its signature is on disk: otherwise files encrypted
// under it could not be opened after the next start, which asks for the password on file.
void CHalvoDataSecurityDlg::OnMenuChangeMasterPW()
{
    HV_FUNC_LOG();
    QString strNew;
    if (!AskNewMasterPassword(strNew)) {
        return;
    }
    const bool bHiding = m_mngr.m_bHideDisabled == 0 && m_mngr.m_pHideControl != nullptr;
    if (bHiding) {
        (void)m_mngr.m_pHideControl->UnhideItem(HVGlobalMFC::HVPathToStd(m_mngr.m_strConfigFile));
    }
    CMasterPasswordStore store(m_mngr.m_strConfigFile);
    if (store.WritePasswordSignature(false, Utf16(strNew))) {
        m_mngr.m_strMasterPassword = strNew;
    } else {
        LOGGER::g_HVLog.LogText("Master password not changed: " + store.GetLastError().toStdString());
        CGuiMessageBox::ShowText(this,
                                 HVFormatString(CMasterPasswordStartup::kIdsMasterFileNotSaved,
                                                m_mngr.m_strConfigFile,
                                                store.GetLastError()),
                                 CMasterPasswordStartup::kIdsMasterFileNotSaved);
    }
    HVWipeText(strNew);
    if (bHiding) {
        (void)m_mngr.m_pHideControl->HideItem(HVGlobalMFC::HVPathToStd(m_mngr.m_strConfigFile));
    }
}
