#pragma once

// Keeps windows on the screen: a window, its minimum size and a restored placement never reach
// past the screen's available area (the desktop's panels excluded), whatever the scale factor.
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

namespace HVUi {

// The rectangle a window of rcWanted (frame excluded) takes inside rcAvailable: no larger than
// the area less the frame's extra width and height, moved inside it, its top-left kept where it
// already fits. An invalid area leaves the rectangle as it is.
[[nodiscard]] QRect FitRect(const QRect& rcWanted, const QRect& rcAvailable, const QSize& frameExtra = QSize(0, 0));
// A minimum size no larger than what fits in the area.
[[nodiscard]] QSize FitMinimum(const QSize& minimum, const QRect& rcAvailable, const QSize& frameExtra = QSize(0, 0));

// Applies both to a top-level window on its screen (a maximised or full-screen window is left to
// the window manager).
void FitToScreen(QWidget* pWindow);

// Fits every top-level window when it is shown; the program installs one on the application.
class CScreenFitFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;
};

}  // namespace HVUi
