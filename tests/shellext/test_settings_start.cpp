// The settings the extension reads from the program's settings file, and the start of the
// program: by the handler and by the launcher of the static menus.
#include "settings/CMRegistryData.h"
#include "shellext/CHVExtIni.h"
#include "shellext/CHVShlExt.h"

#include <cerrno>
#include <cstdio>
#include <sys/wait.h>

#include "ShellExtTestSupport.h"

namespace {

class HVExtSettingsStart : public ShellExtTestEnv
{
protected:
    // Writes the settings the way the program does.
    static void
    WriteProgramSettings(const std::string& strExe, int nPasswordType, int nWipe, int nDisableHide, int nShell)
    {
        CMRegistryData data;
        ASSERT_TRUE(data.LoadOrCreate());
        data.m_strModuleEXEPath = QString::fromStdString(strExe);
        data.m_nShlPasswordType = nPasswordType;
        data.m_nShlEnableWipe = nWipe;
        data.m_nDisableHide = nDisableHide;
        data.m_nShlEnableShell = nShell;
        ASSERT_TRUE(data.Save());
    }

    fs::path Record() const { return m_root / "record"; }

    // The launcher's exit code (-1 when it did not end normally).
    static int RunLauncher(const std::vector<std::string>& args)
    {
        std::string strCmd = "'" HV_LAUNCHER "'";
        for (std::string str : args) {
            for (std::size_t i = 0; (i = str.find('\'', i)) != std::string::npos; i += 4) {
                str.replace(i, 1, "'\\''");
            }
            strCmd += " '" + str + "'";
        }
        const int nStatus = std::system((strCmd + " 2>/dev/null").c_str());
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }
};

TEST_F(HVExtSettingsStart, ReadsWhatTheProgramWrote)
{
    const std::string strExe = "/opt/Halvo \"N\", x;y=z \\ é/@prog";
    WriteProgramSettings(strExe, 1, 1, 1, 1);
    ASSERT_NE(ReadText(CHVExtSettings::SettingsFile()).find("Module%20EXE%20Path="), std::string::npos);
    const CHVExtSettings settings = CHVExtSettings::Load();
    EXPECT_EQ(settings.m_strModuleEXEPath, strExe);
    EXPECT_EQ(settings.m_nShlPasswordType, 1);
    EXPECT_EQ(settings.m_nShlEnableWipe, 1);
    EXPECT_EQ(settings.m_nDisableHide, 1);
    EXPECT_EQ(settings.m_nShlEnableShell, 1);

    WriteProgramSettings("@/leading at", 0, 0, 0, 0);
    const CHVExtSettings changed = CHVExtSettings::Load();
    EXPECT_EQ(changed.m_strModuleEXEPath, "@/leading at");
    EXPECT_EQ(changed.m_nShlPasswordType, 0);
    EXPECT_EQ(changed.m_nShlEnableWipe, 0);
    EXPECT_EQ(changed.m_nDisableHide, 0);
    EXPECT_EQ(changed.m_nShlEnableShell, 0);
}

TEST_F(HVExtSettingsStart, MissingFileOrValuesGiveZeroAndNoProgram)
{
    const CHVExtSettings none = CHVExtSettings::Load();
    EXPECT_EQ(none.m_nShlPasswordType, 0);
    EXPECT_EQ(none.m_nShlEnableShell, 0);
    EXPECT_TRUE(none.m_strModuleEXEPath.empty());

    // Values of another group, malformed numbers and non-text values are not taken.
    Touch(CHVExtSettings::SettingsFile(),
          "[Other]\nShlEnableWipe=1\n[Main]\nShlEnableWipe=1x\nDisableHide=99999999999\n"
          "Module%20EXE%20Path=@ByteArray(abc)\nShlPasswordType = 7 \n");
    const CHVExtSettings odd = CHVExtSettings::Load();
    EXPECT_EQ(odd.m_nShlEnableWipe, 0);
    EXPECT_EQ(odd.m_nDisableHide, 0);
    EXPECT_TRUE(odd.m_strModuleEXEPath.empty());
    EXPECT_EQ(odd.m_nShlPasswordType, 7);

    // A path beyond the limit is dropped, not cut.
    Touch(CHVExtSettings::SettingsFile(),
          "[Main]\nModule%20EXE%20Path=/" + std::string(CHVExtSettings::kMaxPath, 'a') + "\n");
    EXPECT_TRUE(CHVExtSettings::Load().m_strModuleEXEPath.empty());
}

TEST_F(HVExtSettingsStart, UnescapesNamesAndTexts)
{
    EXPECT_EQ(CHVExtIni::UnescapeKey("Module%20EXE%20Path"), "Module EXE Path");
    EXPECT_EQ(CHVExtIni::UnescapeKey("a\\b%U00e9"), "a/b\xC3\xA9");
    EXPECT_EQ(CHVExtIni::UnescapeValue("\"a, b\""), "a, b");
    EXPECT_EQ(CHVExtIni::UnescapeValue("x\\\"y\\\\z\\ty"), "x\"y\\z\ty");
    EXPECT_EQ(CHVExtIni::UnescapeValue("\\x41\\x263a"), "A\xE2\x98\xBA");
    EXPECT_EQ(CHVExtIni::UnescapeValue("@@at"), "@at");
    EXPECT_FALSE(CHVExtIni::UnescapeValue("@Invalid()").has_value());
}

TEST_F(HVExtSettingsStart, InvokeStartsTheProgramWithTheArgumentVector)
{
    Set("HV_STUB_RECORD", Record().string());
    const fs::path folder = m_work / "it's a \"dir\"";
    Touch(folder / "a  b.txt");
    const std::string strFile = (folder / "a  b.txt").string();
    WriteProgramSettings(HV_STUB_RECORDER, 1, 0, 0, 1);

    CHVShlExt handler;
    ASSERT_EQ(handler.Initialize({strFile}), HV_S_OK);  // settings read from the file
    ASSERT_EQ(handler.InvokeCommand(CHVShlExt::OffEncryptHide), HV_S_OK);
    std::string strSession;
    EXPECT_EQ(WaitForRecord(Record(), &strSession),
              (std::vector<std::string>{
                  HV_STUB_RECORDER, "-e", "-h", "-pt", "master", "-p", folder.string(), "-f", "a  b.txt"}));
    // Detached: a session of its own, and no child of ours left behind to reap.
    EXPECT_EQ(strSession.rfind("sid=", 0), 0U);
    EXPECT_NE(strSession, "sid=" + std::to_string(::getsid(0)));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    // An entry the menu does not hold is refused: decrypt on a plain file, wipe while off.
    EXPECT_EQ(handler.InvokeCommand(CHVShlExt::OffDecrypt), HV_E_INVALIDARG);
    EXPECT_EQ(handler.InvokeCommand(CHVShlExt::OffWipe), HV_E_INVALIDARG);
    EXPECT_EQ(handler.InvokeCommand(CHVShlExt::OffSubmenu), HV_E_INVALIDARG);
}

TEST_F(HVExtSettingsStart, NoProgramMeansTheStartFails)
{
    Touch(m_work / "a.txt");
    CHVShlExt handler;
    ASSERT_EQ(handler.Initialize({(m_work / "a.txt").string()}, Settings()), HV_S_OK);
    EXPECT_EQ(handler.InvokeCommand(CHVShlExt::OffEncrypt), HV_E_FAIL);

    CHVExtSettings missing = Settings();
    missing.m_strModuleEXEPath = (m_work / "no-such-program").string();
    ASSERT_EQ(handler.Initialize({(m_work / "a.txt").string()}, missing), HV_S_OK);
    EXPECT_EQ(handler.InvokeCommand(CHVShlExt::OffEncrypt), HV_E_FAIL);
}

TEST_F(HVExtSettingsStart, LauncherDoesOnlyWhatTheHandlerOffers)
{
    Set("HV_STUB_RECORD", Record().string());
    WriteProgramSettings(HV_STUB_RECORDER, 0, 0, 0, 1);
    Touch(m_work / "a b%.txt");
    Touch(m_work / "c.hvnc");
    const std::string strUri = "file://" + m_work.string() + "/a%20b%25.txt";

    // A mixed selection: decrypt is not offered, encrypt is.
    EXPECT_EQ(RunLauncher({"7", strUri, (m_work / "c.hvnc").string()}), 2);
    EXPECT_FALSE(fs::exists(Record()));
    EXPECT_EQ(RunLauncher({"1", strUri, (m_work / "c.hvnc").string()}), 0);
    EXPECT_EQ(WaitForRecord(Record()),
              (std::vector<std::string>{
                  HV_STUB_RECORDER, "-e", "-pt", "new", "-p", m_work.string(), "-f", "a b%.txt", "-f", "c.hvnc"}));

    // Wrong use, remote files, and the menu switched off.
    EXPECT_EQ(RunLauncher({"x", strUri}), 1);
    EXPECT_EQ(RunLauncher({"10", strUri}), 1);
    EXPECT_EQ(RunLauncher({"1", "sftp://host/a.txt"}), 2);
    WriteProgramSettings(HV_STUB_RECORDER, 0, 0, 0, 0);
    EXPECT_EQ(RunLauncher({"1", strUri}), 2);
}

// Asked by a menu's display condition, the launcher only answers whether the handler offers the
// entry, and starts nothing.
TEST_F(HVExtSettingsStart, OfferCheckAnswersLikeTheHandler)
{
    Set("HV_STUB_RECORD", Record().string());
    WriteProgramSettings(HV_STUB_RECORDER, 0, 0, 0, 1);
    Touch(m_work / "it's.txt");
    Touch(m_work / "c.hvnc");
    Touch(m_work / "enc/only.hvnc");
    Touch(m_work / "plain/x.txt");
    const std::string strPlain = (m_work / "it's.txt").string();
    const std::string strEnc = (m_work / "c.hvnc").string();
    const std::string strEncFolder = (m_work / "enc").string();
    const std::string strPlainFolder = (m_work / "plain").string();
    struct Case
    {
        int nOffset;
        std::vector<std::string> paths;
        int nExit;
    };
    for (const Case& c : std::vector<Case>{
             {1, {strPlain}, 0},
             {1, {strEnc}, 1},  // no encryption of an encrypted file
             {7, {strEnc}, 0},
             {7, {strPlainFolder}, 1},  // no decryption of a plain folder
             {7, {strEncFolder}, 0},    // a folder of encrypted files only
             {1, {strEncFolder}, 1},
             {1, {strPlain, strEnc}, 0},  // mixed: encryption, not decryption
             {7, {strPlain, strEnc}, 1},
             {2, {strEnc}, 1},  // nothing plain to add
             {8, {strEnc}, 0},
             {6, {strPlain}, 1},  // wiping is off
             {1, {}, 0},          // nothing to judge by: shown
             {1, {"sftp://host/a.txt"}, 1},
         }) {
        std::vector<std::string> args{"--offered", std::to_string(c.nOffset)};
        args.insert(args.end(), c.paths.begin(), c.paths.end());
        EXPECT_EQ(RunLauncher(args), c.nExit) << c.nOffset << " " << (c.paths.empty() ? "" : c.paths[0]);
    }
    EXPECT_FALSE(fs::exists(Record()));  // nothing was started
    WriteProgramSettings(HV_STUB_RECORDER, 0, 0, 0, 0);
    EXPECT_NE(RunLauncher({"--offered", "1", strPlain}), 0);   // switched off
    EXPECT_NE(RunLauncher({"--offered", "12", strPlain}), 0);  // no such entry
}

}  // namespace
