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

#include "support/TempHome.h"

// Every test runs with HOME and the XDG folders in a fresh temporary folder, and with no
// desktop named, so that the freedesktop tools take their generic paths.
class SettingsTestEnv : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.IsValid());
        m_strRoot = m_home.Root();
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
    }

    static void Set(const char* pszName, const QString& strValue) { hvtest::SetEnv(pszName, strValue); }

    QString UserFile() const { return m_strRoot + QStringLiteral("/home/.config/Halvo-Soft/HalvoNorvane.conf"); }
    QString SystemFile() const { return m_strRoot + QStringLiteral("/etc/xdg/Halvo-Soft/HalvoNorvane.conf"); }
    QString DataHome() const { return m_strRoot + QStringLiteral("/home/.local/share"); }
    QString ConfigHome() const { return m_strRoot + QStringLiteral("/home/.config"); }

    static QByteArray ReadFile(const QString& strPath) { return hvtest::ReadFile(strPath); }
    static void WriteFile(const QString& strPath, const QByteArray& text)
    {
        ASSERT_TRUE(hvtest::WriteFile(strPath, text)) << strPath.toStdString();
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

    hvtest::CTempHome m_home;
    QString m_strRoot;
};
