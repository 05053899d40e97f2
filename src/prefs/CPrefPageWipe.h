#pragma once

#include "prefs/CPrefPageBase.h"

class CHHexEdit;
class QButtonGroup;
class QLabel;

namespace HVDialogs::HVPref {

// Wipe page: the wipe method (0, 1, 2) and, for the three-pass method 1, the kind of its third
// pass (0 random, 1 a byte pattern) with the pattern as two hexadecimal digits.
class CPref_Wipe : public CPrefPageBase
{
    Q_OBJECT
public:
    static constexpr int kPageId = 4087;
    static constexpr int IDC_RADIO_METHOD0 = 1005;
    static constexpr int IDC_RADIO_METHOD1 = 1006;
    static constexpr int IDC_RADIO_METHOD2 = 1007;
    static constexpr int IDC_RADIO_PASS3_RANDOM = 1009;
    static constexpr int IDC_RADIO_PASS3_PATTERN = 1010;
    static constexpr int IDC_EDIT_PATTERN = 1011;
    static constexpr int kPatternLength = 2;

    explicit CPref_Wipe(CMRegistryData& settings, QWidget* pParent = nullptr);

    void LoadSettings() override;
    // Third-pass choices only with method 1; the pattern only with method 1 and pattern kind 1.
    void UpdateControls() override;
    // WipeType, DodPass3Type and the pattern. An empty pattern is stored as the default "AA" and
    // a single digit gets a leading zero, so that the wipe engine always receives a whole byte.
    void StoreSettings();
    // The pattern as it will be stored.
    [[nodiscard]] QString PatternText() const;

protected:
    void BuildControls(QVBoxLayout* pLayout) override;
    void ResetDefaults() override;

private:
    QButtonGroup* m_pMethod = nullptr;
    QButtonGroup* m_pPass3 = nullptr;
    QLabel* m_pPass3Label = nullptr;
    CHHexEdit* m_pPattern = nullptr;
};

}  // namespace HVDialogs::HVPref
