#pragma once

#include "xml/CXmlRecordStore.h"

#include <cstdint>
#include <string_view>

// Resolves the names and paths given to the find operations.
//
// A path is a series of steps separated by "/"; a leading "/" starts at the document level, a
// leading "//" searches a whole subtree in document order (one step only). A step is a name or "*", optionally followed
// by one predicate: [N] the N-th match,
// [@attr] has that attribute, [name] has a child element of that name.
class CXmlPathFinder
{
public:
    CXmlPathFinder(std::u16string_view text, const CXmlRecordStore& store, bool bIgnoreCase);

    // Searches among the children of iParent after iAfter (0: from the first child); a "//" path
    // searches the subtree of iDeepScope after iAfter in document order. Returns the element
    // found, or 0.
    [[nodiscard]] uint32_t Find(std::u16string_view path, uint32_t iParent, uint32_t iAfter, uint32_t iDeepScope) const;

private:
    struct SStep
    {
        std::u16string_view name;  // the step text as name pattern (ends with '[' or its end)
        std::u16string_view predicate;
        bool bAny = false;
        uint64_t nNth = 1;
    };

    [[nodiscard]] static SStep ParseStep(std::u16string_view step);
    [[nodiscard]] static size_t StepEnd(std::u16string_view path);
    [[nodiscard]] bool Matches(uint32_t i, const SStep& step) const;
    [[nodiscard]] uint32_t FindStep(const SStep& step, uint32_t iParent, uint32_t iAfter) const;
    [[nodiscard]] uint32_t FindDeep(const SStep& step, uint32_t iScope, uint32_t iAfter) const;
    [[nodiscard]] uint32_t NextInOrder(uint32_t i, uint32_t iScope) const;

    std::u16string_view m_text;
    const CXmlRecordStore& m_store;
    bool m_bIgnoreCase;
};
