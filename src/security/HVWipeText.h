#pragma once

#include <QStringView>

#include <string>

// Overwrites the whole storage of a text (a password) before it is emptied.
inline void HVWipeText(std::u16string& s)
{
    volatile char16_t* p = s.data();
    for (std::size_t i = 0; i < s.capacity(); ++i) {
        p[i] = u'\0';
    }
    s.clear();
}

// Replaces to's content with from's, wiping what to held first.
inline void HVCopyText(QStringView from, std::u16string& to)
{
    HVWipeText(to);
    to.assign(reinterpret_cast<const char16_t*>(from.utf16()), static_cast<std::size_t>(from.size()));
}
