#include "ui/HVScreenFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace HVUi {

QSize FitMinimum(const QSize& minimum, const QRect& rcAvailable, const QSize& frameExtra)
{
    if (!rcAvailable.isValid()) {
        return minimum;
    }
    const QSize room = (rcAvailable.size() - frameExtra).expandedTo(QSize(1, 1));
    return minimum.boundedTo(room);
}

QRect FitRect(const QRect& rcWanted, const QRect& rcAvailable, const QSize& frameExtra)
{
    if (!rcAvailable.isValid()) {
        return rcWanted;
    }
    const QSize room = (rcAvailable.size() - frameExtra).expandedTo(QSize(1, 1));
    QRect rc(rcWanted.topLeft(), rcWanted.size().boundedTo(room));
    // The frame's top-left is the window's top-left less the frame's left and top share; the
    // share is taken as half of the extra width and all of the extra height less that half.
    const int nRight = rcAvailable.right() - frameExtra.width() / 2;
    const int nBottom = rcAvailable.bottom() - frameExtra.width() / 2;
    const int nLeft = rcAvailable.left() + frameExtra.width() / 2;
    const int nTop = rcAvailable.top() + frameExtra.height() - frameExtra.width() / 2;
    if (rc.right() > nRight) {
        rc.moveRight(nRight);
    }
    if (rc.bottom() > nBottom) {
        rc.moveBottom(nBottom);
    }
    if (rc.left() < nLeft) {
        rc.moveLeft(nLeft);
    }
    if (rc.top() < nTop) {
        rc.moveTop(nTop);
    }
    return rc;
}

void FitToScreen(QWidget* pWindow)
{
    if (pWindow == nullptr || !pWindow->isWindow()
        || (pWindow->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))) {
        return;
    }
    QScreen* pScreen = pWindow->screen();
    if (pScreen == nullptr) {
        pScreen = QGuiApplication::primaryScreen();
    }
    if (pScreen == nullptr) {
        return;
    }
    // Centre of the window decides the screen it belongs to (a restored placement may name a
    // screen that is no longer there).
    if (QScreen* pAt = QGuiApplication::screenAt(pWindow->geometry().center())) {
        pScreen = pAt;
    }
    const QRect rcAvailable = pScreen->availableGeometry();
    QSize frameExtra = pWindow->frameGeometry().size() - pWindow->geometry().size();
    frameExtra = frameExtra.expandedTo(QSize(0, 0));
    const QSize minimum = FitMinimum(pWindow->minimumSize(), rcAvailable, frameExtra);
    if (minimum != pWindow->minimumSize()) {
        pWindow->setMinimumSize(minimum);
    }
    const QRect rc = FitRect(pWindow->geometry(), rcAvailable, frameExtra);
    if (rc != pWindow->geometry()) {
        pWindow->setGeometry(rc);
    }
}

bool CScreenFitFilter::eventFilter(QObject* pObject, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::Show && pObject->isWidgetType()) {
        auto* pWidget = static_cast<QWidget*>(pObject);
        if (pWidget->isWindow() && pWidget->windowType() != Qt::Popup && pWidget->windowType() != Qt::ToolTip) {
            FitToScreen(pWidget);
        }
    }
    return false;
}

}  // namespace HVUi
