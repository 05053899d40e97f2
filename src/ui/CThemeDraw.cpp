#include "ui/CThemeDraw.h"

#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CThemeImageList.h"

#include <QPainter>

void DrawBitmap(const QPixmap& bitmap, QPainter& painter, int x, int y)
{
    if (!bitmap.isNull()) {
        painter.drawPixmap(x, y, bitmap);
    }
}

void DrawBitmapPart(
    const QPixmap& bitmap, QPainter& painter, int x, int y, int nSrcX, int nSrcY, int nWidth, int nHeight)
{
    if (bitmap.isNull() || nWidth <= 0 || nHeight <= 0) {
        return;
    }
    const qreal r = bitmap.devicePixelRatio();
    painter.drawPixmap(QRectF(x, y, nWidth, nHeight), bitmap, QRectF(nSrcX * r, nSrcY * r, nWidth * r, nHeight * r));
}

void TileBitmap(const QPixmap& bitmap,
                QPainter& painter,
                int x,
                int y,
                int nTotalWidth,
                int nSrcX,
                int nSrcY,
                int nStep,
                int nHeight)
{
    if (bitmap.isNull() || nStep <= 0) {
        return;
    }
    for (int nPos = x; nPos < x + nTotalWidth; nPos += nStep) {
        DrawBitmapPart(bitmap, painter, nPos, y, nSrcX, nSrcY, nStep, nHeight);
    }
}

void StyleLinkButton(CBCGButton* pButton, int nImageIndex)
{
    if (!pButton) {
        return;
    }
    if (nImageIndex != -1) {
        const QPixmap icon = g_MainImageList.Image(nImageIndex);
        if (!icon.isNull()) {
            pButton->SetImage(icon);
        }
    }
    pButton->SetVertMargin(0, 2);
    pButton->SetHorzMargin(4);
    const QColor blue = CGlobalColors::Color(0x00FF0000u);
    pButton->SetTextColor(blue);
    pButton->SetTextColorHot(blue);
    const QColor face = CGlobalColors::Color(g_GlobalColors.clrDlgBk);
    pButton->SetFaceColor(face);
    pButton->SetFaceColorHot(face);
    pButton->SetMouseCursorHand(true);
    pButton->SetDrawBorder(false);
}
