#pragma once

#include "security/IRunnerHost.h"
#include "security/SRunCounters.h"
#include "security/SRunDetails.h"

#include <atomic>

class CDataSecurityMngr;
class CTerminal;
class CTerminalUi;

// The runners of the terminal program: each runs its work class on a worker thread while the
// calling thread waits for the run's busy signal; the worker's questions and password prompts
// are answered in the terminal (CTerminalUi) from the worker thread, its progress is the
// terminal's progress line. An interrupt (Ctrl+C, see RequestStop) sets the run's stop signal.
//
// The host remembers what the last runs did, for the program's summary and exit status.
class CTerminalRunnerHost : public IRunnerHost
{
public:
    CTerminalRunnerHost(CTerminal& terminal, CTerminalUi& ui, CDataSecurityMngr*& pMngr);

    [[nodiscard]] std::unique_ptr<IProgrssRun> CreateProgrssManager() override;
    [[nodiscard]] std::unique_ptr<IHideRun> CreateHideProgrss() override;

    // Asks the running run (and any later one) to stop. Safe from a signal handler.
    static void RequestStop() { s_bStop.store(true); }
    [[nodiscard]] static bool StopRequested() { return s_bStop.load(); }

    // What the last runs did.
    bool m_bRan = false;
    bool m_bHideRan = false;
    bool m_bCancelled = false;
    bool m_bNoSpace = false;
    bool m_bLocked = false;  // refused: another run of this user held the run lock
    SRunCounters m_counters;
    SHideCounters m_hideCounters;
    SRunDetails m_details;      // of the last encrypt, wipe or decrypt run
    SRunDetails m_hideDetails;  // of the last hide run

    CTerminal& m_terminal;
    CTerminalUi& m_ui;
    CDataSecurityMngr*& m_pMngr;

private:
    static std::atomic<bool> s_bStop;
};
