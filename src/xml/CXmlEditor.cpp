#include "xml/CXmlEditor.h"

#include "xml/CXmlNames.h"
#include "xml/CXmlTokenizer.h"
#include "xml/XmlEntities.h"

namespace {

constexpr int kCData = 0x1;
constexpr int kNoLineBreak = 0x2;
constexpr int kSpaceBeforeSlash = 0x4;
constexpr int kNoEndTag = 0x10;
constexpr int kEscapeMask = 0x8 | 0x100;

}  // namespace

CXmlEditor::CXmlEditor(std::u16string& strText, CXmlRecordStore& store)
    : m_strText(strText)
    , m_store(store)
{
}

bool CXmlEditor::IsValidName(std::u16string_view name)
{
    if (name.empty() || name.size() + 3 > SXmlElemRecord::kMaxEndTagLen || !CXmlTokenizer::IsNameStart(name[0])) {
        return false;
    }
    for (char16_t c : name) {
        if (CXmlTokenizer::IsNameEnd(c) || CXmlNames::IsCut(c) || c == u'<' || c == u'&' || c == u'"' || c == u'\'') {
            return false;
        }
    }
    return true;
}

std::u16string CXmlEditor::ContentText(std::u16string_view data, int nFlags)
{
    if (!(nFlags & kCData)) {
        return EncodeEntities(data, nFlags & kEscapeMask);
    }
    // "]]>" inside the data ends one section and starts the next, so the text reads back unchanged.
    std::u16string out = u"<![CDATA[";
    size_t nDone = 0;
    for (size_t i = data.find(u"]]>"); i != std::u16string_view::npos; i = data.find(u"]]>", i + 3)) {
        out.append(data.substr(nDone, i - nDone));
        out.append(u"]]]]><![CDATA[>");
        nDone = i + 3;
    }
    out.append(data.substr(nDone));
    out.append(u"]]>");
    return out;
}

bool CXmlEditor::Replace(
    uint32_t nPos, uint32_t nRemove, const std::u16string& strInsert, uint32_t iExclude, uint32_t iGrowFrom)
{
    const uint64_t nNewSize = m_strText.size() - nRemove + strInsert.size();
    if (nNewSize > kMaxDocLength || nPos > m_strText.size() || nRemove > m_strText.size() - nPos) {
        return false;
    }
    m_strText.replace(nPos, nRemove, strInsert);
    const auto nDelta = static_cast<uint32_t>(static_cast<int64_t>(strInsert.size()) - nRemove);  // wraps
    for (uint32_t i = 1; i < m_store.NextFree(); ++i) {
        SXmlElemRecord& r = m_store[i];
        if (i != iExclude && !(r.nFlags & XmlElem::kFreed) && r.nStart >= nPos) {
            r.nStart += nDelta;
        }
    }
    for (uint32_t a = iGrowFrom; a; a = m_store[a].iElemParent) {
        m_store[a].nLength += nDelta;
    }
    m_store[0].nLength = static_cast<uint32_t>(m_strText.size());
    return true;
}

