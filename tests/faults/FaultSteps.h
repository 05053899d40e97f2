#pragma once

// Failing the engines' file-system calls from a chosen step on (see FaultSyscalls.c).
#include <cerrno>
#include <string>
#include <vector>

#include "FaultSyscalls.h"

namespace faults {

// Arms the fault for a scope.
class CArmed
{
public:
    explicit CArmed(long nFailFrom, int nErrno = ENOSPC) { hvfault_arm(HVFAULT_ALL, nFailFrom, nErrno); }
    ~CArmed() { Stop(); }
    CArmed(const CArmed&) = delete;
    CArmed& operator=(const CArmed&) = delete;
    long Stop()
    {
        if (!m_bStopped) {
            m_nCount = hvfault_disarm();
            m_bStopped = true;
        }
        return m_nCount;
    }

private:
    bool m_bStopped = false;
    long m_nCount = 0;
};

inline std::vector<std::string> g_stepNames;  // of the last counting run

// Counts the steps of fn when nothing fails.
template <typename Fn>
inline long CountSteps(Fn fn)
{
    CArmed armed(-1);
    fn();
    const long n = armed.Stop();
    g_stepNames.clear();
    for (long i = 0; i < n; ++i) {
        g_stepNames.emplace_back(hvfault_call_name(i));
    }
    return n;
}

inline std::string StepTrace(long k)
{
    return "failing from step " + std::to_string(k) + " ("
           + (static_cast<std::size_t>(k) < g_stepNames.size() ? g_stepNames[static_cast<std::size_t>(k)] : "?") + ")";
}

}  // namespace faults
