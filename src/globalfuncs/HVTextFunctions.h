#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>

namespace HVGlobalMFC {

// "TRUE" for non-zero, "FALSE" for 0.
[[nodiscard]] HVGLOBALMFC_API QString BOOL_TO_S(int value);
// "TRUE" (any case) sets value to 1, anything else (empty text too) to 0. Returns value.
HVGLOBALMFC_API int S_TO_BOOL(const QString& text, int& value);
// Decimal parse (surrounding blanks allowed). Returns 1 and sets value on success; returns 0 and
// sets value to 0 for empty, non-numeric or out-of-range text.
HVGLOBALMFC_API int S_TO_INT(const QString& text, int& value);

// 1 when text does not survive a round trip through the locale's 8-bit encoding unchanged
// (for UTF-8 only unpaired surrogates fail), else 0.
[[nodiscard]] HVGLOBALMFC_API int HVIsUnicodeChar(const QString& text);

// Splits "major.minor.build" at '.'; a missing or non-numeric part gives 0, parts after the
// third are ignored. Returns 1 when the first part is a number, else 0.
HVGLOBALMFC_API int ParseVersionString(const QString& text, int& major, int& minor, int& build);

struct HVVersion
{
    int major = 0;
    int minor = 0;
    int build = 0;
    friend bool operator==(const HVVersion&, const HVVersion&) = default;
};
// The same split as a value.
[[nodiscard]] HVGLOBALMFC_API HVVersion ParseVersionString1(const QString& text);

// Syntax check of an e-mail address: only ASCII letters, digits, '@', '-', '.' and '_'; at least
// 6 characters; exactly one '@', not first; a '.' after the '@' (not right after it) with at
// least two characters after the last '.'; at most 68 characters from the '@' to the end; no
// ".." and no '.' at the start or right before the '@'.
[[nodiscard]] HVGLOBALMFC_API bool IsValidEmailAddressSyntax(const QString& text);

// A new random identifier: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case. 1.
HVGLOBALMFC_API int HVCreateStringGUID(QString& guid);

// String resources live in the program's resource module here: this library has none and
// returns an empty string.
[[nodiscard]] HVGLOBALMFC_API QString MyLoadString(unsigned id, const QString& module = {});

}  // namespace HVGlobalMFC
