#include "ui/CButtonST.h"

CButtonST::CButtonST(QWidget* pParent)
    : QToolButton(pParent)
{
    setObjectName(QStringLiteral("CButtonST"));
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(16, 16));
}

void CButtonST::SetIcon(const QIcon& icon)
{
    setIcon(icon);
    const QList<QSize> sizes = icon.availableSizes();
    if (!sizes.isEmpty()) {
        setIconSize(sizes.first().boundedTo(QSize(48, 48)));
    }
}
