#include "xml/CXmlTagStack.h"

#include "xml/CXmlNames.h"

#include <random>

namespace {

constexpr uint64_t kFnvPrime = 0x100000001b3ULL;

uint64_t ProcessSeed()
{
    static const uint64_t nSeed = [] {
        std::random_device rd;
        return (uint64_t{rd()} << 32) ^ rd() ^ 0xcbf29ce484222325ULL;
    }();
    return nSeed;
}

}  // namespace

CXmlTagStack::CXmlTagStack(const char16_t* pText, bool bIgnoreCase)
    : m_pText(pText)
    , m_bIgnoreCase(bIgnoreCase)
    , m_nSeed(ProcessSeed())
{
    m_entries.reserve(6);
}

void CXmlTagStack::Push(uint32_t iRecord, uint32_t nNameStart, uint32_t nNameLength)
{
    if (m_entries.size() == m_entries.capacity()) {
        m_entries.reserve(2 * m_entries.size() + 6);
    }
    m_entries.push_back(SEntry{iRecord, nNameStart, nNameLength, -1, 0});
}

void CXmlTagStack::Pop()
{
    const size_t i = m_entries.size() - 1;
    if (i < m_nIndexed) {
        // The top entry is the latest of its hash chain.
        const SEntry& e = m_entries[i];
        m_topByHash[e.nHash] = e.iPrevSame;
        m_nIndexed = i;
    }
    m_entries.pop_back();
}

void CXmlTagStack::IndexUpTo(size_t nCount)
{
    for (; m_nIndexed < nCount; ++m_nIndexed) {
        SEntry& e = m_entries[m_nIndexed];
        uint64_t h = m_nSeed;
        for (char16_t c : Name(e)) {
            h = (h ^ (m_bIgnoreCase ? CXmlNames::Fold(c) : c)) * kFnvPrime;
        }
        e.nHash = h;
        auto [it, bNew] = m_topByHash.try_emplace(h, -1);
        e.iPrevSame = it->second;
        it->second = static_cast<int64_t>(m_nIndexed);
    }
}

int64_t CXmlTagStack::FindMatch(std::u16string_view endName)
{
    if (m_entries.size() > m_nIndexed + kDirectScan) {
        IndexUpTo(m_entries.size() - kDirectScan);
    }
    for (size_t i = m_entries.size(); i > m_nIndexed; --i) {
        if (CXmlNames::Matches(Name(m_entries[i - 1]), endName, m_bIgnoreCase)) {
            return static_cast<int64_t>(i - 1);
        }
    }
    if (m_nIndexed == 0) {
        return -1;
    }
    // Deeper entries: a start-tag name matches when it equals the end-tag name up to one of its
    // cut characters, so look up every such prefix.
    int64_t iBest = -1;
    uint64_t h = m_nSeed;
    for (size_t k = 0; k <= endName.size(); ++k) {
        if (k > 0 && (k == endName.size() || CXmlNames::IsCut(endName[k]))) {
            const auto it = m_topByHash.find(h);
            for (int64_t j = it == m_topByHash.end() ? -1 : it->second; j > iBest; j = m_entries[j].iPrevSame) {
                if (CXmlNames::Equal(Name(m_entries[j]), endName.substr(0, k), m_bIgnoreCase)) {
                    iBest = j;
                    break;
                }
            }
        }
        if (k < endName.size()) {
            h = (h ^ (m_bIgnoreCase ? CXmlNames::Fold(endName[k]) : endName[k])) * kFnvPrime;
        }
    }
    return iBest;
}
