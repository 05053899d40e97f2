#pragma once

#include <condition_variable>
#include <mutex>

// Manual-reset event shared by a run's user-interface thread and its worker.
//
// Set, Reset, IsSet and WaitState may be called from any thread and need nothing but the
// standard library, so the engines can carry CSignal members without linking Qt.
// The waits that keep the calling thread's Qt event loop running (WaitPumping, Wait) are free
// functions in signal/CSignalPump.h, library HVSignalPump (Qt Core).
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

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cond;
    bool m_bSet;
};
