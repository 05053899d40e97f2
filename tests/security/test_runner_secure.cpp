// Encryption and wipe runs of the runner's work, against the real engines.
#include "security/CRunLock.h"
#include "security/HVRunFiles.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include "RunnerTestSupport.h"

using namespace runtest;

namespace {

using SecureRun = RunnerTest;

// Six files in a folder; the third file the worker reaches is swapped for a directory just
// before its turn, so the real engine refuses it.
TEST_F(SecureRun, ThirdFileOfFolderFailsLaterFilesAreEncryptedButNotWiped)
{
    const std::string strFolder = m_dir / "docs";
    for (int i = 0; i < 6; ++i) {
        WriteFile(strFolder + "/f" + std::to_string(i) + ".txt", Content(1000 + i * 100, static_cast<char>('a' + i)));
    }
    auto folder = FolderItem(strFolder);
    m_work.SetBeforeFileHook([](std::size_t nIndex, const CItemData& entry) {
        if (nIndex == 2) {
            const std::string p = entry.m_strPath.toStdString();
            fs::remove(p);
            fs::create_directory(p);
        }
    });
    RunWork({folder.get()}, Secure(1, 2));

    const auto& files = m_work.Files();
    ASSERT_EQ(files.size(), 6u);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string p = files[i]->m_strPath.toStdString();
        EXPECT_EQ(files[i]->m_pOwner, folder.get());
        if (i < 2) {
            EXPECT_FALSE(Exists(p)) << "wiped: " << p;
            EXPECT_TRUE(Exists(p + ".hvnc")) << p;
        } else if (i == 2) {
            EXPECT_TRUE(fs::is_directory(p));
            EXPECT_FALSE(Exists(p + ".hvnc"));
        } else {
            EXPECT_TRUE(Exists(p)) << "kept: " << p;
            EXPECT_TRUE(Exists(p + ".hvnc")) << p;
        }
    }
    const SRunCounters& c = m_work.Counters();
    EXPECT_EQ(c.m_nProcessed, 6);
    EXPECT_EQ(c.m_nSucceeded, 5);
    EXPECT_EQ(c.m_nFailed, 1);
    EXPECT_EQ(c.m_nWipeAttempted, 5);
    EXPECT_EQ(c.m_nWipeSucceeded, 2);
    EXPECT_EQ(c.m_nWipeFailed, 4);
    EXPECT_EQ(folder->m_nEncryptState, CItemData::StatePartlyFailed);
    EXPECT_EQ(folder->m_nWipeState, CItemData::StatePartlyFailed);
    EXPECT_EQ(m_ui.m_ends.back(), IProgrssManagerUi::EEnd::Finished);
}

TEST_F(SecureRun, EncryptOnlyKeepsSourcesAndMarksEachSelectedFile)
{
    WriteFile(m_dir / "a.txt", Content(5000, 'a'));
    WriteFile(m_dir / "b.txt", Content(70000, 'b'));
    auto a = FileItem(m_dir / "a.txt");
    auto b = FileItem(m_dir / "b.txt");
    RunWork({a.get(), b.get()}, Secure(1, 0));

    EXPECT_TRUE(Exists(m_dir / "a.txt"));
    EXPECT_TRUE(Exists(m_dir / "a.txt.hvnc"));
    EXPECT_TRUE(Exists(m_dir / "b.txt.hvnc"));
    EXPECT_EQ(a->m_nEncryptState, CItemData::StateSucceeded);
    EXPECT_EQ(b->m_nEncryptState, CItemData::StateSucceeded);
    EXPECT_EQ(a->m_nWipeState, CItemData::StateNotProcessed);
    EXPECT_EQ(m_work.Counters(), (SRunCounters{2, 2, 0, 0, 0, 0}));
    EXPECT_EQ(m_work.GetWipeFlag(), 0);

    // What was written opens with the run's password.
    fs::remove(m_dir / "a.txt");
    CEncryptManager engine;
    engine.SetPassword(u"pw");
    ASSERT_EQ(engine.DecryptFileW(m_dir / "a.txt.hvnc"), HVNC_OK);
    EXPECT_EQ(ReadFile(m_dir / "a.txt"), Content(5000, 'a'));

    // The status names each step; the bars end full and never leave 0..100.
    EXPECT_EQ(m_ui.m_statuses.front(), HVLoadString(IDS_STATUS_LISTING));
    EXPECT_TRUE(
        std::count(m_ui.m_statuses.begin(), m_ui.m_statuses.end(), HVFormatString(IDS_STATUS_ENCRYPTING, a->m_strPath))
        == 1);
    EXPECT_EQ(m_ui.ProgressFault(), "");
}

