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
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/Programs.h"
#include "support/TempHome.h"

namespace e2e {

struct SResult
{
    int nStatus = -1;  // exit status, -1 when it did not exit normally
    QString strOut;
    QString strErr;
};

// hvtest::Words over paths: every byte of a value is kept.
inline QStringList Words(const char* pszLine, const QStringList& values = {})
{
    std::vector<std::string> bytes;
    for (const QString& strValue : values) {
        bytes.push_back(HVGlobalMFC::HVPathToStd(strValue));
    }
    QStringList words;
    for (const std::string& strWord : hvtest::Words(pszLine, bytes)) {
        words << HVGlobalMFC::HVPathFromBytes(strWord);
    }
    return words;
}

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
        EXPECT_TRUE(hvtest::WriteFile(strPath, content)) << strPath.toStdString();
        if (bExecutable) {
            QFile::setPermissions(strPath, QFile::permissions(strPath) | QFile::ExeOwner);
        }
        return strPath;
    }

    [[nodiscard]] static QByteArray Read(const QString& strPath) { return hvtest::ReadFile(strPath); }

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
    [[nodiscard]] static QStringList AllFiles(const QString& strFolder) { return hvtest::AllFiles(strFolder); }

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
        std::vector<std::string> argv{hvtest::ProgramPath(pszProgram)};
        for (const QString& a : args) {
            argv.push_back(HVGlobalMFC::HVPathToStd(a));  // names that are not UTF-8 keep their bytes
        }
        const pid_t pid = hvtest::StartProgram(
            argv,
            hvtest::HomeEnvironment(Home().toStdString(),
                                    {"PATH=" + Stubs().toStdString() + ":/usr/local/bin:/usr/bin:/bin"}),
            OutputFile(QStringLiteral("out"), strTag),
            OutputFile(QStringLiteral("err"), strTag),
            QFile::encodeName(strCwd).toStdString());
        EXPECT_GT(pid, 0) << "cannot start " << argv[0];
        return pid;
    }

    // Waits for a program that Start began and collects its output.
    SResult Wait(pid_t pid, const QString& strTag = QString()) const
    {
        SResult result;
        if (pid < 0) {
            return result;
        }
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0) {
        }
        result.nStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.strOut = QString::fromStdString(hvtest::ReadText(OutputFile(QStringLiteral("out"), strTag)));
        result.strErr = QString::fromStdString(hvtest::ReadText(OutputFile(QStringLiteral("err"), strTag)));
        return result;
    }

private:
    [[nodiscard]] std::string OutputFile(const QString& strStream, const QString& strTag) const
    {
        return QFile::encodeName(m_strRoot + u'/' + strStream + strTag + QStringLiteral(".txt")).toStdString();
    }

    QTemporaryDir m_dir;
    QString m_strRoot;
};

}  // namespace e2e
