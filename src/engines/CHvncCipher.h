#pragma once

#include <cstddef>
#include <cstdint>

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

// AES-GCM (128/192/256 by key length) with the key set once and a fresh nonce per message.
// Content chunks use the nonce (chunk index, 8 bytes big-endian; 3 zero bytes; last flag), so a
// chunk opens only at its own position and only the final chunk carries the flag.
class CHvncCipher
{
public:
    static constexpr std::size_t kTagSize = 16;
    static constexpr std::size_t kNonceSize = 12;

    CHvncCipher() = default;
    ~CHvncCipher();
    CHvncCipher(const CHvncCipher&) = delete;
    CHvncCipher& operator=(const CHvncCipher&) = delete;

    [[nodiscard]] bool Init(const std::uint8_t* pKey, std::size_t nKeyLen);

    // In place (pOut may equal pIn). Tag written to / checked against pTag.
    [[nodiscard]] bool Seal(const std::uint8_t* pNonce,
                            const std::uint8_t* pAad,
                            std::size_t nAad,
                            const std::uint8_t* pIn,
                            std::size_t nLen,
                            std::uint8_t* pOut,
                            std::uint8_t* pTag);
    [[nodiscard]] bool Open(const std::uint8_t* pNonce,
                            const std::uint8_t* pAad,
                            std::size_t nAad,
                            const std::uint8_t* pIn,
                            std::size_t nLen,
                            std::uint8_t* pOut,
                            const std::uint8_t* pTag);

    [[nodiscard]] bool
    SealChunk(std::uint64_t nIndex, bool bLast, std::uint8_t* pData, std::size_t nLen, std::uint8_t* pTag);
    [[nodiscard]] bool
    OpenChunk(std::uint64_t nIndex, bool bLast, std::uint8_t* pData, std::size_t nLen, const std::uint8_t* pTag);

    static void ChunkNonce(std::uint64_t nIndex, bool bLast, std::uint8_t* pNonce);

private:
    EVP_CIPHER_CTX* m_enc = nullptr;
    EVP_CIPHER_CTX* m_dec = nullptr;
};
