#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QDateTime>
#include <QString>

namespace HVGlobalMFC {

// A byte count for people: above 1 GiB "%.2f GB", above 1 MiB "%.2f MB", above 1024 "%.2f KB",
// else "%d Bytes". The limits are exclusive (1024 -> "1024 Bytes", 1025 -> "1.00 KB").
[[nodiscard]] HVGLOBALMFC_API QString HVConvertSizeToSmartString(quint64 bytes);

// Reads a size text: a number (digits and '.') and an optional unit word, blanks allowed
// between them: "byte(s)", "KB"/"kilobyte(s)", "MB"/"megabyte(s)", "GB"/"gigabyte(s)", any case.
// No unit means bytes. Fractions of a byte are dropped. 0 for text that is not a size (no
// digits, two dots, an unknown unit) and for sizes of 2^64 bytes or more.
[[nodiscard]] HVGLOBALMFC_API quint64 ConvertStringSizeToDWordLong(const QString& text);

[[nodiscard]] HVGLOBALMFC_API quint64 HVMakeUnsignedInt64(quint32 high, quint32 low);
HVGLOBALMFC_API void HVSplitUnsignedInt64(quint64 value, quint32& high, quint32& low);
[[nodiscard]] HVGLOBALMFC_API quint64 HVDaysToSecs(quint64 days);   // x 86400
[[nodiscard]] HVGLOBALMFC_API quint64 HVHourToSecs(quint64 hours);  // x 3600

// A file time (100-ns intervals since 1601-01-01 UTC, as found in file lists made elsewhere)
// as a local date and time; invalid for 0.
[[nodiscard]] HVGLOBALMFC_API QDateTime GetModifiedDateTime(quint64 fileTime);

// The smallest size >= size that is divisible by 16, 24 and 32 (a multiple of 96); 0 when that
// size does not fit in 64 bits.
[[nodiscard]] HVGLOBALMFC_API quint64 AdjestBuffer_16_24_32(quint64 size);

// The smallest prime >= n.
[[nodiscard]] HVGLOBALMFC_API quint64 Get_Prime(quint32 n);

}  // namespace HVGlobalMFC
