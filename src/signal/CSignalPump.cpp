// The event-pumping waits of CSignal: a user-interface thread waiting for its worker keeps
// serving the queued and blocking-queued calls that the worker makes to it.
#include "signal/CSignalPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QObject>

namespace {

// Swallows a quit request that arrives during a wait so that it can be handed on afterwards.
class CQuitCatcher : public QObject
{
public:
    bool m_bQuit = false;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pWatched == QCoreApplication::instance() && pEvent->type() == QEvent::Quit) {
            m_bQuit = true;
            return true;
        }
        return false;
    }
};

constexpr int kSliceMs = 1;  // longest stretch without event processing

}  // namespace

bool WaitPumping(CSignal& signal, bool bExpectSet, int iTimeoutMs)
{
    QCoreApplication* pApp = QCoreApplication::instance();
    if (pApp == nullptr) {
        return signal.WaitState(bExpectSet, iTimeoutMs);
    }
    CQuitCatcher catcher;
    pApp->installEventFilter(&catcher);
    QElapsedTimer clock;
    clock.start();
    bool bResult = false;
    for (;;) {
        if (iTimeoutMs != -1 && clock.elapsed() > iTimeoutMs) {
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents();
        if (catcher.m_bQuit) {
            break;
        }
        if (signal.WaitState(bExpectSet, iTimeoutMs == 0 ? 0 : kSliceMs)) {
            bResult = true;
            break;
        }
    }
    pApp->removeEventFilter(&catcher);
    if (catcher.m_bQuit) {
        QCoreApplication::postEvent(pApp, new QEvent(QEvent::Quit));
    }
    return bResult;
}

bool Wait(CSignal& signal, int iTimeoutMs)
{
    return WaitPumping(signal, false, iTimeoutMs);
}
