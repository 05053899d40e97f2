#pragma once

// The controls' narrow view of the look: colour conversion, the system colours they default to,
// and the theme's accessibility flag and named colours. The theme table registers itself here at
// start-up (SetThemeAccess); until it does, every control uses its built-in defaults.
#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>

namespace HVUi {

// Windows colour value 0x00BBGGRR, as the theme and the setters write colours.
[[nodiscard]] inline QColor FromColorRef(std::uint32_t ref)
{
    return QColor(
        static_cast<int>(ref & 0xFFu), static_cast<int>((ref >> 8) & 0xFFu), static_cast<int>((ref >> 16) & 0xFFu));
}

[[nodiscard]] inline std::uint32_t ToColorRef(const QColor& c)
{
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8)
           | (static_cast<std::uint32_t>(c.blue()) << 16);
}

// System colours from the application palette.
enum class SysColor
{
    ButtonFace,
    ButtonHighlight,
    ButtonShadow,
    ButtonText,
    Window,
    WindowText,
    Highlight,
    HighlightText,
    GrayText,
};
[[nodiscard]] QColor SystemColor(SysColor which);

struct SThemeAccess
{
    std::function<bool()> accessibility;                         // accessibility colours in force
    std::function<bool(const QString& key, QColor& out)> color;  // a theme colour by its key
};

void SetThemeAccess(SThemeAccess access);
[[nodiscard]] bool AccessibilityMode();
// The theme's colour of that key ("clrTitleGradiant2"), or the fallback when there is no theme.
[[nodiscard]] QColor ThemeColor(const QString& key, const QColor& fallback);

}  // namespace HVUi
