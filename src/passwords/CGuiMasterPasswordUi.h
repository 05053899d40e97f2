#pragma once

#include "passwords/IMasterPasswordUi.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class CDlg_EnterMasterpassword;

// The start-up dialogue's front end over the password dialogs and message boxes. The
// enter-master-password dialog is made once and shown for every attempt, its field emptied in
// between.
class CGuiMasterPasswordUi : public IMasterPasswordUi
{
public:
    explicit CGuiMasterPasswordUi(QWidget* pParent = nullptr);
    ~CGuiMasterPasswordUi() override;

    void SetParentWidget(QWidget* pParent) { m_pParent = pParent; }
    [[nodiscard]] QWidget* ParentWidget() const { return m_pParent.data(); }

    bool AskNewMasterPassword(CSecureBuffer& utf16) override;
    bool AskMasterPassword(int nAttempt, CSecureBuffer& utf16) override;
    void ShowMessage(unsigned nStringId, const QStringList& args = QStringList()) override;
    bool AskYesNo(unsigned nTextId, unsigned nCaptionId) override;

private:
    QPointer<QWidget> m_pParent;
    std::unique_ptr<CDlg_EnterMasterpassword> m_pEnter;
};
