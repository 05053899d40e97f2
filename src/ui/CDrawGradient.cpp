#include "ui/CDrawGradient.h"

#include <QPainter>

#include <algorithm>

CDrawGradient::CDrawGradient(const QColor& clrStart, const QColor& clrEnd)
    : m_clrGradient1(clrStart)
    , m_clrGradient2(clrEnd)
{
}

void CDrawGradient::SetGradientColors(const QColor& clrStart, const QColor& clrEnd)
{
    m_clrGradient1 = clrStart;
    m_clrGradient2 = clrEnd;
}

std::vector<CDrawGradient::SBand> CDrawGradient::Bands(int nLength, const QColor& clrStart, const QColor& clrEnd)
{
    std::vector<SBand> bands;
    if (nLength <= 0) {
        return bands;
    }
    const int nStep = std::max(1, nLength / 128);
    const auto channel = [nLength](int s, int e, int p) { return s + (e - s) * p / nLength; };
    bands.reserve(static_cast<size_t>(nLength / nStep + 1));
    for (int p = 0; p < nLength; p += nStep) {
        SBand band;
        band.nOffset = p;
        band.nWidth = std::min(nStep, nLength - p);
        band.color = QColor(channel(clrStart.red(), clrEnd.red(), p),
                            channel(clrStart.green(), clrEnd.green(), p),
                            channel(clrStart.blue(), clrEnd.blue(), p));
        bands.push_back(band);
    }
    return bands;
}

void CDrawGradient::Fill(QPainter& painter,
                         const QRect& rc,
                         const QColor& clrStart,
                         const QColor& clrEnd,
                         bool bHorizontal,
                         bool bFromFarEnd)
{
    const int nLength = bHorizontal ? rc.width() : rc.height();
    for (const SBand& band : Bands(nLength, clrStart, clrEnd)) {
        const int nFrom = bFromFarEnd ? nLength - band.nOffset - band.nWidth : band.nOffset;
        const QRect part = bHorizontal ? QRect(rc.left() + nFrom, rc.top(), band.nWidth, rc.height())
                                       : QRect(rc.left(), rc.top() + nFrom, rc.width(), band.nWidth);
        painter.fillRect(part, band.color);
    }
}

void CDrawGradient::FillGradient(QPainter& painter, const QRect& rc, bool bHorizontal, bool bFromFarEnd) const
{
    Fill(painter, rc, m_clrGradient1, m_clrGradient2, bHorizontal, bFromFarEnd);
}
