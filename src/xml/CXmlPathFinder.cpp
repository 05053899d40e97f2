#include "xml/CXmlPathFinder.h"

#include "xml/CXmlNames.h"

CXmlPathFinder::CXmlPathFinder(std::u16string_view text, const CXmlRecordStore& store, bool bIgnoreCase)
    : m_text(text)
    , m_store(store)
    , m_bIgnoreCase(bIgnoreCase)
{
}

size_t CXmlPathFinder::StepEnd(std::u16string_view path)
{
    bool bInPredicate = false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == u'[') {
            bInPredicate = true;
        } else if (path[i] == u']') {
            bInPredicate = false;
        } else if (path[i] == u'/' && !bInPredicate) {
            return i;
        }
    }
    return path.size();
}

CXmlPathFinder::SStep CXmlPathFinder::ParseStep(std::u16string_view text)
{
    SStep step;
    const size_t nOpen = text.find(u'[');
    step.name = text;
    step.bAny = text.empty() || text[0] == u'*' || nOpen == 0;
    if (nOpen == std::u16string_view::npos) {
        return step;
    }
    std::u16string_view pred = text.substr(nOpen + 1);
    pred = pred.substr(0, pred.find(u']'));
    bool bNumber = !pred.empty();
    uint64_t n = 0;
    for (char16_t c : pred) {
        if (c < u'0' || c > u'9') {
            bNumber = false;
            break;
        }
        n = n > 0xFFFFFFFFull ? n : n * 10 + (c - u'0');
    }
    if (bNumber) {
        step.nNth = n;
    } else {
        step.predicate = pred;
    }
    return step;
}

bool CXmlPathFinder::Matches(uint32_t i, const SStep& step) const
{
    const SXmlElemRecord& r = m_store[i];
    if (!step.bAny && !CXmlNames::Matches(CXmlNames::TagName(m_text, r), step.name, m_bIgnoreCase)) {
        return false;
    }
    if (step.predicate.empty()) {
        return true;
    }
    if (step.predicate[0] == u'@') {
        return CXmlNames::HasAttribute(m_text, r, step.predicate.substr(1), m_bIgnoreCase);
    }
    for (uint32_t c = r.iElemChild; c; c = m_store[c].iElemNext) {
        if (CXmlNames::Matches(CXmlNames::TagName(m_text, m_store[c]), step.predicate, m_bIgnoreCase)) {
            return true;
        }
    }
    return false;
}

uint32_t CXmlPathFinder::FindStep(const SStep& step, uint32_t iParent, uint32_t iAfter) const
{
    uint64_t nLeft = step.nNth;
    if (nLeft == 0) {
        return 0;
    }
    uint32_t i = iAfter ? m_store[iAfter].iElemNext : m_store[iParent].iElemChild;
    for (; i; i = m_store[i].iElemNext) {
        if (Matches(i, step) && --nLeft == 0) {
            return i;
        }
    }
    return 0;
}

uint32_t CXmlPathFinder::NextInOrder(uint32_t i, uint32_t iScope) const
{
    if (m_store[i].iElemChild) {
        return m_store[i].iElemChild;
    }
    while (i && i != iScope && !m_store[i].iElemNext) {
        i = m_store[i].iElemParent;
    }
    return (i && i != iScope) ? m_store[i].iElemNext : 0;
}

uint32_t CXmlPathFinder::FindDeep(const SStep& step, uint32_t iScope, uint32_t iAfter) const
{
    uint64_t nLeft = step.nNth;
    if (nLeft == 0) {
        return 0;
    }
    uint32_t i = iAfter ? NextInOrder(iAfter, iScope) : m_store[iScope].iElemChild;
    for (; i; i = NextInOrder(i, iScope)) {
        if (Matches(i, step) && --nLeft == 0) {
            return i;
        }
    }
    return 0;
}

uint32_t CXmlPathFinder::Find(std::u16string_view path, uint32_t iParent, uint32_t iAfter, uint32_t iDeepScope) const
{
    if (path.substr(0, 2) == u"//") {
        path.remove_prefix(2);
        const size_t nEnd = StepEnd(path);
        if (nEnd < path.size()) {
            return 0;  // "//" takes a single step
        }
        return FindDeep(ParseStep(path), iDeepScope, iAfter);
    }
    if (!path.empty() && path[0] == u'/') {
        path.remove_prefix(1);
        iParent = 0;
        iAfter = 0;
    }
    for (;;) {
        const size_t nEnd = StepEnd(path);
        const uint32_t iFound = FindStep(ParseStep(path.substr(0, nEnd)), iParent, iAfter);
        if (!iFound || nEnd >= path.size()) {
            return iFound;
        }
        path.remove_prefix(nEnd + 1);
        iParent = iFound;
        iAfter = 0;
    }
}
