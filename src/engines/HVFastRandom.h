#pragma once

#include <cstddef>
#include <cstdint>

// Fast in-process random bytes for overwriting: an AES-128-CTR keystream under a key and counter
// taken from the operating system's generator when the object is made. Good for wipe data, where
// speed matters and the bytes guard nothing; not meant for keys.
class HVFastRandom
{
public:
    HVFastRandom();
    ~HVFastRandom();

    HVFastRandom(const HVFastRandom&) = delete;
    HVFastRandom& operator=(const HVFastRandom&) = delete;

    // False when the cipher or the operating system's generator could not be set up.
    [[nodiscard]] bool IsReady() const { return m_pCtx != nullptr; }

    // Overwrites pOut[0..nSize) with the next keystream bytes. False when not ready.
    [[nodiscard]] bool Fill(std::uint8_t* pOut, std::size_t nSize);

    // Bytes straight from the operating system (getrandom). False on failure.
    [[nodiscard]] static bool OsRandom(void* pOut, std::size_t nSize);

private:
    void* m_pCtx = nullptr;  // EVP_CIPHER_CTX
};
