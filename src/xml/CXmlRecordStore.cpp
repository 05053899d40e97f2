#include "xml/CXmlRecordStore.h"

CXmlRecordStore::CXmlRecordStore()
{
    Reset(8);
}

void CXmlRecordStore::Reset(uint32_t nReserve)
{
    m_pages.clear();
    m_nAllocated = 0;
    Grow(nReserve < 1 ? 1 : nReserve);
    (*this)[0] = SXmlElemRecord{};
    m_nNextFree = 1;
    m_nFreeHead = 0;
}

void CXmlRecordStore::Grow(uint32_t nMin)
{
    while (m_nAllocated < nMin) {
        if (m_nAllocated < kPageSize) {
            // First page: grow by half (at least to nMin), up to a full page.
            uint64_t nNew = static_cast<uint64_t>(m_nAllocated) + m_nAllocated / 2;
            if (nNew < nMin) {
                nNew = nMin;
            }
            if (nNew < 8) {
                nNew = 8;
            }
            if (nNew > kPageSize) {
                nNew = kPageSize;
            }
            if (m_pages.empty()) {
                m_pages.emplace_back();
            }
            m_pages[0].resize(nNew);
            m_nAllocated = static_cast<uint32_t>(nNew);
        } else {
            if (m_pages.size() >= (uint64_t{1} << (32 - kPageBits))) {
                return;
            }
            m_pages.emplace_back(kPageSize);
            m_nAllocated = m_pages.size() >= (uint64_t{1} << (32 - kPageBits))
                               ? 0xFFFFFFFFu
                               : static_cast<uint32_t>(m_pages.size() * kPageSize);
        }
    }
}

uint32_t CXmlRecordStore::Allocate()
{
    uint32_t i = 0;
    if (m_nFreeHead) {
        i = m_nFreeHead;
        m_nFreeHead = (*this)[i].iElemNext;
    } else {
        if (m_nNextFree == 0xFFFFFFFFu) {
            return 0;
        }
        if (m_nNextFree >= m_nAllocated) {
            Grow(m_nNextFree + 1);
            if (m_nNextFree >= m_nAllocated) {
                return 0;
            }
        }
        i = m_nNextFree++;
    }
    (*this)[i] = SXmlElemRecord{};
    return i;
}

void CXmlRecordStore::Free(uint32_t i)
{
    if (!IsElement(i)) {
        return;
    }
    SXmlElemRecord& r = (*this)[i];
    r = SXmlElemRecord{};
    r.nFlags = XmlElem::kFreed;
    r.iElemNext = m_nFreeHead;
    m_nFreeHead = i;
}

void CXmlRecordStore::LinkLastChild(uint32_t iParent, uint32_t i)
{
    SXmlElemRecord& parent = (*this)[iParent];
    SXmlElemRecord& r = (*this)[i];
    r.iElemParent = iParent;
    r.iElemNext = 0;
    if (!parent.iElemChild) {
        parent.iElemChild = i;
        r.iElemPrev = i;
        r.nFlags |= XmlElem::kFirstChild;
        return;
    }
    SXmlElemRecord& first = (*this)[parent.iElemChild];
    const uint32_t iLast = first.iElemPrev;
    (*this)[iLast].iElemNext = i;
    r.iElemPrev = iLast;
    first.iElemPrev = i;
}

void CXmlRecordStore::UnwrapChildren(uint32_t i)
{
    SXmlElemRecord& r = (*this)[i];
    const uint32_t iFirst = r.iElemChild;
    if (!iFirst) {
        return;
    }
    const uint32_t iParent = r.iElemParent;
    const uint32_t iLast = (*this)[iFirst].iElemPrev;
    for (uint32_t c = iFirst; c; c = (*this)[c].iElemNext) {
        (*this)[c].iElemParent = iParent;
    }
    (*this)[iFirst].nFlags &= ~XmlElem::kFirstChild;
    const uint32_t iNext = r.iElemNext;
    r.iElemNext = iFirst;
    r.iElemChild = 0;
    (*this)[iFirst].iElemPrev = i;
    (*this)[iLast].iElemNext = iNext;
    if (iNext) {
        (*this)[iNext].iElemPrev = iLast;
    } else {
        (*this)[(*this)[iParent].iElemChild].iElemPrev = iLast;
    }
}
