#pragma once

#include "signal/CSignal.h"

#include <thread>

// The lifecycle both runners' workers share: the worker thread, the busy and stop signals, the
// join and the cancel.
//
// A run's Initialise sets busy and clears stop; Run() does the work on the calling thread and
// clears busy as its last act on every path; Start() runs it on a new thread. A GUI cancels by
// setting stop and waiting for busy with CSignal::Wait, which keeps its events flowing while the
// worker still asks it things; a thread without events may call Cancel().
class CRunWorker
{
public:
    CRunWorker() = default;
    virtual ~CRunWorker();  // the derived class must have called StopAndJoin()

    CRunWorker(const CRunWorker&) = delete;
    CRunWorker& operator=(const CRunWorker&) = delete;

    virtual int Run() = 0;
    // Runs Run() on a new thread (a previous run's thread is joined first).
    void Start();
    void Join();

    // Sets stop; Cancel also waits (blocking, no events) for busy to clear, then clears stop.
    virtual void RequestStop() { StopSignal().Set(); }
    void Cancel();

    [[nodiscard]] virtual CSignal& BusySignal() = 0;
    [[nodiscard]] virtual CSignal& StopSignal() = 0;

protected:
    // Stops and joins a worker that still runs; each derived destructor calls it first, while
    // the members the worker uses are still alive.
    void StopAndJoin();
    virtual void ClearStop() { StopSignal().Reset(); }

private:
    std::thread m_thread;
};
