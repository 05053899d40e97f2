#include "globalfuncs/HVPathText.h"

#include <QDir>

#include <cerrno>
#include <climits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace HVGlobalMFC {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + byte 0x80..0xFF
constexpr char16_t kReplacement = 0xFFFD;

bool IsEscape(char16_t c)
{
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

// Length of the valid UTF-8 sequence at p[0..n) and its code point; 0 when there is none.
int Utf8Sequence(const unsigned char* p, qsizetype n, char32_t& cp)
{
    const unsigned char b = p[0];
    int nLen = 0;
    char32_t nMin = 0;
    if ((b & 0xE0) == 0xC0) {
        nLen = 2;
        cp = b & 0x1F;
        nMin = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        nLen = 3;
        cp = b & 0x0F;
        nMin = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        nLen = 4;
        cp = b & 0x07;
        nMin = 0x10000;
    } else {
        return 0;
    }
    if (n < nLen) {
        return 0;
    }
    for (int i = 1; i < nLen; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode are not valid UTF-8.
    if (cp < nMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return nLen;
}

void AppendUtf8(QByteArray& out, char32_t cp)
{
    if (cp < 0x80) {
        out.append(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.append(static_cast<char>(0xC0 | (cp >> 6)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.append(static_cast<char>(0xE0 | (cp >> 12)));
        out.append(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (cp >> 18)));
        out.append(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

QString HVPathFromBytes(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            out.append(QChar(static_cast<char16_t>(p[i])));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int nLen = Utf8Sequence(p + i, n - i, cp);
        if (nLen == 0) {
            out.append(QChar(static_cast<char16_t>(kEscapeBase + p[i])));
            ++i;
            continue;
        }
        out.append(QChar::fromUcs4(cp));
        i += nLen;
    }
    return out;
}

QByteArray HVPathToBytes(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (IsEscape(c)) {
            out.append(static_cast<char>(c - kEscapeBase));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

QString HVPathDisplay(QStringView text)
{
    QString out = text.toString();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < out.size() && out[i + 1].isLowSurrogate()) {
            ++i;
        } else if (QChar::isSurrogate(c)) {
            out[i] = QChar(kReplacement);
        }
    }
    return out;
}

bool HVPathHasEscapes(QStringView text)
{
    for (const QChar c : text) {
        if (IsEscape(c.unicode())) {
            return true;
        }
    }
    return false;
}

bool HVPathExists(const QString& strPath)
{
    struct stat st
    {
    };
    return !strPath.isEmpty() && ::lstat(HVPathToBytes(strPath).constData(), &st) == 0;
}

bool HVPathIsFolder(const QString& strPath)
{
    struct stat st
    {
    };
    return !strPath.isEmpty() && ::stat(HVPathToBytes(strPath).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString HVCurrentFolder()
{
    std::string buf(PATH_MAX, '\0');
    for (;;) {
        if (::getcwd(buf.data(), buf.size()) != nullptr) {
            return HVPathFromBytes(QByteArrayView(buf.c_str()));
        }
        if (errno != ERANGE || buf.size() > (1u << 20)) {
            return {};
        }
        buf.resize(buf.size() * 2);
    }
}

QString HVAbsolutePath(const QString& strPath)
{
    if (strPath.isEmpty()) {
        return {};
    }
    return QDir::cleanPath(strPath.startsWith(u'/') ? strPath : HVCurrentFolder() + u'/' + strPath);
}

QString HVPathFromUrl(const QUrl& url)
{
    if (!url.isLocalFile()) {
        return {};
    }
    if (!url.host().isEmpty()) {
        return url.toLocalFile();  // "//host/path", as the toolkit spells it
    }
    return HVPathFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QStringList HVArgumentsFromArgv(int argc, const char* const* argv, int nFirst)
{
    QStringList lst;
    for (int i = nFirst; i < argc; ++i) {
        lst.append(HVPathFromBytes(QByteArrayView(argv[i])));
    }
    return lst;
}

}  // namespace HVGlobalMFC
