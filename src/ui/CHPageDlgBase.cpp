#include "ui/CHPageDlgBase.h"

CHPageDlgBase::CHPageDlgBase(QWidget* pParent)
    : CColoredWnd(false, pParent)
{
    setObjectName(QStringLiteral("CHPageDlgBase"));
}
