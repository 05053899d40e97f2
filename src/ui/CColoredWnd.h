#pragma once

#include <QColor>
#include <QWidget>

#include <utility>

namespace HVUi {

// The theme's dialog background and text colours (the system's button colours without a theme).
[[nodiscard]] QColor DialogBackground();
[[nodiscard]] QColor DialogText();
// Puts the two colours into the window's palette, disabled text greyed and still readable when
// bGreyDisabled; bErase: the window fills its background before it paints.
void ApplyWindowColors(QWidget& wnd, const QColor& clrBk, const QColor& clrText, bool bErase, bool bGreyDisabled);

}  // namespace HVUi

// A window with its own background and text colour, the theme's dialog colours until set.
template <class TBase>
class CColoredWnd : public TBase
{
public:
    void SetBackgroundColor(const QColor& clr)
    {
        m_clrBk = clr;
        ApplyColors();
    }
    void SetTextColor(const QColor& clr)
    {
        m_clrText = clr;
        ApplyColors();
    }
    [[nodiscard]] QColor GetBackgroundColor() const { return m_clrBk; }
    [[nodiscard]] QColor GetTextColor() const { return m_clrText; }
    // Off: the window paints its whole area itself.
    void EnableEraseBackground(bool bEnable)
    {
        m_bErase = bEnable;
        ApplyColors();
    }

protected:
    template <class... TArgs>
    explicit CColoredWnd(bool bGreyDisabled, TArgs&&... args)
        : TBase(std::forward<TArgs>(args)...)
        , m_bGreyDisabled(bGreyDisabled)
    {
        ApplyColors();
    }

private:
    void ApplyColors() { HVUi::ApplyWindowColors(*this, m_clrBk, m_clrText, m_bErase, m_bGreyDisabled); }

    QColor m_clrBk = HVUi::DialogBackground();
    QColor m_clrText = HVUi::DialogText();
    bool m_bErase = true;
    bool m_bGreyDisabled;
};
