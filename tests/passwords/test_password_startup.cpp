// The start-up dialogue around the master password, driven by a scripted front end.
#include "passwords/CMasterPasswordStartup.h"
#include "passwords/IMasterPasswordUi.h"
#include "security/CDataSecurityMngr.h"

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PasswordTestSupport.h"
#include "support/Answers.h"

// The dialogue's mode numbers are the manager's.
static_assert(CDataSecurityMngr::CmdModeSecure == 0 && CDataSecurityMngr::CmdModeDecrypt == 1
              && CDataSecurityMngr::CmdModeHideWindow == 2 && CDataSecurityMngr::CmdModeCleanup == 3
              && CDataSecurityMngr::CmdModeSelectWindow == 4);

namespace {

// Answers from a script; std::nullopt stands for Cancel. Records what was shown.
class CScriptUi : public IMasterPasswordUi
{
public:
    std::deque<std::optional<std::u16string>> newPasswords;
    std::deque<std::optional<std::u16string>> typedPasswords;
    std::deque<bool> answers;
    std::vector<int> attempts;
    std::vector<std::pair<unsigned, QStringList>> messages;
    std::vector<std::pair<unsigned, unsigned>> questions;
    int nNewAsked = 0;

    bool AskNewMasterPassword(CSecureBuffer& utf16) override
    {
        ++nNewAsked;
        return Answer(newPasswords, utf16);
    }
    bool AskMasterPassword(int nAttempt, CSecureBuffer& utf16) override
    {
        EXPECT_TRUE(utf16.empty());  // the box starts empty at every attempt
        attempts.push_back(nAttempt);
        return Answer(typedPasswords, utf16);
    }
    void ShowMessage(unsigned nStringId, const QStringList& args) override { messages.emplace_back(nStringId, args); }
    bool AskYesNo(unsigned nTextId, unsigned nCaptionId) override
    {
        questions.emplace_back(nTextId, nCaptionId);
        EXPECT_FALSE(answers.empty());
        return hvtest::Next(answers, false);
    }
    std::vector<unsigned> MessageIds() const
    {
        std::vector<unsigned> ids;
        for (const auto& m : messages) {
            ids.push_back(m.first);
        }
        return ids;
    }

private:
    static bool Answer(std::deque<std::optional<std::u16string>>& script, CSecureBuffer& utf16)
    {
        EXPECT_FALSE(script.empty()) << "the dialogue asked more often than scripted";
        const std::optional<std::u16string> pw = hvtest::Next(script);
        if (pw) {
            utf16 = CSecureBuffer::FromUtf16Units(*pw);
        }
        return pw.has_value();
    }
};

std::u16string Text(const CSecureBuffer& utf16)
{
    return std::u16string(utf16.Utf16Units());
}

constexpr int kExit = CMasterPasswordStartup::kExitNoMasterPassword;

}  // namespace

TEST(MasterPasswordNeed, WhenTheDialogueRuns)
{
    struct Case
    {
        bool bCmd;
        int nMode;
        int nAsk;
        bool bNeeded;
    };
    for (const Case& c : {Case{false, 0, 0, true},
                          Case{false, 1, 0, true},
                          Case{true, 0, 0, false},
                          Case{true, 0, 1, true},
                          Case{true, 1, 1, false},
                          Case{true, 1, 0, false},
                          Case{true, 2, 0, true},
                          Case{true, 3, 0, true},
                          Case{true, 4, 0, true}}) {
        SCOPED_TRACE(testing::Message() << c.bCmd << " mode " << c.nMode << " ask " << c.nAsk);
        EXPECT_EQ(CMasterPasswordStartup::IsNeeded({c.bCmd, c.nMode, c.nAsk, QString()}), c.bNeeded);
    }
}

TEST_F(PasswordFile, NotNeededAsksNothing)
{
    UseDummyFile();
    CScriptUi ui;
    CSecureBuffer master = CSecureBuffer::FromBytes("x", 1);
    const SMasterPasswordResult r = CMasterPasswordStartup::Run({true, 1, 1, m_strFile}, ui, master);
    EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::NotNeeded);
    EXPECT_TRUE(r.bContinue);
    EXPECT_TRUE(master.empty());
    EXPECT_TRUE(ui.attempts.empty());
    EXPECT_EQ(RunCount(), "0");
}

