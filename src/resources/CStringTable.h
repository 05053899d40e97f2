#pragma once

#include <QByteArrayView>
#include <QString>

#include <vector>

// The numbered string table of the resource module, parsed once into a flat array sorted by
// number. The packed form comes from the build (hvstrgen --binary), but it is read like any file
// from disk: magic and version first, every count and length capped, nothing read past the end.
//
// Packed layout, little-endian: "HVSTRTAB", version (1), count, then per string in strictly
// ascending number: number, byte length, that many bytes of UTF-8.
class CStringTable
{
public:
    static constexpr quint32 kVersion = 1;
    static constexpr quint32 kMaxCount = 65535;
    static constexpr quint32 kMaxTextBytes = 4096;

    // Replaces the content with the parsed table. On any fault the table is left empty and false
    // is returned: a half-read table would hide numbers silently.
    [[nodiscard]] bool Parse(QByteArrayView data);
    void Clear();

    [[nodiscard]] bool Contains(unsigned nId) const;
    // The text of nId, or a null string when the table has no such number.
    [[nodiscard]] QString Text(unsigned nId) const;
    [[nodiscard]] const std::vector<unsigned>& Ids() const { return m_vecIds; }
    [[nodiscard]] bool IsEmpty() const { return m_vecIds.empty(); }

private:
    [[nodiscard]] qsizetype IndexOf(unsigned nId) const;

    std::vector<unsigned> m_vecIds;   // ascending
    std::vector<QString> m_vecTexts;  // same order as m_vecIds
};
