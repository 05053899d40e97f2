#pragma once

#include <QByteArray>
#include <QString>

// Base64 as the XML engine writes binary data into element text.
//
// The encoded text begins with "\r\n"; every 3 bytes give 4 characters and a short last group is
// padded with '='. "\r\n" follows each full line of 64 characters and also follows the last group
// when it was padded.
[[nodiscard]] QString Base64Encode(const unsigned char* pBytes, int nCount);
[[nodiscard]] QString Base64Encode(const QByteArray& bytes);

// Decodes pText into pBuffer and returns the number of bytes written. With nBufferSize 0 nothing
// is written and the size needed is returned: (length / 4 + 1) * 3, length counting the text's
// characters. Carriage returns and line feeds are ignored, '=' counts as padding, any other
// character outside the alphabet as a digit of value 0; an incomplete last group is dropped.
// Returns 0 when the output would not fit into nBufferSize bytes.
[[nodiscard]] int Base64Decode(const QString& strText, unsigned char* pBuffer, int nBufferSize);
[[nodiscard]] int Base64Decode(const char16_t* pText, size_t nLength, unsigned char* pBuffer, int nBufferSize);
