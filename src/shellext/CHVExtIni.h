#pragma once

#include <map>
#include <optional>
#include <string>

// Reads one group of an INI file as QSettings writes it, without Qt: group and value names
// come %XX-escaped ("Module%20EXE%20Path"), texts with C-style escapes and optional double
// quotes, numbers as decimal text. Only plain texts and numbers are understood; byte arrays and
// other variants read as missing.
class CHVExtIni
{
public:
    // Loads the group strGroup of the file; false when the file cannot be read. Files larger
    // than 1 MiB are not read.
    [[nodiscard]] bool Load(const std::string& strFile, const std::string& strGroup);
    // Parses INI text (what Load does after reading the file).
    void Parse(const std::string& strText, const std::string& strGroup);

    [[nodiscard]] std::optional<std::string> GetString(const std::string& strName) const;
    // The value as a 32-bit number; empty when missing or not a whole decimal number in range.
    [[nodiscard]] std::optional<int> GetInt(const std::string& strName) const;

    // Undoes QSettings' escaping of a group or value name (%XX, %UXXXX, "\" for "/").
    [[nodiscard]] static std::string UnescapeKey(const std::string& strKey);
    // Undoes QSettings' escaping of a value; empty when it is not a plain text.
    [[nodiscard]] static std::optional<std::string> UnescapeValue(const std::string& strValue);

private:
    std::map<std::string, std::string> m_values;  // raw (still escaped) values by name
};
