#include "prefs/CPrefPageWipe.h"

#include "resources/HVResourceStrings.h"
#include "settings/CMRegistryData.h"
#include "ui/CHHexEdit.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace HVDialogs::HVPref {

namespace {

constexpr const char* kDefaultPattern = "AA";

// Checks the button of that index, or none when there is no such button.
void CheckIndex(QButtonGroup* pGroup, int nIndex)
{
    if (QAbstractButton* pButton = pGroup->button(nIndex)) {
        pButton->setChecked(true);
        return;
    }
    pGroup->setExclusive(false);
    for (QAbstractButton* pButton : pGroup->buttons()) {
        pButton->setChecked(false);
    }
    pGroup->setExclusive(true);
}

}  // namespace

CPref_Wipe::CPref_Wipe(CMRegistryData& settings, QWidget* pParent)
    : CPrefPageBase(kPageId, IDS_PREF_WIPE, settings, pParent)
{
    setObjectName(QStringLiteral("CPref_Wipe"));
}

void CPref_Wipe::BuildControls(QVBoxLayout* pLayout)
{
    QBoxLayout* pInner = nullptr;
    QWidget* pGroup = MakeGroup(HVLoadString(IDS_PREF_WIPE_METHOD), pInner);
    m_pMethod = new QButtonGroup(this);
    const unsigned methods[] = {IDS_PREF_WIPE_ONE_PASS, IDS_PREF_WIPE_THREE_PASS, IDS_PREF_WIPE_35_PASS};
    for (int i = 0; i < 3; ++i) {
        auto* pRadio = new QRadioButton(HVLoadString(methods[i]), pGroup);
        pRadio->setObjectName(QString::number(IDC_RADIO_METHOD0 + i));
        m_pMethod->addButton(pRadio, i);
        pInner->addWidget(pRadio);
        if (i != 1) {
            continue;
        }
        // The third pass of method 1, indented under it.
        auto* pPass3 = new QVBoxLayout;
        pPass3->setContentsMargins(24, 0, 0, 4);
        pPass3->setSpacing(4);
        m_pPass3Label = new QLabel(HVLoadString(IDS_PREF_PASS3), pGroup);
        m_pPass3Label->setObjectName(QStringLiteral("static_pass3"));
        pPass3->addWidget(m_pPass3Label);
        m_pPass3 = new QButtonGroup(this);
        auto* pRandom = new QRadioButton(HVLoadString(IDS_PREF_PASS3_RANDOM), pGroup);
        pRandom->setObjectName(QString::number(IDC_RADIO_PASS3_RANDOM));
        m_pPass3->addButton(pRandom, 0);
        pPass3->addWidget(pRandom);
        auto* pPatternRow = new QHBoxLayout;
        auto* pPatternRadio = new QRadioButton(HVLoadString(IDS_PREF_PASS3_PATTERN), pGroup);
        pPatternRadio->setObjectName(QString::number(IDC_RADIO_PASS3_PATTERN));
        m_pPass3->addButton(pPatternRadio, 1);
        m_pPattern = new CHHexEdit(pGroup);
        m_pPattern->setObjectName(QString::number(IDC_EDIT_PATTERN));
        m_pPattern->setMaxLength(kPatternLength);
        m_pPattern->setFixedWidth(m_pPattern->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 12);
        pPatternRow->addWidget(pPatternRadio);
        pPatternRow->addWidget(m_pPattern);
        pPatternRow->addStretch(1);
        pPass3->addLayout(pPatternRow);
        pInner->addLayout(pPass3);
    }
    pLayout->addWidget(pGroup);
    connect(m_pMethod, &QButtonGroup::idClicked, this, [this] { UpdateControls(); });
    connect(m_pPass3, &QButtonGroup::idClicked, this, [this] { UpdateControls(); });
}

void CPref_Wipe::LoadSettings()
{
    const CMRegistryData& reg = Settings();
    CheckIndex(m_pMethod, reg.m_nWipeType);
    CheckIndex(m_pPass3, reg.m_nDodPass3Type);
    m_pPattern->setText(reg.m_strDoDPass3.left(kPatternLength));
}

void CPref_Wipe::UpdateControls()
{
    const bool bThreePass = m_pMethod->checkedId() == 1;
    m_pPass3Label->setEnabled(bThreePass);
    for (QAbstractButton* pButton : m_pPass3->buttons()) {
        pButton->setEnabled(bThreePass);
    }
    m_pPattern->setEnabled(bThreePass && m_pPass3->checkedId() == 1);
}

QString CPref_Wipe::PatternText() const
{
    const QString strText = m_pPattern->text();
    if (strText.isEmpty()) {
        return QString::fromLatin1(kDefaultPattern);
    }
    return strText.rightJustified(kPatternLength, QLatin1Char('0'));
}

void CPref_Wipe::StoreSettings()
{
    CMRegistryData& reg = Settings();
    if (m_pMethod->checkedId() >= 0) {
        reg.m_nWipeType = m_pMethod->checkedId();
    }
    if (m_pPass3->checkedId() >= 0) {
        reg.m_nDodPass3Type = m_pPass3->checkedId();
    }
    reg.m_strDoDPass3 = PatternText();
}

void CPref_Wipe::ResetDefaults()
{
    Settings().ResetWipeDefaults();
}

}  // namespace HVDialogs::HVPref
