#include "ui/CHPageDlg.h"

#include "ui/HVAccessible.h"
#include "ui/HVControlStates.h"
#include "ui/HVUiTheme.h"

CHPageDlg::CHPageDlg(int nPageId, QWidget* pParent)
    : QWidget(pParent)
    , m_nPageId(nPageId)
    , m_clrBk(HVUi::ThemeColor(QStringLiteral("clrDlgBk"), HVUi::SystemColor(HVUi::SysColor::ButtonFace)))
    , m_clrText(HVUi::ThemeColor(QStringLiteral("clrDlgText"), HVUi::SystemColor(HVUi::SysColor::ButtonText)))
    , m_layout(new CResizableLayout(this))
{
    setObjectName(QStringLiteral("CHPageDlg_%1").arg(nPageId));
    ApplyColors();
}

CHPageDlg::~CHPageDlg() = default;

bool CHPageDlg::CreatePage()
{
    if (m_bCreated) {
        return true;
    }
    if (m_templateSize.isValid()) {
        resize(m_templateSize);
    }
    if (!OnCreatePage()) {
        return false;
    }
    m_bCreated = true;
    OnInitDialog();
    HVUi::NameControls(this);
    HVUi::OrderTabs(this);
    // Controls made while the page is already on screen (a page built or rebuilt when it is
    // switched to) start hidden; show those the page did not hide on purpose.
    if (isVisible()) {
        for (QWidget* pChild : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (pChild->isHidden() && !pChild->isWindow() && !pChild->testAttribute(Qt::WA_WState_ExplicitShowHide)) {
                pChild->show();
            }
        }
    }
    return true;
}

void CHPageDlg::DestroyPage()
{
    if (m_bCreated) {
        m_bCreated = false;
        OnDestroyPage();
    }
}

void CHPageDlg::SetBackgroundColor(const QColor& clr)
{
    m_clrBk = clr;
    ApplyColors();
}

void CHPageDlg::SetTextColor(const QColor& clr)
{
    m_clrText = clr;
    ApplyColors();
}

void CHPageDlg::EnableEraseBackground(bool bEnable)
{
    m_bErase = bEnable;
    ApplyColors();
}

void CHPageDlg::ApplyColors()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, m_clrBk);
    pal.setColor(QPalette::WindowText, m_clrText);
    // Disabled labels, check boxes and radio buttons are greyed, and still readable.
    HVUi::SetDisabledColors(pal);
    setPalette(pal);
    setAutoFillBackground(m_bErase);
    update();
}
