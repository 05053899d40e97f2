// Decryption runs of the runner's work: listing, the silent retry, the password prompt.
#include "RunnerTestSupport.h"

using namespace runtest;

namespace {

using DecryptRun = RunnerTest;

TEST_F(DecryptRun, FolderGivesOnlyHvncFilesOfAnyCaseSelectedFileAnyName)
{
    WriteEncrypted(m_dir / "d/a.txt", Content(100, 'a'), u"pw");
    WriteEncrypted(m_dir / "d/sub/b.txt", Content(200, 'b'), u"pw");
    WriteFile(m_dir / "d/c.txt", Content(300, 'c'));
    fs::rename(m_dir / "d/sub/b.txt.hvnc", m_dir / "d/sub/b.txt.HVNC");
    WriteFile(m_dir / "loose.dat", "not encrypted at all");
    auto folder = FolderItem(m_dir / "d");
    auto loose = FileItem(m_dir / "loose.dat");
    RunWork({folder.get(), loose.get()}, Decrypt());

    ASSERT_EQ(m_work.Files().size(), 3u);  // two from the folder, the selected file
    EXPECT_EQ(ReadFile(m_dir / "d/a.txt"), Content(100, 'a'));
    EXPECT_EQ(ReadFile(m_dir / "d/sub/b.txt"), Content(200, 'b'));
    EXPECT_FALSE(Exists(m_dir / "d/a.txt.hvnc"));
    EXPECT_TRUE(Exists(m_dir / "d/c.txt"));  // never touched
    EXPECT_EQ(m_work.Counters(), (SRunCounters{3, 2, 1, 0, 0, 0}));
    EXPECT_EQ(folder->m_nEncryptState, CItemData::StateSucceeded);
    EXPECT_EQ(loose->m_nEncryptState, CItemData::StateFailed);
    EXPECT_TRUE(m_ui.m_prompts.empty());
    EXPECT_EQ(m_ui.m_ends.back(), IProgrssManagerUi::EEnd::Finished);
}

TEST_F(DecryptRun, WrongRunPasswordIsRetriedSilentlyWithTheMasterPassword)
{
    WriteEncrypted(m_dir / "m.txt", Content(1234, 'm'), u"master");
    auto item = FileItem(m_dir / "m.txt.hvnc");
    RunWork({item.get()}, Decrypt(), QStringLiteral("something else"));

    EXPECT_TRUE(m_ui.m_prompts.empty());
    EXPECT_TRUE(m_ui.m_messages.empty());
    EXPECT_EQ(ReadFile(m_dir / "m.txt"), Content(1234, 'm'));
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(item->m_nEncryptState, CItemData::StateSucceeded);
}

TEST_F(DecryptRun, PromptFollowsEachWrongTypedPasswordUntilRight)
{
    WriteEncrypted(m_dir / "s.txt", Content(777, 's'), u"secret");
    auto item = FileItem(m_dir / "s.txt.hvnc");
    m_ui.m_passwords = {u"wrong1", u"wrong2", u"wrong3", u"secret"};
    RunWork({item.get()}, Decrypt(), QStringLiteral("run"));

    // The first prompt comes without a message; every wrongly typed password is followed by it.
    EXPECT_EQ(m_ui.m_prompts.size(), 4u);
    ASSERT_EQ(m_ui.m_messages.size(), 3u);
    EXPECT_EQ(m_ui.m_messages[0], HVLoadString(IDS_WRONG_PASSWORD));
    EXPECT_EQ(ReadFile(m_dir / "s.txt"), Content(777, 's'));
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 1, 0, 0, 0, 0}));
}

TEST_F(DecryptRun, RefusedPromptFailsTheFileAndEndsTheRunUncancelled)
{
    for (const char* name : {"x", "y"}) {
        WriteEncrypted(m_dir / name, Content(10, name[0]), u"unknown");
    }
    auto x = FileItem(m_dir / "x.hvnc");
    auto y = FileItem(m_dir / "y.hvnc");
    m_ui.m_passwords = {u"nope", std::nullopt};
    RunWork({x.get(), y.get()}, Decrypt());

    EXPECT_EQ(m_ui.m_prompts.size(), 2u);
    EXPECT_EQ(m_ui.m_messages.size(), 1u);
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(x->m_nEncryptState, CItemData::StateFailed);
    EXPECT_EQ(y->m_nEncryptState, CItemData::StateNotProcessed);
    EXPECT_TRUE(Exists(m_dir / "x.hvnc"));
    EXPECT_TRUE(Exists(m_dir / "y.hvnc"));
    EXPECT_FALSE(Exists(m_dir / "x"));
    EXPECT_EQ(m_ui.m_ends.back(), IProgrssManagerUi::EEnd::Finished);
    EXPECT_FALSE(m_work.WasCancelled());
}

TEST_F(DecryptRun, DamagedFileFailsWithoutAPrompt)
{
    WriteEncrypted(m_dir / "c", Content(5000, 'c'), u"pw");
    DamageByte(m_dir / "c.hvnc", 10);
    auto item = FileItem(m_dir / "c.hvnc");
    RunWork({item.get()}, Decrypt());
    EXPECT_TRUE(m_ui.m_prompts.empty());
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 0, 1, 0, 0, 0}));
    EXPECT_FALSE(Exists(m_dir / "c"));
}

TEST_F(DecryptRun, EmptyMasterPasswordStillLeadsToThePrompt)
{
    WriteEncrypted(m_dir / "e", Content(10, 'e'), u"typed");
    auto item = FileItem(m_dir / "e.hvnc");
    m_strMaster.clear();
    m_ui.m_passwords = {u"typed"};
    RunWork({item.get()}, Decrypt(), QString());
    EXPECT_EQ(m_ui.m_prompts.size(), 1u);
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 1, 0, 0, 0, 0}));
}

}  // namespace
