#pragma once

#include "ui/CHPageDlgBase.h"

class CGuiDialogHeader;
class CSecureBuffer;
class QLabel;
class QLineEdit;

// One password field (1034) with OK and Cancel: OK takes the text as it is, an empty one too.
class CDlg_EnterPasswordBase : public CHPageDlgBase
{
    Q_OBJECT

public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;
    static constexpr int IDC_EDIT_PASSWORD = 1034;

    // After OK: the password in UTF-16 code units; the field is emptied.
    void TakePassword(CSecureBuffer& utf16);
    // Empties the field (between two attempts).
    void ClearPassword();
    [[nodiscard]] QString HelpTopic() const { return m_strHelpTopic; }

protected:
    CDlg_EnterPasswordBase(
        QWidget* pParent, const QString& strTitle, const QString& strIntro, const QString& strHelpTopic, bool bToFront);

    bool OnInitDialog() override;
    void keyPressEvent(QKeyEvent* pEvent) override;

    QLabel* m_pIntro = nullptr;
    QLabel* m_pDetail = nullptr;
    QLineEdit* m_pEdit = nullptr;

private:
    QString m_strHelpTopic;
    bool m_bToFront;
};
