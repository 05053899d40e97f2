// The welcome page's painting: header and footer pictures, the two frames and the task captions.
#include "pages/CHDPageWelcome.h"
#include "resources/HVResourceStrings.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CThemeDraw.h"

#include <QPainter>

namespace {

// The footer picture repeats its band of 10 pixels from this x to the right edge.
constexpr int kFooterBandX = 459;
constexpr int kFooterBandWidth = 10;
constexpr HVCOLORREF kFramePen = 0xB4B4B4;
constexpr int kCornerEllipse = 12;

}  // namespace

QColor CHDPageWelcome::LinkPanelFace()
{
    return CGlobalColors::Color(g_GlobalColors.IsDark() ? g_GlobalColors.clrDlgBkSub : HVCOLORREF(0xE6E6E6));
}

QRect CHDPageWelcome::CaptionRect(const QRect& rcButton)
{
    // From 8 right of the button's left edge and 6 below it, to 100 right of its right edge and
    // 32 below it.
    const int nLeft = rcButton.left() + 8;
    const int nTop = rcButton.bottom() + 1 + 6;
    return {nLeft, nTop, rcButton.right() + 1 + 100 - nLeft, 32 - 6};
}

QRect CHDPageWelcome::LinkPanelRect() const
{
    if (m_pFrameLinks == nullptr) {
        return {};
    }
    QRect rc = m_pFrameLinks->geometry();
    rc.setRight(width() - 1 + 20);
    return rc;
}

void CHDPageWelcome::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter p(this);
    const QRect rc = rect();
    p.fillRect(rc, CGlobalColors::Color(g_GlobalColors.clrDlgBk));

    // Header: a black strip as high as MainHeader, MainHeader at the left, MainHeaderR at the right.
    const CThemeImage& header = g_GlobalColors.Image(EThemeImage::MainHeader);
    const CThemeImage& headerRight = g_GlobalColors.Image(EThemeImage::MainHeaderR);
    p.fillRect(0, 0, rc.width(), header.Size().height(), Qt::black);
    header.Draw(p, 0, 0);
    headerRight.Draw(p, rc.width() - headerRight.Size().width(), 0);

    // Footer: MainFoter at the bottom left, its band repeated to the right edge.
    const CThemeImage& footer = g_GlobalColors.Image(EThemeImage::MainFoter);
    if (footer.HasBitmap()) {
        const QSize size = footer.Size();
        const int nY = rc.height() - size.height();
        footer.Draw(p, 0, nY);
        TileBitmap(footer.Bitmap(),
                   p,
                   kFooterBandX,
                   nY,
                   rc.width() - kFooterBandX,
                   kFooterBandX,
                   0,
                   kFooterBandWidth,
                   size.height());
    }

    if (m_pFrameTasks == nullptr) {
        return;
    }
    // The frame around the tasks, and the light panel behind the links running off the right edge.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(CGlobalColors::Color(kFramePen), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(m_pFrameTasks->geometry(), kCornerEllipse / 2, kCornerEllipse / 2);
    p.setBrush(LinkPanelFace());
    p.drawRoundedRect(LinkPanelRect(), kCornerEllipse / 2, kCornerEllipse / 2);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Captions under the task buttons.
    p.setFont(m_font);
    p.setPen(CGlobalColors::Color(g_GlobalColors.clrHomePageText));
    p.setBrush(Qt::NoBrush);
    const std::pair<CBCGButton*, unsigned> captions[] = {
        {m_pSecureData, IDS_WELCOME_SECURE},
        {m_pHideManagement, IDS_WELCOME_HIDE},
        {m_pDecryptData, IDS_WELCOME_DECRYPT},
    };
    for (const auto& [pButton, nText] : captions) {
        if (pButton != nullptr) {
            p.drawText(
                CaptionRect(pButton->geometry()), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, HVLoadString(nText));
        }
    }
}
