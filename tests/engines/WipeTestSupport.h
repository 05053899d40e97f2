#pragma once

// Helpers shared by the wipe engine's tests.

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/TempDir.h"

namespace wipetest {

inline constexpr std::size_t kChunk = 1U << 20;  // the engine's write size

using CTempDir = hvtest::CTempDir;

inline std::vector<std::uint8_t> MakeContent(std::size_t nSize, std::uint8_t nSeed = 7)
{
    return hvtest::Scrambled(nSize, 0x9E3779B9U ^ nSeed);
}

using hvtest::Exists;
using hvtest::List;
using hvtest::ReadFile;
using hvtest::WriteFile;

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
