#pragma once

// Starts the real programs (HV_BUILD_BIN) in a temporary home: HOME and the XDG folders point
// inside it, stdin is /dev/null, output goes to files, the program has a session of its own.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace faults {

inline std::string ProgramPath(const std::string& name)
{
    const char* bin = std::getenv("HV_BUILD_BIN");
    return std::string(bin != nullptr ? bin : "build/bin") + "/" + name;
}

// Whether the tests run in a sanitizer build (preloading and killing are not for those).
inline bool SanitizerBuild()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

class CProgram
{
public:
    // home: the temporary home folder; outputs go to home/out.txt and home/err.txt.
    CProgram(std::string home, std::vector<std::string> args, std::vector<std::string> extraEnv = {})
        : m_home(std::move(home))
    {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string s(*e);
            if (s.rfind("HOME=", 0) != 0 && s.rfind("XDG_", 0) != 0 && s.rfind("DISPLAY=", 0) != 0
                && s.rfind("WAYLAND_DISPLAY=", 0) != 0 && s.rfind("LD_PRELOAD=", 0) != 0) {
                env.push_back(s);
            }
        }
        env.push_back("HOME=" + m_home);
        env.push_back("XDG_CONFIG_HOME=" + m_home + "/.config");
        env.push_back("XDG_DATA_HOME=" + m_home + "/.local/share");
        env.push_back("XDG_STATE_HOME=" + m_home + "/.local/state");
        env.push_back("XDG_CACHE_HOME=" + m_home + "/.cache");
        env.push_back("XDG_RUNTIME_DIR=" + m_home + "/.run");
        for (auto& e : extraEnv) {
            env.push_back(e);
        }
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(
            &actions, 1, (m_home + "/out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(
            &actions, 2, (m_home + "/err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
        if (posix_spawn(&m_pid, argv[0], &actions, &attr, argv.data(), envp.data()) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
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
    [[nodiscard]] std::string Err() const { return Slurp(m_home + "/err.txt"); }
    [[nodiscard]] std::string Out() const { return Slurp(m_home + "/out.txt"); }

private:
    static std::string Slurp(const std::string& path)
    {
        std::string s;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            char buf[4096];
            std::size_t n = 0;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
                s.append(buf, n);
            }
            std::fclose(f);
        }
        return s;
    }

    std::string m_home;
    pid_t m_pid = -1;
    bool m_bWaited = false;
    int m_nStatus = 0;
};

}  // namespace faults
