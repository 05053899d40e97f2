#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Byte buffer in locked memory that is wiped whenever it is freed, resized or moved from.
// Holds keys and passwords. Move-only.
class CSecureBuffer
{
public:
    CSecureBuffer() = default;
    explicit CSecureBuffer(std::size_t nSize);
    ~CSecureBuffer();

    CSecureBuffer(CSecureBuffer&& other) noexcept;
    CSecureBuffer& operator=(CSecureBuffer&& other) noexcept;
    CSecureBuffer(const CSecureBuffer&) = delete;
    CSecureBuffer& operator=(const CSecureBuffer&) = delete;

    [[nodiscard]] std::uint8_t* data() { return m_pData; }
    [[nodiscard]] const std::uint8_t* data() const { return m_pData; }
    [[nodiscard]] std::size_t size() const { return m_nSize; }
    [[nodiscard]] bool empty() const { return m_nSize == 0; }

    // Changes the size, keeping the first min(old, new) bytes; new bytes are zero. The old
    // storage is wiped before it is released. Returns false (buffer unchanged) when no secure
    // memory could be had.
    [[nodiscard]] bool resize(std::size_t nSize);
    void clear();  // wipes and frees

    [[nodiscard]] bool Equals(const CSecureBuffer& other) const;  // constant time for equal sizes
    [[nodiscard]] CSecureBuffer Clone() const;

    // UTF-16 to UTF-8 straight into secure memory (unpaired surrogates become U+FFFD).
    [[nodiscard]] static CSecureBuffer FromUtf16(std::u16string_view text);
    [[nodiscard]] static CSecureBuffer FromBytes(const void* pData, std::size_t nSize);

    // Passwords above the engines travel as UTF-16 code units: copied in unchanged, and seen
    // again as a view into this buffer (valid while the buffer lives and is not resized).
    [[nodiscard]] static CSecureBuffer FromUtf16Units(std::u16string_view text);
    [[nodiscard]] std::u16string_view Utf16Units() const;

private:
    std::uint8_t* m_pData = nullptr;
    std::size_t m_nSize = 0;
};
