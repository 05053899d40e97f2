#include "ui/CHPageDlg.h"

#include "ui/HVAccessible.h"

CHPageDlg::CHPageDlg(int nPageId, QWidget* pParent)
    : CColoredWnd(true, pParent)  // disabled labels, check boxes and radio buttons greyed
    , m_nPageId(nPageId)
    , m_layout(new CResizableLayout(this))
{
    setObjectName(QStringLiteral("CHPageDlg_%1").arg(nPageId));
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
