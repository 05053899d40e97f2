#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "support/Programs.h"
#include "support/TempDir.h"

// A fresh folder, removed again at the end of the test; its path as a filesystem path.
class CTempFolder : public hvtest::CTempDir
{
public:
    [[nodiscard]] std::filesystem::path Path() const { return hvtest::CTempDir::Path(); }
};

inline std::vector<std::string> ReadLines(const std::filesystem::path& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A log line "2026-12-08 00:06:43.123 [4711] text" taken apart: the prefix (time, thread id) is
// checked by a regular expression, the text returned as it stands (std::regex recurses per
// character, so it never sees the text).
struct CLine
{
    bool bValid = false;
    std::string strThread;
    std::string strText;
};

inline CLine Split(const std::string& line)
{
    static const std::regex kPrefix(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} \[(\d+)\] $)");
    CLine parsed;
    const size_t close = line.find("] ");
    std::smatch m;
    const std::string prefix = line.substr(0, close == std::string::npos ? 0 : close + 2);
    if (close != std::string::npos && std::regex_match(prefix, m, kPrefix)) {
        parsed.bValid = true;
        parsed.strThread = m[1].str();
        parsed.strText = line.substr(close + 2);
    }
    return parsed;
}

// The text part of each line; fails the test on a line that is not in the format.
inline std::vector<std::string> Texts(const std::filesystem::path& path)
{
    std::vector<std::string> texts;
    for (const std::string& line : ReadLines(path)) {
        const CLine parsed = Split(line);
        EXPECT_TRUE(parsed.bValid) << line.substr(0, 80);
        texts.push_back(parsed.bValid ? parsed.strText : line);
    }
    return texts;
}

// The permission bits of a file or folder (~0u when it cannot be looked at).
inline unsigned Mode(const std::filesystem::path& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : ~0u;
}
