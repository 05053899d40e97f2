#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hvtest {

using Bytes = std::vector<std::uint8_t>;

// n pseudo-random bytes from a linear congruential generator started at nState (the same bytes
// for the same start, so a test can make them again).
Bytes Scrambled(std::size_t n, std::uint32_t nState);

// Writes a file with those bytes (or that text), replacing it; false when that failed.
bool WriteFile(const std::string& strPath, const Bytes& data);
bool WriteText(const std::string& strPath, const std::string& strText);
// A file's bytes (empty when it cannot be read).
Bytes ReadFile(const std::string& strPath);
// Whether something (a dangling link too) is at that path.
bool Exists(const std::string& strPath);
// The permission bits of what a path names (links followed); -1 when there is nothing.
int ModeOf(const std::string& strPath);
// The names in a folder, dot files included, without "." and "..", sorted.
std::vector<std::string> List(const std::string& strDir);

}  // namespace hvtest
