#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

// The parser's stack of open start tags. Finding the start tag that an end tag closes costs
// O(end-tag length) however deep the stack is: the top entries are scanned directly, deeper
// entries are reached through a hash index of their names (built lazily, so ordinary documents
// never pay for it).
class CXmlTagStack
{
public:
    struct SEntry
    {
        uint32_t iRecord;
        uint32_t nNameStart;
        uint32_t nNameLength;
        int64_t iPrevSame;  // next lower indexed entry with the same name hash
        uint64_t nHash;
    };

    CXmlTagStack(const char16_t* pText, bool bIgnoreCase);

    void Push(uint32_t iRecord, uint32_t nNameStart, uint32_t nNameLength);
    void Pop();
    [[nodiscard]] bool Empty() const { return m_entries.empty(); }
    [[nodiscard]] size_t Size() const { return m_entries.size(); }
    [[nodiscard]] const SEntry& At(size_t i) const { return m_entries[i]; }
    [[nodiscard]] const SEntry& Top() const { return m_entries.back(); }

    // The highest stack position whose name the end-tag name matches, or -1.
    [[nodiscard]] int64_t FindMatch(std::u16string_view endName);

private:
    static constexpr size_t kDirectScan = 32;
    [[nodiscard]] std::u16string_view Name(const SEntry& e) const { return {m_pText + e.nNameStart, e.nNameLength}; }
    void IndexUpTo(size_t nCount);

    const char16_t* m_pText;
    bool m_bIgnoreCase;
    uint64_t m_nSeed;
    std::vector<SEntry> m_entries;
    size_t m_nIndexed = 0;  // entries [0, m_nIndexed) are in the index
    std::unordered_map<uint64_t, int64_t> m_topByHash;
};
