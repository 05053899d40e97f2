#pragma once

#include "passwords/CDlg_EnterPasswordBase.h"

// Asks for the password of an encrypted file after the run's password did not open it.
class CDlg_Enterpassword : public CDlg_EnterPasswordBase
{
    Q_OBJECT

public:
    static constexpr const char* kHelpTopic = "Decrypting_Files_and_Folders.htm";

    explicit CDlg_Enterpassword(QWidget* pParent = nullptr);

    // The file the password is for, shown under the introduction.
    void SetFilePath(const QString& strPath);
};
