#include "ui/CGradientProgressCtrl.h"

#include "ui/HVUiTheme.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cstdlib>

CGradientProgressCtrl::CGradientProgressCtrl(QWidget* pParent)
    : QWidget(pParent)
    , m_clrStart(HVUi::FromColorRef(0x000000FF))
    , m_clrEnd(HVUi::FromColorRef(0x00FF0000))
    , m_clrBk(HVUi::SystemColor(HVUi::SysColor::ButtonFace))
    , m_clrText(HVUi::FromColorRef(0x00FFFFFF))
{
    setObjectName(QStringLiteral("CGradientProgressCtrl"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CGradientProgressCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
    update();
}

void CGradientProgressCtrl::SetPos(int nPos)
{
    if (nPos == m_nPos) {
        return;
    }
    m_nPos = nPos;
    update();
    emit PositionChanged(nPos);
}

void CGradientProgressCtrl::SetStep(int nStep)
{
    m_nStep = nStep;
}

int CGradientProgressCtrl::StepIt()
{
    const int nOld = m_nPos;
    long long nNext = static_cast<long long>(m_nPos) + m_nStep;
    if (nNext > m_nUpper) {
        nNext = m_nLower + (nNext - m_nUpper);
    }
    SetPos(static_cast<int>(std::clamp<long long>(nNext, m_nLower, m_nUpper)));
    return nOld;
}

void CGradientProgressCtrl::SetStartColor(const QColor& clr)
{
    m_clrStart = clr;
    update();
}

void CGradientProgressCtrl::SetEndColor(const QColor& clr)
{
    m_clrEnd = clr;
    update();
}

void CGradientProgressCtrl::SetBkColor(const QColor& clr)
{
    m_clrBk = clr;
    update();
}

void CGradientProgressCtrl::SetTextColor(const QColor& clr)
{
    m_clrText = clr;
    update();
}

void CGradientProgressCtrl::SetShowPercent(bool bShow)
{
    m_bShowPercent = bShow;
    update();
}

void CGradientProgressCtrl::SetVertical(bool bVertical)
{
    m_bVertical = bVertical;
    update();
}

int CGradientProgressCtrl::FilledExtent(int nLength) const
{
    // The share of the range, not position / upper: with a lower bound other than 0 the bar must
    // agree with the percentage it shows.
    if (nLength <= 0 || !(m_nLower < m_nPos && m_nPos <= m_nUpper)) {
        return 0;
    }
    const long long nDone = static_cast<long long>(m_nPos) - m_nLower;
    const long long nSpan = static_cast<long long>(m_nUpper) - m_nLower;
    return static_cast<int>(nLength * nDone / nSpan);
}

QString CGradientProgressCtrl::PercentText() const
{
    return PercentText(m_nLower, m_nUpper, m_nPos);
}

QString CGradientProgressCtrl::PercentText(int nLower, int nUpper, int nPos)
{
    if (nUpper <= nLower) {
        return QString();
    }
    const double dPercent = (static_cast<double>(std::clamp(nPos, nLower, nUpper)) - nLower) * 100.0
                            / (static_cast<double>(nUpper) - nLower);
    return QString::asprintf("%3.0f %%", dPercent);
}

void CGradientProgressCtrl::StylePasswordMeter(CGradientProgressCtrl& bar)
{
    bar.SetStartColor(HVUi::FromColorRef(0x000080FF));
    bar.SetEndColor(HVUi::FromColorRef(0x0000FF00));
    bar.SetStep(1);
    bar.SetRange(0, 128);
    bar.SetPos(0);
}

QSize CGradientProgressCtrl::sizeHint() const
{
    return m_bVertical ? QSize(18, 120) : QSize(200, 18);
}

void CGradientProgressCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintBar(p, rect());
}

void CGradientProgressCtrl::PaintBar(QPainter& p, const QRect& rc) const
{
    p.fillRect(rc, m_clrBk);
    const int nLength = m_bVertical ? rc.height() : rc.width();
    const int nFilled = FilledExtent(nLength);
    if (nFilled > 0) {
        const int dr = m_clrEnd.red() - m_clrStart.red();
        const int dg = m_clrEnd.green() - m_clrStart.green();
        const int db = m_clrEnd.blue() - m_clrStart.blue();
        const int nBands = std::max({1, std::abs(dr), std::abs(dg), std::abs(db)});
        for (int i = 0; i < nBands; ++i) {
            const int nFrom = static_cast<int>(static_cast<long long>(nLength) * i / nBands);
            if (nFrom >= nFilled) {
                break;  // the first band past the filled extent
            }
            const int nTo = std::min(nFilled, static_cast<int>(static_cast<long long>(nLength) * (i + 1) / nBands));
            if (nTo <= nFrom) {
                continue;
            }
            const QColor clr(m_clrStart.red() + dr * i / nBands,
                             m_clrStart.green() + dg * i / nBands,
                             m_clrStart.blue() + db * i / nBands);
            const QRect band = m_bVertical ? QRect(rc.left(), rc.bottom() + 1 - nTo, rc.width(), nTo - nFrom)
                                           : QRect(rc.left() + nFrom, rc.top(), nTo - nFrom, rc.height());
            p.fillRect(band, clr);
        }
    }
    if (m_bShowPercent) {
        const QString strText = PercentText();
        if (!strText.isEmpty()) {
            // The text colour over the filled part; over the empty part a colour that can be read
            // on the background (the usual white text vanishes on a light one).
            const QRect rcFilled = m_bVertical ? QRect(rc.left(), rc.bottom() + 1 - nFilled, rc.width(), nFilled)
                                               : QRect(rc.left(), rc.top(), nFilled, rc.height());
            const auto luma = [](const QColor& c) { return (299 * c.red() + 587 * c.green() + 114 * c.blue()) / 1000; };
            const int nContrast = std::abs(luma(m_clrText) - luma(m_clrBk));
            const QColor clrOnBk =
                nContrast >= 96 ? m_clrText : (luma(m_clrBk) >= 128 ? QColor(0x30, 0x30, 0x30) : QColor(Qt::white));
            p.setBackgroundMode(Qt::TransparentMode);
            p.save();
            p.setClipRegion(QRegion(rc).subtracted(QRegion(rcFilled)));
            p.setPen(clrOnBk);
            p.drawText(rc, Qt::AlignCenter | Qt::TextSingleLine, strText);
            p.restore();
            if (nFilled > 0) {
                p.save();
                p.setClipRect(rcFilled);
                p.setPen(m_clrText);
                p.drawText(rc, Qt::AlignCenter | Qt::TextSingleLine, strText);
                p.restore();
            }
        }
    }
}
