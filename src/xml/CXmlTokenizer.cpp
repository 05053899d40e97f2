#include "xml/CXmlTokenizer.h"

QString SXmlToken::ErrorText() const
{
    const QString strKind = QString::fromLatin1(pszErrorKind);
    const QString strOffset = QString::number(nStart);
    if (bUnterminated) {
        return QStringLiteral("%1 at offset %2 unterminated").arg(strKind, strOffset);
    }
    return QStringLiteral("Incorrect %1 at offset %2").arg(strKind, strOffset);
}

CXmlTokenizer::CXmlTokenizer(const char16_t* pText, uint32_t nBegin, uint32_t nEnd)
    : m_pText(pText)
    , m_nBegin(nBegin)
    , m_nPos(nBegin)
    , m_nEnd(nEnd)
{
    for (uint32_t& n : m_aMissFrom) {
        n = nEnd;
    }
}

void CXmlTokenizer::Finish(SXmlToken& tok, int nType, uint32_t nEnd)
{
    tok.nType = nType;
    tok.nLength = nEnd - tok.nStart;
    m_nPos = nEnd;
}

// An error token ends before the next '<', so that the parse goes on with whatever follows.
void CXmlTokenizer::Incorrect(SXmlToken& tok, const char* pszKind)
{
    tok.pszErrorKind = pszKind;
    tok.bUnterminated = false;
    Finish(tok, XmlNode::kError, Find(tok.nStart + 1, u'<'));
}

void CXmlTokenizer::Unterminated(SXmlToken& tok, const char* pszKind)
{
    tok.pszErrorKind = pszKind;
    tok.bUnterminated = true;
    Finish(tok, XmlNode::kError, Find(tok.nStart + 1, u'<'));
}

void CXmlTokenizer::Next(SXmlToken& tok)
{
    tok = SXmlToken{};
    tok.nStart = m_nPos;
    uint32_t i = m_nPos;
    if (i >= m_nEnd) {
        tok.nType = XmlNode::kEndOfText;
        return;
    }
    if (m_pText[i] != u'<') {
        while (i < m_nEnd && IsWhitespace(m_pText[i])) {
            ++i;
        }
        if (i >= m_nEnd || m_pText[i] == u'<') {
            Finish(tok, XmlNode::kWhitespace, i);
        } else {
            Finish(tok, XmlNode::kText, Find(i, u'<'));
        }
        return;
    }
    if (i + 1 >= m_nEnd) {
        Unterminated(tok, "tag");
        return;
    }
    const char16_t c = m_pText[i + 1];
    if (IsNameStart(c)) {
        ReadStartTag(tok, i);
    } else if (c == u'/') {
        ReadEndTag(tok, i);
    } else if (c == u'?') {
        const uint32_t e = Find(i + 2, u"?>", 2, kMissPi);
        if (e >= m_nEnd) {
            Unterminated(tok, "Processing instruction");
        } else {
            Finish(tok, XmlNode::kProcessingInstruction, e + 2);
        }
    } else if (c == u'!') {
        ReadMarkup(tok, i);
    } else {
        Incorrect(tok, "tag name character");
    }
}

void CXmlTokenizer::ReadStartTag(SXmlToken& tok, uint32_t i)
{
    const uint32_t nNameEnd = FindNameEnd(i + 1);
    tok.nNameStart = i + 1;
    tok.nNameLength = nNameEnd - (i + 1);
    const uint32_t j = ScanTagEnd(nNameEnd);
    if (j >= m_nEnd) {
        Unterminated(tok, "Element tag");
        return;
    }
    if (j - 1 > i && m_pText[j - 1] == u'/') {
        const uint32_t nSlash = j - 1;
        const char16_t b = m_pText[nSlash - 1];
        tok.bEmptyElement = nSlash == nNameEnd || IsWhitespace(b) || b == u'"' || b == u'\'';
    }
    Finish(tok, XmlNode::kElement, j + 1);
}

void CXmlTokenizer::ReadEndTag(SXmlToken& tok, uint32_t i)
{
    const uint32_t j = FindNameEnd(i + 2);
    tok.nNameStart = i + 2;
    tok.nNameLength = j - (i + 2);
    const uint32_t e = Find(j, u'>');
    if (e >= m_nEnd) {
        Unterminated(tok, "Element end tag");
        return;
    }
    Finish(tok, XmlNode::kEndTag, e + 1);
}

void CXmlTokenizer::ReadMarkup(SXmlToken& tok, uint32_t i)
{
    if (i + 2 >= m_nEnd) {
        Unterminated(tok, "tag");
        return;
    }
    const char16_t c = m_pText[i + 2];
    if (c == u'-') {
        if (i + 3 >= m_nEnd) {
            Unterminated(tok, "Comment");
        } else if (m_pText[i + 3] != u'-') {
            Incorrect(tok, "comment tag");
        } else {
            const uint32_t e = Find(i + 4, u"-->", 3, kMissComment);
            if (e >= m_nEnd) {
                Unterminated(tok, "Comment");
            } else {
                Finish(tok, XmlNode::kComment, e + 3);
            }
        }
    } else if (c == u'[') {
        if (i + 3 >= m_nEnd) {
            Unterminated(tok, "CDATA Section");
        } else if (m_pText[i + 3] != u'C') {
            Incorrect(tok, "tag");
        } else {
            const uint32_t e = Find(i + 3, u"]]>", 3, kMissCData);
            if (e >= m_nEnd) {
                Unterminated(tok, "CDATA Section");
            } else {
                Finish(tok, XmlNode::kCData, e + 3);
            }
        }
    } else if (c == u'D') {
        ReadDocType(tok, i);
    } else {
        Incorrect(tok, "! tag");
    }
}

void CXmlTokenizer::ReadDocType(SXmlToken& tok, uint32_t i)
{
    if (DocTypeKnownUnterminated(i)) {
        Unterminated(tok, "Doctype");
        return;
    }
    // Nested markup declarations (<!ELEMENT, <!ATTLIST, <!NOTATION, <!ENTITY, and the comments
    // and processing instructions between them) each close with their own '>'.
    uint32_t nDepth = 0;
    for (uint32_t j = i + 3; j < m_nEnd; ++j) {
        const char16_t d = m_pText[j];
        if (d == u'<') {
            ++nDepth;
        } else if (d == u'>') {
            if (nDepth == 0) {
                Finish(tok, XmlNode::kDocType, j + 1);
                return;
            }
            --nDepth;
        }
    }
    NoteDocTypeUnterminated(i);
    Unterminated(tok, "Doctype");
}
