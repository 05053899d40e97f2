#pragma once

#include "passwords/CDlg_NewPasswordBase.h"

// Changes the master password from the main window. It first asks whether the user really wants
// to (message 184, Yes/No; anything but Yes closes it with Cancel), then checks on OK: every
// field filled, the current password equal to the master password held by the caller, the two
// new entries equal, and the new password's length for the key length of the settings
// (128 bits: 6 to 15, 192 bits: 6 to 23, otherwise 6 to 32 characters). The caller stores the
// new signature.
class CDlg_Changemasterpassword : public CDlg_NewPasswordBase
{
    Q_OBJECT

public:
    static constexpr const char* kHelpTopic = "How_to__Change_the_Master_Password.htm";

    // pMaster: the master password as UTF-16 code units (bytes of char16_t), not owned, read during OK only.
    // nAESType: the setting AESType (0 128, 1 192, other 256 bits).
    CDlg_Changemasterpassword(const CSecureBuffer* pMaster, int nAESType, QWidget* pParent = nullptr);

    // The longest new password for a key-length setting (15, 23 or 32).
    [[nodiscard]] static int MaxLength(int nAESType);
    [[nodiscard]] static unsigned LengthMessage(int nAESType);

    [[nodiscard]] bool WasConfirmed() const { return m_bConfirmed; }

protected:
    bool OnInitDialog() override;
    [[nodiscard]] bool Validate() override;

private:
    void AskFirst();
    void EnableFields(bool bEnable);

    const CSecureBuffer* m_pMaster;
    int m_nAESType;
    bool m_bConfirmed = false;
};
