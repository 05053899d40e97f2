#include "ui/HVControlStates.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace HVUi {
namespace {

double Channel(int n)
{
    const double c = n / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(const QColor& clr)
{
    const QColor c = clr.toRgb();
    return 0.2126 * Channel(c.red()) + 0.7152 * Channel(c.green()) + 0.0722 * Channel(c.blue());
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Mix(const QColor& a, const QColor& b, double fAmount)
{
    const QColor ca = a.toRgb();
    const QColor cb = b.toRgb();
    const auto mix = [fAmount](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * fAmount)); };
    return QColor(mix(ca.red(), cb.red()), mix(ca.green(), cb.green()), mix(ca.blue(), cb.blue()));
}

QColor Readable(const QColor& clr, const QColor& clrBack, double fMin)
{
    if (ContrastRatio(clr, clrBack) >= fMin) {
        return clr.toRgb();
    }
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor target = ContrastRatio(black, clrBack) >= ContrastRatio(white, clrBack) ? black : white;
    for (int i = 1; i <= 20; ++i) {
        const QColor mixed = Mix(clr, target, i / 20.0);
        if (ContrastRatio(mixed, clrBack) >= fMin) {
            return mixed;
        }
    }
    return target;
}

QColor Greyed(const QColor& clrText, const QColor& clrBack)
{
    return Readable(Mix(clrText, clrBack, 0.45), clrBack);
}

QColor WashedFace(const QColor& clrFace, const QColor& clrPage)
{
    return Mix(clrFace, clrPage, 0.6);
}

void SetDisabledColors(QPalette& pal)
{
    const auto set = [&pal](QPalette::ColorRole text, QPalette::ColorRole back) {
        pal.setColor(
            QPalette::Disabled, text, Greyed(pal.color(QPalette::Active, text), pal.color(QPalette::Active, back)));
    };
    set(QPalette::WindowText, QPalette::Window);
    set(QPalette::Text, QPalette::Base);
    set(QPalette::ButtonText, QPalette::Button);
}

}  // namespace HVUi
