#pragma once

#include <string>
#include <vector>

// Starts a program detached from the caller: no shell, the arguments as they are (one argument
// each, blanks and quotes intact), in a session of its own, with no zombie left behind.
class CHVExtSpawn
{
public:
    // Runs strProgram (a path, not searched in PATH) with the arguments; argv[0] is the program
    // path. True when the program was executed; false when the path is empty or exec failed.
    [[nodiscard]] static bool StartDetached(const std::string& strProgram, const std::vector<std::string>& args);
};
