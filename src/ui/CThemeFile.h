#pragma once

// Reading the theme's plaintext (the decrypted theme file): the file names and checksums of the
// images, and the colour table. Qt Core only.
#include "ui/CThemeColors.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class CXmlDocument;

class CThemeFile
{
public:
    // The theme keys of the images, in reading order. The 30th image of the table has no key.
    static constexpr std::size_t kImageKeys = 29;
    static constexpr std::size_t kImageCount = 30;
    [[nodiscard]] static const std::array<const char*, kImageKeys>& ImageKeys();
    // Index of an image key; -1 when there is no such key.
    [[nodiscard]] static int ImageIndex(const QString& strKey);

    // What the theme said about one image: its file name as written (empty when absent or empty)
    // and its checksum when the "_CRC" element held a number.
    struct SImage
    {
        QString strFile;
        std::optional<std::int32_t> checksum;
    };

    enum class EResult
    {
        NoText,   // empty text or not a well-formed document: nothing read
        NoTheme,  // no "Theme" root element: nothing read
        Read,     // the sections that are there were read
    };

    // Reads strText. Images are reported in aImages; colours overwrite the values in colors that
    // the theme sets readably, the others keep what they held. "Colors" counts only when it
    // comes after "Bitmaps" (or when there is no "Bitmaps").
    [[nodiscard]] static EResult
    Read(const QString& strText, std::array<SImage, kImageKeys>& aImages, CThemeColors& colors);

    // The colour reader: the text's hexadecimal digits as one number RRGGBB (any other character
    // counts as the digit 0, a leading "-" negates), kept as 0x00BBGGRR. Blanks around the text
    // are not part of it. Empty when the text is empty.
    [[nodiscard]] static std::optional<HVCOLORREF> ParseColor(const QString& strText);

    // Reads the colour element strKey (first child of that name) of the current element.
    static int XML_TO_COLOR(CXmlDocument& doc, const QString& strKey, HVCOLORREF& nOut, bool bResetChildPosition);
};
