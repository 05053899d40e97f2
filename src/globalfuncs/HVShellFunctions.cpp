#include "globalfuncs/HVShellFunctions.h"

#include "globalfuncs/HVInternal.h"
#include "globalfuncs/HVPathText.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <pwd.h>
#include <unistd.h>

namespace HVGlobalMFC {

namespace {

// An XDG variable counts only when it holds an absolute path.
QString AbsoluteEnv(const char* name)
{
    const QByteArray value = qgetenv(name);
    if (value.isEmpty() || value.at(0) != '/')
        return {};
    return QDir::cleanPath(HVGlobalMFC::HVPathFromBytes(value));
}

QString BaseDir(const char* var, const char* relToHome)
{
    QString dir = AbsoluteEnv(var);
    if (dir.isEmpty()) {
        const QString home = HVGetHomeFolder();
        if (home.isEmpty())
            return {};
        dir = QDir::cleanPath(home + QLatin1Char('/') + QLatin1String(relToHome));
    }
    return dir;
}

// The value of XDG_<key>_DIR: user-dirs.dirs first, then the environment. Empty when unset,
// relative, or equal to $HOME (a disabled directory).
QString UserDir(const QString& key)
{
    const QString home = HVGetHomeFolder();
    const QString var = QStringLiteral("XDG_%1_DIR").arg(key);
    QString value;
    QFile file(BaseDir("XDG_CONFIG_HOME", ".config") + QStringLiteral("/user-dirs.dirs"));
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
            if (!line.startsWith(var + QLatin1Char('=')))
                continue;
            QString raw = line.mid(var.size() + 1).trimmed();
            if (raw.size() >= 2 && raw.startsWith(QLatin1Char('"')) && raw.endsWith(QLatin1Char('"')))
                raw = raw.mid(1, raw.size() - 2);
            QString unescaped;
            for (qsizetype i = 0; i < raw.size(); ++i) {
                if (raw.at(i) == QLatin1Char('\\') && i + 1 < raw.size())
                    ++i;
                unescaped += raw.at(i);
            }
            value = unescaped;  // the last assignment wins, as in a shell
        }
    }
    if (value.isEmpty())
        value = HVGlobalMFC::HVPathFromBytes(qgetenv(var.toLatin1().constData()));
    if (value == QLatin1String("$HOME"))
        value = home;
    else if (value.startsWith(QLatin1String("$HOME/")))
        value = home + value.mid(5);
    if (!value.startsWith(QLatin1Char('/')))
        return {};
    value = QDir::cleanPath(value);
    if (value == QDir::cleanPath(home))
        return {};
    return value;
}

QString Resolve(int id)
{
    switch (id) {
    case HV_CSIDL_DESKTOP:
    case HV_CSIDL_DESKTOPDIRECTORY: {
        const QString desktop = UserDir(QStringLiteral("DESKTOP"));
        const QString home = HVGetHomeFolder();
        if (!desktop.isEmpty())
            return desktop;
        return home.isEmpty() ? QString() : QDir::cleanPath(home + QStringLiteral("/Desktop"));
    }
    case HV_CSIDL_PERSONAL:
        return UserDir(QStringLiteral("DOCUMENTS"));
    case HV_CSIDL_MYMUSIC:
        return UserDir(QStringLiteral("MUSIC"));
    case HV_CSIDL_MYVIDEO:
        return UserDir(QStringLiteral("VIDEOS"));
    case HV_CSIDL_MYPICTURES:
        return UserDir(QStringLiteral("PICTURES"));
    case HV_CSIDL_TEMPLATES:
        return UserDir(QStringLiteral("TEMPLATES"));
    case HV_CSIDL_APPDATA:
    case HV_CSIDL_COMMON_APPDATA:
        return BaseDir("XDG_DATA_HOME", ".local/share");
    case HV_CSIDL_LOCAL_APPDATA:
        return BaseDir("XDG_STATE_HOME", ".local/state");
    case HV_CSIDL_PROGRAMS: {
        const QString data = BaseDir("XDG_DATA_HOME", ".local/share");
        return data.isEmpty() ? data : data + QStringLiteral("/applications");
    }
    case HV_CSIDL_STARTUP: {
        const QString config = BaseDir("XDG_CONFIG_HOME", ".config");
        return config.isEmpty() ? config : config + QStringLiteral("/autostart");
    }
    case HV_CSIDL_PROFILE:
        return HVGetHomeFolder();
    default:
        return {};
    }
}

}  // namespace

QString HVGetHomeFolder()
{
    QString home = AbsoluteEnv("HOME");
    if (home.isEmpty()) {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
            home = QDir::cleanPath(HVGlobalMFC::HVPathFromBytes(pw->pw_dir));
    }
    return home;
}

QString HV_GetSpecialFolder(int folderId)
{
    const int id = folderId & ~HV_CSIDL_FLAG_MASK;
    const QString path = Resolve(id);
    if (path.isEmpty())
        return {};
    // XDG base directories are created private, as the XDG rules ask.
    if (id != HV_CSIDL_DESKTOP && detail::MakePath(path, 0700) != 0)
        return {};
    return path;
}

bool HVLauchIEBrowser(const QString& address, int flagA, int useAutomation)
{
    (void)flagA;
    (void)useAutomation;
    if (address.isEmpty() || address.startsWith(QLatin1Char('-')))
        return false;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    return QProcess::startDetached(opener, QStringList{address});
}

QString HVGetTempFolder()
{
    const QString tmp = AbsoluteEnv("TMPDIR");
    return tmp.isEmpty() ? QStringLiteral("/tmp") : tmp;
}

QString HVGetUserName()
{
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name)
        return QFile::decodeName(pw->pw_name);
    return QFile::decodeName(qgetenv("USER"));
}

QString HVGetComputerName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return QString::fromLocal8Bit(name);
}

}  // namespace HVGlobalMFC
