#pragma once

#include "engines/CSecureBuffer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Command line of the hvcrypt tool.
struct SHvcryptOptions
{
    std::string strCommand;  // encrypt, decrypt, verify, wipe
    std::vector<std::string> files;
    std::string strPasswordFile;
    std::string strOutput;  // only with one file
    int nKeyBits = 256;
    int nMethod = 0;
    std::uint32_t nKdfMemKiB = 0;  // 0: the engine's default
    std::uint32_t nKdfPasses = 0;
    std::uint16_t nFormatVersion = 0;  // 0: the engine's; 1 only for tests (not in the usage text)
    bool bQuiet = false;
    bool bUnlinkOnly = false;  // wipe: a hard-linked file loses only the name given
    bool bHelp = false;
};

// Returns "" on success, otherwise what is wrong with the command line.
[[nodiscard]] std::string HvcryptParse(int argc, char** argv, SHvcryptOptions& opt);
[[nodiscard]] const char* HvcryptUsage();

// The password as UTF-16 in secure memory (char16_t units). From the file (its first line), or
// from a hidden prompt on the terminal, asked twice when bConfirm. Returns "" on success.
[[nodiscard]] std::string HvcryptReadPassword(const SHvcryptOptions& opt, bool bConfirm, CSecureBuffer& utf16);
