#pragma once

#include "logging/CHVLog.h"
#include "settings/CHDGlobalData.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include "support/ProgramFiles.h"
#include "support/TempHome.h"

// HOME and the XDG folders in a fresh temporary folder, a program folder of its own ("bin"),
// and the log writer started on a file there, so that tests can read the log lines.
class GlobalData : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.IsValid());
        m_strRoot = m_home.Root();
        QDir().mkpath(ProgramDir());
        m_data.m_RegData.m_strModulePath = ProgramDir();
        LOGGER::g_HVLog.SetFileName(LogFile().toStdString());
        ASSERT_TRUE(LOGGER::g_HVLog.StartLogging());
    }
    void TearDown() override { LOGGER::g_HVLog.StopLogging(); }

    static void Set(const char* pszName, const QString& strValue) { hvtest::SetEnv(pszName, strValue); }
    QString ProgramDir() const { return m_strRoot + QStringLiteral("/bin"); }
    QString LogFile() const { return m_strRoot + QStringLiteral("/test.log"); }
    QString EncryptedConfig() const { return ProgramDir() + QStringLiteral("/Config_norvane.xml.hvnc"); }
    QByteArray LogText() const { return ReadFile(LogFile()); }

    static QByteArray ReadFile(const QString& strPath) { return hvtest::ReadFile(strPath); }
    static void WriteFile(const QString& strPath, const QByteArray& bytes)
    {
        ASSERT_TRUE(hvtest::WriteFile(strPath, bytes)) << strPath.toStdString();
    }

    // Encrypts plain into the program folder as the configuration file, with a cheap cost.
    void WriteConfig(const QByteArray& plain, std::u16string_view password = u"" HV_CONFIG_PASSWORD)
    {
        ASSERT_TRUE(hvtest::WriteEncryptedConfig(EncryptedConfig(), plain, password));
    }

    hvtest::CTempHome m_home;
    QString m_strRoot;
    CHDGlobalData m_data;
};
