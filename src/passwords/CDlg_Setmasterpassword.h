#pragma once

#include "passwords/CDlg_NewPasswordBase.h"

class CBCGButton;
class QCheckBox;

// Chooses the master password at the first start. Nothing can be typed until the consent box
// (4089, starting cleared) is ticked; the rules on OK are those of CDlg_Setpassword. It can be
// the program's first window, so it comes to the front by itself.
class CDlg_Setmasterpassword : public CDlg_NewPasswordBase
{
    Q_OBJECT

public:
    static constexpr int IDC_CHECK_CONSENT = 4089;
    static constexpr const char* kHelpTopic = "Master_Password_and_User-Defined_Passwords.htm";
    static constexpr const char* kHelpGettingHelp = "getting_help.htm";
    static constexpr const char* kHelpDisclaimer = "disclaimer.htm";

    explicit CDlg_Setmasterpassword(QWidget* pParent = nullptr);

    [[nodiscard]] bool IsConsentGiven() const;

protected:
    bool OnInitDialog() override;
    // Without consent the OK button is disabled; a stray accept changes nothing either.
    [[nodiscard]] bool Validate() override { return IsConsentGiven() && ValidateNewPassword(); }

private:
    void ApplyConsent();

    QCheckBox* m_pConsent = nullptr;
    QWidget* m_pRules = nullptr;     // 4097
    QWidget* m_pRemember = nullptr;  // 4098
};
