#pragma once

#include "ui/CHPageDlgBase.h"

#include <QFont>
#include <QString>

class CButtonST;
class CGradientProgressCtrl;
class CGuiDialogHeader;
class CSecureBuffer;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;

// What the three dialogs that choose a new password share: the new password (1027), its
// confirmation (1028), optionally the current password (1029), the strength meter (4057) with
// its label (4058), the match text (1020), the show-characters button (4080), the two fonts,
// the help key (F1) and the OK and Cancel buttons. Controls carry their number as object name.
class CDlg_NewPasswordBase : public CHPageDlgBase
{
    Q_OBJECT

public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;
    static constexpr int IDC_EDIT_NEW = 1027;
    static constexpr int IDC_EDIT_CONFIRM = 1028;
    static constexpr int IDC_EDIT_CURRENT = 1029;
    static constexpr int IDC_STRENGTH_BAR = 4057;
    static constexpr int IDC_STRENGTH_TEXT = 4058;
    static constexpr int IDC_MATCH_TEXT = 1020;
    static constexpr int IDC_BUTTON_SHOW = 4080;
    static constexpr const char* kMatched = "Matched";
    static constexpr const char* kNoMatch = "No Match";

    // After OK: the new password in UTF-16 code units; every password field is emptied.
    void TakePassword(CSecureBuffer& utf16);
    // Empties every password field (for a caller that does not read it).
    void ClearPasswords();
    // Runs the dialog: true after OK with the new password in utf16, else false with utf16
    // empty. Every password field is emptied either way.
    bool AskPassword(CSecureBuffer& utf16);

    [[nodiscard]] bool IsHiddenMode() const;
    [[nodiscard]] QString HelpTopic() const { return m_strHelpTopic; }

protected:
    CDlg_NewPasswordBase(QWidget* pParent, const QString& strTitle, const QString& strHelpTopic, bool bCurrentField);

    bool OnInitDialog() override;
    void OnOK() override;
    void keyPressEvent(QKeyEvent* pEvent) override;

    // The dialog's rules on OK; true closes it with OK.
    [[nodiscard]] virtual bool Validate() = 0;

    // Focus on the field, then the message box with string nId; always false.
    bool Refuse(QLineEdit* pField, unsigned nId);
    // Rule 1 to 3 of the set dialogs (empty fields, mismatch, 6 to 32 characters).
    [[nodiscard]] bool ValidateNewPassword();

    void ShowPasswordStrength(const QString& strPassword);
    void OnShowCharacters();
    void OnConfirmChanged();

    QVBoxLayout* m_pTop = nullptr;     // above the fields (introductions)
    QGridLayout* m_pGrid = nullptr;    // the fields
    QVBoxLayout* m_pBottom = nullptr;  // below the fields (consent, links)
    CGuiDialogHeader* m_pHeader = nullptr;
    QLineEdit* m_pEditNew = nullptr;
    QLineEdit* m_pEditConfirm = nullptr;
    QLineEdit* m_pEditCurrent = nullptr;
    QLabel* m_pStrengthCaption = nullptr;
    CGradientProgressCtrl* m_pMeter = nullptr;
    QLabel* m_pStrength = nullptr;
    QLabel* m_pMatch = nullptr;
    CButtonST* m_pShow = nullptr;
    QDialogButtonBox* m_pButtons = nullptr;
    QFont m_fontPlain;
    QFont m_fontHidden;

private:
    void SetHiddenMode(QLineEdit* pEdit, bool bHidden);

    QString m_strHelpTopic;
};
