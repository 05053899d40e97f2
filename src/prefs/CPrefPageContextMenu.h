#pragma once

#include "prefs/CPrefPageBase.h"

class QCheckBox;

namespace HVDialogs::HVPref {

// Context menu page: the file manager extension on or off, wiping in its menu, encryption under
// the master password, and the master-password question of command-line runs. The page keeps the
// extension's switch as it found it, so that OK sees whether it changed.
class CPref_ContextMenu : public CPrefPageBase
{
    Q_OBJECT
public:
    static constexpr int kPageId = 4088;
    static constexpr int IDC_CHECK_SHELL = 4057;
    static constexpr int IDC_CHECK_WIPE = 4055;
    static constexpr int IDC_CHECK_MASTER = 4056;
    static constexpr int IDC_CHECK_ASK_MASTER = 4089;

    explicit CPref_ContextMenu(CMRegistryData& settings, QWidget* pParent = nullptr);

    void LoadSettings() override;
    // The other boxes only with the extension on; "use the master password" cleared and off
    // while "ask for the master password" is cleared.
    void UpdateControls() override;
    void StoreSettings();

    // ShlEnableShell when the page was opened, and the box now.
    [[nodiscard]] bool WasShellEnabled() const { return m_bShellAtOpen; }
    [[nodiscard]] bool IsShellEnabled() const;

protected:
    bool OnInitDialog() override;
    void BuildControls(QVBoxLayout* pLayout) override;
    void ResetDefaults() override;

private:
    QCheckBox* m_pShell = nullptr;
    QCheckBox* m_pWipe = nullptr;
    QCheckBox* m_pMaster = nullptr;
    QCheckBox* m_pAskMaster = nullptr;
    bool m_bShellAtOpen = false;
};

}  // namespace HVDialogs::HVPref
