#include "ui/CColoredWnd.h"

#include "ui/HVControlStates.h"
#include "ui/HVUiTheme.h"

namespace HVUi {

QColor DialogBackground()
{
    return ThemeColor(QStringLiteral("clrDlgBk"), SystemColor(SysColor::ButtonFace));
}

QColor DialogText()
{
    return ThemeColor(QStringLiteral("clrDlgText"), SystemColor(SysColor::ButtonText));
}

void ApplyWindowColors(QWidget& wnd, const QColor& clrBk, const QColor& clrText, bool bErase, bool bGreyDisabled)
{
    QPalette pal = wnd.palette();
    pal.setColor(QPalette::Window, clrBk);
    pal.setColor(QPalette::WindowText, clrText);
    if (bGreyDisabled) {
        SetDisabledColors(pal);
    }
    wnd.setPalette(pal);
    wnd.setAutoFillBackground(bErase);
    wnd.update();
}

}  // namespace HVUi
