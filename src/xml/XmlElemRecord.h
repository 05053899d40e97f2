#pragma once

#include <cstdint>

// One element of the document index: eight 32-bit words.
struct SXmlElemRecord
{
    uint32_t nStart = 0;       // offset of the '<' of the start tag
    uint32_t nLength = 0;      // from the start tag's '<' to the end tag's '>' inclusive
    uint32_t nTagLengths = 0;  // start-tag length in the low 22 bits, end-tag length in the upper 10
    uint32_t nFlags = 0;       // nesting level in the low 16 bits, plus the XmlElem flags
    uint32_t iElemParent = 0;
    uint32_t iElemChild = 0;  // first child
    uint32_t iElemNext = 0;   // next sibling, 0 after the last
    uint32_t iElemPrev = 0;   // previous sibling; the first child's is the last child

    [[nodiscard]] uint32_t StartTagLen() const { return nTagLengths & kMaxStartTagLen; }
    [[nodiscard]] uint32_t EndTagLen() const { return nTagLengths >> 22; }
    void SetTagLengths(uint32_t nStartTag, uint32_t nEndTag)
    {
        nTagLengths = (nStartTag & kMaxStartTagLen) | (nEndTag << 22);
    }
    [[nodiscard]] uint32_t Level() const { return nFlags & 0xFFFF; }
    void SetLevel(uint32_t nLevel) { nFlags = (nFlags & ~0xFFFFu) | (nLevel > 0xFFFF ? 0xFFFF : nLevel); }
    [[nodiscard]] uint32_t ContentStart() const { return nStart + StartTagLen(); }
    [[nodiscard]] uint32_t ContentEnd() const { return nStart + nLength - EndTagLen(); }

    static constexpr uint32_t kMaxStartTagLen = 0x3FFFFF;
    static constexpr uint32_t kMaxEndTagLen = 0x3FF;
};

namespace XmlElem {
constexpr uint32_t kFirstChild = 0x80000;
constexpr uint32_t kNoEndTag = 0x100000;
constexpr uint32_t kErrorInside = 0x200000;
constexpr uint32_t kParseError = 0x800000;
constexpr uint32_t kFreed = 0x1000000;  // on the free list
}  // namespace XmlElem