TEST_F(SecureRun, WipeOnlyRunWipesEveryFileOfTheTree)
{
    WriteFile(m_dir / "t/x.bin", Content(3000, 'x'));
    WriteFile(m_dir / "t/sub/deeper/y.bin", Content(10, 'y'));
    WriteFile(m_dir / "z.bin", Content(1, 'z'));
    auto tree = FolderItem(m_dir / "t");
    auto z = FileItem(m_dir / "z.bin");
    RunWork({tree.get(), z.get()}, Secure(0, 2));

    EXPECT_FALSE(Exists(m_dir / "t/x.bin"));
    EXPECT_FALSE(Exists(m_dir / "t/sub/deeper/y.bin"));
    EXPECT_FALSE(Exists(m_dir / "z.bin"));
    EXPECT_TRUE(fs::is_directory(m_dir / "t/sub/deeper"));  // folders stay
    EXPECT_EQ(m_work.Counters(), (SRunCounters{0, 0, 0, 3, 3, 0}));
    EXPECT_EQ(tree->m_nWipeState, CItemData::StateSucceeded);
    EXPECT_EQ(z->m_nWipeState, CItemData::StateSucceeded);
    EXPECT_EQ(tree->m_nEncryptState, CItemData::StateNotProcessed);
    // The wipe passes' notices add up to the run's total.
    EXPECT_EQ(m_ui.ProgressFault(), "");
}

TEST_F(SecureRun, EmptyFilesAndAZeroTotalGiveFiniteFullProgress)
{
    WriteFile(m_dir / "e1", "");
    WriteFile(m_dir / "e2", "");
    auto e1 = FileItem(m_dir / "e1");
    auto e2 = FileItem(m_dir / "e2");
    RunWork({e1.get(), e2.get()}, Secure(1, 2));

    EXPECT_EQ(m_work.Counters(), (SRunCounters{2, 2, 0, 2, 2, 0}));
    EXPECT_FALSE(Exists(m_dir / "e1"));
    EXPECT_TRUE(Exists(m_dir / "e1.hvnc"));
    EXPECT_EQ(m_ui.ProgressFault(), "");
}

