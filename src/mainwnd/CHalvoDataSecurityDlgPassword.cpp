// The main window's change of the master password.
#include "engines/CSecureBuffer.h"
#include "globalfuncs/HVPathText.h"
#include "hiding/IHidingEngine.h"
#include "logging/CHVFuncLog.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "passwords/CDlg_Changemasterpassword.h"
#include "passwords/CGuiMessageBox.h"
#include "passwords/CMasterPasswordStartup.h"
#include "passwords/CMasterPasswordStore.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"

#include <utility>

bool CHalvoDataSecurityDlg::AskNewMasterPassword(CSecureBuffer& utf16)
{
    CDlg_Changemasterpassword dlg(&m_mngr.m_strMasterPassword, g_HDGlobalData.m_RegData.m_nAESType, nullptr);
    return dlg.AskPassword(utf16);
}

// The signature file is shown while it is rewritten and hidden again in any case. The running
// program takes the new password only once its signature is on disk: otherwise files encrypted
// under it could not be opened after the next start, which asks for the password on file.
void CHalvoDataSecurityDlg::OnMenuChangeMasterPW()
{
    HV_FUNC_LOG();
    CSecureBuffer strNew;
    if (!AskNewMasterPassword(strNew)) {
        return;
    }
    const bool bHiding = m_mngr.m_bHideDisabled == 0 && m_mngr.m_pHideControl != nullptr;
    if (bHiding) {
        (void)m_mngr.m_pHideControl->UnhideItem(HVGlobalMFC::HVPathToStd(m_mngr.m_strConfigFile));
    }
    CMasterPasswordStore store(m_mngr.m_strConfigFile);
    if (store.WritePasswordSignature(false, strNew.Utf16Units())) {
        m_mngr.m_strMasterPassword = std::move(strNew);
    } else {
        LOGGER::g_HVLog.LogText("Master password not changed: " + store.GetLastError().toStdString());
        CGuiMessageBox::ShowText(this,
                                 HVFormatString(CMasterPasswordStartup::kIdsMasterFileNotSaved,
                                                m_mngr.m_strConfigFile,
                                                store.GetLastError()),
                                 CMasterPasswordStartup::kIdsMasterFileNotSaved);
    }
    strNew.clear();
    if (bHiding) {
        (void)m_mngr.m_pHideControl->HideItem(HVGlobalMFC::HVPathToStd(m_mngr.m_strConfigFile));
    }
}
