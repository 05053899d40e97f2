#pragma once

#include "engines/CEncryptManager.h"

#include <cstdint>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/TempDir.h"

// Helpers shared by the encryption engine's tests: a private temporary folder, file contents.
namespace enctest {

inline constexpr std::uint32_t kCheapMemKiB = 64;  // tests use a cheap key derivation
inline constexpr std::uint32_t kCheapPasses = 1;

using CTempDir = hvtest::CTempDir;

inline std::vector<std::uint8_t> Pattern(std::size_t n, std::uint32_t seed = 1)
{
    std::vector<std::uint8_t> v(n);
    std::uint32_t x = seed * 2654435761u + 12345u;
    for (auto& b : v) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return v;
}

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& data)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return ::lstat(path.c_str(), &st) == 0;
}

// Names in a folder, without "." and "..".
inline std::vector<std::string> List(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") {
                names.push_back(n);
            }
        }
        ::closedir(d);
    }
    return names;
}

// An engine with a cheap key derivation and the given password and key length.
inline void CheapEngine(CEncryptManager& em, std::u16string_view pw = u"correct horse", int keyLen = 32)
{
    em.SetKdfCost(kCheapMemKiB, kCheapPasses);
    (void)em.EnablerEncryptionType(keyLen, pw);
}

}  // namespace enctest