TEST_F(SecureRun, FileThatCannotBeReadFailsAndTheRunGoesOn)
{
    // A fifo is not a file to read: refused when listed; a selected path that vanished is skipped.
    ASSERT_EQ(::mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    WriteFile(m_dir / "ok.txt", Content(100, 'o'));
    auto pipe = FileItem(m_dir / "pipe");
    auto gone = std::make_unique<CItemData>(QString::fromStdString(m_dir / "gone"), 5, CItemData::KindFile);
    auto ok = FileItem(m_dir / "ok.txt");
    RunWork({pipe.get(), gone.get(), ok.get()}, Secure(1, 2));

    EXPECT_EQ(m_work.Files().size(), 1u);
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(pipe->m_nEncryptState, CItemData::StateFailed);
    EXPECT_EQ(pipe->m_nWipeState, CItemData::StateFailed);
    EXPECT_EQ(gone->m_nEncryptState, CItemData::StateNotProcessed);
    EXPECT_EQ(ok->m_nWipeState, CItemData::StateSucceeded);
    EXPECT_TRUE(Exists(m_dir / "pipe"));
}

TEST_F(SecureRun, LinksInsideAFolderAreNeitherFollowedNorWiped)
{
    WriteFile(m_dir / "outside/keep.txt", Content(100, 'k'));
    WriteFile(m_dir / "outside/sub/deep.txt", Content(100, 'd'));
    WriteFile(m_dir / "in/own.txt", Content(100, 'o'));
    fs::create_symlink(m_dir / "outside/keep.txt", m_dir / "in/link.txt");
    fs::create_symlink(m_dir / "outside/sub", m_dir / "in/linkdir");
    auto folder = FolderItem(m_dir / "in");
    RunWork({folder.get()}, Secure(0, 2));

    ASSERT_EQ(m_work.Files().size(), 1u);
    EXPECT_EQ(ReadFile(m_dir / "outside/keep.txt"), Content(100, 'k'));
    EXPECT_EQ(ReadFile(m_dir / "outside/sub/deep.txt"), Content(100, 'd'));
    EXPECT_TRUE(fs::is_symlink(m_dir / "in/link.txt"));
    EXPECT_FALSE(Exists(m_dir / "in/own.txt"));
    EXPECT_EQ(m_work.Counters(), (SRunCounters{0, 0, 0, 1, 1, 0}));
}

TEST_F(SecureRun, EmptySelectionAndVanishedFilesEndAtOnce)
{
    RunWork({}, Secure(1, 2));
    EXPECT_EQ(m_work.Counters(), SRunCounters{});
    EXPECT_TRUE(m_ui.m_messages.empty());
    EXPECT_EQ(m_ui.m_ends.back(), IProgrssManagerUi::EEnd::Finished);

    CProgrssManagerWork second;
    CScriptedUi ui;
    auto gone = std::make_unique<CItemData>(QString::fromStdString(m_dir / "nope"), 10, CItemData::KindFile);
    auto emptyFolder = FolderItem(m_dir.Path());
    EXPECT_EQ(RunOnce(second, {gone.get(), emptyFolder.get()}, Secure(1, 0), &ui), 0);
    EXPECT_TRUE(second.Files().empty());
    EXPECT_EQ(second.Counters(), SRunCounters{});
    EXPECT_TRUE(ui.m_messages.empty());
}

TEST_F(SecureRun, NotEnoughFreeSpaceProcessesNothing)
{
    WriteFile(m_dir / "sub/a", Content(600, 'a'));
    WriteFile(m_dir / "sub/b", Content(400, 'b'));
    auto sub = FolderItem(m_dir / "sub");
    std::vector<std::string> asked;
    // Exactly the summed size is not enough: the free bytes must be strictly greater.
    m_work.SetFreeSpaceQuery([&](const std::string& strFolder) -> std::optional<std::uint64_t> {
        asked.push_back(strFolder);
        return 1000;
    });
    RunWork({sub.get()}, Secure(0, 2));

    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], m_dir / "sub");  // the folder that receives the output
    ASSERT_EQ(m_ui.m_messages.size(), 1u);
    EXPECT_EQ(m_ui.m_messages[0], HVLoadString(IDS_ERR_DISK_SPACE));
    EXPECT_EQ(m_work.Counters(), SRunCounters{});
    EXPECT_TRUE(m_work.WasNoSpace());
    EXPECT_TRUE(Exists(m_dir / "sub/a"));
    EXPECT_EQ(m_ui.m_ends.back(), IProgrssManagerUi::EEnd::Finished);
}

TEST_F(SecureRun, FailedFreeSpaceQueryCountsAsNoSpace)
{
    WriteFile(m_dir / "a", Content(10, 'a'));
    auto a = FileItem(m_dir / "a");
    m_work.SetFreeSpaceQuery([](const std::string&) { return std::optional<std::uint64_t>(); });
    RunWork({a.get()}, Secure(1, 0));
    EXPECT_EQ(m_ui.m_messages.size(), 1u);
    EXPECT_FALSE(Exists(m_dir / "a.hvnc"));

    // One byte more than the total is enough.
    CProgrssManagerWork second;
    CScriptedUi ui;
    second.SetFreeSpaceQuery([](const std::string&) { return std::optional<std::uint64_t>(11); });
    EXPECT_EQ(RunOnce(second, {a.get()}, Secure(1, 0), &ui), 0);
    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_TRUE(Exists(m_dir / "a.hvnc"));
}

