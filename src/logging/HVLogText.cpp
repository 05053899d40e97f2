#include "logging/HVLogText.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <unistd.h>

namespace LOGGER::HVLogText {

namespace {
constexpr std::string_view kFormatError = "(format error) ";

void AppendUtf8(std::string& strOut, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = 0xFFFD;
    }
    if (c < 0x80) {
        strOut += static_cast<char>(c);
    } else if (c < 0x800) {
        strOut += static_cast<char>(0xC0 | (c >> 6));
        strOut += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        strOut += static_cast<char>(0xE0 | (c >> 12));
        strOut += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        strOut += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        strOut += static_cast<char>(0xF0 | (c >> 18));
        strOut += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        strOut += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        strOut += static_cast<char>(0x80 | (c & 0x3F));
    }
}
}  // namespace

std::string FormatNarrow(const char* pszFormat, va_list args)
{
    if (pszFormat == nullptr) {
        return {};
    }
    char szSmall[512];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(szSmall, sizeof szSmall, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        return std::string(kFormatError) + pszFormat;
    }
    if (static_cast<size_t>(n) < sizeof szSmall) {
        return std::string(szSmall, static_cast<size_t>(n));
    }
    // vsnprintf tells the exact length: one more pass with a buffer that fits.
    std::string strOut(static_cast<size_t>(n) + 1, '\0');
    va_copy(copy, args);
    const int m = std::vsnprintf(strOut.data(), strOut.size(), pszFormat, copy);
    va_end(copy);
    if (m < 0) {
        return std::string(kFormatError) + pszFormat;
    }
    strOut.resize(static_cast<size_t>(m) < strOut.size() ? static_cast<size_t>(m) : strOut.size() - 1);
    return strOut;
}

std::wstring FormatWide(const wchar_t* pszFormat, va_list args)
{
    if (pszFormat == nullptr) {
        return {};
    }
    // vswprintf reports a short buffer and an encoding error alike (-1), so it cannot size the
    // buffer: grow it, and give up only at a size no log line reaches.
    constexpr size_t kMaxChars = size_t{1} << 26;
    std::wstring strOut(512, L'\0');
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int n = std::vswprintf(strOut.data(), strOut.size(), pszFormat, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < strOut.size()) {
            strOut.resize(static_cast<size_t>(n));
            return strOut;
        }
        if (strOut.size() >= kMaxChars) {
            break;
        }
        // An encoding error fails at every size; find out cheaply before growing.
        va_copy(copy, args);
        FILE* pNull = std::fopen("/dev/null", "we");
        int nProbe = 0;
        if (pNull != nullptr) {
            nProbe = std::vfwprintf(pNull, pszFormat, copy);
            std::fclose(pNull);
        }
        va_end(copy);
        if (nProbe < 0) {
            break;
        }
        const size_t nWanted = static_cast<size_t>(nProbe) + 1;
        strOut.assign(nWanted > strOut.size() * 2 ? nWanted : strOut.size() * 2, L'\0');
    }
    std::wstring strError(kFormatError.begin(), kFormatError.end());
    return strError + pszFormat;
}

std::string ToUtf8(std::wstring_view strText)
{
    std::string strOut;
    strOut.reserve(strText.size());
    for (wchar_t c : strText) {
        AppendUtf8(strOut, static_cast<char32_t>(c));
    }
    return strOut;
}

void AppendOneLine(std::string& strOut, std::string_view strText)
{
    if (strText.ends_with("\r\n")) {
        strText.remove_suffix(2);
    } else if (strText.ends_with('\n')) {
        strText.remove_suffix(1);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    for (char ch : strText) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7F) {
            strOut += ch;
        } else if (c == '\t') {
            strOut += ch;
        } else if (c == '\n') {
            strOut += "\\n";
        } else if (c == '\r') {
            strOut += "\\r";
        } else {
            strOut += "\\x";
            strOut += kHex[c >> 4];
            strOut += kHex[c & 0xF];
        }
    }
}

std::string LinePrefix()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char szTime[64];
    const size_t nTime = std::strftime(szTime, sizeof szTime, "%Y-%m-%d %H:%M:%S", &local);
    char szPrefix[128];
    const int n = std::snprintf(szPrefix,
                                sizeof szPrefix,
                                "%.*s.%03ld [%ld] ",
                                static_cast<int>(nTime),
                                szTime,
                                now.tv_nsec / 1000000L,
                                static_cast<long>(gettid()));
    return std::string(szPrefix, n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace LOGGER::HVLogText
