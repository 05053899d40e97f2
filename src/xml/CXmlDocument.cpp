#include "xml/CXmlDocument.h"

#include "xml/CXmlEditor.h"
#include "xml/CXmlFile.h"
#include "xml/CXmlNames.h"
#include "xml/CXmlParser.h"
#include "xml/CXmlPathFinder.h"
#include "xml/CXmlTokenizer.h"

#include <QHash>

#include <new>

namespace {

std::u16string_view View(const QString& s)
{
    return {QStringView(s).utf16(), static_cast<size_t>(s.size())};
}

QString ToQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

}  // namespace

CXmlDocument::CXmlDocument() = default;

bool CXmlDocument::SetDocument(const QString& strText)
{
    try {
        return SetDocument(std::u16string(View(strText)));
    } catch (const std::bad_alloc&) {
        m_strResult = QStringLiteral("Out of memory");
        return false;
    }
}

bool CXmlDocument::SetDocument(std::u16string strText)
{
    m_strDoc = std::move(strText);
    m_strResult.clear();
    return Parse();
}

bool CXmlDocument::LoadFile(const QString& strPath)
{
    QString strDescription;
    QString strError;
    try {
        std::u16string strText;
        if (!CXmlFile::Read(strPath, strText, m_nDocFlags, strDescription, strError)) {
            m_strResult = strError;
            return false;
        }
        m_strDoc = std::move(strText);
    } catch (const std::bad_alloc&) {
        m_strResult = QStringLiteral("Out of memory");
        return false;
    }
    m_strResult = strDescription;
    return Parse();
}

bool CXmlDocument::SaveFile(const QString& strPath, int nMode)
{
    QString strDescription;
    QString strError;
    try {
        if (!CXmlFile::Write(strPath, m_strDoc, m_nDocFlags, strDescription, strError, nMode)) {
            m_strResult = strError;
            return false;
        }
    } catch (const std::bad_alloc&) {
        m_strResult = QStringLiteral("Out of memory");
        return false;
    }
    m_strResult = strDescription;
    return true;
}

QString CXmlDocument::GetDocument() const
{
    return ToQString(m_strDoc);
}

bool CXmlDocument::Parse()
{
    const QString strKept = m_strResult;
    m_strResult.clear();
    SetCursor(0, 0, 0);
    for (auto& bucket : m_savedPos) {
        bucket.clear();
    }
    QString strError;
    try {
        if (m_strDoc.size() > CXmlEditor::kMaxDocLength) {
            m_store.Reset(8);
            m_store[0].nFlags |= XmlElem::kParseError;
            strError = QStringLiteral("Document too large");
        } else {
            m_store.Reset(static_cast<uint32_t>(m_strDoc.size() / 64 + 8));
            if (m_strDoc.empty()) {
                strError = QStringLiteral("Empty document");
            } else {
                CXmlParser parser(m_strDoc, m_store, m_nDocFlags & kDocIgnoreCase);
                strError = parser.Parse();
                m_store[0].nLength = static_cast<uint32_t>(m_strDoc.size());
                const uint32_t iRoot = m_store[0].iElemChild;
                if (!iRoot && strError.isEmpty()) {
                    strError = QStringLiteral("No root element");
                } else if (iRoot && m_store[iRoot].iElemNext && strError.isEmpty()) {
                    strError = QStringLiteral("Root element has sibling");
                }
            }
        }
    } catch (const std::bad_alloc&) {
        m_store.Reset(8);
        m_store[0].nFlags |= XmlElem::kParseError;
        strError = QStringLiteral("Out of memory");
    }
    SetCursor(0, 0, 0);
    if (!strKept.isEmpty()) {
        m_strResult = strError.isEmpty() ? strKept : strKept + QStringLiteral(", ") + strError;
    } else {
        m_strResult = strError;
    }
    m_nDocFlags &= ~kDocModified;
    return IsWellFormed();
}

bool CXmlDocument::IsWellFormed() const
{
    const SXmlElemRecord& doc = m_store[0];
    return !(doc.nFlags & XmlElem::kParseError) && doc.iElemChild && !m_store[doc.iElemChild].iElemNext;
}

void CXmlDocument::SetCursor(uint32_t iParent, uint32_t iPos, uint32_t iChild)
{
    m_iPosParent = iParent;
    m_iPos = iPos;
    m_iPosChild = iChild;
    m_nNodeType = iPos ? 1 : 0;
    m_nNodeOffset = 0;
    m_nNodeLength = 0;
}

void CXmlDocument::ResetPos()
{
    SetCursor(0, 0, 0);
}

uint32_t CXmlDocument::FindPath(const QString& strPath, uint32_t iParent, uint32_t iAfter, uint32_t iDeepScope) const
{
    const CXmlPathFinder finder(m_strDoc, m_store, m_nDocFlags & kDocIgnoreCase);
    return finder.Find(View(strPath), iParent, iAfter, iDeepScope);
}

bool CXmlDocument::FindElement(const QString& strName)
{
    if (m_store.NextFree() <= 1) {
        return false;
    }
    // "//" searches the whole document after the main position, so repeated calls visit every
    // match in document order.
    const uint32_t i = FindPath(strName, m_iPosParent, m_iPos, 0);
    if (!i) {
        return false;
    }
    SetCursor(m_store[i].iElemParent, i, 0);
    return true;
}

