#pragma once

#include <cstddef>

// UTF-16 <-> UTF-8 conversions of the XML engine.
//
// Both functions work in two modes: with a null output pointer they only count and return the
// number of output units needed; with an output buffer (which must hold that many units) they
// fill it and return the number written.

// UTF-16 to UTF-8. A surrogate pair becomes one 4-byte sequence; a high surrogate at the very end
// of the text becomes '?'. Any other lone surrogate is encoded as its 3-byte value.
[[nodiscard]] size_t Utf16ToUtf8(const char16_t* pSrc, size_t nSrcLen, char* pDst);

// UTF-8 to UTF-16. An invalid lead byte (11111xxx or a stray continuation byte) or a missing
// continuation byte yields '?' (the conversion resumes at the offending byte); code points from
// 0x10000 become surrogate pairs, code points above 0x10FFFF '?'. A sequence cut off by the end
// of the input ends the conversion.
[[nodiscard]] size_t Utf8ToUtf16(const char* pSrc, size_t nSrcLen, char16_t* pDst);

// Chunked form of Utf8ToUtf16 for streaming: converts whole sequences of pSrc. When bFinal is
// false, a sequence cut off at the end of the chunk is left unconverted; *pConsumed receives the
// number of bytes used (the caller carries the rest to the next chunk). Never writes more units
// than bytes consumed.
[[nodiscard]] size_t Utf8ToUtf16Chunk(const char* pSrc, size_t nSrcLen, char16_t* pDst, bool bFinal, size_t* pConsumed);
