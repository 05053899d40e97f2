#include "xml/CXmlDocument.h"

#include <vector>

// Verification of the index: every element is reached exactly once from record 0, the sibling
// chains are consistent (circular previous links, first-child flags), and every element lies
// inside its parent's content, after its previous sibling, starting with '<'.
bool CXmlDocument::IsIndexConsistent() const
{
    const SXmlElemRecord& doc = m_store[0];
    if (doc.nStart != 0 || doc.nLength != m_strDoc.size()) {
        return false;
    }
    uint64_t nInUse = 0;
    for (uint32_t i = 1; i < m_store.NextFree(); ++i) {
        nInUse += m_store.IsElement(i) ? 1 : 0;
    }
    uint64_t nVisited = 0;
    std::vector<uint32_t> work{0};
    while (!work.empty()) {
        const uint32_t p = work.back();
        work.pop_back();
        const SXmlElemRecord& pr = m_store[p];
        const uint32_t iFirst = pr.iElemChild;
        if (!iFirst) {
            continue;
        }
        uint64_t nPos = p ? pr.ContentStart() : 0;
        const uint64_t nLimit = p ? pr.ContentEnd() : m_strDoc.size();
        uint32_t iPrev = 0;
        for (uint32_t c = iFirst; c; c = m_store[c].iElemNext) {
            if (!m_store.IsElement(c) || ++nVisited > nInUse) {
                return false;
            }
            const SXmlElemRecord& r = m_store[c];
            const bool bFirstFlag = r.nFlags & XmlElem::kFirstChild;
            if (r.iElemParent != p || (iPrev && r.iElemPrev != iPrev) || bFirstFlag != (c == iFirst)) {
                return false;
            }
            if (r.nStart < nPos || uint64_t{r.nStart} + r.nLength > nLimit || r.StartTagLen() < 2
                || uint64_t{r.StartTagLen()} + r.EndTagLen() > r.nLength || m_strDoc[r.nStart] != u'<') {
                return false;
            }
            nPos = uint64_t{r.nStart} + r.nLength;
            work.push_back(c);
            iPrev = c;
        }
        if (m_store[iFirst].iElemPrev != iPrev) {
            return false;
        }
    }
    return nVisited == nInUse;
}
