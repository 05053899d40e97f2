#pragma once

#include "xml/XmlElemRecord.h"

#include <cstdint>
#include <vector>

// Paged store of element records: record i lives in page i >> 16 at i & 0xFFFF. The first page
// grows by half until it holds 65,536 records; after that whole pages are added, so records
// beyond the first page never move. Record 0 stands for the document.
class CXmlRecordStore
{
public:
    static constexpr uint32_t kPageBits = 16;
    static constexpr uint32_t kPageSize = 1u << kPageBits;
    static constexpr uint32_t kPageMask = kPageSize - 1;

    CXmlRecordStore();

    // Empties the store and makes room for nReserve records; record 0 is cleared and in use.
    void Reset(uint32_t nReserve);

    // Hands out a record (from the free list first), cleared. Returns 0 when the 32-bit index
    // space is exhausted. May throw std::bad_alloc.
    [[nodiscard]] uint32_t Allocate();
    void Free(uint32_t i);

    SXmlElemRecord& operator[](uint32_t i) { return m_pages[i >> kPageBits][i & kPageMask]; }
    const SXmlElemRecord& operator[](uint32_t i) const { return m_pages[i >> kPageBits][i & kPageMask]; }

    // Number of records handed out (record 0 included).
    [[nodiscard]] uint32_t NextFree() const { return m_nNextFree; }
    [[nodiscard]] uint32_t FreeHead() const { return m_nFreeHead; }
    [[nodiscard]] uint32_t Capacity() const { return m_nAllocated; }
    // True for an element record in use (never for record 0).
    [[nodiscard]] bool IsElement(uint32_t i) const
    {
        return i != 0 && i < m_nNextFree && !((*this)[i].nFlags & XmlElem::kFreed);
    }

    // Links i as the last child of iParent.
    void LinkLastChild(uint32_t iParent, uint32_t i);
    // Makes the children of i its following siblings under its parent.
    void UnwrapChildren(uint32_t i);

private:
    void Grow(uint32_t nMin);

    std::vector<std::vector<SXmlElemRecord>> m_pages;
    uint32_t m_nAllocated = 0;
    uint32_t m_nNextFree = 1;
    uint32_t m_nFreeHead = 0;
};
