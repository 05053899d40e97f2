#pragma once

#include <cstdint>
#include <string_view>

struct SXmlElemRecord;

// Tag-name and attribute-name helpers shared by the parser, the navigation and the editor.
class CXmlNames
{
public:
    // Folds a character for comparisons that ignore case.
    [[nodiscard]] static char16_t Fold(char16_t c);
    [[nodiscard]] static bool Equal(std::u16string_view a, std::u16string_view b, bool bIgnoreCase);

    // A cut character ends a name inside a pattern: " =/[]".
    [[nodiscard]] static bool IsCut(char16_t c)
    {
        return c == u' ' || c == u'=' || c == u'/' || c == u'[' || c == u']';
    }

    // The candidate's name matches the pattern when the pattern begins with it and ends right
    // there or continues with a cut character.
    [[nodiscard]] static bool Matches(std::u16string_view candidate, std::u16string_view pattern, bool bIgnoreCase);

    // The tag name of an element record (empty for record 0 or a broken record).
    [[nodiscard]] static std::u16string_view TagName(std::u16string_view text, const SXmlElemRecord& r);

    // True when the element's start tag carries an attribute of that name.
    [[nodiscard]] static bool
    HasAttribute(std::u16string_view text, const SXmlElemRecord& r, std::u16string_view name, bool bIgnoreCase);
};
