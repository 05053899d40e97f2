#include "support/TempHome.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace hvtest {

void SetEnv(const char* pszName, const QString& strValue)
{
    ::setenv(pszName, QFile::encodeName(strValue).constData(), 1);
}

QByteArray ReadFile(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& strPath, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(strPath).path());
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

QStringList AllFiles(const QString& strFolder)
{
    QStringList files;
    QDirIterator it(strFolder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next();
    }
    files.sort();
    return files;
}

CTempHome::CTempHome()
    : m_strHome(m_dir.path() + QStringLiteral("/home"))
{
    SetEnv("HOME", m_strHome);
    SetEnv("XDG_CONFIG_HOME", ConfigHome());
    SetEnv("XDG_DATA_HOME", DataHome());
    SetEnv("XDG_STATE_HOME", m_strHome + QStringLiteral("/.local/state"));
    SetEnv("XDG_CACHE_HOME", m_strHome + QStringLiteral("/.cache"));
    for (const QString& strFolder : {ConfigHome(),
                                     DataHome(),
                                     m_strHome + QStringLiteral("/.local/state"),
                                     m_strHome + QStringLiteral("/.cache"),
                                     Work()}) {
        QDir().mkpath(strFolder);
    }
}

QString CTempHome::MakeFile(const QString& strRelative, const QByteArray& data) const
{
    const QString strPath = Work() + QLatin1Char('/') + strRelative;
    (void)WriteFile(strPath, data);
    return strPath;
}

QStringList CTempHome::WorkFiles() const
{
    const QDir work(Work());
    QStringList files;
    for (const QString& strPath : AllFiles(Work())) {
        files << work.relativeFilePath(strPath);
    }
    return files;
}

}  // namespace hvtest
