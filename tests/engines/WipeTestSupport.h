#pragma once

// Helpers shared by the wipe engine's tests.

#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/TempDir.h"

namespace wipetest {

inline constexpr std::size_t kChunk = 1U << 20;  // the engine's write size

using CTempDir = hvtest::CTempDir;

inline std::vector<std::uint8_t> MakeContent(std::size_t nSize, std::uint8_t nSeed = 7)
{
    std::vector<std::uint8_t> data(nSize);
    std::uint32_t x = 0x9E3779B9U ^ nSeed;
    for (auto& b : data) {
        x = x * 1664525U + 1013904223U;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return data;
}

inline bool WriteFile(const std::string& strPath, const std::vector<std::uint8_t>& data)
{
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

inline std::vector<std::uint8_t> ReadFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Exists(const std::string& strPath)
{
    struct stat st
    {
    };
    return lstat(strPath.c_str(), &st) == 0;
}

// Names in a folder, without "." and "..".
inline std::vector<std::string> ListFolder(const std::string& strPath)
{
    std::vector<std::string> names;
    if (DIR* pDir = opendir(strPath.c_str())) {
        while (const dirent* pEntry = readdir(pDir)) {
            const std::string strName = pEntry->d_name;
            if (strName != "." && strName != "..") {
                names.push_back(strName);
            }
        }
        closedir(pDir);
    }
    return names;
}

// True when every byte of data is pattern[i % size].
inline bool AllPattern(const std::vector<std::uint8_t>& data, const std::vector<std::uint8_t>& pattern)
{
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != pattern[i % pattern.size()]) {
            return false;
        }
    }
    return true;
}

}  // namespace wipetest
