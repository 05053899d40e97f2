// The start-up dialogue around the master password, driven by a scripted front end.
#include "passwords/CMasterPasswordStartup.h"
#include "passwords/IMasterPasswordUi.h"
#include "security/CDataSecurityMngr.h"

#include <deque>
#include <numeric>
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

// One start-up dialogue a row, on a fresh file (none, a dummy whose signature matches nothing, or
// the reference of "right horse"); the master buffer holds a stale "x" before each.
TEST_F(PasswordFile, DialogueOutcomes)
{
    using O = EMasterPasswordOutcome;
    using Answers = std::deque<std::optional<std::u16string>>;
    enum EFile
    {
        NoFile,
        Dummy,
        Reference
    };
    struct SCase
    {
        const char* pszName;
        EFile eFile;
        SMasterPasswordRequest request;
        Answers newPasswords, typed;
        O eOutcome;
        bool bContinue;
        int nExit;  // when it does not continue
        std::u16string strMaster;
        int nAttempts, nWrongMessages, nNewAsked;
        QByteArray runCount;  // null: no file afterwards
        const char* pszLog;   // a line the log must gain, or nullptr
    };
    // clang-format off
    const SCase cases[] = {
        {"not needed", Dummy, {true, 1, 1}, {}, {},
         O::NotNeeded, true, 0, u"", 0, 0, 0, "0", nullptr},
        {"first start", NoFile, {false, 0, 1}, {u"first pw"}, {},
         O::Created, true, 0, u"first pw", 0, 0, 1, "0", "Pass Config File Not Found"},
        {"first choice cancelled", NoFile, {true, 2, 0}, {std::nullopt}, {},
         O::SetCancelled, false, 0, u"", 0, 0, 1, QByteArray(), nullptr},
        {"four wrong entries", Reference, {false, 0, 1}, {}, {u"w1", u"w2", u"w3", u"w4"},
         O::Refused, false, kExit, u"", 4, 4, 0, "4", "Pass Config File Founded"},
        {"three wrong, then right", Reference, {true, 4, 0}, {}, {u"w1", u"w2", u"w3", kRight},
         O::Verified, true, 0, kRight, 4, 3, 0, "4", nullptr},
        {"cancel at once", Dummy, {false, 0, 1}, {}, {std::nullopt},
         O::Refused, false, kExit, u"", 1, 0, 0, "0", nullptr},
        {"clean-up start without a file", NoFile, {true, 3, 0}, {}, {},
         O::SkippedNoFile, true, 0, u"", 0, 0, 0, QByteArray(), nullptr},
    };
    // clang-format on
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        QFile::remove(m_strFile);
        if (c.eFile == Dummy) {
            UseDummyFile();
        } else if (c.eFile == Reference) {
            UseReference();
        }
        const qsizetype nLogBefore = LogText().size();
        CScriptUi ui;
        ui.newPasswords = c.newPasswords;
        ui.typedPasswords = c.typed;
        CSecureBuffer master = CSecureBuffer::FromBytes("x", 1);
        SMasterPasswordRequest request = c.request;
        request.strConfigFile = m_strFile;
        const SMasterPasswordResult r = CMasterPasswordStartup::Run(request, ui, master);
        EXPECT_EQ(r.eOutcome, c.eOutcome);
        EXPECT_EQ(r.bContinue, c.bContinue);
        if (!c.bContinue) {
            EXPECT_EQ(r.nExitCode, c.nExit);
        }
        EXPECT_EQ(Text(master), c.strMaster);
        std::vector<int> attempts(static_cast<std::size_t>(c.nAttempts));
        std::iota(attempts.begin(), attempts.end(), 1);
        EXPECT_EQ(ui.attempts, attempts);
        EXPECT_EQ(ui.MessageIds(),
                  std::vector<unsigned>(static_cast<std::size_t>(c.nWrongMessages),
                                        CMasterPasswordStartup::kIdsWrongPassword));
        EXPECT_EQ(ui.nNewAsked, c.nNewAsked);
        EXPECT_EQ(RunCount(), c.runCount);
        EXPECT_EQ(QFileInfo::exists(m_strFile), !c.runCount.isNull());
        if (c.eOutcome == O::Created) {
            EXPECT_EQ(PwSig().size(), 44);
        }
        if (c.pszLog != nullptr) {
            EXPECT_TRUE(LogText().mid(nLogBefore).contains(c.pszLog)) << c.pszLog;
        }
    }
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
