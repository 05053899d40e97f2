#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

// Text helpers of the log writer: formatting without truncation, UTF-8 conversion and the
// clean-up that keeps one call on one line.
namespace LOGGER::HVLogText {

// printf-style formatting of any length. An unformattable request (an encoding error in the
// arguments) yields "(format error) " followed by the format itself.
std::string FormatNarrow(const char* pszFormat, va_list args);
std::wstring FormatWide(const wchar_t* pszFormat, va_list args);

// UTF-32 (wchar_t on Linux) to UTF-8; code points that are not characters become U+FFFD.
std::string ToUtf8(std::wstring_view strText);

// Appends strText to strOut with one trailing line break dropped and every other control
// character (but tab) written as an escape (\n, \r, \xHH), so a message never spans lines.
void AppendOneLine(std::string& strOut, std::string_view strText);

// "2026-12-08 00:06:43.123 [4711] ": local time with milliseconds and the kernel thread id.
std::string LinePrefix();

}  // namespace LOGGER::HVLogText
