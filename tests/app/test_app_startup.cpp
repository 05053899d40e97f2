// Start-up decisions of the application object with a scripted user: which starts ask for the
// master password, the exit codes, the refused command line, the clean-up question, the log.
#include "logging/CHVLog.h"
#include "passwords/CMasterPasswordStore.h"
#include "resources/CResourceModule.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "AppTestSupport.h"

using apptest::CScriptedFrontEnd;
using apptest::CTempHome;
using apptest::TestSteps;
using EEnd = CHalvoDataSecurityApp::EEnd;

namespace {

struct SStart
{
    EEnd eEnd;
    int nExit;
};

SStart Start(CScriptedFrontEnd& ui, const QStringList& args, CHalvoDataSecurityApp::SSteps steps)
{
    CHalvoDataSecurityApp app(ui);
    app.SetSteps(std::move(steps));
    app.SetArguments(args);
    EXPECT_FALSE(app.InitInstance());
    const EEnd eEnd = app.m_eEnd;
    const int nExit = app.ExitInstance();
    EXPECT_EQ(app.m_pDataSecurityMngr, nullptr);
    return {eEnd, nExit};
}

QString SignatureFile(const CTempHome& home)
{
    return home.Path() + QStringLiteral("/.local/share/Halvo-Soft/HalvoNorvane/Data/HNVConfig.xml");
}

}  // namespace

TEST(AppCommandLineText, PasswordValueIsMasked)
{
    EXPECT_EQ(CHalvoDataSecurityApp::MaskedCommandLine(
                  {"-e", "-pt", "new", "-pw", "s3cret pass", "-p", "/home/a b", "-f", "x"}),
              QStringLiteral("-e -pt new -pw ******** -p \"/home/a b\" -f x"));
    EXPECT_EQ(CHalvoDataSecurityApp::MaskedCommandLine({"-PW", "abcdef"}), QStringLiteral("-PW ********"));
    // "-pw" with no value: the next option is not hidden, nothing later either.
    EXPECT_EQ(CHalvoDataSecurityApp::MaskedCommandLine({"-pw", "-d", "-fp", "/a.hvnc"}),
              QStringLiteral("-pw -d -fp /a.hvnc"));
    EXPECT_EQ(CHalvoDataSecurityApp::MaskedCommandLine({"-pw", "a", "-pw", "b"}),
              QStringLiteral("-pw ******** -pw ********"));
}

TEST(AppStartFailures, EachStepEndsWithItsMessageAndExitCodeZero)
{
    CTempHome home;
    {
        CScriptedFrontEnd ui;
        auto steps = TestSteps(1);
        steps.fnLoadAppConfigFile = [] { return 0; };
        const SStart s = Start(ui, {}, steps);
        EXPECT_EQ(s.eEnd, EEnd::ConfigMissing);
        EXPECT_EQ(s.nExit, 0);
        ASSERT_FALSE(ui.events.empty());
        EXPECT_EQ(ui.events.front(), "text " + CResourceModule::BuiltinString(57345).toStdString());
        EXPECT_FALSE(ui.Has("manager"));
    }
    {
        CScriptedFrontEnd ui;
        auto steps = TestSteps(1);
        steps.fnLoadSettings = [] { return false; };
        const SStart s = Start(ui, {}, steps);
        EXPECT_EQ(s.eEnd, EEnd::SettingsNotLoaded);
        EXPECT_EQ(s.nExit, 0);
        EXPECT_EQ(ui.events, apptest::Events{"message 141"});
    }
    {
        CScriptedFrontEnd ui;
        auto steps = TestSteps(1);
        steps.fnLoadResources = [] { return false; };
        const SStart s = Start(ui, {"-d", "-fp", "/x.hvnc"}, steps);
        EXPECT_EQ(s.eEnd, EEnd::ResourceMissing);
        EXPECT_EQ(s.nExit, 0);
        EXPECT_EQ(ui.events, (apptest::Events{"theme", "text " + CResourceModule::BuiltinString(57346).toStdString()}));
    }
}

TEST(AppStartFailures, InvalidCommandAsksNothingAndExitsZero)
{
    CTempHome home;
    for (const QStringList& args : {QStringList{"-zz"}, QStringList{"-e", "-p", home.Path()}, QStringList{"-h"}}) {
        CScriptedFrontEnd ui;
        const SStart s = Start(ui, args, TestSteps(1));
        EXPECT_EQ(s.eEnd, EEnd::InvalidCommand) << args.join(' ').toStdString();
        EXPECT_EQ(s.nExit, 0);
        EXPECT_TRUE(ui.Has("text Invalid command"));
        EXPECT_EQ(ui.Count("ask."), 0);
        EXPECT_EQ(ui.Count("run."), 0);
    }
}

// Which starts ask for the master password. The first choice of one is cancelled, which ends
// start-up with exit code 0 and no run; a start that does not ask goes on to its run.
struct SAskCase
{
    const char* pszName;
    QStringList args;
    int nShlAskMaster;
    bool bAsks;
};

class AppMasterPasswordDecision : public ::testing::TestWithParam<SAskCase>
{
};

