// Screens of the password dialogs and the question box.
#include "engines/CSecureBuffer.h"
#include "passwords/CDlg_AfxMsgBoxEx.h"
#include "passwords/CDlg_Changemasterpassword.h"
#include "passwords/CDlg_EnterMasterpassword.h"
#include "passwords/CDlg_Enterpassword.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "passwords/CDlg_Setpassword.h"
#include "passwords/CGuiMessageBox.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

void Type(QWidget* pDialog, const char* pszField, const QString& strText)
{
    if (auto* pEdit = pDialog->findChild<QLineEdit*>(QString::fromLatin1(pszField))) {
        pEdit->setText(strText);
    }
}

}  // namespace

HV_SCREEN("dlg_setmasterpassword")
{
    return new CDlg_Setmasterpassword;
}

HV_SCREEN("dlg_setmasterpassword_consent")
{
    auto* pDlg = new CDlg_Setmasterpassword;
    pDlg->findChild<QCheckBox*>(QStringLiteral("4089"))->click();
    Type(pDlg, "1027", QStringLiteral("Blue-harbour7"));
    Type(pDlg, "1028", QStringLiteral("Blue-harbour"));
    return pDlg;
}

HV_SCREEN("dlg_setpassword")
{
    auto* pDlg = new CDlg_Setpassword;
    Type(pDlg, "1027", QStringLiteral("aaaa"));
    Type(pDlg, "1028", QStringLiteral("aaaa"));
    return pDlg;
}

HV_SCREEN("dlg_changemasterpassword")
{
    CGuiMessageBox::SetHook(
        [](QWidget*, unsigned, const QString&, QMessageBox::StandardButtons) { return QMessageBox::Yes; });
    static const CSecureBuffer s_master = CSecureBuffer::FromBytes(u"secret-1", 16);
    auto* pDlg = new CDlg_Changemasterpassword(&s_master, 0);
    Type(pDlg, "1029", QStringLiteral("secret-1"));
    Type(pDlg, "1027", QStringLiteral("Quiet lake 42"));
    return pDlg;
}

HV_SCREEN("dlg_entermasterpassword")
{
    auto* pDlg = new CDlg_EnterMasterpassword;
    Type(pDlg, "1034", QStringLiteral("secret"));
    return pDlg;
}

HV_SCREEN("dlg_enterpassword")
{
    auto* pDlg = new CDlg_Enterpassword;
    pDlg->SetFilePath(QStringLiteral("/home/user/Documents/Quarterly report 2026.ods.hvnc"));
    return pDlg;
}

HV_SCREEN("dlg_afxmsgboxex")
{
    auto* pDlg = new CDlg_AfxMsgBoxEx;
    pDlg->SetMessageText(
        QStringLiteral("\"/home/user/.notes/plan.txt\" is a hidden file.\nDo you want to process it anyway?"));
    return pDlg;
}
