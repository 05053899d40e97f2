#pragma once

#include <QColor>
#include <QWidget>

// A progress bar that fills with a colour gradient and can show its percentage. The gradient is
// laid over the whole bar (so its colours say how far the bar is), cut into as many bands as the
// largest channel difference, and shown up to the filled extent; the rest is background.
class CGradientProgressCtrl : public QWidget
{
    Q_OBJECT
public:
    explicit CGradientProgressCtrl(QWidget* pParent = nullptr);

    void SetRange(int nLower, int nUpper);
    void SetPos(int nPos);
    void SetStep(int nStep);
    int StepIt();  // advances by the step, back to the lower bound past the upper; returns the old position
    [[nodiscard]] int GetPos() const { return m_nPos; }
    [[nodiscard]] int GetLower() const { return m_nLower; }
    [[nodiscard]] int GetUpper() const { return m_nUpper; }
    [[nodiscard]] int GetStep() const { return m_nStep; }

    void SetStartColor(const QColor& clr);
    void SetEndColor(const QColor& clr);
    void SetBkColor(const QColor& clr);
    void SetTextColor(const QColor& clr);
    void SetShowPercent(bool bShow);
    void SetVertical(bool bVertical);  // fills from the bottom up
    [[nodiscard]] QColor GetStartColor() const { return m_clrStart; }
    [[nodiscard]] QColor GetEndColor() const { return m_clrEnd; }
    [[nodiscard]] QColor GetBkColor() const { return m_clrBk; }
    [[nodiscard]] QColor GetTextColor() const { return m_clrText; }
    [[nodiscard]] bool IsShowPercent() const { return m_bShowPercent; }
    [[nodiscard]] bool IsVertical() const { return m_bVertical; }

    // Pixels of nLength that the current position fills; 0 when the position is outside
    // (lower, upper].
    [[nodiscard]] int FilledExtent(int nLength) const;
    // "%3.0f %%" of the position within the range ("  50 %" for 50 of 0 to 100); empty for an
    // empty range.
    [[nodiscard]] QString PercentText() const;
    [[nodiscard]] static QString PercentText(int nLower, int nUpper, int nPos);

    // The password-strength look: orange to green, range 0 to 128, step 1, position 0.
    static void StylePasswordMeter(CGradientProgressCtrl& bar);

    [[nodiscard]] QSize sizeHint() const override;

signals:
    void PositionChanged(int nPos);

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void PaintBar(QPainter& painter, const QRect& rc) const;

    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    int m_nPos = 0;
    QColor m_clrStart;
    QColor m_clrEnd;
    QColor m_clrBk;
    QColor m_clrText;
    bool m_bShowPercent = false;
    bool m_bVertical = false;
};