uint32_t CXmlEditor::Insert(
    uint32_t iParent, uint32_t iRef, bool bBefore, std::u16string_view name, std::u16string_view data, int nFlags)
{
    if (!IsValidName(name) || ((nFlags & kNoEndTag) && !data.empty())) {
        return 0;
    }
    if (iRef) {
        if (!m_store.IsElement(iRef)) {
            return 0;
        }
        iParent = m_store[iRef].iElemParent;
    } else if (iParent && !m_store.IsElement(iParent)) {
        return 0;
    }
    const std::u16string strNl = (nFlags & kNoLineBreak) ? u"" : u"\r\n";
    std::u16string strElem = u"<";
    strElem.append(name);
    uint32_t nStartTag = 0;
    uint32_t nEndTag = 0;
    if (nFlags & kNoEndTag) {
        strElem.append(u">");
        nStartTag = static_cast<uint32_t>(strElem.size());
    } else if (data.empty()) {
        strElem.append((nFlags & kSpaceBeforeSlash) ? u" />" : u"/>");
        nStartTag = static_cast<uint32_t>(strElem.size());
    } else {
        strElem.append(u">");
        nStartTag = static_cast<uint32_t>(strElem.size());
        strElem.append(ContentText(data, nFlags));
        strElem.append(u"</").append(name).append(u">");
        nEndTag = static_cast<uint32_t>(name.size() + 3);
    }
    if (strElem.size() > CXmlEditor::kMaxDocLength) {
        return 0;
    }
    const auto nElemLen = static_cast<uint32_t>(strElem.size());

    uint32_t nPos = 0;
    uint32_t nRemove = 0;
    uint32_t nOffset = 0;  // of the new element inside the inserted text
    std::u16string strInsert;
    SXmlElemRecord parentAfter;  // the parent's tag lengths and flags after opening it up
    bool bOpenParent = false;
    if (iRef) {
        const SXmlElemRecord& ref = m_store[iRef];
        if (bBefore) {
            nPos = ref.nStart;
        } else {
            nPos = ref.nStart + ref.nLength;
            uint32_t j = nPos;
            while (j < m_strText.size() && CXmlTokenizer::IsWhitespace(m_strText[j])) {
                ++j;
            }
            if (j == m_strText.size() || m_strText[j] == u'<') {
                nPos = j;
            }
        }
        strInsert = strElem + strNl;
    } else if (!iParent) {
        nPos = static_cast<uint32_t>(m_strText.size());
        strInsert = strElem + strNl;
    } else {
        const SXmlElemRecord& p = m_store[iParent];
        const std::u16string_view pname = CXmlNames::TagName(m_strText, p);
        const auto nParentEnd = static_cast<uint32_t>(pname.size() + 3);
        parentAfter = p;
        nPos = p.nStart + p.StartTagLen();
        if (p.nFlags & XmlElem::kNoEndTag || p.EndTagLen() == 0) {
            if (pname.empty() || nParentEnd > SXmlElemRecord::kMaxEndTagLen) {
                return 0;
            }
            bOpenParent = true;
            if (p.nFlags & XmlElem::kNoEndTag) {
                nPos = p.nStart + p.StartTagLen() - 1;  // before the '>'
                parentAfter.nFlags &= ~XmlElem::kNoEndTag;
                parentAfter.SetTagLengths(p.StartTagLen(), nParentEnd);
            } else {
                nPos = p.nStart + p.StartTagLen() - 2;  // the '/' of "/>"
                if (p.StartTagLen() < 3 || m_strText[nPos] != u'/') {
                    return 0;
                }
                nRemove = 1;
                parentAfter.SetTagLengths(p.StartTagLen() - 1, nParentEnd);
            }
            const std::u16string strOpen = (nFlags & kNoLineBreak) ? u">" : u">\r\n";
            strInsert = strOpen + strElem + strNl + u"</";
            strInsert.append(pname);
            nOffset = static_cast<uint32_t>(strOpen.size());
        } else if (p.nLength == p.StartTagLen() + p.EndTagLen()) {
            strInsert = strNl + strElem + strNl;
            nOffset = static_cast<uint32_t>(strNl.size());
        } else {
            strInsert = strElem + strNl;
        }
    }

    const uint32_t iNew = m_store.Allocate();
    if (!iNew) {
        return 0;
    }
    if (!Replace(nPos, nRemove, strInsert, iNew, iParent)) {
        m_store.Free(iNew);
        return 0;
    }
    if (bOpenParent) {
        SXmlElemRecord& p = m_store[iParent];
        p.nTagLengths = parentAfter.nTagLengths;
        p.nFlags = (p.nFlags & ~XmlElem::kNoEndTag) | (parentAfter.nFlags & XmlElem::kNoEndTag);
    }
    SXmlElemRecord& r = m_store[iNew];
    r.nStart = nPos + nOffset;
    r.nLength = nElemLen;
    r.SetTagLengths(nStartTag, nEndTag);
    r.nFlags = (nFlags & kNoEndTag) ? XmlElem::kNoEndTag : 0;
    r.SetLevel(iParent ? m_store[iParent].Level() + 1 : 0);
    if (iRef && bBefore) {
        LinkBefore(iRef, iNew);
    } else if (iRef) {
        LinkAfter(iRef, iNew);
    } else {
        LinkFirst(iParent, iNew);
    }
    return iNew;
}

