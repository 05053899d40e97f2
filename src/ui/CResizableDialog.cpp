#include "ui/CResizableDialog.h"

#include "ui/HVAccessible.h"
#include "ui/HVScreenFit.h"

#include <QShowEvent>
#include <QTimer>

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
        HVUi::NameControls(this);
        HVUi::OrderTabs(this);
        // Button boxes lay their buttons out (and chain them) again while the dialog is shown.
        QTimer::singleShot(0, this, [this] { HVUi::OrderTabs(this); });
        // A restored placement or a minimum size made for a smaller scale stays on the screen.
        HVUi::FitToScreen(this);
    }
    QDialog::showEvent(pEvent);
}
