#pragma once

#include <QColor>
#include <QRect>

#include <vector>

class QPainter;

// The two colours of a gradient and the band rule every drawn title uses: the rectangle is cut
// along its length into bands of max(1, length / 128) pixels; the band that starts at offset p
// gets, per channel, start + (end - start) * p / length, rounded toward zero.
class CDrawGradient
{
public:
    struct SBand
    {
        int nOffset = 0;
        int nWidth = 0;
        QColor color;
    };

    CDrawGradient() = default;
    CDrawGradient(const QColor& clrStart, const QColor& clrEnd);
    virtual ~CDrawGradient() = default;

    void SetGradientColors(const QColor& clrStart, const QColor& clrEnd);
    [[nodiscard]] QColor GradientStart() const { return m_clrGradient1; }
    [[nodiscard]] QColor GradientEnd() const { return m_clrGradient2; }

    // The bands of a run of nLength pixels, from the start colour's end on.
    [[nodiscard]] static std::vector<SBand> Bands(int nLength, const QColor& clrStart, const QColor& clrEnd);
    // bHorizontal: the colour changes from left to right, else from top to bottom.
    // bFromFarEnd: the start colour sits at the right (bottom) end.
    static void Fill(QPainter& painter,
                     const QRect& rc,
                     const QColor& clrStart,
                     const QColor& clrEnd,
                     bool bHorizontal,
                     bool bFromFarEnd = false);
    void FillGradient(QPainter& painter, const QRect& rc, bool bHorizontal, bool bFromFarEnd = false) const;

protected:
    QColor m_clrGradient1;
    QColor m_clrGradient2;
};
