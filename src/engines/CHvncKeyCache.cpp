#include "engines/CHvncKeyCache.h"

#include "engines/CHvncKeyBlock.h"

#include <algorithm>
#include <cstring>
#include <sodium.h>

std::atomic<std::uint64_t> CHvncKeyCache::s_nRuns{0};

namespace {

// libsodium's BLAKE2b leaves its last output block, here the derived key, in a dead stack frame
// of the derivation. Overwrites the stack below the caller that the derivation used.
[[gnu::noinline]] void ScrubStack()
{
    unsigned char pad[32768];
    sodium_memzero(pad, sizeof pad);
    __asm__ __volatile__("" : : "r"(pad) : "memory");
}

}  // namespace

bool CHvncKeyCache::Derive(const CSecureBuffer& password,
                           const std::uint8_t* pSalt,
                           std::uint32_t nMemKiB,
                           std::uint32_t nPasses,
                           CSecureBuffer& out)
{
    if (sodium_init() < 0 || out.empty()) {
        return false;
    }
    ++s_nRuns;
    static const char kEmpty[1] = {0};
    const char* pw = password.empty() ? kEmpty : reinterpret_cast<const char*>(password.data());
    const bool bOk = crypto_pwhash(out.data(),
                                   out.size(),
                                   pw,
                                   password.size(),
                                   pSalt,
                                   nPasses,
                                   static_cast<std::size_t>(nMemKiB) * 1024u,
                                   crypto_pwhash_ALG_ARGON2ID13)
                     == 0;
    ScrubStack();
    return bOk;
}

const CSecureBuffer*
CHvncKeyCache::Get(const CSecureBuffer& password, const Salt& salt, std::uint32_t nMemKiB, std::uint32_t nPasses)
{
    for (const SEntry& e : m_entries) {
        if (e.nMemKiB == nMemKiB && e.nPasses == nPasses && e.salt == salt) {
            return &e.key;
        }
    }
    SEntry e;
    e.salt = salt;
    e.nMemKiB = nMemKiB;
    e.nPasses = nPasses;
    CSecureBuffer passwordKey(kKeySize);
    if (passwordKey.size() != kKeySize || !Derive(password, salt.data(), nMemKiB, nPasses, passwordKey)
        || !CHvncKeyBlock::DeriveKeySet(passwordKey, e.key)) {
        return nullptr;
    }
    if (m_entries.size() >= kMaxEntries) {
        m_entries.erase(m_entries.begin());
    }
    m_entries.push_back(std::move(e));
    return &m_entries.back().key;
}

CHvncKeyCache::Salt CHvncKeyCache::EncryptionSalt(std::uint32_t nMemKiB, std::uint32_t nPasses)
{
    if (!m_bHaveSalt || m_nSaltMem != nMemKiB || m_nSaltPasses != nPasses) {
        randombytes_buf(m_encSalt.data(), m_encSalt.size());
        m_nSaltMem = nMemKiB;
        m_nSaltPasses = nPasses;
        m_bHaveSalt = true;
    }
    return m_encSalt;
}

void CHvncKeyCache::Clear()
{
    m_entries.clear();
    m_bHaveSalt = false;
}
