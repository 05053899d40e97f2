#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace hvtest {

// Sets an environment variable to a path, in the file system's encoding.
void SetEnv(const char* pszName, const QString& strValue);

// A file's bytes (empty when it cannot be read).
QByteArray ReadFile(const QString& strPath);
// Writes a file, making its folders; false when that failed.
bool WriteFile(const QString& strPath, const QByteArray& data);
// Every file below a folder (not the folders), full paths, sorted.
QStringList AllFiles(const QString& strFolder);

// HOME and the XDG base folders in a fresh temporary folder, for the life of the object:
// HOME is <root>/home with .config, .local/share, .local/state and .cache made below it, and a
// work folder <home>/work for the test's files (the home folder itself may never be hidden).
class CTempHome
{
public:
    CTempHome();
    CTempHome(const CTempHome&) = delete;
    CTempHome& operator=(const CTempHome&) = delete;

    [[nodiscard]] bool IsValid() const { return m_dir.isValid(); }
    // The temporary folder (for what lies beside the home: system folders, programs).
    [[nodiscard]] QString Root() const { return m_dir.path(); }
    [[nodiscard]] const QString& Path() const { return m_strHome; }
    [[nodiscard]] QString Work() const { return m_strHome + QStringLiteral("/work"); }
    [[nodiscard]] QString DataHome() const { return m_strHome + QStringLiteral("/.local/share"); }
    [[nodiscard]] QString ConfigHome() const { return m_strHome + QStringLiteral("/.config"); }

    // A file below the work folder with that content, folders made; its path.
    QString MakeFile(const QString& strRelative, const QByteArray& data = "data") const;
    // Every file below the work folder, relative to it, sorted.
    [[nodiscard]] QStringList WorkFiles() const;

private:
    QTemporaryDir m_dir;
    QString m_strHome;
};

}  // namespace hvtest
