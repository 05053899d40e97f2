#include "engines/CHvncKeyBlock.h"

#include "engines/CHvncCipher.h"

#include <cstring>
#include <sodium.h>

namespace {

// HMAC-SHA-256 of the concatenation of up to two parts. libsodium's final step wipes the state;
// it is wiped again here for the paths that fail before it.
bool HmacParts(const std::uint8_t* pKey,
               std::size_t nKey,
               const std::uint8_t* p1,
               std::size_t n1,
               const std::uint8_t* p2,
               std::size_t n2,
               std::uint8_t* pOut)
{
    crypto_auth_hmacsha256_state st;
    const bool bOk = crypto_auth_hmacsha256_init(&st, pKey, nKey) == 0
                     && (n1 == 0 || crypto_auth_hmacsha256_update(&st, p1, n1) == 0)
                     && (n2 == 0 || crypto_auth_hmacsha256_update(&st, p2, n2) == 0)
                     && crypto_auth_hmacsha256_final(&st, pOut) == 0;
    sodium_memzero(&st, sizeof st);
    return bOk;
}

// The key set to use: keys itself, or one derived into scratch from a password key.
const CSecureBuffer* KeySetOf(const CSecureBuffer& keys, CSecureBuffer& scratch)
{
    if (keys.size() == CHvncKeyBlock::kKeySetSize) {
        return &keys;
    }
    return keys.size() == CHvncKeyBlock::kKeySize && CHvncKeyBlock::DeriveKeySet(keys, scratch) ? &scratch : nullptr;
}

}  // namespace

bool CHvncKeyBlock::DeriveSubkey(const CSecureBuffer& passwordKey, std::string_view info, CSecureBuffer& out)
{
    static const std::uint8_t kNoSalt[crypto_auth_hmacsha256_BYTES] = {};
    static const std::uint8_t kCounter = 1;
    out = CSecureBuffer(kKeySize);
    std::uint8_t prk[crypto_auth_hmacsha256_BYTES];
    // Extract: PRK = HMAC(zeros, IKM); expand to one block: OKM = HMAC(PRK, info || 0x01).
    const bool bOk =
        out.size() == kKeySize
        && HmacParts(kNoSalt, sizeof kNoSalt, passwordKey.data(), passwordKey.size(), nullptr, 0, prk)
        && HmacParts(
            prk, sizeof prk, reinterpret_cast<const std::uint8_t*>(info.data()), info.size(), &kCounter, 1, out.data());
    sodium_memzero(prk, sizeof prk);
    if (!bOk) {
        out.clear();
    }
    return bOk;
}

bool CHvncKeyBlock::DeriveKeySet(const CSecureBuffer& passwordKey, CSecureBuffer& keySet)
{
    CSecureBuffer wrap;
    CSecureBuffer commit;
    keySet = CSecureBuffer(kKeySetSize);
    if (passwordKey.size() != kKeySize || keySet.size() != kKeySetSize || !DeriveSubkey(passwordKey, kWrapInfo, wrap)
        || !DeriveSubkey(passwordKey, kCommitInfo, commit)) {
        keySet.clear();
        return false;
    }
    std::memcpy(keySet.data(), passwordKey.data(), kKeySize);
    std::memcpy(keySet.data() + kKeySize, wrap.data(), kKeySize);
    std::memcpy(keySet.data() + 2 * kKeySize, commit.data(), kKeySize);
    return true;
}

bool CHvncKeyBlock::Hmac(
    const std::uint8_t* pKey, std::size_t nKey, const std::uint8_t* pData, std::size_t nLen, std::uint8_t* pTag)
{
    return HmacParts(pKey, nKey, pData, nLen, nullptr, 0, pTag);
}

bool CHvncKeyBlock::Seal(CHvncHeader& hdr, const CSecureBuffer& keys, const CSecureBuffer& block, std::uint8_t* pOut)
{
    CSecureBuffer scratch;
    const CSecureBuffer* pSet = KeySetOf(keys, scratch);
    if (pSet == nullptr || block.size() != CHvncHeader::kKeyBlockSize) {
        return false;
    }
    const bool bCommit = hdr.nVersion >= CHvncHeader::kVersion2;
    const std::uint8_t* pWrapKey = pSet->data() + (bCommit ? kKeySize : 0);
    hdr.WriteAad(pOut);
    CHvncCipher wrap;
    if (!wrap.Init(pWrapKey, kKeySize)
        || !wrap.Seal(hdr.wrapNonce.data(),
                      pOut,
                      CHvncHeader::kAadSize,
                      block.data(),
                      block.size(),
                      hdr.sealedKeys.data(),
                      hdr.sealedKeys.data() + CHvncHeader::kKeyBlockSize)) {
        return false;
    }
    if (bCommit) {
        hdr.WriteCommitted(pOut);
        if (!Hmac(pSet->data() + 2 * kKeySize, kKeySize, pOut, CHvncHeader::kCommitOffset, hdr.commit.data())) {
            return false;
        }
    }
    hdr.Write(pOut);
    return true;
}

SHvncResult
CHvncKeyBlock::Open(const CHvncHeader& hdr, const CSecureBuffer& keys, CSecureBuffer& block, SHvncMeta& meta)
{
    CSecureBuffer scratch;
    const CSecureBuffer* pSet = KeySetOf(keys, scratch);
    if (pSet == nullptr || block.size() != CHvncHeader::kKeyBlockSize) {
        return {EHvnc::Failed, "out of secure memory"};
    }
    const bool bCommit = hdr.nVersion >= CHvncHeader::kVersion2;
    std::uint8_t bytes[CHvncHeader::kMaxSize];
    hdr.WriteCommitted(bytes);
    if (bCommit) {
        std::uint8_t tag[CHvncHeader::kCommitSize];
        if (!Hmac(pSet->data() + 2 * kKeySize, kKeySize, bytes, CHvncHeader::kCommitOffset, tag)) {
            return {EHvnc::Failed, "the commitment could not be computed"};
        }
        // The one check that tells a password apart: nothing is unwrapped before it passed.
        if (sodium_memcmp(tag, hdr.commit.data(), sizeof tag) != 0) {
            return {EHvnc::WrongPassword, "wrong password"};
        }
    }
    CHvncCipher wrap;
    if (!wrap.Init(pSet->data() + (bCommit ? kKeySize : 0), kKeySize)) {
        return {EHvnc::Failed, "cipher set-up failed"};
    }
    const bool bOpened = wrap.Open(hdr.wrapNonce.data(),
                                   bytes,
                                   CHvncHeader::kAadSize,
                                   hdr.sealedKeys.data(),
                                   CHvncHeader::kKeyBlockSize,
                                   block.data(),
                                   hdr.sealedKeys.data() + CHvncHeader::kKeyBlockSize);
    if (bOpened && meta.Read(block.data() + 32)) {
        return {};
    }
    if (bCommit) {
        // The password matched the commitment, so the block was made badly, not guessed wrongly.
        return {EHvnc::Corrupt, bOpened ? "the file's metadata is invalid" : "the key block is damaged"};
    }
    // Version 1: the header check has excluded accidental damage. A key block that opens but
    // holds invalid metadata is what a block crafted for two passwords gives under the second
    // one; it gets the answer of every other wrong password.
    return {EHvnc::WrongPassword, "wrong password"};
}
