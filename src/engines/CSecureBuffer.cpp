#include "engines/CSecureBuffer.h"

#include <algorithm>
#include <cstring>
#include <sodium.h>
#include <utility>

namespace {

std::uint8_t* SecureAlloc(std::size_t nSize)
{
    static const bool bReady = sodium_init() >= 0;
    if (!bReady || nSize == 0) {
        return nullptr;
    }
    auto* p = static_cast<std::uint8_t*>(sodium_malloc(nSize));
    if (p != nullptr) {
        sodium_memzero(p, nSize);
    }
    return p;
}

}  // namespace

CSecureBuffer::CSecureBuffer(std::size_t nSize)
    : m_pData(SecureAlloc(nSize))
    , m_nSize(m_pData != nullptr ? nSize : 0)
{
}

CSecureBuffer::~CSecureBuffer()
{
    clear();
}

CSecureBuffer::CSecureBuffer(CSecureBuffer&& other) noexcept
    : m_pData(std::exchange(other.m_pData, nullptr))
    , m_nSize(std::exchange(other.m_nSize, 0))
{
}

CSecureBuffer& CSecureBuffer::operator=(CSecureBuffer&& other) noexcept
{
    if (this != &other) {
        clear();
        m_pData = std::exchange(other.m_pData, nullptr);
        m_nSize = std::exchange(other.m_nSize, 0);
    }
    return *this;
}

void CSecureBuffer::clear()
{
    if (m_pData != nullptr) {
        sodium_memzero(m_pData, m_nSize);
        sodium_free(m_pData);  // wipes again and unlocks
    }
    m_pData = nullptr;
    m_nSize = 0;
}

bool CSecureBuffer::resize(std::size_t nSize)
{
    if (nSize == m_nSize) {
        return true;
    }
    if (nSize == 0) {
        clear();
        return true;
    }
    std::uint8_t* pNew = SecureAlloc(nSize);
    if (pNew == nullptr) {
        return false;
    }
    if (m_pData != nullptr) {
        std::memcpy(pNew, m_pData, std::min(nSize, m_nSize));
    }
    clear();
    m_pData = pNew;
    m_nSize = nSize;
    return true;
}

bool CSecureBuffer::Equals(const CSecureBuffer& other) const
{
    if (m_nSize != other.m_nSize) {
        return false;
    }
    if (m_nSize == 0) {
        return true;
    }
    return sodium_memcmp(m_pData, other.m_pData, m_nSize) == 0;
}

CSecureBuffer CSecureBuffer::Clone() const
{
    return FromBytes(m_pData, m_nSize);
}

CSecureBuffer CSecureBuffer::FromBytes(const void* pData, std::size_t nSize)
{
    CSecureBuffer buf(nSize);
    if (buf.size() == nSize && nSize != 0) {
        std::memcpy(buf.data(), pData, nSize);
    }
    return buf;
}

CSecureBuffer CSecureBuffer::FromUtf16Units(std::u16string_view text)
{
    return FromBytes(text.data(), text.size() * sizeof(char16_t));
}

std::u16string_view CSecureBuffer::Utf16Units() const
{
    if (m_pData == nullptr) {
        return {};
    }
    // sodium_malloc hands out storage aligned for the size asked; an even size keeps the
    // units aligned.
    return {reinterpret_cast<const char16_t*>(m_pData), m_nSize / sizeof(char16_t)};
}

CSecureBuffer CSecureBuffer::FromUtf16(std::u16string_view text)
{
    // Worst case three bytes per UTF-16 unit; shrink to the real length afterwards.
    CSecureBuffer buf(text.size() * 3);
    if (buf.empty()) {
        return buf;
    }
    std::size_t n = 0;
    std::uint8_t* out = buf.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint32_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out[n++] = static_cast<std::uint8_t>(cp);
        } else if (cp < 0x800) {
            out[n++] = static_cast<std::uint8_t>(0xC0 | (cp >> 6));
            out[n++] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out[n++] = static_cast<std::uint8_t>(0xE0 | (cp >> 12));
            out[n++] = static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F));
            out[n++] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
        } else {
            out[n++] = static_cast<std::uint8_t>(0xF0 | (cp >> 18));
            out[n++] = static_cast<std::uint8_t>(0x80 | ((cp >> 12) & 0x3F));
            out[n++] = static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F));
            out[n++] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
        }
    }
    if (!buf.resize(n)) {
        buf.clear();
    }
    return buf;
}
