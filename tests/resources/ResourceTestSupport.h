#pragma once

#include "resources/CResourceModule.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>
#include <vector>

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

// Each test starts and ends with no module loaded and records the numbers reported missing.
class ResourceModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CResourceModule::Instance().Unload();
        m_previousHandler =
            CResourceModule::Instance().SetMissingStringHandler([this](unsigned nId) { m_vecMissing.push_back(nId); });
    }
    void TearDown() override
    {
        CResourceModule::Instance().Unload();
        CResourceModule::Instance().SetMissingStringHandler(m_previousHandler);
    }

    std::vector<unsigned> m_vecMissing;

private:
    CResourceModule::MissingStringHandler m_previousHandler;
};
