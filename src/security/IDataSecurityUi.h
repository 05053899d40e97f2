#pragma once

#include "engines/CSecureBuffer.h"
#include "passwords/IMasterPasswordUi.h"

class CReportComposer;

// What the data-security manager's flows ask of the user: the GUI answers with message boxes,
// the password dialogs and the report dialog, the terminal front end in the terminal, tests from
// a script. Every call comes from the thread that runs the flow (the user-interface thread).
//
// From IMasterPasswordUi the flows use ShowMessage (a numbered string in a message box with the
// application title and an OK button) and AskMasterPassword (the enter-master-password dialog).
class IDataSecurityUi : public IMasterPasswordUi
{
public:
    // The set-password dialog for a user-defined password (both entries equal, 6 to 32
    // characters): true on OK with the new password in utf16 (UTF-16 code units), false on any
    // other answer.
    virtual bool AskNewPassword(CSecureBuffer& utf16) = 0;

    // The operation report dialog (the composer carries the text, the kind and the label
    // height), shown modally; its result is not used.
    virtual void ShowReport(const CReportComposer& report) = 0;
};
