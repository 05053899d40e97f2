#include "settings/CHVXdgDirs.h"

#include <QDir>

namespace {

QString AbsoluteEnv(const char* pszName)
{
    const QString strValue = qEnvironmentVariable(pszName);
    return QDir::isAbsolutePath(strValue) ? QDir::cleanPath(strValue) : QString();
}

QStringList AbsoluteList(const char* pszName, const QStringList& defaults)
{
    QStringList dirs;
    const QStringList parts = qEnvironmentVariable(pszName).split(u':', Qt::SkipEmptyParts);
    for (const QString& strPart : parts) {
        if (QDir::isAbsolutePath(strPart)) {
            dirs << QDir::cleanPath(strPart);
        }
    }
    return dirs.isEmpty() ? defaults : dirs;
}

}  // namespace

QString CHVXdgDirs::Home()
{
    const QString strHome = AbsoluteEnv("HOME");
    return strHome.isEmpty() ? QDir::homePath() : strHome;
}

QString CHVXdgDirs::ConfigHome()
{
    const QString strDir = AbsoluteEnv("XDG_CONFIG_HOME");
    return strDir.isEmpty() ? Home() + QStringLiteral("/.config") : strDir;
}

QString CHVXdgDirs::DataHome()
{
    const QString strDir = AbsoluteEnv("XDG_DATA_HOME");
    return strDir.isEmpty() ? Home() + QStringLiteral("/.local/share") : strDir;
}

QStringList CHVXdgDirs::ConfigDirs()
{
    return AbsoluteList("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
}

QStringList CHVXdgDirs::DataDirs()
{
    return AbsoluteList("XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
}

QString CHVXdgDirs::SystemConfigDir()
{
    const QString strDir = AbsoluteEnv("HV_SYSTEM_CONFIG_DIR");
    return strDir.isEmpty() ? QStringLiteral("/etc/xdg") : strDir;
}

QStringList CHVXdgDirs::CurrentDesktops()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(u':', Qt::SkipEmptyParts);
}
