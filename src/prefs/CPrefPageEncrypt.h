#pragma once

#include "prefs/CPrefPageBase.h"

class QButtonGroup;
class QRadioButton;

namespace HVDialogs::HVPref {

// Encryption page: the key length (128, 192 or 256 bits) and a button to the help topic on
// encryption.
class CPref_Encrypt : public CPrefPageBase
{
    Q_OBJECT
public:
    static constexpr int kPageId = 4086;
    static constexpr int IDC_RADIO_AES128 = 1005;  // and the two radio buttons after it
    static constexpr int IDC_RADIO_AES192 = 1006;
    static constexpr int IDC_RADIO_AES256 = 1007;
    static constexpr int IDC_BUTTON_HELP = 1021;
    static constexpr const char* kHelpTopic = "Encryption_and_Decryption_of_Files_and_Folders.htm";

    explicit CPref_Encrypt(CMRegistryData& settings, QWidget* pParent = nullptr);

    void LoadSettings() override;
    // The chosen index of the radio group (0 128 bits, 1 192, 2 256), -1 when none is chosen.
    [[nodiscard]] int SelectedType() const;
    void StoreSettings();

protected:
    void BuildControls(QVBoxLayout* pLayout) override;
    void ResetDefaults() override;

private:
    QButtonGroup* m_pGroup = nullptr;
};

}  // namespace HVDialogs::HVPref
