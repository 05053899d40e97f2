#pragma once

#include "passwords/CDlg_EnterPasswordBase.h"

// Asks for the master password at start-up; it can be the program's first window, so it comes
// to the front by itself. The caller checks the password and may show it again (up to four
// attempts), emptying the field in between.
class CDlg_EnterMasterpassword : public CDlg_EnterPasswordBase
{
    Q_OBJECT

public:
    static constexpr const char* kHelpTopic = "Master_Password_and_User-Defined_Passwords.htm";

    explicit CDlg_EnterMasterpassword(QWidget* pParent = nullptr);
};
