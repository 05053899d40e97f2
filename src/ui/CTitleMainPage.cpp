#include "ui/CTitleMainPage.h"

#include "ui/HVUiTheme.h"

#include <QPainter>

CTitleMainPage::CTitleMainPage()
    : CDrawGradient(HVUi::ThemeColor(QStringLiteral("clrTitleSubGradiant1"), HVUi::FromColorRef(0xAAAAAA)),
                    HVUi::ThemeColor(QStringLiteral("clrTitleSubGradiant2"), HVUi::FromColorRef(0xFFFFFF)))
{
}

CTitleMainPage::~CTitleMainPage() = default;

void CTitleMainPage::DrawBackground()
{
    QPainter& p = *m_pPainter;
    FillGradient(p, m_rcOuter, true);
    DrawTitleText();
    // Decoration: a rule under the title in the border colour, fading out with the gradient.
    if (m_nBorderWidth > 0 && m_rcOuter.height() > m_nBorderWidth) {
        const QRect rcRule(
            m_rcOuter.left(), m_rcOuter.bottom() + 1 - m_nBorderWidth, m_rcOuter.width(), m_nBorderWidth);
        CDrawGradient::Fill(p, rcRule, m_clrBorder, m_clrGradient2, true);
    }
}
