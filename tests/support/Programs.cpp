#include "support/Programs.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace hvtest {

namespace {

std::string NameOf(const std::string& strEntry)
{
    return strEntry.substr(0, strEntry.find('='));
}

bool Dropped(const std::string& strName, const std::vector<std::string>& extra)
{
    if (strName == "HOME" || strName.rfind("XDG_", 0) == 0 || strName == "DISPLAY" || strName == "WAYLAND_DISPLAY"
        || strName == "LD_PRELOAD") {
        return true;
    }
    for (const std::string& e : extra) {
        if (NameOf(e) == strName) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string ProgramPath(const std::string& strName)
{
    const char* pszBin = std::getenv("HV_BUILD_BIN");
    return std::string(pszBin != nullptr ? pszBin : "build/bin") + "/" + strName;
}

std::vector<std::string> HomeEnvironment(const std::string& strHome, const std::vector<std::string>& extra)
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string strEntry(*e);
        if (!Dropped(NameOf(strEntry), extra)) {
            env.push_back(strEntry);
        }
    }
    env.push_back("HOME=" + strHome);
    env.push_back("XDG_CONFIG_HOME=" + strHome + "/.config");
    env.push_back("XDG_DATA_HOME=" + strHome + "/.local/share");
    env.push_back("XDG_STATE_HOME=" + strHome + "/.local/state");
    env.push_back("XDG_CACHE_HOME=" + strHome + "/.cache");
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

std::vector<std::string> Words(const std::string& strLine, const std::vector<std::string>& values)
{
    std::vector<std::string> words;
    std::istringstream in(strLine);
    for (std::string strWord; in >> strWord;) {
        const bool bValue = strWord.size() == 2 && strWord[0] == '%' && strWord[1] >= '1' && strWord[1] <= '9';
        const auto nIndex = static_cast<std::size_t>(strWord[1] - '1');
        words.push_back(bValue ? (nIndex < values.size() ? values[nIndex] : std::string()) : strWord);
    }
    return words;
}

std::vector<char*> ExecList(std::vector<std::string>& strings)
{
    std::vector<char*> list;
    for (std::string& s : strings) {
        list.push_back(s.data());
    }
    list.push_back(nullptr);
    return list;
}

int StartProgram(std::vector<std::string> args,
                 std::vector<std::string> env,
                 const std::string& strOut,
                 const std::string& strErr,
                 const std::string& strCwd)
{
    std::vector<char*> argv = ExecList(args);
    std::vector<char*> envp = ExecList(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, strOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, strErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!strCwd.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, strCwd.c_str());
    }
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return pid;
}

int RunInChild(const std::function<int()>& fn)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(fn());
    }
    int nStatus = 0;
    if (pid < 0 || ::waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus)) {
        return -1;
    }
    return WEXITSTATUS(nStatus);
}

std::string ReadText(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace hvtest
