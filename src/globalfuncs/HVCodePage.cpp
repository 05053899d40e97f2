#include "globalfuncs/HVCodePage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>

namespace HVGlobalMFC::HVCodePage {

namespace {

struct Entry
{
    int codePage;
    const char* name;
};

constexpr Entry kTable[] = {
    {65001, "UTF-8"},      {1200, "UTF-16LE"},    {1201, "UTF-16BE"},    {20127, "ASCII"},       {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"}, {28593, "ISO-8859-3"}, {28594, "ISO-8859-4"}, {28595, "ISO-8859-5"},  {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"}, {28598, "ISO-8859-8"}, {28599, "ISO-8859-9"}, {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"},
    {1250, "CP1250"},      {1251, "CP1251"},      {1252, "CP1252"},      {1253, "CP1253"},       {1254, "CP1254"},
    {1255, "CP1255"},      {1256, "CP1256"},      {1257, "CP1257"},      {1258, "CP1258"},       {437, "CP437"},
    {850, "CP850"},        {852, "CP852"},        {866, "CP866"},        {874, "CP874"},         {932, "CP932"},
    {936, "GBK"},          {949, "CP949"},        {950, "BIG5"},         {20866, "KOI8-R"},      {21866, "KOI8-U"},
    {51932, "EUC-JP"},     {51949, "EUC-KR"},     {54936, "GB18030"},
};

// QString's UTF-16 units in host byte order.
constexpr const char* kHostUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

constexpr const char* kHostReplacement = std::endian::native == std::endian::little ? "\xFD\xFF" : "\xFF\xFD";

int Resolve(int codePage)
{
    return codePage == 0 ? LocaleCodePage() : codePage;
}

// Runs iconv over the whole input; on an invalid or unconvertible unit writes `replacement`,
// skips `skip` input bytes and clears *ok.
QByteArray Convert(const QByteArray& to,
                   const QByteArray& from,
                   const QByteArray& input,
                   const QByteArray& replacement,
                   std::size_t skip,
                   bool* ok)
{
    iconv_t cd = iconv_open(to.constData(), from.constData());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        if (ok)
            *ok = false;
        return {};
    }
    QByteArray out;
    out.reserve(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.constData());
    std::size_t inLeft = static_cast<std::size_t>(input.size());
    char buffer[4096];
    for (bool flushing = false;;) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc =
            flushing ? iconv(cd, nullptr, nullptr, &dst, &dstLeft) : iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<qsizetype>(dst - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            if (flushing)
                break;
            flushing = inLeft == 0;
            continue;
        }
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (truncated sequence at the end).
        if (ok)
            *ok = false;
        out.append(replacement);
        const std::size_t step = std::min(skip, inLeft);
        in += step;
        inLeft -= step;
        if (step == 0)
            break;
    }
    iconv_close(cd);
    return out;
}

}  // namespace

int LocaleCodePage()
{
    QByteArray codeset;
    if (locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr))) {
        codeset = QByteArray(nl_langinfo_l(CODESET, loc)).toUpper();
        freelocale(loc);
    }
    codeset.replace("WINDOWS-", "CP");
    if (codeset == "UTF8")
        codeset = "UTF-8";
    for (const Entry& e : kTable) {
        if (codeset == e.name && e.codePage != 20127)
            return e.codePage;
    }
    return kUtf8;  // UTF-8 locales, the C locale and anything unknown
}

QByteArray CodesetName(int codePage)
{
    const int cp = Resolve(codePage);
    for (const Entry& e : kTable) {
        if (e.codePage == cp)
            return e.name;
    }
    return {};
}

bool IsSupported(int codePage)
{
    return !CodesetName(codePage).isEmpty();
}

QString ToUnicode(const QByteArray& bytes, int codePage)
{
    const int cp = Resolve(codePage);
    if (cp == kUtf8)
        return QString::fromUtf8(bytes);
    if (cp == 28591)
        return QString::fromLatin1(bytes);
    const QByteArray name = CodesetName(cp);
    if (name.isEmpty())
        return QString::fromUtf8(bytes);
    const QByteArray wide = Convert(kHostUtf16, name, bytes, QByteArray(kHostReplacement, 2), 1, nullptr);
    return QString(reinterpret_cast<const QChar*>(wide.constData()), wide.size() / 2);
}

QByteArray FromUnicode(const QString& text, int codePage, bool* ok)
{
    if (ok)
        *ok = true;
    const int cp = Resolve(codePage);
    if (cp == kUtf8) {
        // Only unpaired surrogates cannot be written as UTF-8.
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar ch = text.at(i);
            if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            else if (ch.isSurrogate() && ok)
                *ok = false;
        }
        return text.toUtf8();
    }
    const QByteArray name = CodesetName(cp);
    if (name.isEmpty()) {
        if (ok)
            *ok = false;
        return text.toUtf8();
    }
    const QByteArray wide(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return Convert(name, kHostUtf16, wide, QByteArray("?"), 2, ok);
}

}  // namespace HVGlobalMFC::HVCodePage
