#pragma once

// One state model for the skinned controls: the colours of a control in its normal, hot (mouse
// over), pressed, focused and disabled state are derived here from the theme's colours, and every
// text ends up readable on its background (contrast ratio at least kMinTextContrast), in the
// light theme, its dark variant and high contrast alike.
#include <QColor>

class QPalette;

namespace HVUi {

// Contrast a text needs against its background; a focus ring or frame against what it borders.
inline constexpr double kMinTextContrast = 4.5;
inline constexpr double kMinRingContrast = 3.0;

// Relative luminance of a colour (sRGB, 0 for black to 1 for white).
[[nodiscard]] double RelativeLuminance(const QColor& clr);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
[[nodiscard]] double ContrastRatio(const QColor& a, const QColor& b);
// The colour itself when it reaches fMin against the background, else the nearest mix of it
// toward black or white (whichever is further from the background) that does.
[[nodiscard]] QColor Readable(const QColor& clr, const QColor& clrBack, double fMin = kMinTextContrast);
// A disabled text: visibly between the text and the background, still readable on it.
[[nodiscard]] QColor Greyed(const QColor& clrText, const QColor& clrBack);
// The face of a disabled control: its own face washed toward the page behind it.
[[nodiscard]] QColor WashedFace(const QColor& clrFace, const QColor& clrPage);
// Mix of two colours, fAmount of b.
[[nodiscard]] QColor Mix(const QColor& a, const QColor& b, double fAmount);

// Gives a palette its disabled texts (window text, text, button text), greyed and readable on
// the palette's window, base and button colours; its focus highlight stays as it is.
void SetDisabledColors(QPalette& pal);

}  // namespace HVUi
