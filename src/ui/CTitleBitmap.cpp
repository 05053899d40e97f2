#include "ui/CTitleBitmap.h"

#include "ui/HVUiTheme.h"

#include <QPainter>

CTitleBitmap::CTitleBitmap() = default;

CTitleBitmap::~CTitleBitmap() = default;

bool CTitleBitmap::Create(QWidget* pParent, CBCGButton* pHelpButton, bool bShowHelpButton, unsigned nIconId)
{
    return CTitleDraw::Create(pParent, pHelpButton, bShowHelpButton, nIconId);
}

void CTitleBitmap::SetBackgroundBitmap(const QPixmap& bitmap)
{
    m_background = bitmap;
}

void CTitleBitmap::DrawBackground()
{
    if (HVUi::AccessibilityMode() || m_background.isNull()) {
        CTitleDrawGradient::DrawBackground();
        return;
    }
    DrawFrame();
    QPainter& p = *m_pPainter;
    const QRect rc = m_rcTitle.adjusted(0, 0, -m_nBorderWidth, 0);
    p.save();
    p.setClipRect(rc);
    p.drawPixmap(rc.topLeft(), m_background);
    p.restore();
    DrawHelpLine();
    if (!m_bHideText) {
        DrawTitleText();
    }
}
