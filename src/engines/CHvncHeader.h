#pragma once

#include "engines/HvncResult.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The fixed header of a ".hvnc" file: 148 bytes in version 1, 180 bytes in version 2, which adds
// the key commitment (layouts in docs/hvnc-format.md). Parse() treats its input as hostile: magic
// and version first, then the header length and check, then every field against the values the
// version allows, KDF costs against hard caps.
struct CHvncHeader
{
    static constexpr std::array<std::uint8_t, 8> kMagic = {'H', 'V', 'N', 'C', 0x0D, 0x0A, 0x1A, 0x0A};
    static constexpr std::uint16_t kVersion1 = 1;
    static constexpr std::uint16_t kVersion2 = 2;
    static constexpr std::uint16_t kVersion = kVersion2;  // what new files are written as
    static constexpr std::size_t kSizeV1 = 148;
    static constexpr std::size_t kSizeV2 = 180;
    static constexpr std::size_t kMaxSize = kSizeV2;
    static constexpr std::size_t kPrefixSize = 12;      // magic, version, header length
    static constexpr std::size_t kAadSize = 52;         // bytes 0..51 authenticate the key block
    static constexpr std::size_t kKeyBlockOffset = 52;  // sealed key block (64) + tag (16)
    static constexpr std::size_t kKeyBlockSize = 64;    // data key (32) + metadata (32)
    static constexpr std::size_t kCommitOffset = 132;   // version 2: HMAC-SHA-256 of bytes 0..131
    static constexpr std::size_t kCommitSize = 32;
    static constexpr std::size_t kCheckSize = 16;  // the last 16 bytes: SHA-256 of all before
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

    std::uint16_t nVersion = kVersion;
    std::uint8_t nCipher = 3;  // 1 AES-128-GCM, 2 AES-192-GCM, 3 AES-256-GCM
    std::uint32_t nMemKiB = 0;
    std::uint32_t nPasses = 0;
    std::array<std::uint8_t, kSaltSize> salt{};
    std::array<std::uint8_t, kNonceSize> wrapNonce{};
    std::array<std::uint8_t, kKeyBlockSize + kTagSize> sealedKeys{};
    std::array<std::uint8_t, kCommitSize> commit{};  // version 2 only

    [[nodiscard]] std::size_t Size() const { return SizeOfVersion(nVersion); }
    [[nodiscard]] static std::size_t SizeOfVersion(std::uint16_t nVersion);  // 0 for unknown versions

    // Bytes 0..51 (what the key block's tag covers).
    void WriteAad(std::uint8_t* pOut) const;
    // Bytes 0..131: the AAD, the sealed key block and its tag (what the commitment covers).
    void WriteCommitted(std::uint8_t* pOut) const;
    // All Size() bytes, including the commitment (version 2) and the header check.
    void Write(std::uint8_t* pOut) const;
    // Ok, or NotHvnc / UnsupportedVersion / Corrupt with a reason.
    [[nodiscard]] SHvncResult Parse(const std::uint8_t* pIn, std::size_t nLen);
    // Reads and parses the header at the start of fd, leaving the offset right after it; pBytes
    // (kMaxSize) receives the header as read. IoError when reading fails.
    [[nodiscard]] SHvncResult ReadFrom(int fd, std::uint8_t* pBytes);
    // Recomputes the header check of the version named in the bytes (as a forger or a fuzzer
    // would); does nothing when the bytes are too short for that version.
    static void FixCheck(std::uint8_t* pBytes, std::size_t nLen);

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
