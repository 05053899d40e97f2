#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Paths that selected items must keep away from, compared the way the filesystem will see them:
// every path, an item's and a listed one's, is looked at in two spellings, made absolute with
// "." and ".." resolved in the text, and with "." and ".." and the links of its existing part
// resolved by the filesystem. An item is refused when either spelling of it meets either
// spelling of a listed path.
//
// Two kinds of listed path:
// - never hidden: the path itself (not what is inside or above it), for hiding only;
// - guarded: the path, every folder that contains it, and with bInsideToo everything inside
//   it, for every operation.
// Any item inside a hiding vault of another filesystem (a component named like its vault) or a
// folder holding one is guarded too.
class CProtectedPaths
{
public:
    enum class EOperation
    {
        Hide,
        Wipe,
        Encrypt,
    };

    void Clear();
    void AddNeverHidden(const QString& strPath);
    void AddGuarded(const QString& strPath, bool bInsideToo);
    // The name of a hiding vault at the top of other filesystems.
    void SetMountVaultName(const QString& strName) { m_strMountVaultName = strName; }

    [[nodiscard]] bool IsProtected(const QString& strPath, EOperation eOperation) const;

    // strPath made absolute (against the current folder) with "." and ".." resolved in the text.
    [[nodiscard]] static QString AbsoluteSpelling(const QString& strPath);
    // strPath made absolute with the links, "." and ".." of its longest existing part resolved
    // by the filesystem, the rest resolved in the text.
    [[nodiscard]] static QString ResolvedSpelling(const QString& strPath);
    // True when strInner is strOuter or lies inside it (whole components compared).
    [[nodiscard]] static bool IsSameOrInside(const QString& strOuter, const QString& strInner);

private:
    struct SEntry
    {
        QString strAbsolute;
        QString strResolved;
        bool bInsideToo = false;
    };
    [[nodiscard]] static SEntry MakeEntry(const QString& strPath, bool bInsideToo);
    [[nodiscard]] bool InMountVault(const QString& strSpelling) const;

    std::vector<SEntry> m_neverHidden;
    std::vector<SEntry> m_guarded;
    QString m_strMountVaultName;
};
