#include "ui/CTitleDrawGradient.h"

#include "ui/HVUiTheme.h"

#include <QPainter>

CTitleDrawGradient::CTitleDrawGradient()
    : CDrawGradient(HVUi::ThemeColor(QStringLiteral("clrTitleGradiant1"), HVUi::FromColorRef(0xF3D4C2)),
                    HVUi::ThemeColor(QStringLiteral("clrTitleGradiant2"), HVUi::FromColorRef(0xF3D4C2)))
{
}

CTitleDrawGradient::~CTitleDrawGradient() = default;

void CTitleDrawGradient::DrawGradientStrip()
{
    QPainter& p = *m_pPainter;
    if (HVUi::AccessibilityMode()) {
        p.fillRect(m_rcTitle, m_clrTitleFill);
        p.save();
        p.setPen(HVUi::SystemColor(HVUi::SysColor::ButtonHighlight));
        p.setBrush(Qt::NoBrush);
        p.drawRect(m_rcTitle.adjusted(0, 0, -1, -1));
        p.restore();
    } else {
        FillGradient(p, m_rcTitle, false);
    }
}

void CTitleDrawGradient::DrawBackground()
{
    DrawFrame();
    DrawGradientStrip();
    DrawHelpLine();
    DrawTitleText();
}
