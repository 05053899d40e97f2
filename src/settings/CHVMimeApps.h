#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Default applications of the freedesktop "mimeapps.list" files.
//
// QueryDefault looks through the lists in the order the association rules give (per-user
// configuration, system configuration, then the per-user and system data folders, desktop-
// specific lists before the plain ones) and answers the first default entry for the type.
// SetDefault and RemoveDefault edit only the user's own lists in $XDG_CONFIG_HOME and keep
// every other line of them as it was; a list is replaced atomically and only when its text
// changes.
class CHVMimeApps
{
public:
    // The handler list ("a.desktop;b.desktop", without a trailing ";"), empty when none.
    [[nodiscard]] static QString QueryDefault(const QString& strMimeType);
    // Makes strDesktopIds the user's default for the type. Changed: set when a file changed.
    [[nodiscard]] static bool
    SetDefault(const QString& strMimeType, const QString& strDesktopIds, bool* pbChanged = nullptr);
    // Removes the type's default entry from the user's lists.
    [[nodiscard]] static bool RemoveDefault(const QString& strMimeType);
    // The list files, in lookup order.
    [[nodiscard]] static QStringList LookupFiles();

    // One entry of an INI-style list file: nullopt when the file, group or key is missing.
    [[nodiscard]] static std::optional<QString>
    ReadEntry(const QString& strFile, const QString& strGroup, const QString& strKey);
    // Sets (or with a null value removes) one entry, leaving the other lines alone.
    [[nodiscard]] static bool WriteEntry(const QString& strFile,
                                         const QString& strGroup,
                                         const QString& strKey,
                                         const QString& strValue,
                                         bool* pbChanged = nullptr);
};
