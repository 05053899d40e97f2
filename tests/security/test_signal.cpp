#include "signal/CSignalPump.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "test_signal";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

}  // namespace

TEST(CSignal, StartsClearedAndIsManualReset)
{
    CSignal sig;
    EXPECT_FALSE(sig.IsSet());
    sig.Set();
    EXPECT_TRUE(sig.IsSet());
    EXPECT_TRUE(sig.IsSet()) << "a manual-reset event stays set after being observed";
    sig.Reset();
    EXPECT_FALSE(sig.IsSet());
    EXPECT_TRUE(CSignal(true).IsSet());
}

TEST(CSignal, WaitStateAcrossThreads)
{
    CSignal sig;
    EXPECT_FALSE(sig.WaitState(true, 10));
    std::thread t([&] { sig.Set(); });
    EXPECT_TRUE(sig.WaitState(true, -1));
    t.join();
}

TEST(CSignalPump, WaitOnClearedSignalReturnsAtOnceAfterPumping)
{
    App();
    CSignal busy;
    bool bServed = false;
    QTimer::singleShot(0, [&] { bServed = true; });
    EXPECT_TRUE(Wait(busy, -1));
    EXPECT_TRUE(bServed) << "posted work is dispatched in the first pass";
}

TEST(CSignalPump, WaitZeroOnSetSignalTimesOut)
{
    App();
    CSignal busy(true);
    EXPECT_FALSE(Wait(busy, 0));
    EXPECT_TRUE(WaitPumping(busy, true, 0)) << "already in the expected state";
}

// The worker calls into the GUI thread synchronously while the GUI thread waits for it.
TEST(CSignalPump, ServesBlockingCallsFromWorkerDuringWait)
{
    App();
    QObject target;
    CSignal busy;
    busy.Set();
    std::atomic<int> progress{0};
    std::thread worker([&] {
        for (int i = 1; i <= 5; ++i) {
            QMetaObject::invokeMethod(
                &target, [&progress, i] { progress = i; }, Qt::BlockingQueuedConnection);
        }
        busy.Reset();
    });
    EXPECT_TRUE(Wait(busy, -1));
    worker.join();
    EXPECT_EQ(progress.load(), 5);
}

TEST(CSignalPump, QuitDuringWaitEndsWaitAndIsPostedAgain)
{
    QCoreApplication& app = App();
    CSignal busy(true);
    bool bWaitResult = true;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(5, [] { QCoreApplication::quit(); });
        bWaitResult = Wait(busy, -1);
    });
    QTimer guard;
    guard.setSingleShot(true);
    guard.callOnTimeout([&] { QCoreApplication::exit(99); });
    guard.start(5000);
    const int rc = app.exec();  // ends only if the re-posted quit reaches the outer loop
    EXPECT_FALSE(bWaitResult);
    EXPECT_EQ(rc, 0) << "the outer loop must see the re-posted quit, not the guard";
}
