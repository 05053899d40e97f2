#pragma once

#include "logging/CHVLog.h"
#include "settings/CHDGlobalData.h"

#include "SettingsTestSupport.h"
#include "support/ProgramFiles.h"

// The settings tests' temporary home, a program folder of its own ("bin"), and the log writer
// started on a file there, so that tests can read the log lines.
class GlobalData : public SettingsTestEnv
{
public:
    void SetUp() override
    {
        SettingsTestEnv::SetUp();
        QDir().mkpath(ProgramDir());
        m_data.m_RegData.m_strModulePath = ProgramDir();
        LOGGER::g_HVLog.SetFileName(LogFile().toStdString());
        ASSERT_TRUE(LOGGER::g_HVLog.StartLogging());
    }
    void TearDown() override { LOGGER::g_HVLog.StopLogging(); }

    QString ProgramDir() const { return m_strRoot + QStringLiteral("/bin"); }
    QString LogFile() const { return m_strRoot + QStringLiteral("/test.log"); }
    QString EncryptedConfig() const { return ProgramDir() + QStringLiteral("/Config_norvane.xml.hvnc"); }
    QByteArray LogText() const { return ReadFile(LogFile()); }

    // Encrypts plain into the program folder as the configuration file, with a cheap cost.
    void WriteConfig(const QByteArray& plain, std::u16string_view password = u"" HV_CONFIG_PASSWORD)
    {
        ASSERT_TRUE(hvtest::WriteEncryptedConfig(EncryptedConfig(), plain, password));
    }

    CHDGlobalData m_data;
};
