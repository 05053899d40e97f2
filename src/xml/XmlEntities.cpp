#include "xml/XmlEntities.h"

namespace {

struct SEntity
{
    char16_t cChar;
    std::u16string_view strWritten;
    std::u16string_view strName;
};

constexpr SEntity kEntities[5] = {
    {u'<', u"&lt;", u"lt;"},
    {u'&', u"&amp;", u"amp;"},
    {u'>', u"&gt;", u"gt;"},
    {u'\'', u"&apos;", u"apos;"},
    {u'"', u"&quot;", u"quot;"},
};

constexpr int kFlagKeepRefs = 0x8;
constexpr int kFlagEscapeQuotes = 0x100;
constexpr size_t kMaxRefDigits = 7;

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Length of a well-formed entity or character reference starting with the '&' at i, else 0.
size_t ReferenceLength(std::u16string_view text, size_t i)
{
    size_t j = i + 1;
    if (j >= text.size()) {
        return 0;
    }
    const char16_t c = text[j];
    if (!(IsAsciiLetter(c) || c == u'#' || c == u'_' || c == u':' || c >= 128)) {
        return 0;
    }
    for (++j; j < text.size(); ++j) {
        const char16_t d = text[j];
        if (d == u';') {
            return j + 1 - i;
        }
        if (!(IsAsciiLetter(d) || IsDigit(d) || d == u'_' || d == u':' || d == u'-' || d == u'.' || d >= 128)) {
            return 0;
        }
    }
    return 0;
}

const SEntity* EscapeOf(char16_t c, int nFlags)
{
    const int nRows = (nFlags & kFlagEscapeQuotes) ? 5 : 3;
    for (int i = 0; i < nRows; ++i) {
        if (kEntities[i].cChar == c) {
            return &kEntities[i];
        }
    }
    return nullptr;
}

int HexValue(char16_t c)
{
    if (IsDigit(c)) {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// Decodes a character reference at text[i] == '&', text[i + 1] == '#'. Returns its length, 0 when
// it is not a valid one.
size_t DecodeCharRef(std::u16string_view text, size_t i, char32_t& cOut)
{
    size_t j = i + 2;
    int nBase = 10;
    if (j < text.size() && text[j] == u'x') {
        nBase = 16;
        ++j;
    }
    const size_t nDigitsStart = j;
    char32_t v = 0;
    while (j < text.size() && j - nDigitsStart < kMaxRefDigits) {
        const int d = nBase == 16 ? HexValue(text[j]) : (IsDigit(text[j]) ? text[j] - u'0' : -1);
        if (d < 0) {
            break;
        }
        v = v * static_cast<char32_t>(nBase) + static_cast<char32_t>(d);
        ++j;
    }
    if (j == nDigitsStart || j >= text.size() || text[j] != u';') {
        return 0;
    }
    if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
        return 0;
    }
    cOut = v;
    return j + 1 - i;
}

}  // namespace

std::u16string EncodeEntities(std::u16string_view text, int nFlags)
{
    // Count first, then fill one buffer.
    size_t nSize = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'&' && (nFlags & kFlagKeepRefs)) {
            if (const size_t n = ReferenceLength(text, i)) {
                nSize += n;
                i += n - 1;
                continue;
            }
        }
        const SEntity* e = EscapeOf(c, nFlags);
        nSize += e ? e->strWritten.size() : 1;
    }
    std::u16string out;
    out.reserve(nSize);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'&' && (nFlags & kFlagKeepRefs)) {
            if (const size_t n = ReferenceLength(text, i)) {
                out.append(text.substr(i, n));
                i += n - 1;
                continue;
            }
        }
        if (const SEntity* e = EscapeOf(c, nFlags)) {
            out.append(e->strWritten);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::u16string DecodeEntities(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t nDone = 0;
    for (size_t i = text.find(u'&'); i != std::u16string_view::npos; i = text.find(u'&', i)) {
        out.append(text.substr(nDone, i - nDone));
        nDone = i;
        size_t nRef = 0;
        if (i + 1 < text.size() && text[i + 1] == u'#') {
            char32_t c = 0;
            nRef = DecodeCharRef(text, i, c);
            if (nRef) {
                if (c >= 0x10000) {
                    c -= 0x10000;
                    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
                    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
                } else {
                    out.push_back(static_cast<char16_t>(c));
                }
            }
        } else {
            const std::u16string_view rest = text.substr(i + 1);
            for (const SEntity& e : kEntities) {
                if (rest.substr(0, e.strName.size()) == e.strName) {
                    out.push_back(e.cChar);
                    nRef = e.strName.size() + 1;
                    break;
                }
            }
        }
        if (nRef) {
            nDone = i + nRef;
            i = nDone;
        } else {
            out.push_back(u'&');
            nDone = ++i;
        }
    }
    out.append(text.substr(nDone));
    return out;
}

QString EncodeEntities(const QString& strText, int nFlags)
{
    const std::u16string out =
        EncodeEntities(std::u16string_view(QStringView(strText).utf16(), strText.size()), nFlags);
    return QString(reinterpret_cast<const QChar*>(out.data()), static_cast<qsizetype>(out.size()));
}

QString DecodeEntities(const QString& strText, int nLength)
{
    qsizetype n = strText.size();
    if (nLength >= 0 && nLength < n) {
        n = nLength;
    }
    const std::u16string out =
        DecodeEntities(std::u16string_view(QStringView(strText).utf16(), static_cast<size_t>(n)));
    return QString(reinterpret_cast<const QChar*>(out.data()), static_cast<qsizetype>(out.size()));
}
