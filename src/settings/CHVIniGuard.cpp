#include "settings/CHVIniGuard.h"

#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <string_view>

namespace {

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return (c | 0x20) - 'a' + 10;
}

// One character of the text as the INI reader would see it after undoing "\x..", "\ooo" and
// the single-letter escapes. Context (names, quotes, comments) is ignored on purpose: reading
// too much as a value only makes the check stricter.
struct SDecoded
{
    unsigned nChar = 0;
    qsizetype nNext = 0;
};

SDecoded DecodeAt(const QByteArray& text, qsizetype i)
{
    const qsizetype n = text.size();
    if (text[i] != '\\' || i + 1 >= n) {
        return {static_cast<unsigned char>(text[i]), i + 1};
    }
    const char c = text[i + 1];
    if ((c == 'x' || c == 'X') && i + 2 < n && IsHex(text[i + 2])) {
        unsigned nValue = 0;
        qsizetype j = i + 2;
        for (; j < n && IsHex(text[j]); ++j) {
            nValue = nValue > 0xFFFFFu ? 0x110000u : (nValue << 4) | static_cast<unsigned>(HexValue(text[j]));
        }
        return {nValue, j};
    }
    if (c >= '0' && c <= '7') {
        unsigned nValue = 0;
        qsizetype j = i + 1;
        for (; j < n && text[j] >= '0' && text[j] <= '7'; ++j) {
            nValue = nValue > 0xFFFFFu ? 0x110000u : (nValue << 3) | static_cast<unsigned>(text[j] - '0');
        }
        return {nValue, j};
    }
    return {static_cast<unsigned char>(c), i + 2};
}

bool StartsWithAt(const QByteArray& text, qsizetype i, std::string_view word)
{
    for (const char c : word) {
        if (i >= text.size()) {
            return false;
        }
        const SDecoded d = DecodeAt(text, i);
        if (d.nChar != static_cast<unsigned char>(c)) {
            return false;
        }
        i = d.nNext;
    }
    return true;
}

}  // namespace

bool CHVIniGuard::IsSafeText(const QByteArray& text)
{
    static constexpr std::array<std::string_view, 2> kObjectPrefixes = {"Variant(", "DateTime("};
    qsizetype i = 0;
    while (i < text.size()) {
        const SDecoded d = DecodeAt(text, i);
        i = d.nNext;
        if (d.nChar != '@' || i >= text.size()) {
            continue;
        }
        // "@@" is how a text that starts with "@" is written: not an object.
        const SDecoded next = DecodeAt(text, i);
        if (next.nChar == '@') {
            i = next.nNext;
            continue;
        }
        for (const std::string_view prefix : kObjectPrefixes) {
            if (StartsWithAt(text, i, prefix)) {
                return false;
            }
        }
    }
    return true;
}

bool CHVIniGuard::IsSafeFile(const QString& strFile)
{
    const QFileInfo info(strFile);
    if (!info.exists()) {
        return true;
    }
    if (!info.isFile() || info.size() > kMaxFileSize) {
        return false;
    }
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return true;  // unreadable: QSettings reports that on its own
    }
    const QByteArray text = file.read(kMaxFileSize + 1);
    return text.size() <= kMaxFileSize && IsSafeText(text);
}

bool CHVIniGuard::SetAside(const QString& strFile)
{
    const QString strAside = strFile + QStringLiteral(".damaged");
    QFile::remove(strAside);
    if (!QFile::rename(strFile, strAside) && !QFile::remove(strFile)) {
        return false;
    }
    LOGGER::g_HVLog.LogText("Settings file was damaged and set aside: " + HVGlobalMFC::HVPathToStd(strAside));
    return true;
}
