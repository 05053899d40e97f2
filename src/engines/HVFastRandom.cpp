#include "engines/HVFastRandom.h"

#include "engines/HVCryptoHeap.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <sys/random.h>

HVFastRandom::HVFastRandom()
{
    unsigned char seed[32];
    if (!OsRandom(seed, sizeof seed)) {
        return;
    }
    (void)HVCryptoHeap::Installed();  // links the locked heap in: the context comes from it
    EVP_CIPHER_CTX* pCtx = EVP_CIPHER_CTX_new();
    if (pCtx != nullptr && EVP_EncryptInit_ex(pCtx, EVP_aes_128_ctr(), nullptr, seed, seed + 16) == 1) {
        m_pCtx = pCtx;
    } else {
        EVP_CIPHER_CTX_free(pCtx);
    }
    OPENSSL_cleanse(seed, sizeof seed);
}

HVFastRandom::~HVFastRandom()
{
    EVP_CIPHER_CTX_free(static_cast<EVP_CIPHER_CTX*>(m_pCtx));
}

bool HVFastRandom::Fill(std::uint8_t* pOut, std::size_t nSize)
{
    if (m_pCtx == nullptr) {
        return false;
    }
    auto* pCtx = static_cast<EVP_CIPHER_CTX*>(m_pCtx);
    // The keystream is the encryption of zeros; CTR mode may work in place.
    std::memset(pOut, 0, nSize);
    while (nSize > 0) {
        const int nPart = nSize > static_cast<std::size_t>(INT_MAX / 2) ? INT_MAX / 2 : static_cast<int>(nSize);
        int nOut = 0;
        if (EVP_EncryptUpdate(pCtx, pOut, &nOut, pOut, nPart) != 1 || nOut != nPart) {
            return false;
        }
        pOut += nPart;
        nSize -= static_cast<std::size_t>(nPart);
    }
    return true;
}

bool HVFastRandom::OsRandom(void* pOut, std::size_t nSize)
{
    auto* p = static_cast<unsigned char*>(pOut);
    while (nSize > 0) {
        const ssize_t n = getrandom(p, nSize, 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        nSize -= static_cast<std::size_t>(n);
    }
    return true;
}
