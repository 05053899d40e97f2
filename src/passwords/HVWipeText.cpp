#include "passwords/HVWipeText.h"

#include <cstring>
#include <string.h>

void HVWipeText(QString& str)
{
    if (str.isDetached() && str.capacity() > 0) {
        // Not shared: data() does not copy, and the zeros land in the one storage there is.
        ::explicit_bzero(str.data(), static_cast<std::size_t>(str.capacity()) * sizeof(QChar));
    }
    str.clear();
}

CSecureBuffer HVTakeText(QString& str)
{
    CSecureBuffer utf16 = CSecureBuffer::FromUtf16Units(
        std::u16string_view(QStringView(str).utf16(), static_cast<std::size_t>(str.size())));
    HVWipeText(str);
    return utf16;
}

void HVWipeText(std::u16string& str)
{
    ::explicit_bzero(str.data(), str.capacity() * sizeof(char16_t));
    str.clear();
}