TEST_F(PasswordFile, FirstStartSetsTheMasterPassword)
{
    CScriptUi ui;
    ui.newPasswords = {u"first pw"};
    CSecureBuffer master;
    const SMasterPasswordResult r = CMasterPasswordStartup::Run({false, 0, 1, m_strFile}, ui, master);
    EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::Created);
    EXPECT_TRUE(r.bContinue);
    EXPECT_EQ(Text(master), u"first pw");
    EXPECT_EQ(RunCount(), "0");
    EXPECT_EQ(PwSig().size(), 44);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(LogText().contains("Pass Config File Not Found"));
}

TEST_F(PasswordFile, CancelledFirstChoiceEndsWithCodeZero)
{
    CScriptUi ui;
    ui.newPasswords = {std::nullopt};
    CSecureBuffer master;
    const SMasterPasswordResult r = CMasterPasswordStartup::Run({true, 2, 0, m_strFile}, ui, master);
    EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::SetCancelled);
    EXPECT_FALSE(r.bContinue);
    EXPECT_EQ(r.nExitCode, 0);
    EXPECT_TRUE(master.empty());
    EXPECT_FALSE(QFileInfo::exists(m_strFile));
}

TEST_F(PasswordFile, FirstStartWithAnUnwritableFolderTellsTheUser)
{
    WriteFile(m_strRoot + QStringLiteral("/regular"), "x");
    const QString strFile = CMasterPasswordStore::PathIn(m_strRoot + QStringLiteral("/regular/Data"));
    CScriptUi ui;
    ui.newPasswords = {u"pw"};
    CSecureBuffer master;
    const SMasterPasswordResult r = CMasterPasswordStartup::Run({false, 0, 1, strFile}, ui, master);
    EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::Created);
    EXPECT_TRUE(r.bContinue);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, CMasterPasswordStartup::kIdsMasterFileNotSaved);
    ASSERT_EQ(ui.messages[0].second.size(), 2);
    EXPECT_EQ(ui.messages[0].second.at(0), strFile);
    EXPECT_FALSE(ui.messages[0].second.at(1).isEmpty());
}

TEST_F(PasswordFile, FourWrongEntriesEndWithCode3000)
{
    UseReference();
    CScriptUi ui;
    ui.typedPasswords = {u"w1", u"w2", u"w3", u"w4"};
    CSecureBuffer master;
    const SMasterPasswordResult r = CMasterPasswordStartup::Run({false, 0, 1, m_strFile}, ui, master);
    EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::Refused);
    EXPECT_FALSE(r.bContinue);
    EXPECT_EQ(r.nExitCode, kExit);
    EXPECT_TRUE(master.empty());
    EXPECT_EQ(ui.attempts, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(ui.MessageIds(), (std::vector<unsigned>(4, CMasterPasswordStartup::kIdsWrongPassword)));
    EXPECT_EQ(RunCount(), "4");
    EXPECT_TRUE(LogText().contains("Pass Config File Founded"));
}

TEST_F(PasswordFile, ThreeWrongEntriesThenTheRightOneOpen)
{
    UseReference();
    CScriptUi ui;
    ui.typedPasswords = {u"w1", u"w2", u"w3", kRight};
    CSecureBuffer master;
    const SMasterPasswordResult r = CMasterPasswordStartup::Run({true, 4, 0, m_strFile}, ui, master);
    EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::Verified);
    EXPECT_TRUE(r.bContinue);
    EXPECT_EQ(Text(master), kRight);
    EXPECT_EQ(ui.MessageIds(), (std::vector<unsigned>(3, CMasterPasswordStartup::kIdsWrongPassword)));
    EXPECT_EQ(RunCount(), "4");
}

TEST_F(PasswordFile, CancelEndsTheAttemptsAtOnce)
{
    UseDummyFile();
    CScriptUi ui;
    ui.typedPasswords = {std::nullopt};
    CSecureBuffer master;
    const SMasterPasswordResult r = CMasterPasswordStartup::Run({false, 0, 1, m_strFile}, ui, master);
    EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::Refused);
    EXPECT_EQ(r.nExitCode, kExit);
    EXPECT_EQ(ui.attempts.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(RunCount(), "0");
}

