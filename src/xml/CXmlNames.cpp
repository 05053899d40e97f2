#include "xml/CXmlNames.h"

#include "xml/CXmlTokenizer.h"
#include "xml/XmlElemRecord.h"

#include <QChar>

char16_t CXmlNames::Fold(char16_t c)
{
    if (c < 128) {
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
        return c;
    }
    return static_cast<char16_t>(QChar::toLower(static_cast<char32_t>(c)));
}

bool CXmlNames::Equal(std::u16string_view a, std::u16string_view b, bool bIgnoreCase)
{
    if (a.size() != b.size()) {
        return false;
    }
    if (!bIgnoreCase) {
        return a == b;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && Fold(a[i]) != Fold(b[i])) {
            return false;
        }
    }
    return true;
}

bool CXmlNames::Matches(std::u16string_view candidate, std::u16string_view pattern, bool bIgnoreCase)
{
    if (pattern.size() < candidate.size()) {
        return false;
    }
    if (!Equal(candidate, pattern.substr(0, candidate.size()), bIgnoreCase)) {
        return false;
    }
    return pattern.size() == candidate.size() || IsCut(pattern[candidate.size()]);
}

std::u16string_view CXmlNames::TagName(std::u16string_view text, const SXmlElemRecord& r)
{
    const uint64_t nTagEnd = static_cast<uint64_t>(r.nStart) + r.StartTagLen();
    if (r.StartTagLen() < 2 || nTagEnd > text.size()) {
        return {};
    }
    size_t j = r.nStart + 1;
    while (j < nTagEnd && !CXmlTokenizer::IsNameEnd(text[j])) {
        ++j;
    }
    return text.substr(r.nStart + 1, j - (r.nStart + 1));
}

bool CXmlNames::HasAttribute(std::u16string_view text,
                             const SXmlElemRecord& r,
                             std::u16string_view name,
                             bool bIgnoreCase)
{
    const std::u16string_view tag = TagName(text, r);
    if (tag.empty()) {
        return false;
    }
    const size_t nEnd = r.nStart + r.StartTagLen() - 1;  // the '>'
    size_t i = r.nStart + 1 + tag.size();
    while (i < nEnd) {
        const char16_t c = text[i];
        if (CXmlTokenizer::IsWhitespace(c) || c == u'/') {
            ++i;
            continue;
        }
        const size_t nNameStart = i;
        while (i < nEnd && !CXmlTokenizer::IsNameEnd(text[i]) && text[i] != u'=') {
            ++i;
        }
        if (i == nNameStart) {
            ++i;  // a stray '=' or quote: step over it
            continue;
        }
        if (Equal(text.substr(nNameStart, i - nNameStart), name, bIgnoreCase)) {
            return true;
        }
        while (i < nEnd && CXmlTokenizer::IsWhitespace(text[i])) {
            ++i;
        }
        if (i >= nEnd || text[i] != u'=') {
            continue;
        }
        ++i;
        while (i < nEnd && CXmlTokenizer::IsWhitespace(text[i])) {
            ++i;
        }
        if (i < nEnd && (text[i] == u'"' || text[i] == u'\'')) {
            const char16_t q = text[i++];
            while (i < nEnd && text[i] != q) {
                ++i;
            }
            ++i;
        } else {
            while (i < nEnd && !CXmlTokenizer::IsWhitespace(text[i])) {
                ++i;
            }
        }
    }
    return false;
}
