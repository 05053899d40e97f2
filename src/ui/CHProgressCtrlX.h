#pragma once

#include "ui/CGradientProgressCtrl.h"

// The control library's progress bar: a two-colour gradient and an optional percentage.
class CHProgressCtrlX : public CGradientProgressCtrl
{
    Q_OBJECT
public:
    explicit CHProgressCtrlX(QWidget* pParent = nullptr)
        : CGradientProgressCtrl(pParent)
    {
        setObjectName(QStringLiteral("CHProgressCtrlX"));
    }

    void SetGradientColors(const QColor& clrStart, const QColor& clrEnd)
    {
        SetStartColor(clrStart);
        SetEndColor(clrEnd);
    }
};
