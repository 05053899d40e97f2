#pragma once

#include "signal/CSignal.h"

// The event-pumping waits on a CSignal, for threads that run a Qt event loop (library
// HVSignalPump, Qt Core). A user-interface thread waiting for its worker keeps serving the
// queued and blocking-queued calls that the worker makes to it.

// Waits until signal.IsSet() == bExpectSet while dispatching the thread's Qt events.
// iTimeoutMs -1 waits without limit. Returns false on time-out, or when the application was
// asked to quit during the wait (the quit request is posted again for the outer event loop).
[[nodiscard]] bool WaitPumping(CSignal& signal, bool bExpectSet, int iTimeoutMs);
// WaitPumping(signal, false, iTimeoutMs): waits until the signal is no longer set.
[[nodiscard]] bool Wait(CSignal& signal, int iTimeoutMs);
