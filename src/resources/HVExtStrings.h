#pragma once

// The numbered strings of the file-manager extension. The extension loads no resource module, so
// its texts are compiled in (from resources/strings/shellext.tsv); this part needs no Qt.
#include "resources/HVExtStringIds.h"

// UTF-8 text of the extension's string nId, exactly as in the table (leading and trailing blanks
// included); an empty text for an unknown number.
[[nodiscard]] const char* HVExtLoadString(unsigned nId);
[[nodiscard]] bool HVExtHasString(unsigned nId);
