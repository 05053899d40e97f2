#pragma once

#include <functional>
#include <string>
#include <vector>

namespace hvtest {

// The build's program of that name: $HV_BUILD_BIN/<name> ("build/bin" when it is not set).
std::string ProgramPath(const std::string& strName);

// The environment of a program the test starts in a home of its own: this process's, without
// the variables that name a home, an XDG folder, a display or a preloaded library, with HOME and
// the XDG base folders below strHome, then extra (which replaces what it names).
std::vector<std::string> HomeEnvironment(const std::string& strHome, const std::vector<std::string>& extra = {});

// The words of a command line, split at spaces; a word "%1".."%9" is that value whole (so a
// value may hold spaces).
std::vector<std::string> Words(const std::string& strLine, const std::vector<std::string>& values = {});

// Pointers to the strings, ending in nullptr, for exec and spawn.
std::vector<char*> ExecList(std::vector<std::string>& strings);

// Starts args[0] with that environment in a session of its own (no controlling terminal, so it
// can ask nothing), stdin /dev/null, stdout and stderr into the files named; strCwd: the folder
// it starts in (empty: this process's). The process id, -1 when it could not be started.
int StartProgram(std::vector<std::string> args,
                 std::vector<std::string> env,
                 const std::string& strOut,
                 const std::string& strErr,
                 const std::string& strCwd = {});

// Runs fn in a child process (a fork of this one); fn's result as the child's exit code, -1 when
// the child did not exit normally.
int RunInChild(const std::function<int()>& fn);

// A file's bytes as text (empty when it cannot be read).
std::string ReadText(const std::string& strPath);

// Whether the tests run in a sanitizer build (preloading and killing are not for those).
constexpr bool SanitizerBuild()
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

}  // namespace hvtest
