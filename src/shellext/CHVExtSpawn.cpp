#include "shellext/CHVExtSpawn.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/close_range.h>
#include <sys/syscall.h>
#endif

extern char** environ;

namespace {

// Everything after fork() runs in a copy of a possibly multi-threaded process: only
// async-signal-safe calls from here on.
[[noreturn]] void RunGrandchild(const char* pszProgram, char* const* argv, char* const* envp, int nErrFd)
{
    sigset_t all;
    sigemptyset(&all);
    sigprocmask(SIG_SETMASK, &all, nullptr);
    struct sigaction dfl
    {
    };
    dfl.sa_handler = SIG_DFL;
    for (int nSig = 1; nSig < NSIG; ++nSig) {
        sigaction(nSig, &dfl, nullptr);
    }
    const int nNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nNull >= 0) {
        dup2(nNull, STDIN_FILENO);  // dup2 clears close-on-exec on fd 0
    }
#if defined(__linux__) && defined(SYS_close_range)
    // Descriptors the caller left open are not handed on.
    syscall(SYS_close_range, 3U, ~0U, CLOSE_RANGE_CLOEXEC);
#endif
    execve(pszProgram, argv, envp);
    const int nErr = errno;
    [[maybe_unused]] const ssize_t n = write(nErrFd, &nErr, sizeof nErr);
    _exit(127);
}

}  // namespace

bool CHVExtSpawn::StartDetached(const std::string& strProgram, const std::vector<std::string>& args)
{
    if (strProgram.empty() || strProgram.find('\0') != std::string::npos) {
        return false;
    }
    // All memory the children need is prepared before fork.
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(strProgram.c_str()));
    for (const std::string& strArg : args) {
        argv.push_back(const_cast<char*>(strArg.c_str()));
    }
    argv.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // The intermediate child: a new session, then the program in a grandchild that is
        // adopted by init when this one ends at once.
        ::close(fds[0]);
        ::setsid();
        const pid_t pidGrand = ::fork();
        if (pidGrand < 0) {
            const int nErr = errno;
            [[maybe_unused]] const ssize_t n = ::write(fds[1], &nErr, sizeof nErr);
            ::_exit(1);
        }
        if (pidGrand == 0) {
            RunGrandchild(argv[0], argv.data(), environ, fds[1]);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
    }
    // End of file without data: the program was executed (the pipe closed on exec).
    int nErr = 0;
    ssize_t nRead = 0;
    do {
        nRead = ::read(fds[0], &nErr, sizeof nErr);
    } while (nRead < 0 && errno == EINTR);
    ::close(fds[0]);
    return nRead == 0;
}
