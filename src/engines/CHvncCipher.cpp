#include "engines/CHvncCipher.h"

#include "engines/HVCryptoHeap.h"

#include <climits>
#include <openssl/evp.h>

namespace {

const EVP_CIPHER* CipherFor(std::size_t nKeyLen)
{
    switch (nKeyLen) {
    case 16:
        return EVP_aes_128_gcm();
    case 24:
        return EVP_aes_192_gcm();
    case 32:
        return EVP_aes_256_gcm();
    default:
        return nullptr;
    }
}

}  // namespace

CHvncCipher::~CHvncCipher()
{
    EVP_CIPHER_CTX_free(m_enc);  // clears the key schedule
    EVP_CIPHER_CTX_free(m_dec);
}

bool CHvncCipher::Init(const std::uint8_t* pKey, std::size_t nKeyLen)
{
    const EVP_CIPHER* cipher = CipherFor(nKeyLen);
    if (cipher == nullptr) {
        return false;
    }
    // The contexts (key schedules included) come from the locked heap where it is installed;
    // asking links it into every program that encrypts.
    (void)HVCryptoHeap::Installed();
    if (m_enc == nullptr) {
        m_enc = EVP_CIPHER_CTX_new();
    }
    if (m_dec == nullptr) {
        m_dec = EVP_CIPHER_CTX_new();
    }
    return m_enc != nullptr && m_dec != nullptr && EVP_EncryptInit_ex(m_enc, cipher, nullptr, pKey, nullptr) == 1
           && EVP_DecryptInit_ex(m_dec, cipher, nullptr, pKey, nullptr) == 1;
}

bool CHvncCipher::Seal(const std::uint8_t* pNonce,
                       const std::uint8_t* pAad,
                       std::size_t nAad,
                       const std::uint8_t* pIn,
                       std::size_t nLen,
                       std::uint8_t* pOut,
                       std::uint8_t* pTag)
{
    int n = 0;
    if (m_enc == nullptr || nLen > INT_MAX || nAad > INT_MAX
        || EVP_EncryptInit_ex(m_enc, nullptr, nullptr, nullptr, pNonce) != 1) {
        return false;
    }
    if (nAad != 0 && EVP_EncryptUpdate(m_enc, nullptr, &n, pAad, static_cast<int>(nAad)) != 1) {
        return false;
    }
    if (nLen != 0 && EVP_EncryptUpdate(m_enc, pOut, &n, pIn, static_cast<int>(nLen)) != 1) {
        return false;
    }
    return EVP_EncryptFinal_ex(m_enc, pOut + nLen, &n) == 1
           && EVP_CIPHER_CTX_ctrl(m_enc, EVP_CTRL_GCM_GET_TAG, static_cast<int>(kTagSize), pTag) == 1;
}

bool CHvncCipher::Open(const std::uint8_t* pNonce,
                       const std::uint8_t* pAad,
                       std::size_t nAad,
                       const std::uint8_t* pIn,
                       std::size_t nLen,
                       std::uint8_t* pOut,
                       const std::uint8_t* pTag)
{
    int n = 0;
    if (m_dec == nullptr || nLen > INT_MAX || nAad > INT_MAX
        || EVP_DecryptInit_ex(m_dec, nullptr, nullptr, nullptr, pNonce) != 1) {
        return false;
    }
    if (nAad != 0 && EVP_DecryptUpdate(m_dec, nullptr, &n, pAad, static_cast<int>(nAad)) != 1) {
        return false;
    }
    if (nLen != 0 && EVP_DecryptUpdate(m_dec, pOut, &n, pIn, static_cast<int>(nLen)) != 1) {
        return false;
    }
    if (EVP_CIPHER_CTX_ctrl(m_dec, EVP_CTRL_GCM_SET_TAG, static_cast<int>(kTagSize), const_cast<std::uint8_t*>(pTag))
        != 1) {
        return false;
    }
    return EVP_DecryptFinal_ex(m_dec, pOut + nLen, &n) == 1;
}

void CHvncCipher::ChunkNonce(std::uint64_t nIndex, bool bLast, std::uint8_t* pNonce)
{
    for (int i = 0; i < 8; ++i) {
        pNonce[i] = static_cast<std::uint8_t>(nIndex >> (56 - 8 * i));
    }
    pNonce[8] = 0;
    pNonce[9] = 0;
    pNonce[10] = 0;
    pNonce[11] = bLast ? 1 : 0;
}

bool CHvncCipher::SealChunk(std::uint64_t nIndex, bool bLast, std::uint8_t* pData, std::size_t nLen, std::uint8_t* pTag)
{
    std::uint8_t nonce[kNonceSize];
    ChunkNonce(nIndex, bLast, nonce);
    return Seal(nonce, nullptr, 0, pData, nLen, pData, pTag);
}

bool CHvncCipher::OpenChunk(
    std::uint64_t nIndex, bool bLast, std::uint8_t* pData, std::size_t nLen, const std::uint8_t* pTag)
{
    std::uint8_t nonce[kNonceSize];
    ChunkNonce(nIndex, bLast, nonce);
    return Open(nonce, nullptr, 0, pData, nLen, pData, pTag);
}