TEST_P(AppMasterPasswordDecision, AsksOnlyWhereItMust)
{
    CTempHome home;
    const SAskCase& c = GetParam();
    QStringList args;
    for (const QString& a : c.args) {
        args.append(QString(a).replace(QStringLiteral("HOME"), home.Path()));
    }
    CScriptedFrontEnd ui;
    ui.newMasterPasswords = {QString()};  // cancel
    const SStart s = Start(ui, args, TestSteps(c.nShlAskMaster));
    EXPECT_EQ(ui.Has("ask.new-master"), c.bAsks);
    if (c.bAsks) {
        EXPECT_EQ(s.eEnd, EEnd::MasterPasswordNotSet);
        EXPECT_EQ(s.nExit, 0);
        EXPECT_EQ(ui.Count("run."), 0);
        EXPECT_EQ(ui.Count("window"), 0);
    } else {
        EXPECT_NE(s.eEnd, EEnd::MasterPasswordNotSet);
    }
}

INSTANTIATE_TEST_SUITE_P(Starts,
                         AppMasterPasswordDecision,
                         ::testing::Values(SAskCase{"bare", {}, 0, true},
                                           SAskCase{"decrypt", {"-d", "-fp", "HOME/a.hvnc"}, 1, false},
                                           SAskCase{"secureAskOff", {"-e", "-p", "HOME", "-f", "a"}, 0, false},
                                           SAskCase{"secureAskOn", {"-e", "-p", "HOME", "-f", "a"}, 1, true},
                                           SAskCase{"wipeAskOn", {"-w", "-p", "HOME", "-f", "a"}, 1, true},
                                           SAskCase{"hideWindow", {"-rh"}, 0, true},
                                           SAskCase{"selection", {"-s", "-p", "HOME", "-f", "a"}, 0, true},
                                           SAskCase{"cleanupNoFile", {"-ui"}, 1, false}),
                         [](const auto& info) { return std::string(info.param.pszName); });

TEST(AppRuns, DecryptRunsWithoutMasterPasswordAndSecureWithoutOneStopsCleanly)
{
    CTempHome home;
    {
        CScriptedFrontEnd ui;
        const SStart s = Start(ui, {"-d", "-fp", home.Path() + "/a.hvnc"}, TestSteps(1));
        EXPECT_EQ(s.eEnd, EEnd::FlowRan);
        EXPECT_EQ(s.nExit, 0);
        EXPECT_TRUE(ui.Has("run.modal decrypt=1"));
        EXPECT_TRUE(ui.Has("flow 1 1"));
        EXPECT_EQ(ui.Count("ask."), 0);
        EXPECT_EQ(ui.Count("report"), 0);  // command-line runs show no report
    }
    {
        // ShlAskMaster 0 and no master password yet: nothing is encrypted under an empty one.
        CScriptedFrontEnd ui;
        const SStart s = Start(ui, {"-e", "-p", home.Path(), "-f", "a"}, TestSteps(0));
        EXPECT_EQ(s.eEnd, EEnd::FlowRan);
        EXPECT_TRUE(ui.Has("message 190"));
        EXPECT_FALSE(ui.Has("run.modal"));
        EXPECT_TRUE(ui.Has("flow 0 0"));
    }
}

