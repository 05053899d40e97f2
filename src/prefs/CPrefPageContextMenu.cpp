#include "prefs/CPrefPageContextMenu.h"

#include "resources/HVResourceStrings.h"
#include "settings/CMRegistryData.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace HVDialogs::HVPref {

CPref_ContextMenu::CPref_ContextMenu(CMRegistryData& settings, QWidget* pParent)
    : CPrefPageBase(kPageId, IDS_PREF_CONTEXT_MENU, settings, pParent)
{
    setObjectName(QStringLiteral("CPref_ContextMenu"));
}

void CPref_ContextMenu::BuildControls(QVBoxLayout* pLayout)
{
    const auto makeBox = [this](unsigned nText, int nId) {
        auto* pBox = new QCheckBox(HVLoadString(nText), this);
        pBox->setObjectName(QString::number(nId));
        return pBox;
    };
    m_pShell = makeBox(IDS_PREF_SHELL_ENABLE, IDC_CHECK_SHELL);
    pLayout->addWidget(m_pShell);

    QBoxLayout* pInner = nullptr;
    QWidget* pGroup = MakeGroup(QString(), pInner);
    m_pWipe = makeBox(IDS_PREF_SHELL_WIPE, IDC_CHECK_WIPE);
    m_pAskMaster = makeBox(IDS_PREF_SHELL_ASK, IDC_CHECK_ASK_MASTER);
    m_pMaster = makeBox(IDS_PREF_SHELL_MASTER, IDC_CHECK_MASTER);
    for (QCheckBox* pBox : {m_pWipe, m_pAskMaster, m_pMaster}) {
        pBox->setParent(pGroup);
    }
    pInner->addWidget(m_pWipe);
    pInner->addWidget(m_pAskMaster);
    pInner->addWidget(m_pMaster);
    pLayout->addWidget(pGroup);

    connect(m_pShell, &QAbstractButton::clicked, this, [this] { UpdateControls(); });
    connect(m_pAskMaster, &QAbstractButton::clicked, this, [this] { UpdateControls(); });
}

bool CPref_ContextMenu::OnInitDialog()
{
    m_bShellAtOpen = Settings().m_nShlEnableShell != 0;
    return CPrefPageBase::OnInitDialog();
}

void CPref_ContextMenu::LoadSettings()
{
    const CMRegistryData& reg = Settings();
    m_pShell->setChecked(reg.m_nShlEnableShell != 0);
    m_pWipe->setChecked(reg.m_nShlEnableWipe != 0);
    m_pMaster->setChecked(reg.m_nShlPasswordType != 0);
    m_pAskMaster->setChecked(reg.m_nShlAskMaster != 0);
}

void CPref_ContextMenu::UpdateControls()
{
    const bool bShell = m_pShell->isChecked();
    m_pWipe->setEnabled(bShell);
    m_pAskMaster->setEnabled(bShell);
    if (!m_pAskMaster->isChecked()) {
        m_pMaster->setChecked(false);
        m_pMaster->setEnabled(false);
    } else {
        m_pMaster->setEnabled(bShell);
    }
}

bool CPref_ContextMenu::IsShellEnabled() const
{
    return m_pShell->isChecked();
}

void CPref_ContextMenu::StoreSettings()
{
    CMRegistryData& reg = Settings();
    reg.m_nShlEnableShell = m_pShell->isChecked() ? 1 : 0;
    reg.m_nShlEnableWipe = m_pWipe->isChecked() ? 1 : 0;
    reg.m_nShlPasswordType = m_pMaster->isChecked() ? 1 : 0;
    reg.m_nShlAskMaster = m_pAskMaster->isChecked() ? 1 : 0;
}

void CPref_ContextMenu::ResetDefaults()
{
    Settings().ResetShellDefaults();
}

}  // namespace HVDialogs::HVPref
