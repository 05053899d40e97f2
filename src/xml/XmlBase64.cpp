#include "xml/XmlBase64.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kLineChars = 64;

constexpr std::array<unsigned char, 128> MakeDecodeTable()
{
    std::array<unsigned char, 128> table{};
    for (int i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
    }
    return table;
}

constexpr auto kDecode = MakeDecodeTable();

}  // namespace

QString Base64Encode(const unsigned char* pBytes, int nCount)
{
    if (!pBytes || nCount < 0) {
        nCount = 0;
    }
    const qsizetype nGroups = (static_cast<qsizetype>(nCount) + 2) / 3;
    const qsizetype nLines = nGroups * 4 / kLineChars + 1;
    QString out;
    out.reserve(2 + nGroups * 4 + nLines * 2);
    out += QLatin1String("\r\n");
    int nLinePos = 0;
    int i = 0;
    for (; i + 3 <= nCount; i += 3) {
        const unsigned v = (unsigned(pBytes[i]) << 16) | (unsigned(pBytes[i + 1]) << 8) | pBytes[i + 2];
        out += QLatin1Char(kAlphabet[(v >> 18) & 63]);
        out += QLatin1Char(kAlphabet[(v >> 12) & 63]);
        out += QLatin1Char(kAlphabet[(v >> 6) & 63]);
        out += QLatin1Char(kAlphabet[v & 63]);
        nLinePos += 4;
        if (nLinePos == kLineChars) {
            out += QLatin1String("\r\n");
            nLinePos = 0;
        }
    }
    const int nRest = nCount - i;
    if (nRest > 0) {
        unsigned v = unsigned(pBytes[i]) << 16;
        if (nRest == 2) {
            v |= unsigned(pBytes[i + 1]) << 8;
        }
        out += QLatin1Char(kAlphabet[(v >> 18) & 63]);
        out += QLatin1Char(kAlphabet[(v >> 12) & 63]);
        out += nRest == 2 ? QLatin1Char(kAlphabet[(v >> 6) & 63]) : QLatin1Char('=');
        out += QLatin1Char('=');
        out += QLatin1String("\r\n");
    }
    return out;
}

QString Base64Encode(const QByteArray& bytes)
{
    return Base64Encode(reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<int>(bytes.size()));
}

int Base64Decode(const QString& strText, unsigned char* pBuffer, int nBufferSize)
{
    return Base64Decode(QStringView(strText).utf16(), static_cast<size_t>(strText.size()), pBuffer, nBufferSize);
}

int Base64Decode(const char16_t* pText, size_t nLength, unsigned char* pBuffer, int nBufferSize)
{
    if (!pText) {
        nLength = 0;
    }
    if (nBufferSize <= 0 || !pBuffer) {
        const size_t nNeeded = (nLength / 4 + 1) * 3;
        return nNeeded > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(nNeeded);
    }
    int nOut = 0;
    unsigned nGroup = 0;
    int nDigits = 0;
    int nPads = 0;
    for (size_t i = 0; i < nLength; ++i) {
        const char16_t c = pText[i];
        if (c == u'\r' || c == u'\n') {
            continue;
        }
        unsigned v = 0;
        if (c == u'=') {
            ++nPads;
        } else if (c < 128) {
            v = kDecode[c];
        }
        nGroup = (nGroup << 6) | v;
        if (++nDigits < 4) {
            continue;
        }
        const int nBytes = nPads >= 3 ? 0 : 3 - nPads;
        if (nOut + nBytes > nBufferSize) {
            return 0;
        }
        const unsigned char b[3] = {static_cast<unsigned char>(nGroup >> 16),
                                    static_cast<unsigned char>(nGroup >> 8),
                                    static_cast<unsigned char>(nGroup)};
        for (int k = 0; k < nBytes; ++k) {
            pBuffer[nOut++] = b[k];
        }
        nGroup = 0;
        nDigits = 0;
        nPads = 0;
    }
    return nOut;
}