bool CXmlDocument::FindChildElement(const QString& strName)
{
    const uint32_t iParent = m_iPosParent;
    const uint32_t iPos = m_iPos;
    const uint32_t iChild = m_iPosChild;
    if (!m_iPos && !FindElement()) {
        return false;
    }
    const uint32_t i = FindPath(strName, m_iPos, m_iPosChild, m_iPos);
    if (!i) {
        SetCursor(iParent, iPos, iChild);
        return false;
    }
    const uint32_t iMain = m_store[i].iElemParent;
    SetCursor(iMain ? m_store[iMain].iElemParent : 0, iMain, i);
    return true;
}

void CXmlDocument::RestartChildSearch()
{
    SetCursor(m_iPosParent, m_iPos, 0);
}

bool CXmlDocument::EnterElement()
{
    if (!m_iPos || m_nNodeType != 1) {
        return false;
    }
    SetCursor(m_iPos, m_iPosChild, 0);
    return true;
}

bool CXmlDocument::LeaveElement()
{
    if (!m_iPosParent) {
        return false;
    }
    SetCursor(m_store[m_iPosParent].iElemParent, m_iPosParent, m_iPos);
    return true;
}

void CXmlDocument::SavePos(const QString& strName)
{
    auto& bucket = m_savedPos[qHash(strName) % m_savedPos.size()];
    for (SSavedPos& s : bucket) {
        if (s.strName == strName) {
            s = SSavedPos{strName, m_iPosParent, m_iPos, m_iPosChild};
            return;
        }
    }
    bucket.push_back(SSavedPos{strName, m_iPosParent, m_iPos, m_iPosChild});
}

bool CXmlDocument::RestorePos(const QString& strName)
{
    for (const SSavedPos& s : m_savedPos[qHash(strName) % m_savedPos.size()]) {
        if (s.strName == strName) {
            SetCursor(s.iParent, s.iPos, s.iChild);
            return true;
        }
    }
    return false;
}

QString CXmlDocument::TagNameOf(uint32_t i) const
{
    return m_store.IsElement(i) ? ToQString(CXmlNames::TagName(m_strDoc, m_store[i])) : QString();
}

QString CXmlDocument::ElementData(uint32_t i) const
{
    if (!m_store.IsElement(i) || m_store[i].iElemChild) {
        return {};
    }
    const SXmlElemRecord& r = m_store[i];
    const uint32_t nStart = r.ContentStart();
    const uint32_t nEnd = r.ContentEnd();
    if (nEnd <= nStart || nEnd > m_strDoc.size()) {
        return {};
    }
    const std::u16string_view content = std::u16string_view(m_strDoc).substr(nStart, nEnd - nStart);
    if (content.find(u'<') == std::u16string_view::npos) {
        return ToQString(DecodeEntities(content));
    }
    std::u16string out;
    CXmlTokenizer tokenizer(m_strDoc.data(), nStart, nEnd);
    SXmlToken tok;
    for (tokenizer.Next(tok); tok.nType != XmlNode::kEndOfText; tokenizer.Next(tok)) {
        const std::u16string_view node = std::u16string_view(m_strDoc).substr(tok.nStart, tok.nLength);
        if (tok.nType == XmlNode::kText) {
            out += DecodeEntities(node);
        } else if (tok.nType == XmlNode::kCData && node.size() >= 3) {
            const size_t nInnerEnd = node.size() - 3;
            const size_t nInner = std::min<size_t>(9, nInnerEnd);
            out += node.substr(nInner, nInnerEnd - nInner);
        }
    }
    return ToQString(out);
}

bool CXmlDocument::AppendElement(const QString& strName, const QString& strData, int nFlags)
{
    try {
        return Append(strName, strData, nFlags);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CXmlDocument::Append(const QString& strName, const QString& strData, int nFlags)
{
    if (nFlags & kAppendReplace) {
        return SetElementData(m_iPos, strData, nFlags);
    }
    CXmlEditor editor(m_strDoc, m_store);
    const bool bBefore = nFlags & kAppendBefore;
    if (nFlags & kAppendAsChild) {
        if (!m_iPos) {
            return false;
        }
        uint32_t iRef = m_iPosChild;
        const uint32_t iFirst = m_store[m_iPos].iElemChild;
        if (!iRef && iFirst) {
            iRef = bBefore ? iFirst : m_store[iFirst].iElemPrev;
        }
        const uint32_t iNew = editor.Insert(m_iPos, iRef, bBefore, View(strName), View(strData), nFlags);
        if (!iNew) {
            return false;
        }
        SetCursor(m_iPosParent, m_iPos, iNew);
    } else {
        const uint32_t iNew = editor.Insert(m_iPosParent, m_iPos, bBefore, View(strName), View(strData), nFlags);
        if (!iNew) {
            return false;
        }
        SetCursor(m_iPosParent, iNew, 0);
    }
    m_nDocFlags |= kDocModified;
    return true;
}

bool CXmlDocument::AppendElementInt(const QString& strName, int nValue, int nFlags)
{
    return AppendElement(strName, QString::number(nValue), nFlags);
}

bool CXmlDocument::SetElementData(uint32_t iPos, const QString& strData, int nFlags)
{
    if (!iPos) {
        return false;
    }
    try {
        CXmlEditor editor(m_strDoc, m_store);
        if (!editor.SetContent(iPos, View(strData), nFlags)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_nDocFlags |= kDocModified;
    SetCursor(m_iPosParent, m_iPos, m_iPosChild);
    return true;
}

bool CXmlDocument::SetElementDataInt(uint32_t iPos, int nValue)
{
    return SetElementData(iPos, QString::number(nValue), 0);
}

bool CXmlDocument::GetRecord(uint32_t i, SXmlElemRecord& rec) const
{
    if (i != 0 && !m_store.IsElement(i)) {
        return false;
    }
    rec = m_store[i];
    return true;
}