TEST_F(SecureRun, AnotherRunHoldingTheLockRefusesThisOneBeforeItTouchesAnything)
{
    WriteFile(m_dir / "a", Content(10, 'a'));
    auto a = FileItem(m_dir / "a");
    const std::string strLock = m_dir / "run.lock";
    const int fd = ::open(strLock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);  // the other run
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    SRunOptions o = Secure(1, 2);
    o.m_strRunLock = strLock;
    RunWork({a.get()}, o);
    EXPECT_TRUE(m_work.WasLocked());
    EXPECT_EQ(m_work.Details().strRefusal, CRunLock::kBusyText);
    ASSERT_EQ(m_ui.m_messages.size(), 1u);
    EXPECT_EQ(m_ui.m_messages[0].toStdString(), CRunLock::kBusyText);
    EXPECT_EQ(ReadFile(m_dir / "a"), Content(10, 'a'));
    EXPECT_FALSE(Exists(m_dir / "a.hvnc"));

    // Once the other run has ended, the lock is taken and given back at the end of the run.
    ::close(fd);
    CProgrssManagerWork second;
    EXPECT_EQ(RunOnce(second, {a.get()}, o), 0);
    EXPECT_FALSE(second.WasLocked());
    EXPECT_TRUE(Exists(m_dir / "a.hvnc"));
    const int fd2 = ::open(strLock.c_str(), O_RDWR | O_CLOEXEC);
    EXPECT_EQ(::flock(fd2, LOCK_EX | LOCK_NB), 0);
    ::close(fd2);
}

TEST_F(SecureRun, AFileWithOtherNamesLosesOnlyThisNameWhenTheUserSaysSo)
{
    WriteFile(m_dir / "keep/ledger.txt", Content(500, 'l'));
    fs::create_directories(m_dir / "sel");
    fs::create_hard_link(m_dir / "keep/ledger.txt", m_dir / "sel/copy.txt");
    fs::create_hard_link(m_dir / "keep/ledger.txt", m_dir / "sel/copy2.txt");
    auto sel = FolderItem(m_dir / "sel");
    m_ui.m_answers.push_back({true, true});  // yes, for the rest of the run
    RunWork({sel.get()}, Secure(0, 2));

    ASSERT_EQ(m_ui.m_questions.size(), 1u);
    EXPECT_EQ(m_ui.m_questions[0].eKind, IProgrssManagerUi::EAttribute::HardLink);
    EXPECT_TRUE(Names(m_dir / "sel").empty());
    EXPECT_EQ(ReadFile(m_dir / "keep/ledger.txt"), Content(500, 'l'));  // the content stays with the other name
    EXPECT_EQ(m_work.Counters(), (SRunCounters{0, 0, 0, 2, 2, 0}));
}

TEST_F(SecureRun, WipesOnAWeakMediumAreCountedWithTheirKind)
{
    struct statfs fs
    {
    };
    if (::statfs("/dev/shm", &fs) != 0 || fs.f_type != TMPFS_MAGIC || ::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no memory filesystem at /dev/shm";
    }
    const std::string strFile = "/dev/shm/hv-weak-" + std::to_string(::getpid());
    WriteFile(strFile, Content(100, 'w'));
    auto a = FileItem(strFile);
    RunWork({a.get()}, Secure(0, 2));
    EXPECT_FALSE(Exists(strFile));
    EXPECT_EQ(m_work.Details().nWeakMediumWipes, 1);
    EXPECT_NE(m_work.Details().strWeakMedium.find("tmpfs"), std::string::npos) << m_work.Details().strWeakMedium;
}

TEST(RunFileList, FreeSpaceOfARealFolderAndTheOutputFolder)
{
    EXPECT_TRUE(HVRunFiles::FreeBytes("/tmp").has_value());
    EXPECT_FALSE(HVRunFiles::FreeBytes("/no/such/folder/here").has_value());
    EXPECT_EQ(HVRunFiles::OutputFolder("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(HVRunFiles::OutputFolder("/c.txt"), "/");
    EXPECT_EQ(HVRunFiles::OutputFolder("c.txt"), ".");
    EXPECT_TRUE(HVRunFiles::HasHvncExtension("x.HvNc"));
    EXPECT_TRUE(HVRunFiles::HasHvncExtension(".hvnc"));
    EXPECT_FALSE(HVRunFiles::HasHvncExtension("x.hvnc.txt"));
    EXPECT_FALSE(HVRunFiles::HasHvncExtension("hvnc"));
}

}  // namespace
