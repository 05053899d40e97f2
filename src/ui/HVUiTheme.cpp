#include "ui/HVUiTheme.h"

#include <QApplication>
#include <QPalette>

namespace HVUi {
namespace {
SThemeAccess& Access()
{
    static SThemeAccess access;
    return access;
}
}  // namespace

QColor SystemColor(SysColor which)
{
    const QPalette pal = QApplication::palette();
    switch (which) {
    case SysColor::ButtonFace:
        return pal.color(QPalette::Button);
    case SysColor::ButtonHighlight:
        return pal.color(QPalette::Light);
    case SysColor::ButtonShadow:
        return pal.color(QPalette::Mid);
    case SysColor::ButtonText:
        return pal.color(QPalette::ButtonText);
    case SysColor::Window:
        return pal.color(QPalette::Base);
    case SysColor::WindowText:
        return pal.color(QPalette::Text);
    case SysColor::Highlight:
        return pal.color(QPalette::Highlight);
    case SysColor::HighlightText:
        return pal.color(QPalette::HighlightedText);
    case SysColor::GrayText:
        return pal.color(QPalette::Disabled, QPalette::Text);
    }
    return pal.color(QPalette::Button);
}

void SetThemeAccess(SThemeAccess access)
{
    Access() = std::move(access);
}

bool AccessibilityMode()
{
    const auto& fn = Access().accessibility;
    return fn ? fn() : false;
}

QColor ThemeColor(const QString& key, const QColor& fallback)
{
    QColor c;
    const auto& fn = Access().color;
    if (fn && fn(key, c) && c.isValid()) {
        return c;
    }
    return fallback;
}

}  // namespace HVUi