TEST_F(PasswordFile, CleanupStartWithoutFileAsksNoPassword)
{
    CScriptUi ui;
    CSecureBuffer master;
    const SMasterPasswordResult r = CMasterPasswordStartup::Run({true, 3, 0, m_strFile}, ui, master);
    EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::SkippedNoFile);
    EXPECT_TRUE(r.bContinue);
    EXPECT_EQ(ui.nNewAsked, 0);
    EXPECT_TRUE(ui.attempts.empty());
}

TEST_F(PasswordFile, CleanupYesSwitchesHidingOffAndRemovesTheFile)
{
    UseDummyFile();
    CScriptUi ui;
    ui.answers = {true};
    int nDisabled = 0;
    EXPECT_EQ(CMasterPasswordStartup::RunCleanup(m_strFile, ui, [&nDisabled] { return ++nDisabled > 0; }), 0);
    EXPECT_EQ(nDisabled, 1);
    EXPECT_FALSE(QFileInfo::exists(m_strFile));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0],
              std::make_pair(CMasterPasswordStartup::kIdsAskCleanup, CMasterPasswordStartup::kIdsAppTitle));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PasswordFile, CleanupNoKeepsEverythingAndEndsWith3000)
{
    UseDummyFile();
    CScriptUi ui;
    ui.answers = {false};
    int nDisabled = 0;
    EXPECT_EQ(CMasterPasswordStartup::RunCleanup(m_strFile, ui, [&nDisabled] { return ++nDisabled > 0; }), kExit);
    EXPECT_EQ(nDisabled, 0);
    EXPECT_TRUE(QFileInfo::exists(m_strFile));
}

TEST_F(PasswordFile, CleanupThatCannotRemoveTheFileSaysSo)
{
    QDir().mkpath(m_strFile + QStringLiteral("/inside"));  // a folder where the file should be
    CScriptUi ui;
    ui.answers = {true};
    EXPECT_EQ(CMasterPasswordStartup::RunCleanup(m_strFile, ui, {}), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, CMasterPasswordStartup::kIdsMasterFileNotRemoved);
    EXPECT_EQ(ui.messages[0].second.at(0), m_strFile);
}

// No signature file while the hiding engine keeps items no list names: the file may be among
// them, so no new master password is asked for (any start that needs one); the clean-up start
// still goes on without one.
TEST_F(PasswordFile, MissingFileWithUnlistedHiddenItemsIsNoFirstStart)
{
    for (const int nMode : {0, 2, 4}) {
        SCOPED_TRACE(nMode);
        CScriptUi ui;
        ui.newPasswords = {u"new master"};
        CSecureBuffer master;
        SMasterPasswordRequest request{nMode != 0, nMode, 1, m_strFile};
        request.lstUnlistedHidden = {QStringLiteral("/vault/0001-aa")};
        const SMasterPasswordResult r = CMasterPasswordStartup::Run(request, ui, master);
        EXPECT_EQ(r.eOutcome, EMasterPasswordOutcome::MayBeHidden);
        EXPECT_FALSE(r.bContinue);
        EXPECT_EQ(r.nExitCode, CMasterPasswordStartup::kExitHidingUnreadable);
        EXPECT_EQ(ui.nNewAsked, 0);
        EXPECT_FALSE(QFileInfo::exists(m_strFile));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].first, CMasterPasswordStartup::kIdsMasterFileMayBeHidden);
        EXPECT_EQ(ui.messages[0].second, (QStringList{m_strFile, QStringLiteral("/vault/0001-aa")}));
    }
    CScriptUi ui;
    CSecureBuffer master;
    SMasterPasswordRequest cleanup{true, 3, 1, m_strFile};
    cleanup.lstUnlistedHidden = {QStringLiteral("/vault/0001-aa")};
    EXPECT_EQ(CMasterPasswordStartup::Run(cleanup, ui, master).eOutcome, EMasterPasswordOutcome::SkippedNoFile);
}

TEST_F(PasswordFile, CleanupWithItemsLeftHiddenEndsWithOne)
{
    UseDummyFile();
    CScriptUi ui;
    ui.answers = {true};
    EXPECT_EQ(CMasterPasswordStartup::RunCleanup(m_strFile, ui, [] { return false; }),
              CMasterPasswordStartup::kExitItemsStillHidden);
    EXPECT_FALSE(QFileInfo::exists(m_strFile));
}
