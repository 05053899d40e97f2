#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>

#include <string>

// Paths are bytes to the kernel; the program carries them as text. These functions map between
// the two without losing a byte, so that a name that is not UTF-8 is acted on with its own bytes:
// - valid UTF-8 becomes the characters it spells, and back;
// - every byte that is not part of a valid UTF-8 sequence becomes one unpaired low surrogate
//   U+DC80..U+DCFF (0x80..0xFF; ASCII bytes are always valid), and back to that byte.
// Such text is a path, never a label: HVPathDisplay gives what may be shown.
namespace HVGlobalMFC {

[[nodiscard]] HVGLOBALMFC_API QString HVPathFromBytes(QByteArrayView bytes);
// The bytes of a path from HVPathFromBytes (or typed text). An unpaired surrogate outside the
// escape range, which no decoding gives, becomes U+FFFD.
[[nodiscard]] HVGLOBALMFC_API QByteArray HVPathToBytes(QStringView text);
[[nodiscard]] inline std::string HVPathToStd(QStringView text)
{
    return HVPathToBytes(text).toStdString();
}
// The text with every escaped byte (and any other unpaired surrogate) shown as U+FFFD.
[[nodiscard]] HVGLOBALMFC_API QString HVPathDisplay(QStringView text);
// True when the text holds an escaped byte.
[[nodiscard]] HVGLOBALMFC_API bool HVPathHasEscapes(QStringView text);

// Whether something (a dangling link too) has the name; whether it is a folder, links followed.
[[nodiscard]] HVGLOBALMFC_API bool HVPathExists(const QString& strPath);
[[nodiscard]] HVGLOBALMFC_API bool HVPathIsFolder(const QString& strPath);

// The current folder as path text; empty when it cannot be had.
[[nodiscard]] HVGLOBALMFC_API QString HVCurrentFolder();
// The path made absolute against the current folder, "." and ".." resolved in the text (no
// link is followed); empty for an empty path.
[[nodiscard]] HVGLOBALMFC_API QString HVAbsolutePath(const QString& strPath);
// The path of a local file:// address byte for byte (percent escapes of bytes that are not UTF-8
// kept); empty when the address is not a local file.
[[nodiscard]] HVGLOBALMFC_API QString HVPathFromUrl(const QUrl& url);
// argv[nFirst..argc) as path text, each argument byte for byte.
[[nodiscard]] HVGLOBALMFC_API QStringList HVArgumentsFromArgv(int argc, const char* const* argv, int nFirst = 1);

}  // namespace HVGlobalMFC
