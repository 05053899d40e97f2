#pragma once

#include "engines/HvncResult.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The fixed 148-byte header of a version 1 ".hvnc" file (layout in docs/hvnc-format.md).
// Parse() treats its input as hostile: magic and version first, then the header check, then
// every field against the values this version allows, KDF costs against hard caps.
struct CHvncHeader
{
    static constexpr std::array<std::uint8_t, 8> kMagic = {'H', 'V', 'N', 'C', 0x0D, 0x0A, 0x1A, 0x0A};
    static constexpr std::uint16_t kVersion = 1;
    static constexpr std::size_t kSize = 148;
    static constexpr std::size_t kAadSize = 52;         // bytes 0..51 authenticate the key block
    static constexpr std::size_t kKeyBlockOffset = 52;  // sealed key block (64) + tag (16)
    static constexpr std::size_t kKeyBlockSize = 64;    // data key (32) + metadata (32)
    static constexpr std::size_t kCheckOffset = 132;    // SHA-256 of bytes 0..131, first 16 bytes
    static constexpr std::size_t kTagSize = 16;
    static constexpr std::size_t kSaltSize = 16;
    static constexpr std::size_t kNonceSize = 12;
    static constexpr std::uint8_t kKdfArgon2id = 1;
    static constexpr std::uint8_t kChunkLog2 = 16;
    static constexpr std::size_t kChunkSize = std::size_t{1} << kChunkLog2;
    // Costs a reader accepts: nothing may make us allocate more than 1 GiB or run for minutes.
    static constexpr std::uint32_t kMinMemKiB = 8;
    static constexpr std::uint32_t kMaxMemKiB = 1024u * 1024u;
    static constexpr std::uint32_t kMinPasses = 1;
    static constexpr std::uint32_t kMaxPasses = 10;

    std::uint8_t nCipher = 3;  // 1 AES-128-GCM, 2 AES-192-GCM, 3 AES-256-GCM
    std::uint32_t nMemKiB = 0;
    std::uint32_t nPasses = 0;
    std::array<std::uint8_t, kSaltSize> salt{};
    std::array<std::uint8_t, kNonceSize> wrapNonce{};
    std::array<std::uint8_t, kKeyBlockSize + kTagSize> sealedKeys{};

    // Bytes 0..51 (what the key block's tag covers).
    void WriteAad(std::uint8_t* pOut) const;
    // All 148 bytes, including the header check.
    void Write(std::uint8_t* pOut) const;
    // Returns HVNC_OK or HVNC_NOT_HVNC / HVNC_UNSUPPORTED_VERSION / HVNC_CORRUPT with a reason.
    [[nodiscard]] int Parse(const std::uint8_t* pIn, std::size_t nLen, std::string& strWhy);

    [[nodiscard]] static int KeyLenOfCipher(std::uint8_t nCipher);  // 0 for unknown ids
    [[nodiscard]] static std::uint8_t CipherOfKeyLen(int nKeyLen);
    // Encrypted size of nPlain bytes of content (chunks and their tags, not the header).
    [[nodiscard]] static std::uint64_t ChunkCount(std::uint64_t nPlain);
    [[nodiscard]] static std::uint64_t ContentSize(std::uint64_t nPlain);
};

// The plaintext metadata sealed next to the data key.
struct SHvncMeta
{
    std::uint64_t nSize = 0;
    std::uint32_t nMode = 0;  // permission bits
    std::int64_t nMtimeSec = 0;
    std::uint32_t nMtimeNsec = 0;

    void Write(std::uint8_t* pOut) const;  // 32 bytes
    [[nodiscard]] bool Read(const std::uint8_t* pIn);
};
