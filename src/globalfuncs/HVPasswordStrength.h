#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>

#include <string_view>

namespace HVGlobalMFC {

// Estimated strength of a password in bits: repeated characters and repeated steps between
// neighbouring characters count less, and the character classes in use set the alphabet size.
// "a" gives 5, "aa" 8, "abc" 12, "aaaa" 9. 0 for a null or empty password. The counting tables
// are wiped before returning. UTF-16 code units are counted one by one.
[[nodiscard]] HVGLOBALMFC_API quint32 EstimatePasswordBits(std::u16string_view password);
[[nodiscard]] HVGLOBALMFC_API quint32 EstimatePasswordBits(const QString& password);

}  // namespace HVGlobalMFC
