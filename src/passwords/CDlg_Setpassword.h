#pragma once

#include "passwords/CDlg_NewPasswordBase.h"

// Chooses a user-defined password for a command-line encryption: both entries equal, 6 to 32
// characters. Link button 1029 opens the same help topic as F1.
class CDlg_Setpassword : public CDlg_NewPasswordBase
{
    Q_OBJECT

public:
    static constexpr const char* kHelpTopic = "Encryption_and_Decryption_of_Files_and_Folders.htm";

    explicit CDlg_Setpassword(QWidget* pParent = nullptr);

protected:
    [[nodiscard]] bool Validate() override { return ValidateNewPassword(); }
};
