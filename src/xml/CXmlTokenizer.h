#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Node types reported by the tokenizer.
namespace XmlNode {
constexpr int kEndTag = 0;
constexpr int kElement = 1;
constexpr int kText = 2;
constexpr int kWhitespace = 4;
constexpr int kCData = 8;
constexpr int kProcessingInstruction = 16;
constexpr int kComment = 32;
constexpr int kDocType = 64;
constexpr int kError = 0x10000;  // malformed or unterminated construct
constexpr int kEndOfText = 0x20000;
}  // namespace XmlNode

struct SXmlToken
{
    int nType = XmlNode::kEndOfText;
    uint32_t nStart = 0;
    uint32_t nLength = 0;
    uint32_t nNameStart = 0;  // start and end tags: the tag name
    uint32_t nNameLength = 0;
    bool bEmptyElement = false;
    bool bUnterminated = false;     // error tokens: unterminated rather than incorrect
    const char* pszErrorKind = "";  // error tokens: what was malformed

    // The error text of an error token.
    [[nodiscard]] QString ErrorText() const;
};

// Reads one node at a time from text[nBegin, nEnd). Nothing outside that range is ever read.
// Every scan that runs to the end of the range without finding its terminator is remembered, so
// that a later construct of the same kind is known unterminated without scanning again: the time
// is linear in the length of the range whatever the input.
class CXmlTokenizer
{
public:
    CXmlTokenizer(const char16_t* pText, uint32_t nBegin, uint32_t nEnd);

    void Next(SXmlToken& tok);
    [[nodiscard]] uint32_t Offset() const { return m_nPos; }

    static bool IsWhitespace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
    static bool IsNameEnd(char16_t c) { return IsWhitespace(c) || c == u'/' || c == u'>'; }
    static bool IsNameStart(char16_t c) { return (c >= u'A' && c <= u'Z') || c >= 97 || c == u'_' || c == u':'; }

private:
    void ReadStartTag(SXmlToken& tok, uint32_t i);
    void ReadEndTag(SXmlToken& tok, uint32_t i);
    void ReadMarkup(SXmlToken& tok, uint32_t i);
    void ReadDocType(SXmlToken& tok, uint32_t i);
    // What a failed search looked for; each has its own "not found from here on" mark.
    enum EMiss
    {
        kMissOpen,
        kMissClose,
        kMissNameEnd,
        kMissPi,
        kMissComment,
        kMissCData,
        kMissCount
    };

    uint32_t Find(uint32_t nFrom, char16_t c);
    uint32_t Find(uint32_t nFrom, const char16_t* pszSeq, uint32_t nSeqLen, EMiss eMiss);
    uint32_t FindNameEnd(uint32_t nFrom);
    bool KnownMissing(EMiss eMiss, uint32_t nFrom) const { return nFrom >= m_aMissFrom[eMiss]; }
    void NoteMissing(EMiss eMiss, uint32_t nFrom);
    uint32_t ScanTagEnd(uint32_t nFrom);
    bool DocTypeKnownUnterminated(uint32_t nFrom) const;
    void NoteDocTypeUnterminated(uint32_t nFrom);
    void Finish(SXmlToken& tok, int nType, uint32_t nEnd);
    void Incorrect(SXmlToken& tok, const char* pszKind);
    void Unterminated(SXmlToken& tok, const char* pszKind);

    const char16_t* m_pText;
    uint32_t m_nBegin;
    uint32_t m_nPos;
    uint32_t m_nEnd;
    uint32_t m_aMissFrom[kMissCount];
    // Per position, the quote states (bit 0: none, 1: double, 2: single) in which a tag scan
    // from there is known to run to the end without a closing '>'.
    std::vector<uint8_t> m_tagDeadEnds;
    // The first unterminated doctype: where its scan began, and per position whether its nesting
    // depth never fell below the depth there (a doctype opened there is unterminated too).
    uint32_t m_nDocTypeFrom = 0;
    std::vector<uint8_t> m_docTypeOpenToEnd;
};
