#pragma once

#include "ui/CHPageDlg.h"
#include "ui/CTitleMainPage.h"

class CMRegistryData;
class QBoxLayout;
class QVBoxLayout;

namespace HVDialogs::HVPref {

// What the four preference pages share: the drawn page title (the page's tree text), the theme's
// page colours, and the three steps the dialog asks of every page: copy the settings into the
// controls, run the enabling rules, and restore this page's defaults in the live settings.
class CPrefPageBase : public CHPageDlg
{
    Q_OBJECT
public:
    CPrefPageBase(int nPageId, unsigned nTitleId, CMRegistryData& settings, QWidget* pParent = nullptr);
    ~CPrefPageBase() override;

    // Settings into the controls.
    virtual void LoadSettings() = 0;
    // The enabling rules of the page.
    virtual void UpdateControls() {}
    // The page's partial reset of the live settings, then LoadSettings and UpdateControls.
    void ApplyDefaults();

    [[nodiscard]] CMRegistryData& Settings() const { return m_settings; }
    [[nodiscard]] QString Title() const;

    static constexpr int kTitleHeight = 28;

protected:
    // Builds the page's controls into the layout under the title.
    virtual void BuildControls(QVBoxLayout* pLayout) = 0;
    virtual void ResetDefaults() = 0;

    bool OnCreatePage() override;
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

    // A group frame in the page's background.
    [[nodiscard]] QWidget* MakeGroup(const QString& strTitle, QBoxLayout*& pInner);

private:
    CMRegistryData& m_settings;
    CTitleMainPage m_title;
};

}  // namespace HVDialogs::HVPref
