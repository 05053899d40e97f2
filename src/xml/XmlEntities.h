#pragma once

#include <QString>

#include <string>
#include <string_view>

// Escaping and unescaping of element text.
//
// Entity table, in this order: '<' "&lt;", '&' "&amp;", '>' "&gt;", '\'' "&apos;", '"' "&quot;".
// EncodeEntities escapes '<', '&' and '>'; with flag 0x100 quotes and apostrophes too. With flag
// 0x8 an '&' that starts a well-formed entity or character reference is kept as it is.
[[nodiscard]] QString EncodeEntities(const QString& strText, int nFlags = 0);
[[nodiscard]] std::u16string EncodeEntities(std::u16string_view text, int nFlags);

// Replaces character references (decimal "&#65;", hexadecimal "&#x41;", at most 7 digits, closed
// by ';') and the five entity names by their characters; any other '&' stays as written.
// nLength -1 takes the whole text.
[[nodiscard]] QString DecodeEntities(const QString& strText, int nLength = -1);
[[nodiscard]] std::u16string DecodeEntities(std::u16string_view text);
