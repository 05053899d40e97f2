#pragma once

#include "prefs/CPrefPageBase.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace HVDialogs::HVPref {

// General page: what the runner does with hidden, read-only and other users' items (ask,
// process, skip), the log file switch with a button that opens the log folder, and whether
// picked links are resolved.
class CPref_General : public CPrefPageBase
{
    Q_OBJECT
public:
    static constexpr int kPageId = 4085;
    static constexpr int IDC_COMBO_HIDDEN = 1013;
    static constexpr int IDC_COMBO_READONLY = 1012;
    static constexpr int IDC_COMBO_SYSTEM = 1014;
    static constexpr int IDC_CHECK_ADVLOG = 4082;
    static constexpr int IDC_CHECK_RESOLVE_LINKS = 4102;
    static constexpr int IDC_BUTTON_LOG_FOLDER = 4083;

    explicit CPref_General(CMRegistryData& settings, QWidget* pParent = nullptr);

    void LoadSettings() override;
    // The controls into the settings (EnableAdvLog, ResolveLinks, ActionHidden, ActionReadOnly,
    // ActionSystem).
    void StoreSettings();
    // Opens the log folder in the file manager.
    void OnBnClickedLogFolder();

protected:
    void BuildControls(QVBoxLayout* pLayout) override;
    void ResetDefaults() override;

private:
    QComboBox* m_pHidden = nullptr;
    QComboBox* m_pReadOnly = nullptr;
    QComboBox* m_pSystem = nullptr;
    QCheckBox* m_pAdvLog = nullptr;
    QCheckBox* m_pResolveLinks = nullptr;
    QPushButton* m_pLogFolder = nullptr;
};

}  // namespace HVDialogs::HVPref
