#pragma once

#include "engines/CEncryptManager.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/TempDir.h"

// Helpers shared by the encryption engine's tests: a private temporary folder, file contents.
namespace enctest {

inline constexpr std::uint32_t kCheapMemKiB = 64;  // tests use a cheap key derivation
inline constexpr std::uint32_t kCheapPasses = 1;

using CTempDir = hvtest::CTempDir;

inline std::vector<std::uint8_t> Pattern(std::size_t n, std::uint32_t seed = 1)
{
    return hvtest::Scrambled(n, seed * 2654435761U + 12345U);
}

using hvtest::Exists;
using hvtest::List;
using hvtest::ReadFile;
using hvtest::WriteFile;

// An engine with a cheap key derivation and the given password and key length.
class CCheapEngine : public CEncryptManager
{
public:
    explicit CCheapEngine(std::u16string_view pw = u"correct horse", int keyLen = 32)
    {
        SetKdfCost(kCheapMemKiB, kCheapPasses);
        EXPECT_NE(EnablerEncryptionType(keyLen, pw), 0);
    }
};

}  // namespace enctest
