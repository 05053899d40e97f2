#include "prefs/CPrefPageGeneral.h"

#include "resources/HVResourceStrings.h"
#include "settings/CHDGlobalData.h"
#include "settings/CMRegistryData.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

namespace HVDialogs::HVPref {

namespace {

QComboBox* MakeActionCombo(QWidget* pParent, int nId)
{
    auto* pCombo = new QComboBox(pParent);
    pCombo->setObjectName(QString::number(nId));
    pCombo->addItem(HVLoadString(IDS_PREF_ACTION_ASK));
    pCombo->addItem(HVLoadString(IDS_PREF_ACTION_PROCESS));
    pCombo->addItem(HVLoadString(IDS_PREF_ACTION_SKIP));
    return pCombo;
}

// A stored index outside the list shows no choice, as a drop-down list does.
void SelectIndex(QComboBox* pCombo, int nIndex)
{
    pCombo->setCurrentIndex(nIndex >= 0 && nIndex < pCombo->count() ? nIndex : -1);
}

}  // namespace

CPref_General::CPref_General(CMRegistryData& settings, QWidget* pParent)
    : CPrefPageBase(kPageId, IDS_PREF_GENERAL, settings, pParent)
{
    setObjectName(QStringLiteral("CPref_General"));
}

void CPref_General::BuildControls(QVBoxLayout* pLayout)
{
    QBoxLayout* pInner = nullptr;
    QWidget* pGroup = MakeGroup(QString(), pInner);
    auto* pGrid = new QGridLayout;
    pGrid->setHorizontalSpacing(10);
    pGrid->setVerticalSpacing(6);
    m_pHidden = MakeActionCombo(pGroup, IDC_COMBO_HIDDEN);
    m_pReadOnly = MakeActionCombo(pGroup, IDC_COMBO_READONLY);
    m_pSystem = MakeActionCombo(pGroup, IDC_COMBO_SYSTEM);
    const std::pair<unsigned, QComboBox*> rows[] = {
        {IDS_PREF_HIDDEN_FILES, m_pHidden},
        {IDS_PREF_READONLY_FILES, m_pReadOnly},
        {IDS_PREF_SYSTEM_FILES, m_pSystem},
    };
    int nRow = 0;
    for (const auto& [nText, pCombo] : rows) {
        auto* pLabel = new QLabel(HVLoadString(nText), pGroup);
        pLabel->setBuddy(pCombo);
        pGrid->addWidget(pLabel, nRow, 0);
        pGrid->addWidget(pCombo, nRow, 1);
        ++nRow;
    }
    pGrid->setColumnStretch(2, 1);
    pInner->addLayout(pGrid);
    pLayout->addWidget(pGroup);

    m_pResolveLinks = new QCheckBox(HVLoadString(IDS_PREF_RESOLVE_LINKS), this);
    m_pResolveLinks->setObjectName(QString::number(IDC_CHECK_RESOLVE_LINKS));
    pLayout->addWidget(m_pResolveLinks);

    auto* pLogRow = new QHBoxLayout;
    m_pAdvLog = new QCheckBox(HVLoadString(IDS_PREF_ADV_LOG), this);
    m_pAdvLog->setObjectName(QString::number(IDC_CHECK_ADVLOG));
    auto* pFolder = new CBCGButton(HVLoadString(IDS_PREF_OPEN_LOG_FOLDER), this);
    pFolder->SetFaceColor(CGlobalColors::Color(g_GlobalColors.clrDlgBtnFace));
    pFolder->SetFaceColorHot(CGlobalColors::Color(g_GlobalColors.clrDlgBtnFaceHot));
    pFolder->SetTextColor(CGlobalColors::Color(g_GlobalColors.clrDlgBtnText));
    pFolder->SetTextColorHot(CGlobalColors::Color(g_GlobalColors.clrDlgBtnTextHot));
    pFolder->SetHorzMargin(10);
    m_pLogFolder = pFolder;
    m_pLogFolder->setObjectName(QString::number(IDC_BUTTON_LOG_FOLDER));
    connect(m_pLogFolder, &QAbstractButton::clicked, this, &CPref_General::OnBnClickedLogFolder);
    pLogRow->addWidget(m_pAdvLog);
    pLogRow->addStretch(1);
    pLogRow->addWidget(m_pLogFolder);
    pLayout->addLayout(pLogRow);
}

void CPref_General::LoadSettings()
{
    const CMRegistryData& reg = Settings();
    SelectIndex(m_pHidden, reg.m_nActionHidden);
    SelectIndex(m_pReadOnly, reg.m_nActionReadOnly);
    SelectIndex(m_pSystem, reg.m_nActionSystem);
    m_pAdvLog->setChecked(reg.m_nEnableAdvLog != 0);
    m_pResolveLinks->setChecked(reg.m_nResolveLinks != 0);
}

void CPref_General::StoreSettings()
{
    CMRegistryData& reg = Settings();
    reg.m_nEnableAdvLog = m_pAdvLog->isChecked() ? 1 : 0;
    reg.m_nResolveLinks = m_pResolveLinks->isChecked() ? 1 : 0;
    // A list without a choice (a stored value outside the list) keeps its value.
    const std::pair<QComboBox*, int*> lists[] = {
        {m_pHidden, &reg.m_nActionHidden},
        {m_pReadOnly, &reg.m_nActionReadOnly},
        {m_pSystem, &reg.m_nActionSystem},
    };
    for (const auto& [pCombo, pnValue] : lists) {
        if (pCombo->currentIndex() >= 0) {
            *pnValue = pCombo->currentIndex();
        }
    }
}

void CPref_General::ResetDefaults()
{
    Settings().ResetGeneralDefaults();
}

void CPref_General::OnBnClickedLogFolder()
{
    // Start-up made "Logs" in the user's data folder; the log file lives there.
    const QString strFolder = g_HDGlobalData.m_strUserDataFolder;
    if (!strFolder.isEmpty()) {
        (void)QDesktopServices::openUrl(QUrl::fromLocalFile(strFolder));
    }
}

}  // namespace HVDialogs::HVPref
