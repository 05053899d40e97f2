#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>
#include <QStringList>

// Placeholders for portable file lists: "$$P_APPDATA$$/notes.txt" on one machine is the same
// item as "/home/ann/.local/share/notes.txt" on another.
//
// Initialize builds the table from this platform's folders, user and host name; placeholders
// whose folder has no meaning here (the Windows, system and program-files folders, the
// all-users folders, cookies, history, ...) come back empty and are left out. Values keep
// their case, since paths here are case-sensitive; placeholders are matched in any case.
// Every occurrence is replaced, not only the first one.
class HVGLOBALMFC_API CBackupFilterManager
{
public:
    CBackupFilterManager() = default;

    void Initialize();
    // The program's folder and file, for "$$P_APPPATH$$" and "$$P_APPPATHEXE$$".
    void SetAppPath(const QString& folder, const QString& file);
    // An entry of the second table (name <-> value), applied after the placeholder table.
    void AddReplacement(const QString& name, const QString& value);

    // Placeholders -> values in table order, then the second table, then (withAppPaths)
    // "$$P_APPPATHEXE$$" and "$$P_APPPATH$$". doubleBackslashes doubles each backslash of an
    // inserted value. 1 when anything was replaced, else 0 (text unchanged).
    int FilterString(QString& text, bool withAppPaths = true, bool doubleBackslashes = false) const;
    // Values -> placeholders, the longest value first so that the most specific placeholder
    // wins (the program's folder before the data folder it may sit in). The user and host names
    // are replaced only where they stand as a whole word. 1 when anything was replaced, else 0
    // with the text left exactly as it was.
    int FilterString_Reverse(QString& text) const;

    // The same over a text file, rewritten in place atomically with its encoding, byte-order mark
    // and line ends. A file that is not UTF-16 (by its mark) is worked on as bytes, so bytes that
    // are not UTF-8 stay as they were; UTF-16 that does not decode is refused. Only a regular
    // file is read or replaced (a link is refused, not followed or turned into a file).
    // 1 or 0 with the file untouched (errors are logged).
    int FilterFile(const QString& path, bool withAppPaths = true, bool doubleBackslashes = false) const;
    int FilterFile_Reverse(const QString& path) const;
    // Reads source line by line through the filter (reverse or not) and replaces target.
    int RewriteFile(
        const QString& source, const QString& target, bool reverse, bool withAppPaths, bool doubleBackslashes) const;

    // 1 for text types by extension (".reg", ".txt", ".log", ".html", ".xml", ".java", ".vbs",
    // ".css", ".rc", ".ini", ".conf", ...), any case; 0 for everything else (".exe", ".dat",
    // ".jpg", ".zip", ...).
    [[nodiscard]] static int IsFileAscII(const QString& path);

    [[nodiscard]] const QStringList& Placeholders() const { return m_arrPlaceholders; }
    [[nodiscard]] const QStringList& Values() const { return m_arrValues; }

private:
    // Filters a whole file's bytes in place; false when they cannot be decoded faithfully.
    bool FilterBytes(QByteArray& bytes, bool reverse, bool withAppPaths, bool doubleBackslashes) const;
    // This filter with every name and value turned into its UTF-8 bytes, one character a byte.
    [[nodiscard]] CBackupFilterManager ByteFilter() const;

    QStringList m_arrPlaceholders;
    QStringList m_arrValues;
    QStringList m_arrOtherNames;
    QStringList m_arrOtherValues;
    QString m_strAppPath;
    QString m_strAppPathExe;
    QString m_strUserName;
    QString m_strComputerName;
};
