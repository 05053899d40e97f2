#pragma once

// Runs the real terminal program in a temporary home: HOME and the XDG folders point inside a
// temporary folder, PATH gets a folder of stubs first, the program runs in a session of its own
// (so it has no controlling terminal and can ask nothing), stdin is /dev/null, and stdout and
// stderr are captured.
#include "globalfuncs/HVPathText.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace e2e {

struct SResult
{
    int nStatus = -1;  // exit status, -1 when it did not exit normally
    QString strOut;
    QString strErr;
};

class CHome
{
public:
    CHome()
    {
        m_strRoot = m_dir.path();
        QDir().mkpath(Home());
        QDir().mkpath(Stubs());
        QDir().mkpath(Home() + QStringLiteral("/.config"));
    }

    [[nodiscard]] QString Home() const { return m_strRoot + QStringLiteral("/home"); }
    [[nodiscard]] QString Stubs() const { return m_strRoot + QStringLiteral("/stubs"); }
    [[nodiscard]] QString DataFolder() const { return Home() + QStringLiteral("/.local/share/Halvo-Soft"); }
    [[nodiscard]] QString SignatureFile() const
    {
        return DataFolder() + QStringLiteral("/HalvoNorvane/Data/HNVConfig.xml");
    }

    // A file with content; folders made as needed. Returns its path.
    QString Write(const QString& strRelative, const QByteArray& content, bool bExecutable = false) const
    {
        const QString strPath = strRelative.startsWith(u'/') ? strRelative : Home() + u'/' + strRelative;
        QDir().mkpath(QFileInfo(strPath).path());
        QFile file(strPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        if (bExecutable) {
            file.setPermissions(file.permissions() | QFile::ExeOwner);
        }
        return strPath;
    }

    [[nodiscard]] static QByteArray Read(const QString& strPath)
    {
        QFile file(strPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Whether a file in the hiding engine's private store holds text (the store names files by
    // number, so the content tells which is which).
    [[nodiscard]] bool VaultHolds(const QByteArray& text) const
    {
        const QStringList files = AllFiles(DataFolder() + QStringLiteral("/vault"));
        for (const QString& f : files) {
            if (Read(f).contains(text)) {
                return true;
            }
        }
        return false;
    }
    [[nodiscard]] static QStringList AllFiles(const QString& strFolder)
    {
        QStringList out;
        const QDir dir(strFolder);
        for (const QFileInfo& info : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (info.isDir()) {
                out += AllFiles(info.filePath());
            } else {
                out.append(info.filePath());
            }
        }
        return out;
    }

    // strCwd: the folder the program starts in; empty: this process's own. pszProgram: a
    // program of the build's program folder.
    SResult Run(const QStringList& args, const QString& strCwd = QString(), const char* pszProgram = "hnv") const
    {
        return Wait(Start(args, QString(), strCwd, pszProgram), QString());
    }

    // Starts the program without waiting; its output goes to files named by strTag.
    pid_t Start(const QStringList& args,
                const QString& strTag = QString(),
                const QString& strCwd = QString(),
                const char* pszProgram = "hnv") const
    {
        const QByteArray bin = qgetenv("HV_BUILD_BIN") + "/" + pszProgram;
        std::vector<std::string> argStore{bin.toStdString()};
        for (const QString& a : args) {
            argStore.push_back(HVGlobalMFC::HVPathToStd(a));  // names that are not UTF-8 keep their bytes
        }
        std::vector<std::string> envStore;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string s(*e);
            if (s.rfind("HOME=", 0) == 0 || s.rfind("XDG_", 0) == 0 || s.rfind("PATH=", 0) == 0
                || s.rfind("DISPLAY=", 0) == 0 || s.rfind("WAYLAND_DISPLAY=", 0) == 0) {
                continue;
            }
            envStore.push_back(s);
        }
        envStore.push_back("HOME=" + Home().toStdString());
        envStore.push_back("XDG_CONFIG_HOME=" + Home().toStdString() + "/.config");
        envStore.push_back("XDG_DATA_HOME=" + Home().toStdString() + "/.local/share");
        envStore.push_back("XDG_STATE_HOME=" + Home().toStdString() + "/.local/state");
        envStore.push_back("XDG_CACHE_HOME=" + Home().toStdString() + "/.cache");
        envStore.push_back("PATH=" + Stubs().toStdString() + ":/usr/local/bin:/usr/bin:/bin");
        std::vector<char*> argv;
        for (auto& s : argStore) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& s : envStore) {
            envp.push_back(s.data());
        }
        envp.push_back(nullptr);

        const std::string outPath =
            (m_strRoot + QStringLiteral("/out") + strTag + QStringLiteral(".txt")).toStdString();
        const std::string errPath =
            (m_strRoot + QStringLiteral("/err") + strTag + QStringLiteral(".txt")).toStdString();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray cwd = QFile::encodeName(strCwd);
        if (!cwd.isEmpty()) {
            posix_spawn_file_actions_addchdir_np(&actions, cwd.constData());
        }
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);

        pid_t pid = -1;
        const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
        EXPECT_EQ(rc, 0) << "cannot start " << argv[0];
        return rc == 0 ? pid : -1;
    }

    // Waits for a program that Start began and collects its output.
    SResult Wait(pid_t pid, const QString& strTag = QString()) const
    {
        SResult result;
        if (pid < 0) {
            return result;
        }
        const std::string outPath =
            (m_strRoot + QStringLiteral("/out") + strTag + QStringLiteral(".txt")).toStdString();
        const std::string errPath =
            (m_strRoot + QStringLiteral("/err") + strTag + QStringLiteral(".txt")).toStdString();
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0) {
        }
        result.nStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.strOut = QString::fromUtf8(Read(QString::fromStdString(outPath)));
        result.strErr = QString::fromUtf8(Read(QString::fromStdString(errPath)));
        return result;
    }

private:
    QTemporaryDir m_dir;
    QString m_strRoot;
};

}  // namespace e2e
