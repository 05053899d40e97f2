#include "xml/XmlUtf.h"

namespace {

template <bool bWrite>
size_t EncodeUtf8(const char16_t* pSrc, size_t nSrcLen, char* pDst)
{
    size_t nOut = 0;
    auto put = [&](unsigned char c) {
        if constexpr (bWrite) {
            pDst[nOut] = static_cast<char>(c);
        }
        ++nOut;
    };
    for (size_t i = 0; i < nSrcLen; ++i) {
        char32_t c = pSrc[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= nSrcLen) {
                put('?');
                continue;
            }
            const char32_t c2 = pSrc[i + 1];
            if (c2 >= 0xDC00 && c2 <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (c2 - 0xDC00);
                ++i;
            }
        }
        if (c <= 0x7F) {
            put(static_cast<unsigned char>(c));
        } else if (c <= 0x7FF) {
            put(static_cast<unsigned char>(0xC0 | (c >> 6)));
            put(static_cast<unsigned char>(0x80 | (c & 0x3F)));
        } else if (c <= 0xFFFF) {
            put(static_cast<unsigned char>(0xE0 | (c >> 12)));
            put(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
            put(static_cast<unsigned char>(0x80 | (c & 0x3F)));
        } else {
            put(static_cast<unsigned char>(0xF0 | (c >> 18)));
            put(static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F)));
            put(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
            put(static_cast<unsigned char>(0x80 | (c & 0x3F)));
        }
    }
    return nOut;
}

template <bool bWrite>
size_t DecodeUtf8(const char* pSrc, size_t nSrcLen, char16_t* pDst, bool bFinal, size_t* pConsumed)
{
    const auto* p = reinterpret_cast<const unsigned char*>(pSrc);
    size_t nOut = 0;
    size_t i = 0;
    auto put = [&](char16_t c) {
        if constexpr (bWrite) {
            pDst[nOut] = c;
        }
        ++nOut;
    };
    while (i < nSrcLen) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            put(b);
            ++i;
            continue;
        }
        size_t nCont;
        char32_t c;
        if ((b & 0xE0) == 0xC0) {
            nCont = 1;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            nCont = 2;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            nCont = 3;
            c = b & 0x07;
        } else {
            put(u'?');
            ++i;
            continue;
        }
        size_t k = 1;
        bool bBroken = false;
        for (; k <= nCont; ++k) {
            if (i + k >= nSrcLen) {
                break;
            }
            if ((p[i + k] & 0xC0) != 0x80) {
                bBroken = true;
                break;
            }
            c = (c << 6) | (p[i + k] & 0x3F);
        }
        if (bBroken) {
            put(u'?');
            i += k;  // resume at the byte that is not a continuation
            continue;
        }
        if (k <= nCont) {
            // Cut off by the end of the input.
            if (bFinal) {
                i = nSrcLen;
            }
            break;
        }
        if (c >= 0x10000) {
            if (c > 0x10FFFF) {
                put(u'?');
            } else {
                c -= 0x10000;
                put(static_cast<char16_t>(0xD800 + (c >> 10)));
                put(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
            }
        } else {
            put(static_cast<char16_t>(c));
        }
        i += nCont + 1;
    }
    if (pConsumed) {
        *pConsumed = i;
    }
    return nOut;
}

}  // namespace

size_t Utf16ToUtf8(const char16_t* pSrc, size_t nSrcLen, char* pDst)
{
    if (!pSrc) {
        return 0;
    }
    return pDst ? EncodeUtf8<true>(pSrc, nSrcLen, pDst) : EncodeUtf8<false>(pSrc, nSrcLen, nullptr);
}

size_t Utf8ToUtf16(const char* pSrc, size_t nSrcLen, char16_t* pDst)
{
    return Utf8ToUtf16Chunk(pSrc, nSrcLen, pDst, true, nullptr);
}

size_t Utf8ToUtf16Chunk(const char* pSrc, size_t nSrcLen, char16_t* pDst, bool bFinal, size_t* pConsumed)
{
    if (!pSrc) {
        if (pConsumed) {
            *pConsumed = 0;
        }
        return 0;
    }
    return pDst ? DecodeUtf8<true>(pSrc, nSrcLen, pDst, bFinal, pConsumed)
                : DecodeUtf8<false>(pSrc, nSrcLen, nullptr, bFinal, pConsumed);
}
