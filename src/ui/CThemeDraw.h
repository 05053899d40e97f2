#pragma once

// Drawing helpers of the pages: whole pictures, parts of pictures and repeated bands. Positions
// and sizes are device-independent pixels; a picture drawn at twice the size (device pixel ratio
// 2) is placed and cut in the same units.
#include <QPixmap>

class CBCGButton;
class QPainter;

// Copies the whole picture to (x, y).
void DrawBitmap(const QPixmap& bitmap, QPainter& painter, int x, int y);
// Copies the part (nSrcX, nSrcY, nWidth, nHeight) of the picture to (x, y).
void DrawBitmapPart(
    const QPixmap& bitmap, QPainter& painter, int x, int y, int nSrcX, int nSrcY, int nWidth, int nHeight);
// Copies the part (nSrcX, nSrcY, nStep, nHeight) at x, x + nStep, ... while the position is below
// x + nTotalWidth; the last copy may reach past the end.
void TileBitmap(const QPixmap& bitmap,
                QPainter& painter,
                int x,
                int y,
                int nTotalWidth,
                int nSrcX,
                int nSrcY,
                int nStep,
                int nHeight);

// The look of a web link: icon nImageIndex of the main image list (none for -1), margins 0 above,
// 2 below and 4 left and right, blue text, the dialog background as face, a hand cursor.
void StyleLinkButton(CBCGButton* pButton, int nImageIndex);
