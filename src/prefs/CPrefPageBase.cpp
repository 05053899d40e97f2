#include "prefs/CPrefPageBase.h"

#include "resources/HVResourceStrings.h"
#include "settings/CMRegistryData.h"
#include "ui/CGlobalColors.h"
#include "ui/CHGroup.h"

#include <QPainter>
#include <QVBoxLayout>

namespace HVDialogs::HVPref {

CPrefPageBase::CPrefPageBase(int nPageId, unsigned nTitleId, CMRegistryData& settings, QWidget* pParent)
    : CHPageDlg(nPageId, pParent)
    , m_settings(settings)
{
    SetBackgroundColor(CGlobalColors::Color(g_GlobalColors.clrDlgBkPref));
    SetTextColor(CGlobalColors::Color(g_GlobalColors.clrDlgText));
    m_title.SetTitleText(HVLoadString(nTitleId));
    m_title.SetTitleFont(16, 700, false, false, QStringLiteral("Arial"));
    m_title.SetColors(CGlobalColors::Color(g_GlobalColors.clrTitleTextPref),
                      CGlobalColors::Color(g_GlobalColors.clrTitleBorder),
                      CGlobalColors::Color(g_GlobalColors.clrTitleTextFill),
                      CGlobalColors::Color(g_GlobalColors.clrDlgBkPref));
    m_title.SetGradientColors(CGlobalColors::Color(g_GlobalColors.clrTitleSubGradiant1),
                              CGlobalColors::Color(g_GlobalColors.clrTitleSubGradiant2));
}

CPrefPageBase::~CPrefPageBase() = default;

QString CPrefPageBase::Title() const
{
    return m_title.Title();
}

void CPrefPageBase::ApplyDefaults()
{
    ResetDefaults();
    if (IsCreated()) {
        LoadSettings();
        UpdateControls();
    }
}

bool CPrefPageBase::OnCreatePage()
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(14, kTitleHeight + 12, 14, 10);
    pLayout->setSpacing(8);
    BuildControls(pLayout);
    pLayout->addStretch(1);
    return true;
}

bool CPrefPageBase::OnInitDialog()
{
    LoadSettings();
    UpdateControls();
    return true;
}

QWidget* CPrefPageBase::MakeGroup(const QString& strTitle, QBoxLayout*& pInner)
{
    auto* pGroup = new CHGroup(strTitle, this);
    pGroup->SetBackgroundColor(GetBackgroundColor());
    pInner = new QVBoxLayout(pGroup);
    pInner->setContentsMargins(10, 6, 10, 8);
    pInner->setSpacing(5);
    return pGroup;
}

void CPrefPageBase::paintEvent(QPaintEvent* pEvent)
{
    CHPageDlg::paintEvent(pEvent);
    QPainter painter(this);
    m_title.Draw(painter);
}

void CPrefPageBase::resizeEvent(QResizeEvent* pEvent)
{
    CHPageDlg::resizeEvent(pEvent);
    m_title.SetRect(0, 0, width(), kTitleHeight, true);
}

}  // namespace HVDialogs::HVPref