// The signature costs a key derivation: these cases share one first start.
TEST(AppRuns, FirstStartThenWindowsThenWrongPasswordThenCleanup)
{
    CTempHome home;
    const QString strSig = SignatureFile(home);
    {
        CScriptedFrontEnd ui;
        ui.bWithEngine = false;  // nothing hides the file at shutdown
        ui.newMasterPasswords = {QStringLiteral("right-one")};
        const SStart s = Start(ui, {}, TestSteps(1));
        EXPECT_EQ(s.eEnd, EEnd::NoMainWindow);
        EXPECT_EQ(s.nExit, 0);
        EXPECT_TRUE(ui.Has("window 0"));
        EXPECT_EQ(ui.nCmdLineAtWindow, 0);
        ASSERT_TRUE(QFileInfo::exists(strSig));
    }
    {
        // Hide management: the manager leaves command-line mode; the selection keeps it.
        CScriptedFrontEnd ui;
        ui.bWithEngine = false;
        ui.bMainWindow = true;
        ui.masterPasswords = {QStringLiteral("right-one"), QStringLiteral("right-one")};
        EXPECT_EQ(Start(ui, {"-rh"}, TestSteps(1)).eEnd, EEnd::MainWindowShown);
        EXPECT_TRUE(ui.Has("window 3"));
        EXPECT_EQ(ui.nCmdLineAtWindow, 0);
        CScriptedFrontEnd ui2;
        ui2.bWithEngine = false;
        ui2.bMainWindow = true;
        ui2.masterPasswords = {QStringLiteral("right-one")};
        EXPECT_EQ(Start(ui2, {"-s", "-p", home.Path(), "-f", "a"}, TestSteps(1)).eEnd, EEnd::MainWindowShown);
        EXPECT_TRUE(ui2.Has("window 1"));
        EXPECT_EQ(ui2.nCmdLineAtWindow, 1);
    }
    {
        CScriptedFrontEnd ui;
        ui.bWithEngine = false;
        ui.masterPasswords = {"wrong-1", "wrong-2", "wrong-3", "wrong-4", "right-one"};
        const SStart s = Start(ui, {"-rh"}, TestSteps(1));
        EXPECT_EQ(s.eEnd, EEnd::MasterPasswordRefused);
        EXPECT_EQ(s.nExit, 3000);
        EXPECT_EQ(CHalvoDataSecurityApp::kShellExitNoMasterPassword, 184);
        EXPECT_EQ(ui.Count("ask.master"), 4);
        EXPECT_EQ(ui.Count("message 130"), 4);
        EXPECT_FALSE(ui.Has("window"));
    }
    {
        // Cancel at the second attempt: 3000 as well.
        CScriptedFrontEnd ui;
        ui.bWithEngine = false;
        ui.masterPasswords = {"wrong-1", QString()};
        EXPECT_EQ(Start(ui, {"-rh"}, TestSteps(1)).nExit, 3000);
        EXPECT_EQ(ui.Count("ask.master"), 2);
    }
    {
        // Clean-up declined: the file stays, 3000.
        CScriptedFrontEnd ui;
        ui.masterPasswords = {QStringLiteral("right-one")};
        ui.yesNo = {false};
        const SStart s = Start(ui, {"-ui"}, TestSteps(1));
        EXPECT_EQ(s.eEnd, EEnd::CleanupDeclined);
        EXPECT_EQ(s.nExit, 3000);
        EXPECT_TRUE(ui.Has("yesno 168 57344"));
        EXPECT_FALSE(ui.Has("engine.DisableHiding"));
    }
    {
        // Clean-up confirmed: the password first, then hiding off, then the file is gone.
        CScriptedFrontEnd ui;
        ui.masterPasswords = {QStringLiteral("right-one")};
        ui.yesNo = {true};
        const SStart s = Start(ui, {"-ui"}, TestSteps(1));
        EXPECT_EQ(s.eEnd, EEnd::CleanupDone);
        EXPECT_EQ(s.nExit, 0);
        EXPECT_EQ(ui.Count("ask.master"), 1);
        EXPECT_TRUE(ui.Has("engine.DisableHiding"));
        EXPECT_FALSE(QFileInfo::exists(strSig));
    }
    {
        // The next start asks for a new master password.
        CScriptedFrontEnd ui;
        ui.bWithEngine = false;
        Start(ui, {"-rh"}, TestSteps(1));
        EXPECT_TRUE(ui.Has("ask.new-master"));
    }
}

TEST(AppRuns, CleanupWithoutFileAsksNoPassword)
{
    CTempHome home;
    {
        CScriptedFrontEnd ui;
        ui.yesNo = {true};
        const SStart s = Start(ui, {"-ui"}, TestSteps(1));
        EXPECT_EQ(s.eEnd, EEnd::CleanupDone);
        EXPECT_EQ(s.nExit, 0);
        EXPECT_EQ(ui.Count("ask."), 0);
        EXPECT_TRUE(ui.Has("engine.DisableHiding"));
    }
    {
        // No hiding engine could be made: the clean-up still ends normally, touching none.
        CScriptedFrontEnd ui;
        ui.bWithEngine = false;
        ui.yesNo = {true};
        EXPECT_EQ(Start(ui, {"-ui"}, TestSteps(1)).eEnd, EEnd::CleanupDone);
        EXPECT_FALSE(ui.Has("engine."));
    }
}

TEST(AppLog, LinesInOrderAndNoPassword)
{
    CTempHome home;
    CScriptedFrontEnd ui;
    Start(ui, {"-d", "-pw", "TopSecret99", "-fp", home.Path() + "/a.hvnc"}, TestSteps(1, 1));
    LOGGER::g_HVLog.StopLogging();
    QFile log(home.Path() + QStringLiteral("/.local/share/Halvo-Soft/HalvoNorvane/Logs/HNV.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString strLog = QString::fromUtf8(log.readAll());
    EXPECT_FALSE(strLog.contains(QStringLiteral("TopSecret99")));
    const char* kOrder[] = {"Initialize Manager Done",
                            "Config File Loaded",
                            "Global Colors Init and Loaded",
                            "Resource loaded",
                            "Start Initialize Manager",
                            "Secure through command line",
                            "Cmd :-d -pw ******** -fp",
                            "Parsing the cmd Done",
                            "Start Initialize Manager",
                            "Start Decrypt Data"};
    qsizetype nAt = 0;
    for (const char* psz : kOrder) {
        const qsizetype nFound = strLog.indexOf(QString::fromUtf8(psz), nAt);
        ASSERT_GE(nFound, 0) << psz;
        nAt = nFound + 1;
    }
}

TEST(AppLog, OffWhenTheSettingIsOff)
{
    CTempHome home;
    CScriptedFrontEnd ui;
    Start(ui, {"-d", "-fp", home.Path() + "/a.hvnc"}, TestSteps(1, 0));
    EXPECT_FALSE(QFileInfo::exists(home.Path() + QStringLiteral("/.local/share/Halvo-Soft/HalvoNorvane/Logs/HNV.log")));
}
