#pragma once

#include "resources/CResourceModule.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <vector>

#include "support/TempHome.h"

// Program folder of the build (the tests run from their own folder).
inline QString BuildProgramFolder()
{
    const QString fromEnv = qEnvironmentVariable("HV_BUILD_BIN");
    return fromEnv.isEmpty() ? QStringLiteral(HV_PROGRAM_DIR_FALLBACK) : fromEnv;
}

inline QString ProgramModulePath()
{
    return BuildProgramFolder() + QLatin1Char('/') + QStringLiteral(HV_RESOURCE_FILE_NAME);
}

// Each test starts and ends with no module loaded, records the numbers reported missing and has
// a temporary folder.
class ResourceModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        CResourceModule::Instance().Unload();
        m_previousHandler =
            CResourceModule::Instance().SetMissingStringHandler([this](unsigned nId) { m_vecMissing.push_back(nId); });
    }
    void TearDown() override
    {
        CResourceModule::Instance().Unload();
        CResourceModule::Instance().SetMissingStringHandler(m_previousHandler);
    }

    // Qt's resource compiler run with those arguments; its exit code.
    static int Rcc(const QStringList& args) { return QProcess::execute(QStringLiteral(HV_RCC), args); }

    std::vector<unsigned> m_vecMissing;
    QTemporaryDir m_dir;

private:
    CResourceModule::MissingStringHandler m_previousHandler;
};
