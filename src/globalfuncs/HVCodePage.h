#pragma once

// Code-page conversions behind CStdioFileEx and HVIsUnicodeChar (internal; the public face is
// the static helpers of CStdioFileEx). Code pages are the numbers the callers know (65001
// UTF-8, 1252, 28591 ISO-8859-1, 932, ...); 0 means the locale's encoding.

#include <QByteArray>
#include <QString>

namespace HVGlobalMFC::HVCodePage {

constexpr int kUtf8 = 65001;
constexpr int kUtf16LE = 1200;

// The code page of the environment's LC_CTYPE locale (read from the environment, not from the
// process's current setlocale). The plain C/POSIX locale counts as UTF-8; an unknown codeset too.
int LocaleCodePage();

// The iconv name of a code page, empty when it is not supported.
QByteArray CodesetName(int codePage);
bool IsSupported(int codePage);

// Bytes -> text; invalid sequences become U+FFFD.
QString ToUnicode(const QByteArray& bytes, int codePage);
// Text -> bytes; characters the code page lacks become '?' and clear *ok.
QByteArray FromUnicode(const QString& text, int codePage, bool* ok = nullptr);

}  // namespace HVGlobalMFC::HVCodePage
