#pragma once

#include <condition_variable>
#include <mutex>

// Manual-reset event shared by a run's user-interface thread and its worker.
//
// Set, Reset, IsSet and WaitState may be called from any thread and need nothing but the
// standard library, so the engines can carry CSignal members without linking Qt.
// WaitPumping and Wait keep the calling thread's Qt event loop running while they wait; they
// live in the HVSignalPump library (Qt Core), which every GUI-side caller links.
class CSignal
{
public:
    explicit CSignal(bool bInitiallySet = false);
    virtual ~CSignal();

    CSignal(const CSignal&) = delete;
    CSignal& operator=(const CSignal&) = delete;

    bool Set();
    bool Reset();
    [[nodiscard]] bool IsSet() const;

    // Blocks the calling thread (no event processing) until IsSet() == bExpectSet.
    // iTimeoutMs -1 waits without limit. Returns false on time-out.
    [[nodiscard]] bool WaitState(bool bExpectSet, int iTimeoutMs) const;

    // Waits until IsSet() == bExpectSet while dispatching the thread's Qt events.
    // Returns false on time-out, or when the application was asked to quit during the wait
    // (the quit request is posted again for the outer event loop).
    [[nodiscard]] bool WaitPumping(bool bExpectSet, int iTimeoutMs);

    // WaitPumping(false, iTimeoutMs): waits until the signal is no longer set.
    [[nodiscard]] bool Wait(int iTimeoutMs);

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cond;
    bool m_bSet;
};
