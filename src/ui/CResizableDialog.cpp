#include "ui/CResizableDialog.h"

#include <QShowEvent>

CResizableDialog::CResizableDialog(QWidget* pParent)
    : QDialog(pParent)
    , m_layout(new CResizableLayout(this))
{
    setObjectName(QStringLiteral("CResizableDialog"));
    setSizeGripEnabled(true);
}

void CResizableDialog::AddAnchor(QWidget* pControl, SResizeAnchor topLeft, SResizeAnchor bottomRight)
{
    m_layout->AddAnchor(pControl, topLeft, bottomRight);
}

void CResizableDialog::accept()
{
    OnOK();
}

void CResizableDialog::reject()
{
    OnCancel();
}

void CResizableDialog::showEvent(QShowEvent* pEvent)
{
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(pEvent);
}