bool CXmlEditor::SetContent(uint32_t i, std::u16string_view data, int nFlags)
{
    if (!m_store.IsElement(i) || m_store[i].iElemChild) {
        return false;
    }
    const SXmlElemRecord& r = m_store[i];
    const std::u16string strContent = data.empty() ? std::u16string() : ContentText(data, nFlags);
    if (r.EndTagLen() > 0) {
        const uint32_t nStart = r.ContentStart();
        return Replace(nStart, r.ContentEnd() - nStart, strContent, 0, i);
    }
    if (data.empty()) {
        return true;
    }
    const std::u16string_view name = CXmlNames::TagName(m_strText, r);
    const auto nEndTag = static_cast<uint32_t>(name.size() + 3);
    if (name.empty() || nEndTag > SXmlElemRecord::kMaxEndTagLen) {
        return false;
    }
    const uint32_t nStartTag = r.StartTagLen();
    if (r.nFlags & XmlElem::kNoEndTag) {
        std::u16string strInsert = strContent + u"</";
        strInsert.append(name).append(u">");
        if (!Replace(r.nStart + nStartTag, 0, strInsert, 0, i)) {
            return false;
        }
        m_store[i].nFlags &= ~XmlElem::kNoEndTag;
        m_store[i].SetTagLengths(nStartTag, nEndTag);
        return true;
    }
    const uint32_t nSlash = r.nStart + nStartTag - 2;
    if (nStartTag < 3 || m_strText[nSlash] != u'/') {
        return false;
    }
    std::u16string strInsert = u">" + strContent + u"</";
    strInsert.append(name);
    if (!Replace(nSlash, 1, strInsert, 0, i)) {
        return false;
    }
    m_store[i].SetTagLengths(nStartTag - 1, nEndTag);
    return true;
}

void CXmlEditor::LinkAfter(uint32_t iRef, uint32_t i)
{
    SXmlElemRecord& ref = m_store[iRef];
    SXmlElemRecord& r = m_store[i];
    r.iElemParent = ref.iElemParent;
    r.iElemPrev = iRef;
    r.iElemNext = ref.iElemNext;
    if (ref.iElemNext) {
        m_store[ref.iElemNext].iElemPrev = i;
    } else {
        m_store[m_store[ref.iElemParent].iElemChild].iElemPrev = i;
    }
    ref.iElemNext = i;
}

void CXmlEditor::LinkBefore(uint32_t iRef, uint32_t i)
{
    SXmlElemRecord& ref = m_store[iRef];
    if (ref.nFlags & XmlElem::kFirstChild) {
        LinkFirst(ref.iElemParent, i);
        return;
    }
    SXmlElemRecord& r = m_store[i];
    r.iElemParent = ref.iElemParent;
    r.iElemPrev = ref.iElemPrev;
    r.iElemNext = iRef;
    m_store[ref.iElemPrev].iElemNext = i;
    ref.iElemPrev = i;
}

void CXmlEditor::LinkFirst(uint32_t iParent, uint32_t i)
{
    SXmlElemRecord& p = m_store[iParent];
    SXmlElemRecord& r = m_store[i];
    r.iElemParent = iParent;
    r.nFlags |= XmlElem::kFirstChild;
    if (!p.iElemChild) {
        r.iElemPrev = i;
        r.iElemNext = 0;
    } else {
        SXmlElemRecord& first = m_store[p.iElemChild];
        r.iElemPrev = first.iElemPrev;
        r.iElemNext = p.iElemChild;
        first.iElemPrev = i;
        first.nFlags &= ~XmlElem::kFirstChild;
    }
    p.iElemChild = i;
}
