#pragma once

#include "passwords/CGuiMasterPasswordUi.h"
#include "security/IDataSecurityUi.h"

#include <QPointer>
#include <QWidget>

#include <functional>

// The GUI answers of the start-up dialogue and the manager's flows: message boxes, the password
// dialogs and the report dialog. The main window, once it exists, gives its page container's
// switch so that the report's buttons lead to the next page.
class CGuiDataSecurityUi : public IDataSecurityUi
{
public:
    explicit CGuiDataSecurityUi(QWidget* pParent = nullptr);

    void SetParentWidget(QWidget* pParent);
    void SetPageSwitch(std::function<void(int nPageId)> fn) { m_fnPageSwitch = std::move(fn); }

    bool AskNewMasterPassword(CSecureBuffer& utf16) override { return m_master.AskNewMasterPassword(utf16); }
    bool AskMasterPassword(int nAttempt, CSecureBuffer& utf16) override
    {
        return m_master.AskMasterPassword(nAttempt, utf16);
    }
    void ShowMessage(unsigned nStringId, const QStringList& args = QStringList()) override
    {
        m_master.ShowMessage(nStringId, args);
    }
    bool AskYesNo(unsigned nTextId, unsigned nCaptionId) override { return m_master.AskYesNo(nTextId, nCaptionId); }

    bool AskNewPassword(CSecureBuffer& utf16) override;
    void ShowReport(const CReportComposer& report) override;

private:
    CGuiMasterPasswordUi m_master;
    QPointer<QWidget> m_pParent;
    std::function<void(int)> m_fnPageSwitch;
};
