#include "xml/CXmlParser.h"

#include "xml/CXmlTagStack.h"
#include "xml/CXmlTokenizer.h"

CXmlParser::CXmlParser(const std::u16string& strText, CXmlRecordStore& store, bool bIgnoreCase)
    : m_strText(strText)
    , m_store(store)
    , m_bIgnoreCase(bIgnoreCase)
{
}

QString CXmlParser::NameAt(uint32_t nStart, uint32_t nLength) const
{
    return QString(reinterpret_cast<const QChar*>(m_strText.data() + nStart), nLength);
}

void CXmlParser::SetError(const QString& strError)
{
    if (!m_bHaveError) {
        m_bHaveError = true;
        m_strError = strError;
    }
}

void CXmlParser::SetErrorFlags(const CXmlTagStack& stack)
{
    m_store[0].nFlags |= XmlElem::kParseError;
    if (!stack.Empty()) {
        m_store[stack.Top().iRecord].nFlags |= XmlElem::kErrorInside;
    }
}

QString CXmlParser::Parse()
{
    const char16_t* pText = m_strText.data();
    CXmlTokenizer tokenizer(pText, 0, static_cast<uint32_t>(m_strText.size()));
    CXmlTagStack stack(pText, m_bIgnoreCase);
    SXmlToken tok;
    for (;;) {
        tokenizer.Next(tok);
        if (tok.nType == XmlNode::kEndOfText) {
            break;
        }
        if (tok.nType == XmlNode::kElement) {
            OnStartTag(tok, stack);
        } else if (tok.nType == XmlNode::kEndTag) {
            OnEndTag(tok, stack);
        } else if (tok.nType == XmlNode::kError) {
            SetErrorFlags(stack);
            SetError(tok.ErrorText());
        }
    }
    if (!stack.Empty()) {
        const CXmlTagStack::SEntry& top = stack.Top();
        SetError(QStringLiteral("Element '%1' at offset %2 not ended")
                     .arg(NameAt(top.nNameStart, top.nNameLength), QString::number(m_store[top.iRecord].nStart)));
        m_store[0].nFlags |= XmlElem::kParseError;
        CloseOpenAbove(stack, 0);
    }
    if (m_bUnwrapped) {
        AssignLevels();
    }
    return m_strError;
}

void CXmlParser::OnStartTag(const SXmlToken& tok, CXmlTagStack& stack)
{
    if (tok.nLength > SXmlElemRecord::kMaxStartTagLen) {
        SetErrorFlags(stack);
        SetError(QStringLiteral("Incorrect %1 at offset %2").arg(QStringLiteral("tag"), QString::number(tok.nStart)));
        return;
    }
    const uint32_t i = m_store.Allocate();
    if (!i) {
        SetErrorFlags(stack);
        SetError(QStringLiteral("Too many elements at offset %1").arg(tok.nStart));
        return;
    }
    const uint32_t iParent = stack.Empty() ? 0 : stack.Top().iRecord;
    m_store.LinkLastChild(iParent, i);
    SXmlElemRecord& r = m_store[i];
    r.SetLevel(static_cast<uint32_t>(stack.Size()));
    r.nStart = tok.nStart;
    r.nLength = tok.nLength;
    r.SetTagLengths(tok.nLength, 0);
    if (!tok.bEmptyElement) {
        stack.Push(i, tok.nNameStart, tok.nNameLength);
    }
}

void CXmlParser::OnEndTag(const SXmlToken& tok, CXmlTagStack& stack)
{
    const std::u16string_view name(m_strText.data() + tok.nNameStart, tok.nNameLength);
    const int64_t iMatch = tok.nLength > SXmlElemRecord::kMaxEndTagLen ? -1 : stack.FindMatch(name);
    if (iMatch < 0) {
        SetErrorFlags(stack);
        SetError(QStringLiteral("No start tag for end tag '%1' at offset %2")
                     .arg(NameAt(tok.nNameStart, tok.nNameLength), QString::number(tok.nStart)));
        return;
    }
    const size_t nMatch = static_cast<size_t>(iMatch);
    if (nMatch + 1 < stack.Size()) {
        const CXmlTagStack::SEntry& top = stack.Top();
        SetError(QStringLiteral("End tag '%1' at offset %2 does not match start tag '%3' at offset %4")
                     .arg(NameAt(tok.nNameStart, tok.nNameLength),
                          QString::number(tok.nStart + 1),
                          NameAt(top.nNameStart, top.nNameLength),
                          QString::number(m_store[top.iRecord].nStart)));
        m_store[0].nFlags |= XmlElem::kParseError;
        CloseOpenAbove(stack, nMatch + 1);
    }
    SXmlElemRecord& r = m_store[stack.Top().iRecord];
    r.nLength = tok.nStart + tok.nLength - r.nStart;
    r.SetTagLengths(r.StartTagLen(), tok.nLength);
    stack.Pop();
}

void CXmlParser::CloseOpenAbove(CXmlTagStack& stack, size_t nKeep)
{
    // Error flags pass from each closed element to its parent, innermost first.
    for (size_t k = stack.Size(); k > nKeep; --k) {
        if (m_store[stack.At(k - 1).iRecord].nFlags & XmlElem::kErrorInside) {
            const uint32_t iParent = k >= 2 ? stack.At(k - 2).iRecord : 0;
            m_store[iParent].nFlags |= XmlElem::kErrorInside;
        }
    }
    // Outermost first, so that every child moves only once.
    for (size_t k = nKeep; k < stack.Size(); ++k) {
        const uint32_t i = stack.At(k).iRecord;
        SXmlElemRecord& r = m_store[i];
        r.nFlags |= XmlElem::kNoEndTag;
        r.nLength = r.StartTagLen();
        r.SetTagLengths(r.StartTagLen(), 0);
        if (r.iElemChild) {
            m_store.UnwrapChildren(i);
            m_bUnwrapped = true;
        }
    }
    while (stack.Size() > nKeep) {
        stack.Pop();
    }
}

void CXmlParser::AssignLevels()
{
    uint32_t i = m_store[0].iElemChild;
    uint32_t nLevel = 0;
    while (i) {
        SXmlElemRecord& r = m_store[i];
        r.SetLevel(nLevel);
        if (r.iElemChild) {
            i = r.iElemChild;
            ++nLevel;
            continue;
        }
        while (i && !m_store[i].iElemNext) {
            i = m_store[i].iElemParent;
            --nLevel;
        }
        if (i) {
            i = m_store[i].iElemNext;
        }
    }
}
