#include "engines/CHvncKeyBlock.h"

#include "engines/CHvncCipher.h"

#include <sodium.h>

namespace {

using HmacState = crypto_auth_hmacsha256_state;

// HMAC-SHA-256 of the concatenation of up to two parts, with its state in secure memory.
bool HmacParts(const std::uint8_t* pKey,
               std::size_t nKey,
               const std::uint8_t* p1,
               std::size_t n1,
               const std::uint8_t* p2,
               std::size_t n2,
               std::uint8_t* pOut)
{
    CSecureBuffer state(sizeof(HmacState));
    if (state.size() != sizeof(HmacState)) {
        return false;
    }
    auto* st = reinterpret_cast<HmacState*>(state.data());
    return crypto_auth_hmacsha256_init(st, pKey, nKey) == 0
           && (n1 == 0 || crypto_auth_hmacsha256_update(st, p1, n1) == 0)
           && (n2 == 0 || crypto_auth_hmacsha256_update(st, p2, n2) == 0)
           && crypto_auth_hmacsha256_final(st, pOut) == 0;
}

}  // namespace

bool CHvncKeyBlock::DeriveSubkey(const CSecureBuffer& passwordKey, std::string_view info, CSecureBuffer& out)
{
    static const std::uint8_t kNoSalt[crypto_auth_hmacsha256_BYTES] = {};
    static const std::uint8_t kCounter = 1;
    out = CSecureBuffer(kKeySize);
    CSecureBuffer prk(crypto_auth_hmacsha256_BYTES);
    // Extract: PRK = HMAC(zeros, IKM); expand to one block: OKM = HMAC(PRK, info || 0x01).
    const bool bOk =
        out.size() == kKeySize && prk.size() == crypto_auth_hmacsha256_BYTES
        && HmacParts(kNoSalt, sizeof kNoSalt, passwordKey.data(), passwordKey.size(), nullptr, 0, prk.data())
        && HmacParts(prk.data(),
                     prk.size(),
                     reinterpret_cast<const std::uint8_t*>(info.data()),
                     info.size(),
                     &kCounter,
                     1,
                     out.data());
    if (!bOk) {
        out.clear();
    }
    return bOk;
}

bool CHvncKeyBlock::Hmac(const CSecureBuffer& key, const std::uint8_t* pData, std::size_t nLen, std::uint8_t* pTag)
{
    return HmacParts(key.data(), key.size(), pData, nLen, nullptr, 0, pTag);
}

bool CHvncKeyBlock::Seal(CHvncHeader& hdr,
                         const CSecureBuffer& passwordKey,
                         const CSecureBuffer& block,
                         std::uint8_t* pOut)
{
    const bool bCommit = hdr.nVersion >= CHvncHeader::kVersion2;
    CSecureBuffer wrapKey;
    CSecureBuffer commitKey;
    if (block.size() != CHvncHeader::kKeyBlockSize
        || (bCommit
            && (!DeriveSubkey(passwordKey, kWrapInfo, wrapKey)
                || !DeriveSubkey(passwordKey, kCommitInfo, commitKey)))) {
        return false;
    }
    const CSecureBuffer& key = bCommit ? wrapKey : passwordKey;
    hdr.WriteAad(pOut);
    CHvncCipher wrap;
    if (!wrap.Init(key.data(), key.size())
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
        if (!Hmac(commitKey, pOut, CHvncHeader::kCommitOffset, hdr.commit.data())) {
            return false;
        }
    }
    hdr.Write(pOut);
    return true;
}

int CHvncKeyBlock::Open(const CHvncHeader& hdr,
                        const CSecureBuffer& passwordKey,
                        CSecureBuffer& block,
                        SHvncMeta& meta,
                        std::string& strWhy)
{
    const bool bCommit = hdr.nVersion >= CHvncHeader::kVersion2;
    std::uint8_t bytes[CHvncHeader::kMaxSize];
    hdr.WriteCommitted(bytes);
    CSecureBuffer wrapKey;
    if (bCommit) {
        CSecureBuffer commitKey;
        std::uint8_t tag[CHvncHeader::kCommitSize];
        if (!DeriveSubkey(passwordKey, kCommitInfo, commitKey)
            || !Hmac(commitKey, bytes, CHvncHeader::kCommitOffset, tag)
            || !DeriveSubkey(passwordKey, kWrapInfo, wrapKey)) {
            strWhy = "out of secure memory";
            return HVNC_FAILED;
        }
        // The one check that tells a password apart: nothing is unwrapped before it passed.
        if (sodium_memcmp(tag, hdr.commit.data(), sizeof tag) != 0) {
            strWhy = "wrong password";
            return HVNC_WRONG_PASSWORD;
        }
    }
    const CSecureBuffer& key = bCommit ? wrapKey : passwordKey;
    CHvncCipher wrap;
    if (block.size() != CHvncHeader::kKeyBlockSize || !wrap.Init(key.data(), key.size())) {
        strWhy = "cipher set-up failed";
        return HVNC_FAILED;
    }
    const bool bOpened = wrap.Open(hdr.wrapNonce.data(),
                                   bytes,
                                   CHvncHeader::kAadSize,
                                   hdr.sealedKeys.data(),
                                   CHvncHeader::kKeyBlockSize,
                                   block.data(),
                                   hdr.sealedKeys.data() + CHvncHeader::kKeyBlockSize);
    if (bOpened && meta.Read(block.data() + 32)) {
        return HVNC_OK;
    }
    if (bCommit) {
        // The password matched the commitment, so the block was made badly, not guessed wrongly.
        strWhy = bOpened ? "the file's metadata is invalid" : "the key block is damaged";
        return HVNC_CORRUPT;
    }
    // Version 1: the header check has excluded accidental damage. A key block that opens but
    // holds invalid metadata is what a block crafted for two passwords gives under the second
    // one; it gets the answer of every other wrong password.
    strWhy = "wrong password";
    return HVNC_WRONG_PASSWORD;
}
