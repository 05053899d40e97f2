#pragma once

// Starts the real programs (HV_BUILD_BIN) in a temporary home: HOME and the XDG folders point
// inside it, stdin is /dev/null, output goes to files, the program has a session of its own.
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/Programs.h"

namespace faults {

using hvtest::ProgramPath;
using hvtest::SanitizerBuild;

class CProgram
{
public:
    // home: the temporary home folder; outputs go to home/out.txt and home/err.txt.
    CProgram(std::string home, std::vector<std::string> args, std::vector<std::string> extraEnv = {})
        : m_home(std::move(home))
    {
        extraEnv.insert(extraEnv.begin(), "XDG_RUNTIME_DIR=" + m_home + "/.run");
        m_pid = hvtest::StartProgram(
            std::move(args), hvtest::HomeEnvironment(m_home, extraEnv), m_home + "/out.txt", m_home + "/err.txt");
    }
    ~CProgram()
    {
        if (m_pid > 0 && !m_bWaited) {
            ::kill(m_pid, SIGKILL);
            (void)Wait();
        }
    }
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    [[nodiscard]] bool Started() const { return m_pid > 0; }
    // True while it runs.
    [[nodiscard]] bool Running()
    {
        if (m_bWaited || m_pid <= 0) {
            return false;
        }
        int status = 0;
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            m_bWaited = true;
            m_nStatus = status;
            return false;
        }
        return true;
    }
    // Kills it with SIGKILL; true when it was still running then.
    bool Kill()
    {
        if (!Running()) {
            return false;
        }
        const bool bKilled = ::kill(m_pid, SIGKILL) == 0;
        (void)Wait();
        return bKilled && WIFSIGNALED(m_nStatus);
    }
    // The exit status, or -1 when it did not exit normally.
    int Wait()
    {
        if (!m_bWaited && m_pid > 0) {
            while (::waitpid(m_pid, &m_nStatus, 0) < 0) {
            }
            m_bWaited = true;
        }
        return WIFEXITED(m_nStatus) ? WEXITSTATUS(m_nStatus) : -1;
    }
    [[nodiscard]] std::string Err() const { return hvtest::ReadText(m_home + "/err.txt"); }
    [[nodiscard]] std::string Out() const { return hvtest::ReadText(m_home + "/out.txt"); }

private:
    std::string m_home;
    pid_t m_pid = -1;
    bool m_bWaited = false;
    int m_nStatus = 0;
};

}  // namespace faults
