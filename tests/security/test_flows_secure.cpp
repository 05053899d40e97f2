// The secure flow: order, option sets, password step, report, clean-up.
#include "passwords/CMasterPasswordStore.h"

#include <QFile>

#include "FlowsTestSupport.h"

using namespace flowtest;

namespace {

class SecureFlow : public ::testing::Test
{
protected:
    SecureFlow()
    {
        m_mngr.m_pRunnerHost = &m_host;
        m_mngr.m_pUi = &m_ui;
        m_mngr.m_strMasterPassword = CSecureBuffer::FromUtf16Units(u"master-pw");
        m_mngr.m_strConfigFile = m_home.Path() + QStringLiteral("/HNVConfig.xml");
        AddItem(QStringLiteral("/data/a.txt"), CItemData::KindFile);
        AddItem(QStringLiteral("/data/folder"), CItemData::KindFolder);
    }

    void AddItem(const QString& strPath, qint32 nKind)
    {
        m_mngr.m_arrItems.push_back(std::make_shared<CItemData>(strPath, 0, nKind));
    }
    void Interactive(int bEncrypt, int iPasswordType, int iAction)
    {
        m_mngr.m_bEncrypt = bEncrypt;
        m_mngr.m_iPasswordType = iPasswordType;
        m_mngr.m_iHidenType = iAction;
    }
    // A run that processed every file and succeeded; one list entry per selected item.
    void ScriptSuccess()
    {
        m_host.m_script = [](CFakeRun& run, const SRunOptions& o) {
            for (CItemData* pItem : run.m_items) {
                run.AddFile(pItem->m_strPath, pItem);
                pItem->m_nEncryptState = CItemData::StateSucceeded;
                if (o.m_bEncrypt != 0) {
                    ++run.m_counters.m_nProcessed;
                    ++run.m_counters.m_nSucceeded;
                }
                if (o.m_iHidenType != CDataSecurityMngr::HideNone) {
                    ++run.m_counters.m_nWipeAttempted;
                    ++run.m_counters.m_nWipeSucceeded;
                }
            }
        };
    }

