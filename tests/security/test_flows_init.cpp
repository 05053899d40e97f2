// Start-up set-up, protected paths, HidePath and shutdown of the data-security manager.
#include "engines/CWipeManager.h"
#include "engines/HVPendingRecords.h"
#include "hiding/CHidingEngine.h"
#include "settings/CHVFileAssociation.h"
#include "settings/CMRegistryData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/wait.h>
#include <unistd.h>

#include "FlowsTestSupport.h"

using namespace flowtest;

namespace {

class InitFlow : public ::testing::Test
{
protected:
    InitFlow()
    {
        m_mngr.m_fnCreateHideControl = [this]() -> std::shared_ptr<IHidingEngine> { return m_pEngine; };
    }
    [[nodiscard]] QString ExpectedConfigFile() const
    {
        return m_home.Path() + QStringLiteral("/.local/share/Halvo-Soft/HalvoNorvane/Data/HNVConfig.xml");
    }

    CTempHome m_home;
    Events m_events;
    CMRegistryData& m_settings = g_HDGlobalData.m_RegData;
    std::shared_ptr<CFakeHidingEngine> m_pEngine = std::make_shared<CFakeHidingEngine>(m_events);
    CDataSecurityMngr m_mngr;
};

TEST_F(InitFlow, SetsUpTheEngineInOrderAndShowsThePasswordFile)
{
    m_settings.m_nEnableEncrypt = 0;
    m_settings.m_nHidenType = 2;
    m_pEngine->m_bEnabled = false;
    m_mngr.m_nPriority = 5;
    ASSERT_EQ(m_mngr.InitManager(), 1);
    EXPECT_EQ(m_mngr.m_strConfigFile, ExpectedConfigFile());
    EXPECT_TRUE(QFileInfo(ExpectedConfigFile()).absoluteDir().exists());
    const Events expected{
        std::string("engine.SetCurrentHidingEngine ") + IHidingEngine::kEngineId,
        "engine.IsHidingEnabled",
        "engine.EnableHiding",
        "engine.UnhideItem " + ExpectedConfigFile().toStdString(),
    };
    EXPECT_EQ(m_events, expected);
    EXPECT_EQ(m_mngr.m_bHideDisabled, 0);
    EXPECT_EQ(m_mngr.m_bEncrypt, 0);
    EXPECT_EQ(m_mngr.m_iHidenType, 2);
    EXPECT_EQ(m_mngr.m_iPasswordType, 0);
    EXPECT_EQ(m_mngr.m_nPriority, 0);
}

TEST_F(InitFlow, EnabledHidingIsNotEnabledAgain)
{
    ASSERT_EQ(m_mngr.InitManager(), 1);
    EXPECT_TRUE(Only(m_events, "engine.EnableHiding").empty());
}

TEST_F(InitFlow, EngineThatCannotBeCreatedOrRefusesTheIdentifierDisablesHiding)
{
    m_pEngine->m_bEngineAnswer = false;
    ASSERT_EQ(m_mngr.InitManager(), 1);
    EXPECT_EQ(m_mngr.m_bHideDisabled, 1);
    EXPECT_EQ(m_events.size(), 1u);  // only the identifier was offered
    EXPECT_EQ(m_mngr.m_strConfigFile, ExpectedConfigFile());

    CDataSecurityMngr other;
    other.m_fnCreateHideControl = [] { return std::shared_ptr<IHidingEngine>(); };
    ASSERT_EQ(other.InitManager(), 1);
    EXPECT_EQ(other.m_bHideDisabled, 1);
    EXPECT_FALSE(other.m_lstProtectedPaths.isEmpty());
    EXPECT_EQ(other.HidePath(m_home.Path() + QStringLiteral("/x")), 0);
    EXPECT_EQ(other.SaveAndClose(), 1);
}

TEST_F(InitFlow, ProtectedPathsAreTheSystemFoldersProgramHomeAndDesktopUpperCased)
{
    ASSERT_EQ(m_mngr.InitManager(), 1);
    const QString strHome = m_home.Path().toUpper();
    // clang-format off
    const QStringList expected{"/", "/USR", "/ETC", "/BIN", "/BOOT", "/DEV", "/PROC", "/SYS", "/VAR", "/LIB", "/OPT",
                               strHome + "/PROGRAM FILES/HALVONORVANE", strHome, strHome + "/DESKTOP"};
    // clang-format on
    EXPECT_EQ(m_mngr.m_lstProtectedPaths, expected);

    // A second set-up rebuilds the list instead of adding to it.
    ASSERT_EQ(m_mngr.InitManager(), 1);
    EXPECT_EQ(m_mngr.m_lstProtectedPaths, expected);
}

TEST_F(InitFlow, HidePathRefusesProtectedPathsInAnyCaseAndWithTrailingSlashes)
{
    ASSERT_EQ(m_mngr.InitManager(), 1);
    m_events.clear();
    const QString strHome = m_home.Path();
    // clang-format off
    const QStringList spellings{"/usr", "/USR", "/Etc", "/usr/", "/usr//", "//", "/", "/opt/.", strHome, strHome + "/",
                                strHome + "/desktop", strHome + "/Desktop/", strHome + "/Program Files/HalvoNorvane"};
    // clang-format on
    for (const QString& strPath : spellings) {
        EXPECT_EQ(m_mngr.HidePath(strPath), 0) << strPath.toStdString();
    }
    EXPECT_TRUE(m_events.empty()) << "the engine was called for a protected path";
}

TEST_F(InitFlow, HidePathHandsOtherPathsToTheEngineExactlyAsGiven)
{
    ASSERT_EQ(m_mngr.InitManager(), 1);
    m_events.clear();
    const QString strFile = m_home.Path() + QStringLiteral("/Docs/Mixed Case \u00e9t\u00e9.txt");
    EXPECT_EQ(m_mngr.HidePath(strFile), 1);
    EXPECT_EQ(m_mngr.HidePath(QStringLiteral("/usr/share")), 1);  // a sub-folder is not protected
    EXPECT_EQ(m_mngr.HidePath(QStringLiteral("/usrx")), 1);
    m_pEngine->m_bHideAnswer = false;
    EXPECT_EQ(m_mngr.HidePath(QStringLiteral("/data/b")), 0);
    const Events expected{
        "engine.HideItemEx " + strFile.toStdString() + " 1",
        "engine.HideItemEx /usr/share 1",
        "engine.HideItemEx /usrx 1",
        "engine.HideItemEx /data/b 1",
    };
    EXPECT_EQ(m_events, expected);
}

TEST_F(InitFlow, SaveAndCloseWritesOptionsWipesPasswordHidesFileAndReleasesEngine)
{
    ASSERT_TRUE(m_settings.LoadOrCreate());
    m_settings.m_nAsscExtension = 0;
    ASSERT_EQ(m_mngr.InitManager(), 1);
    m_events.clear();
    m_mngr.m_bEncrypt = 0;
    m_mngr.m_iPasswordType = 1;
    m_mngr.m_iHidenType = 1;
    m_mngr.m_strMasterPassword = CSecureBuffer::FromUtf16Units(u"secret");
    m_mngr.m_bCmdLine = 1;
    m_mngr.m_arrItems.push_back(std::make_shared<CItemData>(QStringLiteral("/a"), 0, CItemData::KindFile));

    EXPECT_EQ(m_mngr.SaveAndClose(), 1);
    EXPECT_EQ(m_events, Events{"engine.HideItem " + ExpectedConfigFile().toStdString()});
    EXPECT_TRUE(m_mngr.m_strMasterPassword.empty());
    EXPECT_FALSE(m_mngr.m_pHideControl);
    EXPECT_TRUE(m_mngr.m_lstProtectedPaths.isEmpty());
    EXPECT_TRUE(m_mngr.m_arrItems.empty());

    CMRegistryData reread;
    ASSERT_TRUE(reread.LoadOrCreate());
    EXPECT_EQ(reread.m_nEnableEncrypt, 0);
    EXPECT_EQ(reread.m_nPasswordType, 1);
    EXPECT_EQ(reread.m_nHidenType, 1);
    EXPECT_EQ(reread.m_nPriority, 0);
    EXPECT_EQ(reread.m_nDisableHide, 0);
}

TEST_F(InitFlow, SaveAndCloseWithoutSetUpKeepsTheUsersSettingsAndTouchesNoEngine)
{
    m_settings.m_nHidenType = 2;
    ASSERT_TRUE(m_settings.LoadOrCreate());
    m_settings.m_nAsscExtension = 0;
    m_settings.m_nHidenType = 2;
    m_settings.m_nEnableEncrypt = 0;
    ASSERT_TRUE(m_settings.Save());
    EXPECT_EQ(m_mngr.SaveAndClose(), 1);
    EXPECT_TRUE(m_events.empty());
    CMRegistryData reread;
    ASSERT_TRUE(reread.LoadOrCreate());
    EXPECT_EQ(reread.m_nHidenType, 2);
    EXPECT_EQ(reread.m_nEnableEncrypt, 0);
}

TEST_F(InitFlow, DisabledHidingIsSavedAndThePasswordFileIsNotHidden)
{
    ASSERT_TRUE(m_settings.LoadOrCreate());
    m_settings.m_nAsscExtension = 0;
    m_pEngine->m_bEngineAnswer = false;
    ASSERT_EQ(m_mngr.InitManager(), 1);
    m_events.clear();
    EXPECT_EQ(m_mngr.SaveAndClose(), 1);
    EXPECT_TRUE(m_events.empty());
    CMRegistryData reread;
    ASSERT_TRUE(reread.LoadOrCreate());
    EXPECT_EQ(reread.m_nDisableHide, 1);
}

TEST_F(InitFlow, AssociationIsRegisteredWhenTheSettingAsksForIt)
{
    m_settings.m_nAsscExtension = 1;
    ASSERT_EQ(m_mngr.InitManager(), 1);
    EXPECT_TRUE(QFileInfo::exists(CHVFileAssociation::DesktopEntryPath()));
}

// With the real hiding engine: the password file is hidden at exit and back at the next start.
TEST(InitFlowRealEngine, PasswordFileIsHiddenBetweenRunsAndShownWhileRunning)
{
    CTempHome home;
    QString strConfigFile;
    {
        CDataSecurityMngr mngr;
        ASSERT_EQ(mngr.InitManager(), 1);
        ASSERT_EQ(mngr.m_bHideDisabled, 0);
        strConfigFile = mngr.m_strConfigFile;
        QFile file(strConfigFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("signature");
        file.close();
        EXPECT_EQ(mngr.SaveAndClose(), 1);
    }
    EXPECT_FALSE(QFileInfo::exists(strConfigFile));
    {
        CDataSecurityMngr mngr;
        ASSERT_EQ(mngr.InitManager(), 1);
        QFile file(strConfigFile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("signature"));
        file.close();
        // The real engine gets a protected-path refusal before it is asked.
        EXPECT_EQ(mngr.HidePath(home.Path()), 0);
        EXPECT_EQ(mngr.SaveAndClose(), 1);
    }
}

}  // namespace

// A wipe that a killed process left half done (set aside under a temporary name, partly
// overwritten) is finished by the next start of the manager.
TEST(InitFlowRealEngine, StartFinishesTheWipeOfAKilledRun)
{
    CTempHome home;
    const std::string strData = home.Path().toStdString() + "/.local/share/Halvo-Soft/HalvoNorvane/Data";
    const std::string strFolder = home.Path().toStdString() + "/work";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(strFolder)));
    {
        QFile file(QString::fromStdString(strFolder + "/secret"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 's'));
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        HVPendingRecords::SetDataFolder(strData);
        CWipeManager wipe;
        wipe.SetMethod(1);
        wipe.SetPassObserver([](int nPass, int, const std::string&) {
            if (nPass == 1) {
                ::_exit(42);  // killed between two passes
            }
        });
        ::_exit(wipe.WipeFile(strFolder + "/secret", 8192) != 0 ? 1 : 2);  // not killed: a failure
    }
    int nStatus = 0;
    ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);
    ASSERT_TRUE(WIFEXITED(nStatus));
    ASSERT_EQ(WEXITSTATUS(nStatus), 42);
    const QDir folder(QString::fromStdString(strFolder));
    const QStringList lstLeft = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    ASSERT_EQ(lstLeft.size(), 1);
    EXPECT_TRUE(lstLeft.front().startsWith(QStringLiteral(".hvwipe-"))) << lstLeft.front().toStdString();

    CDataSecurityMngr mngr;
    ASSERT_EQ(mngr.InitManager(), 1);
    EXPECT_TRUE(folder.entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
    EXPECT_EQ(mngr.SaveAndClose(), 1);
}
