// The attribute questions of the runner's work: hidden, read-only and system files.
#include "security/HVRunFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include "RunnerTestSupport.h"

using namespace runtest;
using EAttribute = IProgrssManagerUi::EAttribute;

namespace {

class AttributeRun : public RunnerTest
{
protected:
    static SRunOptions AskAll(int bEncrypt, int iHidenType)
    {
        SRunOptions o = Secure(bEncrypt, iHidenType);
        o.m_nActionHidden = 0;
        o.m_nActionReadOnly = 0;
        o.m_nActionSystem = 0;
        return o;
    }
};

TEST_F(AttributeRun, HiddenReadOnlyFileIsAskedAboutOnce)
{
    const std::string p = m_dir / ".secret";
    WriteFile(p, Content(300, 's'));
    ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
    auto item = FileItem(p);
    m_ui.m_answers.push_back({true, false});
    RunWork({item.get()}, AskAll(1, 0));

    ASSERT_EQ(m_ui.m_questions.size(), 1u);
    EXPECT_EQ(m_ui.m_questions[0].eKind, EAttribute::Hidden);
    EXPECT_EQ(m_ui.m_questions[0].strText, HVFormatString(IDS_ASK_HIDDEN_FILE, item->m_strPath));
    EXPECT_TRUE(Exists(p + ".hvnc"));
    struct stat st
    {
    };
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);  // the yes changes nothing on the file: its mode is kept
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 1, 0, 0, 0, 0}));
}

TEST_F(AttributeRun, YesToAllProcessesLaterHiddenFilesWithoutAsking)
{
    for (const char* name : {".a", ".b", ".c"}) {
        WriteFile(m_dir / (std::string("h/") + name), Content(50, name[1]));
    }
    auto folder = FolderItem(m_dir / "h");
    m_ui.m_answers.push_back({true, true});
    RunWork({folder.get()}, AskAll(1, 2));

    EXPECT_EQ(m_ui.m_questions.size(), 1u);
    EXPECT_EQ(m_work.Counters(), (SRunCounters{3, 3, 0, 3, 3, 0}));
    EXPECT_EQ(Names(m_dir / "h"), (std::vector<std::string>{".a.hvnc", ".b.hvnc", ".c.hvnc"}));
}

TEST_F(AttributeRun, NoToAllRefusesEveryHiddenFileAndCountsFailures)
{
    for (const char* name : {".a", ".b", "plain"}) {
        WriteFile(m_dir / (std::string("h/") + name), Content(50, name[1]));
    }
    auto folder = FolderItem(m_dir / "h");
    m_ui.m_answers.push_back({false, true});
    RunWork({folder.get()}, AskAll(1, 2));

    EXPECT_EQ(m_ui.m_questions.size(), 1u);
    // Two refused files: encryption and wipe failures; the plain file is encrypted, but the
    // folder's encryption state is partly failed by then (unless it came first), so it may or
    // may not be wiped: the listing order decides.
    EXPECT_EQ(m_work.Counters().m_nProcessed, 1);
    EXPECT_EQ(m_work.Counters().m_nFailed, 2);
    EXPECT_EQ(m_work.Counters().m_nSucceeded, 1);
    EXPECT_GE(m_work.Counters().m_nWipeFailed, 2);
    EXPECT_TRUE(Exists(m_dir / "h/.a"));
    EXPECT_FALSE(Exists(m_dir / "h/.a.hvnc"));
    EXPECT_EQ(folder->m_nEncryptState, CItemData::StatePartlyFailed);
    EXPECT_EQ(folder->m_nWipeState, CItemData::StatePartlyFailed);
}

TEST_F(AttributeRun, SettingsAnswerWithoutAsking)
{
    WriteFile(m_dir / ".skip", Content(10, 'k'));
    WriteFile(m_dir / "ro", Content(10, 'r'));
    ASSERT_EQ(::chmod((m_dir / "ro").c_str(), 0400), 0);
    auto hidden = FileItem(m_dir / ".skip");
    auto ro = FileItem(m_dir / "ro");
    SRunOptions o = Secure(1, 0);
    o.m_nActionHidden = 2;    // skip
    o.m_nActionReadOnly = 1;  // process
    RunWork({hidden.get(), ro.get()}, o);

    EXPECT_TRUE(m_ui.m_questions.empty());
    EXPECT_FALSE(Exists(m_dir / ".skip.hvnc"));
    EXPECT_TRUE(Exists(m_dir / "ro.hvnc"));
    EXPECT_EQ(hidden->m_nEncryptState, CItemData::StateFailed);
    EXPECT_EQ(ro->m_nEncryptState, CItemData::StateSucceeded);
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 1, 1, 0, 0, 0}));
}

TEST_F(AttributeRun, RefusedFileInWipeOnlyRunCountsOnlyAWipeFailure)
{
    WriteFile(m_dir / "ro", Content(10, 'r'));
    ASSERT_EQ(::chmod((m_dir / "ro").c_str(), 0444), 0);
    auto ro = FileItem(m_dir / "ro");
    m_ui.m_answers.push_back({false, false});
    RunWork({ro.get()}, AskAll(0, 2));

    ASSERT_EQ(m_ui.m_questions.size(), 1u);
    EXPECT_EQ(m_ui.m_questions[0].eKind, EAttribute::ReadOnly);
    EXPECT_EQ(m_work.Counters(), (SRunCounters{0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(ro->m_nWipeState, CItemData::StateFailed);
    EXPECT_EQ(ro->m_nEncryptState, CItemData::StateNotProcessed);
    EXPECT_TRUE(Exists(m_dir / "ro"));
}

TEST_F(AttributeRun, FileOfAnotherUserIsASystemFile)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file away needs root";
    }
    WriteFile(m_dir / "theirs", Content(10, 't'));
    ASSERT_EQ(::chown((m_dir / "theirs").c_str(), 65534, 65534), 0);
    auto item = FileItem(m_dir / "theirs");
    m_ui.m_answers.push_back({false, false});
    RunWork({item.get()}, AskAll(1, 0));

    ASSERT_EQ(m_ui.m_questions.size(), 1u);
    EXPECT_EQ(m_ui.m_questions[0].eKind, EAttribute::System);
    EXPECT_EQ(m_ui.m_questions[0].strText, HVFormatString(IDS_ASK_SYSTEM_FILE, item->m_strPath));
    EXPECT_FALSE(Exists(m_dir / "theirs.hvnc"));
    EXPECT_EQ(m_work.Counters(), (SRunCounters{0, 0, 1, 0, 0, 0}));
}

TEST(RunFileList, AttributesFollowThePlatformRules)
{
    CTempDir dir;
    WriteFile(dir / ".h", "x");
    WriteFile(dir / "n", "x");
    ASSERT_EQ(::chmod((dir / "n").c_str(), 0444), 0);
    HVRunFiles::SAttributes a;
    std::string why;
    ASSERT_TRUE(HVRunFiles::ReadAttributes(dir / ".h", a, why));
    EXPECT_TRUE(a.bHidden);
    EXPECT_FALSE(a.bReadOnly);
    EXPECT_FALSE(a.bSystem);
    ASSERT_TRUE(HVRunFiles::ReadAttributes(dir / "n", a, why));
    EXPECT_FALSE(a.bHidden);
    EXPECT_TRUE(a.bReadOnly);
    EXPECT_FALSE(HVRunFiles::ReadAttributes(dir / "missing", a, why));
    EXPECT_FALSE(why.empty());
}

}  // namespace