    CTempHome m_home;
    Events m_events;
    CRecordingHost m_host{m_events};
    CScriptedUi m_ui{m_events};
    CDataSecurityMngr m_mngr;
};

TEST_F(SecureFlow, EncryptAndHideRunsBothRunnersReportsAndCleansUpInOrder)
{
    Interactive(1, CDataSecurityMngr::PasswordMaster, CDataSecurityMngr::Hide);
    ScriptSuccess();
    m_host.m_hideCounters = SHideCounters{2, 2, 0};
    ASSERT_EQ(m_mngr.SecureData(), 1);
    const Events expected{
        "run.create",
        "run.items 2",
        "run.password master-pw",
        "run.modal decrypt=0 encrypt=1 action=1",
        "hide.create",
        "hide.items 2",
        "hide.modal unhide=0 page=0 encrypt=1",
        "ui.report kind=0 sections=3 height=255",
        "run.clear 2",
        "hide.destroy",
        "run.destroy files=0",
    };
    EXPECT_EQ(m_events, expected);
    EXPECT_EQ(m_mngr.m_eLastFlowEnd, CDataSecurityMngr::EFlowEnd::Ran);
}

TEST_F(SecureFlow, NeitherEncryptNorActionRunsNothingAndShowsNothing)
{
    Interactive(0, CDataSecurityMngr::PasswordMaster, CDataSecurityMngr::HideNone);
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_TRUE(Only(m_events, "run.modal").empty());
    EXPECT_TRUE(Only(m_events, "hide.modal").empty());
    EXPECT_TRUE(Only(m_events, "ui.").empty());
    EXPECT_EQ(Only(m_events, "run.destroy"), Events{"run.destroy files=0"});
}

TEST_F(SecureFlow, WipeOnlyRunsTheRunnerWithoutEncryptionAndReportsOneSection)
{
    Interactive(0, CDataSecurityMngr::PasswordMaster, CDataSecurityMngr::HideWipe);
    ScriptSuccess();
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_EQ(Only(m_events, "run.modal"), Events{"run.modal decrypt=0 encrypt=0 action=2"});
    EXPECT_TRUE(Only(m_events, "hide.modal").empty());
    EXPECT_EQ(Only(m_events, "ui."), Events{"ui.report kind=0 sections=1 height=85"});
}

TEST_F(SecureFlow, EncryptionThatProcessedNothingShowsMessage129AndNoReport)
{
    Interactive(1, CDataSecurityMngr::PasswordMaster, CDataSecurityMngr::HideWipe);
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_EQ(Only(m_events, "ui."), Events{"ui.message 129"});
}

TEST_F(SecureFlow, UserPasswordIsAskedOnceWhenEmptyAndKept)
{
    Interactive(1, CDataSecurityMngr::PasswordUser, CDataSecurityMngr::HideNone);
    m_ui.m_setAnswers = {"chosen-pw"};
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_EQ(Only(m_events, "ui.setpassword").size(), 1u);
    EXPECT_EQ(Only(m_events, "run.password"), Events{"run.password chosen-pw"});
    EXPECT_TRUE(m_mngr.m_strPassword.Utf16Units() == u"chosen-pw");

    // A second run with the password still set does not ask again.
    m_events.clear();
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_TRUE(Only(m_events, "ui.setpassword").empty());
    EXPECT_EQ(Only(m_events, "run.password"), Events{"run.password chosen-pw"});
}

TEST_F(SecureFlow, CancelledPasswordEndsWithZeroNothingRunAndTheRunnerCleanedUp)
{
    Interactive(1, CDataSecurityMngr::PasswordUser, CDataSecurityMngr::Hide);
    m_ui.m_setAnswers = {nullptr};
    EXPECT_EQ(m_mngr.SecureData(), 0);
    EXPECT_TRUE(m_mngr.m_strPassword.empty());
    EXPECT_EQ(m_mngr.m_eLastFlowEnd, CDataSecurityMngr::EFlowEnd::PasswordCancelled);
    const Events expected{"run.create", "run.items 2", "ui.setpassword", "run.clear 0", "run.destroy files=0"};
    EXPECT_EQ(m_events, expected);
}

TEST_F(SecureFlow, GivenUserPasswordIsUsedWithoutAsking)
{
    Interactive(1, CDataSecurityMngr::PasswordUser, CDataSecurityMngr::HideNone);
    m_mngr.m_strPassword = CSecureBuffer::FromUtf16Units(u"given-pw");
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_TRUE(Only(m_events, "ui.setpassword").empty());
    EXPECT_EQ(Only(m_events, "run.password"), Events{"run.password given-pw"});
}

TEST_F(SecureFlow, CommandLineUsesItsOwnOptionSetAndShowsNoReport)
{
    Interactive(0, CDataSecurityMngr::PasswordUser, CDataSecurityMngr::HideNone);
    m_mngr.m_bCmdLine = 1;
    m_mngr.m_bCmdEncrypt = 1;
    m_mngr.m_iCmdHidenType = CDataSecurityMngr::Hide;
    m_mngr.m_iCmdPasswordType = CDataSecurityMngr::PasswordMaster;
    ScriptSuccess();
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_EQ(Only(m_events, "run.password"), Events{"run.password master-pw"});
    EXPECT_EQ(Only(m_events, "run.modal"), Events{"run.modal decrypt=0 encrypt=1 action=1"});
    EXPECT_EQ(Only(m_events, "hide.modal"), Events{"hide.modal unhide=0 page=0 encrypt=1"});
    EXPECT_TRUE(Only(m_events, "ui.").empty());
}

TEST_F(SecureFlow, CancelledRunStillEmptiesItsFileListBeforeTheRunnerGoes)
{
    Interactive(1, CDataSecurityMngr::PasswordMaster, CDataSecurityMngr::HideWipe);
    // A run cancelled after its list was built and the first file was done.
    m_host.m_script = [](CFakeRun& run, const SRunOptions&) {
        run.AddFile(QStringLiteral("/data/a.txt"), run.m_items[0]);
        run.AddFile(QStringLiteral("/data/folder/x"), run.m_items[1]);
        run.AddFile(QStringLiteral("/data/folder/y"), run.m_items[1]);
        run.m_counters.m_nProcessed = 1;
        run.m_counters.m_nSucceeded = 1;
    };
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_EQ(Only(m_events, "run.clear"), Events{"run.clear 3"});
    EXPECT_EQ(Only(m_events, "run.destroy"), Events{"run.destroy files=0"});
    EXPECT_EQ(Only(m_events, "ui."), Events{"ui.report kind=0 sections=1 height=85"});
}

TEST_F(SecureFlow, WithoutRunnerHostNothingRunsAndTheFlowSaysSo)
{
    m_mngr.m_pRunnerHost = nullptr;
    EXPECT_EQ(m_mngr.SecureData(), 0);
    EXPECT_EQ(m_mngr.m_eLastFlowEnd, CDataSecurityMngr::EFlowEnd::NoRunner);
    EXPECT_EQ(m_mngr.DecryptData(), 1);
    EXPECT_TRUE(m_events.empty());
}

// Encryption under the master password from a command line that did not ask for it.
class EmptyMasterPassword : public SecureFlow
{
protected:
    EmptyMasterPassword()
    {
        m_mngr.m_strMasterPassword.clear();
        m_mngr.m_bCmdLine = 1;
        m_mngr.m_bCmdEncrypt = 1;
        m_mngr.m_iCmdPasswordType = CDataSecurityMngr::PasswordMaster;
    }
    void MakeSignatureFile()
    {
        CMasterPasswordStore store(m_mngr.m_strConfigFile);
        ASSERT_TRUE(store.WritePasswordSignature(true, u"right-pw"));
    }
    [[nodiscard]] QByteArray RunCount() const
    {
        QFile file(m_mngr.m_strConfigFile);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QByteArray text = file.readAll();
        const qsizetype a = text.indexOf("<RunCount>");
        const qsizetype b = text.indexOf("</RunCount>");
        return a < 0 || b < a ? QByteArray() : text.mid(a + 10, b - a - 10);
    }
};

TEST_F(EmptyMasterPassword, WithoutSignatureFileStopsWithMessageAndEncryptsNothing)
{
    EXPECT_EQ(m_mngr.SecureData(), 0);
    EXPECT_EQ(m_mngr.m_eLastFlowEnd, CDataSecurityMngr::EFlowEnd::NoMasterPassword);
    EXPECT_EQ(Only(m_events, "ui."), Events{"ui.message 190"});
    EXPECT_TRUE(Only(m_events, "run.modal").empty());
    EXPECT_TRUE(Only(m_events, "run.password").empty());
    EXPECT_EQ(Only(m_events, "run.destroy"), Events{"run.destroy files=0"});
}

TEST_F(EmptyMasterPassword, IsAskedAndVerifiedWithMessageAfterEachWrongEntry)
{
    MakeSignatureFile();
    m_ui.m_masterAnswers = {"wrong-1", "", "right-pw"};
    ASSERT_EQ(m_mngr.SecureData(), 1);
    const Events expected{
        "ui.entermaster 1",
        "ui.message 130",
        "ui.entermaster 2",  // the empty entry is refused without a check
        "ui.message 130",
        "ui.entermaster 3",
        "run.password right-pw",
        "run.modal decrypt=0 encrypt=1 action=0",
    };
    Events seen;
    for (const std::string& e : m_events) {
        if (e.rfind("ui.", 0) == 0 || e.rfind("run.password", 0) == 0 || e.rfind("run.modal", 0) == 0) {
            seen.push_back(e);
        }
    }
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(m_mngr.m_strMasterPassword.Utf16Units() == u"right-pw");
    EXPECT_EQ(RunCount(), QByteArray("2"));  // two entries were checked against the file
}

TEST_F(EmptyMasterPassword, FourWrongEntriesOrCancelStopTheRun)
{
    MakeSignatureFile();
    m_ui.m_masterAnswers = {"a-1", "a-2", "a-3", "a-4", "right-pw"};
    EXPECT_EQ(m_mngr.SecureData(), 0);
    EXPECT_EQ(m_mngr.m_eLastFlowEnd, CDataSecurityMngr::EFlowEnd::MasterPasswordRefused);
    EXPECT_EQ(Only(m_events, "ui.entermaster").size(), 4u);
    EXPECT_EQ(Only(m_events, "ui.message 130").size(), 4u);
    EXPECT_TRUE(Only(m_events, "run.modal").empty());
    EXPECT_TRUE(m_mngr.m_strMasterPassword.empty());

    m_events.clear();
    m_ui.m_masterAnswers = {nullptr};
    EXPECT_EQ(m_mngr.SecureData(), 0);
    EXPECT_EQ(m_mngr.m_eLastFlowEnd, CDataSecurityMngr::EFlowEnd::MasterPasswordRefused);
    EXPECT_EQ(RunCount(), QByteArray("4"));  // the cancel checked nothing
    EXPECT_TRUE(Only(m_events, "run.modal").empty());
    EXPECT_EQ(Only(m_events, "run.destroy"), Events{"run.destroy files=0"});
}

TEST_F(EmptyMasterPassword, EmptyUserPasswordAnswerIsRefusedLikeACancel)
{
    m_mngr.m_iCmdPasswordType = CDataSecurityMngr::PasswordUser;
    m_ui.m_setAnswers = {""};
    EXPECT_EQ(m_mngr.SecureData(), 0);
    EXPECT_EQ(m_mngr.m_eLastFlowEnd, CDataSecurityMngr::EFlowEnd::PasswordCancelled);
    EXPECT_TRUE(Only(m_events, "run.modal").empty());
}

TEST_F(EmptyMasterPassword, IsNotAskedForWhenNothingIsEncrypted)
{
    m_mngr.m_bCmdEncrypt = 0;
    m_mngr.m_iCmdHidenType = CDataSecurityMngr::HideWipe;
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_TRUE(Only(m_events, "ui.").empty());
    EXPECT_EQ(Only(m_events, "run.modal"), Events{"run.modal decrypt=0 encrypt=0 action=2"});
}

TEST(DecryptFlow, HandsTheMasterPasswordRunsOnceAndReportsByKind)
{
    CTempHome home;
    for (const int bHideDecrypt : {0, 1}) {
        Events events;
        CRecordingHost host(events);
        CScriptedUi ui(events);
        CDataSecurityMngr mngr;
        mngr.m_pRunnerHost = &host;
        mngr.m_pUi = &ui;
        mngr.m_strMasterPassword = CSecureBuffer::FromUtf16Units(u"master-pw");
        mngr.m_bHideDecrypt = bHideDecrypt;
        mngr.m_arrItems.push_back(
            std::make_shared<CItemData>(QStringLiteral("/data/a.txt.hvnc"), 10, CItemData::KindFile));
        host.m_script = [](CFakeRun& run, const SRunOptions&) {
            run.AddFile(run.m_items[0]->m_strPath, run.m_items[0]);
            run.m_counters.m_nProcessed = 1;
            run.m_counters.m_nSucceeded = 1;
        };
        EXPECT_EQ(mngr.DecryptData(), 1);
        const Events expected{
            "run.create",
            "run.items 1",
            "run.password master-pw",
            "run.master master-pw",
            "run.modal decrypt=1 encrypt=1 action=0",
            bHideDecrypt ? "ui.report kind=2 sections=1 height=85" : "ui.report kind=1 sections=1 height=85",
            "run.clear 1",
            "run.destroy files=0",
        };
        EXPECT_EQ(events, expected);
        mngr.m_arrItems.clear();
    }
}

TEST(DecryptFlow, NothingProcessedShowsMessage129InteractiveAndNothingOnCommandLine)
{
    CTempHome home;
    Events events;
    CRecordingHost host(events);
    CScriptedUi ui(events);
    CDataSecurityMngr mngr;
    mngr.m_pRunnerHost = &host;
    mngr.m_pUi = &ui;
    EXPECT_EQ(mngr.DecryptData(), 1);
    EXPECT_EQ(Only(events, "ui."), Events{"ui.message 129"});

    events.clear();
    mngr.m_bCmdLine = 1;
    EXPECT_EQ(mngr.DecryptData(), 1);
    EXPECT_TRUE(Only(events, "ui.").empty());
    EXPECT_EQ(Only(events, "run.password"), Events{"run.password "});
}

}  // namespace
