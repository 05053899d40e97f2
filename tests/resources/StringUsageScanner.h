#pragma once

#include <QHash>
#include <QString>

#include <vector>

// Finds the string numbers that source code passes to HVLoadString, HVFormatString and HVStr.
// Comments and string literals are skipped. In the first argument every integer literal counts
// (so "b ? 175 : 174" gives both), and so does every name that can be resolved: an IDS_ name from
// the string tables, or a constant-looking name (kName, ALL_CAPS) defined with a number somewhere
// in the scanned tree. Other names (variables) are left to the run-time check.
struct StringUsage
{
    QString strFile;
    int nLine = 0;
    QString strExpression;  // what stood in the call
    unsigned nId = 0;
};

class StringUsageScanner
{
public:
    explicit StringUsageScanner(QHash<QString, unsigned> tableNames);

    // Scans every C++ source and header under strRoot.
    [[nodiscard]] std::vector<StringUsage> ScanTree(const QString& strRoot);
    // Text with comments and string/character literals blanked out, line breaks kept.
    [[nodiscard]] static QString StripCommentsAndLiterals(const QString& strSource);
    // IDS_ names and numbers of a string table file.
    [[nodiscard]] static QHash<QString, unsigned> ReadTableNames(const QString& strTableFile);

private:
    void CollectConstants(const QString& strText);
    void ScanText(const QString& strFile, const QString& strText, std::vector<StringUsage>& out) const;

    QHash<QString, unsigned> m_tableNames;
    QHash<QString, std::vector<unsigned>> m_constants;
};
