#pragma once

#include "engines/CSecureBuffer.h"

#include <QString>
#include <QStringList>

// What the master-password dialogue asks of its front end (the password dialogs, a terminal, or
// a script in the tests). Passwords travel as UTF-16 code units (char16_t) in secure memory.
class IMasterPasswordUi
{
public:
    virtual ~IMasterPasswordUi() = default;

    // The set-master-password dialog. True on OK with the new password in utf16.
    virtual bool AskNewMasterPassword(CSecureBuffer& utf16) = 0;
    // The enter-master-password dialog, attempt nAttempt (1 to 4), its password box empty.
    // True on OK with the typed password in utf16; false on Cancel.
    virtual bool AskMasterPassword(int nAttempt, CSecureBuffer& utf16) = 0;
    // A message box: numbered string nStringId with args filling its placeholders, the
    // application title as caption, an OK button.
    virtual void ShowMessage(unsigned nStringId, const QStringList& args = QStringList()) = 0;
    // A question with Yes and No: numbered text and caption. True for Yes.
    virtual bool AskYesNo(unsigned nTextId, unsigned nCaptionId) = 0;
    // A master password given in advance (a script's password file) for a start that asks for
    // none; a decryption tries it on files its own password does not open. False: none given.
    virtual bool GivenMasterPassword(CSecureBuffer& utf16)
    {
        (void)utf16;
        return false;
    }
};
