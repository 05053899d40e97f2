#pragma once

#include "passwords/HVWipeText.h"

#include <QStringView>

#include <string>

// Replaces to's content with from's, wiping what to held first.
inline void HVCopyText(QStringView from, std::u16string& to)
{
    HVWipeText(to);
    to.assign(reinterpret_cast<const char16_t*>(from.utf16()), static_cast<std::size_t>(from.size()));
}
