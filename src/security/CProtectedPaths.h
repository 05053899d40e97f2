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
// The hiding vaults at the top of other filesystems are guarded too: any item inside one (a
// component named like a vault), and every folder that contains a mounted filesystem's vault,
// whatever filesystem that folder is on.
class CProtectedPaths
{
public:
    enum class EOperation
    {
        Hide,
        Wipe,
        Encrypt,
    };

    // Why an item here is refused, in reports and messages.
    static constexpr const char* kRefusedReason = "protected path";

    void Clear();
    void AddNeverHidden(const QString& strPath);
    void AddGuarded(const QString& strPath, bool bInsideToo);
    // The name of a hiding vault at the top of other filesystems.
    void SetMountVaultName(const QString& strName) { m_strMountVaultName = strName; }

    // The folders the program cannot lose: strProgramFolder (and what contains it), every data
    // folder, the hiding store and the settings folder (with what is inside them), and the
    // hiding vaults of other filesystems.
    void AddProgramFolders(const QString& strProgramFolder, const QStringList& lstDataFolders);
    // The same for a tool beside the program: the program folder and the data folders as the
    // installation and the program's configuration name them. Without a readable configuration
    // the whole data home is taken for a data folder; returns false then.
    bool AddProgramFoldersFromConfig();

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
    // The vault at the top of each mounted filesystem that has one, guarded with what is inside.
    [[nodiscard]] std::vector<SEntry> MountVaults() const;

    std::vector<SEntry> m_neverHidden;
    std::vector<SEntry> m_guarded;
    QString m_strMountVaultName;
};
