#pragma once

#include "engines/CSecureBuffer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

// Password-derived keys (Argon2id) of one engine object, cached per salt and cost, so a run
// over many files derives each key once. Also the salt that the object's encryptions share.
class CHvncKeyCache
{
public:
    static constexpr std::size_t kKeySize = 32;
    using Salt = std::array<std::uint8_t, 16>;

    // The key set for (salt, cost) under the password, derived on first use: the password key,
    // then the wrapping and commitment keys derived from it (CHvncKeyBlock::DeriveKeySet). Valid
    // until the next Get or Clear. nullptr when the derivation failed (out of memory).
    [[nodiscard]] const CSecureBuffer*
    Get(const CSecureBuffer& password, const Salt& salt, std::uint32_t nMemKiB, std::uint32_t nPasses);
    // The salt for new files at this cost: random, made once per cost until Clear().
    [[nodiscard]] Salt EncryptionSalt(std::uint32_t nMemKiB, std::uint32_t nPasses);
    void Clear();  // the password changed

    // Plain Argon2id (crypto_pwhash, ALG_ARGON2ID13) into out.size() bytes; counts the runs.
    [[nodiscard]] static bool Derive(const CSecureBuffer& password,
                                     const std::uint8_t* pSalt,
                                     std::uint32_t nMemKiB,
                                     std::uint32_t nPasses,
                                     CSecureBuffer& out);
    // Test seam: how many Argon2id runs this process has made.
    [[nodiscard]] static std::uint64_t GetRunCount() { return s_nRuns.load(); }

private:
    struct SEntry
    {
        Salt salt{};
        std::uint32_t nMemKiB = 0;
        std::uint32_t nPasses = 0;
        CSecureBuffer key;
    };
    static constexpr std::size_t kMaxEntries = 16;
    std::vector<SEntry> m_entries;
    bool m_bHaveSalt = false;
    Salt m_encSalt{};
    std::uint32_t m_nSaltMem = 0;
    std::uint32_t m_nSaltPasses = 0;
    static std::atomic<std::uint64_t> s_nRuns;
};
