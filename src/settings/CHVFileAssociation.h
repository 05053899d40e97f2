#pragma once

#include <QString>

// Registration of the ".hvnc" file type for the current user, the freedesktop way:
//  - the MIME type application/x-hvnc (glob "*.hvnc" and the file's 8-byte magic) as the
//    package $XDG_DATA_HOME/mime/packages/halvonorvane-hvnc.xml;
//  - the desktop entry $XDG_DATA_HOME/applications/halvonorvane-hnvfile.desktop, which starts
//    the program with "-d -fp" and the file;
//  - that entry as the user's default handler of the type ($XDG_CONFIG_HOME/mimeapps.list).
// A default that named another handler is replaced, and the previous handler list is kept as
// "Old" in the settings key "SOFTWARE\Halvo-Soft\HalvoNorvane\FileType" (Restore puts it back).
// When the package and the entry already hold exactly the wanted text nothing is rewritten and
// the databases are not refreshed; otherwise the changed files are replaced atomically and
// update-mime-database / update-desktop-database run, where installed.
class CHVFileAssociation
{
public:
    static constexpr const char* kMimeType = "application/x-hvnc";
    static constexpr const char* kDesktopId = "halvonorvane-hnvfile.desktop";
    static constexpr const char* kMimePackage = "halvonorvane-hvnc.xml";
    static constexpr const char* kOldKey = "SOFTWARE\\Halvo-Soft\\HalvoNorvane\\FileType";
    static constexpr const char* kOldValue = "Old";

    explicit CHVFileAssociation(QString strProgram);

    // Registers the type for strProgram. False when the program path is empty or cannot be
    // written into a desktop entry (control characters), or a file could not be written.
    [[nodiscard]] bool Associate();
    // Undoes Associate: the default goes back to "Old" (or is removed when there was none),
    // the package and the entry are deleted and the databases refreshed.
    [[nodiscard]] bool Restore();
    // Whether the last Associate or Restore wrote the package or entry (and so refreshed).
    [[nodiscard]] bool Refreshed() const { return m_bRefreshed; }

    [[nodiscard]] static QString MimePackagePath();
    [[nodiscard]] static QString DesktopEntryPath();
    [[nodiscard]] static QString MimePackageText();
    // The entry's text; null when the program path cannot be expressed in it.
    [[nodiscard]] static QString DesktopEntryText(const QString& strProgram);
    // The previous handler kept by Associate; empty when none.
    [[nodiscard]] static QString StoredOld();

private:
    [[nodiscard]] static bool WriteIfChanged(const QString& strPath, const QByteArray& text, bool& bChanged);
    static void RunTool(const QString& strTool, const QString& strFolder);
    // Rebuilds the desktop's type and entry caches for what changed; notes whether any did.
    void Refresh(bool bMimeChanged, bool bEntryChanged);

    QString m_strProgram;
    bool m_bRefreshed = false;
};
