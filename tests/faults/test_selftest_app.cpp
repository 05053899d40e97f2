// The application object's start-up with ciphers that fail their self-test: the reason reaches
// the front end, "Cipher self-test failed" the log, nothing else is asked or done, and the
// program ends with status 1.
#include "engines/CHvncSelfTest.h"
#include "logging/CHVLog.h"

#include <QFile>

#include <gtest/gtest.h>

#include "../app/AppTestSupport.h"

namespace {

using EEnd = CHalvoDataSecurityApp::EEnd;

class AppSelfTest : public ::testing::Test
{
protected:
    void TearDown() override { CHvncSelfTest::SetBrokenVectorForTest(""); }
};

TEST_F(AppSelfTest, AFailedSelfTestEndsStartUp)
{
    apptest::CTempHome home;
    CHvncSelfTest::SetBrokenVectorForTest("AES-128-GCM #2");
    apptest::CScriptedFrontEnd ui;
    CHalvoDataSecurityApp app(ui);
    app.SetSteps(apptest::TestSteps(1, 1));
    app.SetArguments({"-d", "-fp", home.Path() + "/a.hvnc"});
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.m_eEnd, EEnd::InitFailed);
    EXPECT_EQ(app.m_pDataSecurityMngr, nullptr) << "no manager was made";
    EXPECT_EQ(app.ExitInstance(), 1);
    ASSERT_EQ(ui.events.size(), 1u);
    EXPECT_EQ(ui.events.front(),
              "text Cipher self-test failed: AES-128-GCM #2 does not give its known answer. No data was touched; "
              "the program ends.");
    LOGGER::g_HVLog.StopLogging();
    QFile log(home.Path() + QStringLiteral("/.local/share/Halvo-Soft/HalvoNorvane/Logs/HNV.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Cipher self-test failed"));
}

TEST_F(AppSelfTest, APassedSelfTestGoesOn)
{
    apptest::CTempHome home;
    apptest::CScriptedFrontEnd ui;
    CHalvoDataSecurityApp app(ui);
    app.SetSteps(apptest::TestSteps(1));
    app.SetArguments({"-zz"});
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.m_eEnd, EEnd::InvalidCommand) << "start-up went on to the command line";
    (void)app.ExitInstance();
}

}  // namespace
