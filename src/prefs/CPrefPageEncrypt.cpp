#include "prefs/CPrefPageEncrypt.h"

#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "settings/CMRegistryData.h"
#include "ui/CBCGButton.h"
#include "ui/CThemeDraw.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace HVDialogs::HVPref {

CPref_Encrypt::CPref_Encrypt(CMRegistryData& settings, QWidget* pParent)
    : CPrefPageBase(kPageId, IDS_PREF_ENCRYPTION, settings, pParent)
{
    setObjectName(QStringLiteral("CPref_Encrypt"));
}

void CPref_Encrypt::BuildControls(QVBoxLayout* pLayout)
{
    QBoxLayout* pInner = nullptr;
    QWidget* pGroup = MakeGroup(HVLoadString(IDS_PREF_KEY_LENGTH), pInner);
    m_pGroup = new QButtonGroup(this);
    const unsigned texts[] = {IDS_PREF_AES128, IDS_PREF_AES192, IDS_PREF_AES256};
    for (int i = 0; i < 3; ++i) {
        auto* pRadio = new QRadioButton(HVLoadString(texts[i]), pGroup);
        pRadio->setObjectName(QString::number(IDC_RADIO_AES128 + i));
        m_pGroup->addButton(pRadio, i);
        pInner->addWidget(pRadio);
    }
    pLayout->addWidget(pGroup);

    auto* pHelp = new CBCGButton(HVLoadString(IDS_PREF_ENC_HELP), this);
    pHelp->setObjectName(QString::number(IDC_BUTTON_HELP));
    StyleLinkButton(pHelp, -1);
    connect(pHelp, &QAbstractButton::clicked, this, [] {
        (void)CGuiMessageBox::ShowHelp(QString::fromLatin1(kHelpTopic));
    });
    pLayout->addWidget(pHelp, 0, Qt::AlignLeft);
}

void CPref_Encrypt::LoadSettings()
{
    if (QAbstractButton* pButton = m_pGroup->button(Settings().m_nAESType)) {
        pButton->setChecked(true);
    } else {
        // A stored value outside the group leaves no button chosen.
        m_pGroup->setExclusive(false);
        for (QAbstractButton* pRadio : m_pGroup->buttons()) {
            pRadio->setChecked(false);
        }
        m_pGroup->setExclusive(true);
    }
}

int CPref_Encrypt::SelectedType() const
{
    return m_pGroup->checkedId();
}

void CPref_Encrypt::StoreSettings()
{
    // With no button chosen (a stored value outside the group) the value stays as it is.
    if (const int nType = SelectedType(); nType >= 0) {
        Settings().m_nAESType = nType;
    }
}

void CPref_Encrypt::ResetDefaults()
{
    Settings().ResetEncryptDefaults();
}

}  // namespace HVDialogs::HVPref
