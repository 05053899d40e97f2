#pragma once

#include "xml/CXmlRecordStore.h"

#include <cstdint>
#include <string>
#include <string_view>

// Writes new elements and element content into the document text and keeps the record store
// consistent in place: records after the edit are shifted, enclosing elements grow.
class CXmlEditor
{
public:
    static constexpr uint32_t kMaxDocLength = 0x7FFFFFF0;

    CXmlEditor(std::u16string& strText, CXmlRecordStore& store);

    // Inserts an element under iParent: after iRef (before it with bBefore), or as the first child
    // directly after the parent's start tag when iRef is 0 (at the end of the document when the
    // parent is record 0). Returns the new record, 0 on failure.
    [[nodiscard]] uint32_t Insert(
        uint32_t iParent, uint32_t iRef, bool bBefore, std::u16string_view name, std::u16string_view data, int nFlags);

    // Replaces the content of an element without child elements.
    [[nodiscard]] bool SetContent(uint32_t i, std::u16string_view data, int nFlags);

    // A name the tokenizer reads back as a whole tag name and the finds can match.
    [[nodiscard]] static bool IsValidName(std::u16string_view name);
    // The content as written: escaped text, or a CDATA section with flag 0x1.
    [[nodiscard]] static std::u16string ContentText(std::u16string_view data, int nFlags);

private:
    [[nodiscard]] bool
    Replace(uint32_t nPos, uint32_t nRemove, const std::u16string& strInsert, uint32_t iExclude, uint32_t iGrowFrom);
    void LinkAfter(uint32_t iRef, uint32_t i);
    void LinkBefore(uint32_t iRef, uint32_t i);
    void LinkFirst(uint32_t iParent, uint32_t i);

    std::u16string& m_strText;
    CXmlRecordStore& m_store;
};
