#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <gtest/gtest.h>

// Every test runs with HOME and the XDG folders in a fresh temporary folder, and with no
// desktop named, so that the freedesktop tools take their generic paths.
class SettingsTestEnv : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_strRoot = m_dir.path();
        Set("HOME", m_strRoot + QStringLiteral("/home"));
        Set("XDG_CONFIG_HOME", m_strRoot + QStringLiteral("/home/.config"));
        Set("XDG_DATA_HOME", m_strRoot + QStringLiteral("/home/.local/share"));
        Set("XDG_CONFIG_DIRS", m_strRoot + QStringLiteral("/etc/xdg"));
        Set("XDG_DATA_DIRS", m_strRoot + QStringLiteral("/usr/share"));
        Set("HV_SYSTEM_CONFIG_DIR", m_strRoot + QStringLiteral("/etc/xdg"));
        for (const char* pszName : {"XDG_CURRENT_DESKTOP",
                                    "DESKTOP_SESSION",
                                    "KDE_FULL_SESSION",
                                    "GNOME_DESKTOP_SESSION_ID",
                                    "MATE_DESKTOP_SESSION_ID",
                                    "DISPLAY",
                                    "WAYLAND_DISPLAY"}) {
            ::unsetenv(pszName);
        }
        QDir().mkpath(m_strRoot + QStringLiteral("/home"));
    }

    static void Set(const char* pszName, const QString& strValue)
    {
        ::setenv(pszName, strValue.toLocal8Bit().constData(), 1);
    }

    QString UserFile() const { return m_strRoot + QStringLiteral("/home/.config/Halvo-Soft/HalvoNorvane.conf"); }
    QString SystemFile() const { return m_strRoot + QStringLiteral("/etc/xdg/Halvo-Soft/HalvoNorvane.conf"); }
    QString DataHome() const { return m_strRoot + QStringLiteral("/home/.local/share"); }
    QString ConfigHome() const { return m_strRoot + QStringLiteral("/home/.config"); }

    static QByteArray ReadFile(const QString& strPath)
    {
        QFile file(strPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void WriteFile(const QString& strPath, const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(strPath).absolutePath());
        QFile file(strPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(text), text.size());
    }

    // Runs a tool with the test's environment; its standard output, trimmed.
    static QString Run(const QString& strTool, const QStringList& args, int* pnExit = nullptr)
    {
        QProcess process;
        process.start(strTool, args);
        process.waitForFinished(60000);
        if (pnExit != nullptr) {
            *pnExit = process.exitCode();
        }
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    static bool HasTool(const char* pszTool)
    {
        return !QStandardPaths::findExecutable(QString::fromLatin1(pszTool)).isEmpty();
    }

    QTemporaryDir m_dir;
    QString m_strRoot;
};
