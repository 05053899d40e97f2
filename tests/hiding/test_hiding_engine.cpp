#include "hiding/CHiddenList.h"
#include "hiding/CHidingEngine.h"
#include "hiding/HiddenListFormat.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "HidingTestSupport.h"

namespace {

class HidingEngine : public CHidingFixture
{
protected:
    [[nodiscard]] std::unique_ptr<CHidingEngine> NewEngine(bool bLink = false) const
    {
        return std::make_unique<CHidingEngine>(Options(bLink));
    }
};

void SetOldTimes(const std::string& strPath)
{
    const timespec times[2] = {{1000000000, 123456789}, {1200000000, 987654321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, strPath.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

struct SMeta
{
    mode_t mode;
    uid_t uid;
    ino_t ino;
    timespec mtime;
};

SMeta MetaOf(const std::string& strPath)
{
    struct stat st = {};
    EXPECT_EQ(::lstat(strPath.c_str(), &st), 0) << strPath;
    return {st.st_mode, st.st_uid, st.st_ino, st.st_mtim};
}

void ExpectSameMeta(const SMeta& a, const SMeta& b)
{
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.uid, b.uid);
    EXPECT_EQ(a.ino, b.ino);
    EXPECT_EQ(a.mtime.tv_sec, b.mtime.tv_sec);
    EXPECT_EQ(a.mtime.tv_nsec, b.mtime.tv_nsec);
}

}  // namespace

TEST_F(HidingEngine, RoundTripKeepsContentModeAndTimes)
{
    for (const bool bLink : {false, true}) {
        SCOPED_TRACE(bLink ? "link fallback" : "rename without replace");
        auto engine = NewEngine(bLink);
        const std::string strFile = Item("secret.txt");
        const std::string strDir = Item("folder");
        const std::string strLink = Item("link");
        WriteText(strFile, "contents\n");
        ASSERT_EQ(::chmod(strFile.c_str(), 0640), 0);
        ASSERT_EQ(::mkdir(strDir.c_str(), 0750), 0);
        WriteText(strDir + "/inner", "inner text");
        ASSERT_EQ(::symlink("secret.txt", strLink.c_str()), 0);
        SetOldTimes(strFile);
        SetOldTimes(strDir);
        SetOldTimes(strLink);
        const SMeta fileMeta = MetaOf(strFile);
        const SMeta dirMeta = MetaOf(strDir);
        const SMeta linkMeta = MetaOf(strLink);

        EXPECT_TRUE(engine->HideItemEx(strFile, 1));
        EXPECT_TRUE(engine->HideItemEx(strDir, 1));
        EXPECT_TRUE(engine->HideItem(strLink));
        EXPECT_TRUE(NamesIn(m_strItems).empty());
        EXPECT_EQ(engine->GetHiddenCount(), 3);

        EXPECT_TRUE(engine->UnhideItem(strLink));
        EXPECT_TRUE(engine->UnhideItem(strDir));
        EXPECT_TRUE(engine->UnhideItem(strFile));
        EXPECT_EQ(engine->GetHiddenCount(), 0);
        EXPECT_EQ(ReadText(strFile), "contents\n");
        EXPECT_EQ(ReadText(strDir + "/inner"), "inner text");
        char target[64] = {};
        EXPECT_EQ(::readlink(strLink.c_str(), target, sizeof target - 1), 10);
        EXPECT_STREQ(target, "secret.txt");
        ExpectSameMeta(MetaOf(strFile), fileMeta);
        ExpectSameMeta(MetaOf(strDir), dirMeta);
        ExpectSameMeta(MetaOf(strLink), linkMeta);
        std::filesystem::remove_all(strDir);
        std::filesystem::remove(strFile);
        std::filesystem::remove(strLink);
    }
}

TEST_F(HidingEngine, HiddenItemIsGoneFromItsFolderAndKeptInThePrivateVault)
{
    auto engine = NewEngine();
    WriteText(Item(".dotfile"), "x");
    WriteText(Item("plain"), "y");
    ASSERT_TRUE(engine->HideItem(Item(".dotfile")));
    EXPECT_EQ(NamesIn(m_strItems), std::set<std::string>{"plain"});
    EXPECT_EQ(hvtest::ModeOf(m_strBase + "/vault"), 0700);
    const auto inVault = NamesIn(m_strBase + "/vault");
    ASSERT_EQ(inVault.size(), 1u);
    EXPECT_EQ(inVault.begin()->find(".dotfile"), std::string::npos);  // the vault shows no names
    EXPECT_EQ(engine->GetHiddenItem(0), Item(".dotfile"));
}

TEST_F(HidingEngine, UnhideNeverReplacesWhatNowOccupiesThePath)
{
    for (const bool bLink : {false, true}) {
        SCOPED_TRACE(bLink ? "link fallback" : "rename without replace");
        auto engine = NewEngine(bLink);
        const std::string strFile = Item("a.txt");
        const std::string strDir = Item("d");
        WriteText(strFile, "original");
        ASSERT_EQ(::mkdir(strDir.c_str(), 0700), 0);
        WriteText(strDir + "/f", "in folder");
        ASSERT_TRUE(engine->HideItem(strFile));
        ASSERT_TRUE(engine->HideItem(strDir));
        WriteText(strFile, "newcomer");
        ASSERT_EQ(::mkdir(strDir.c_str(), 0700), 0);  // an empty folder, which a plain rename would replace

        EXPECT_FALSE(engine->UnhideItem(strFile));
        EXPECT_FALSE(engine->UnhideItem(strDir));
        EXPECT_FALSE(engine->GetLastError().empty());
        EXPECT_EQ(ReadText(strFile), "newcomer");
        EXPECT_TRUE(NamesIn(strDir).empty());
        EXPECT_EQ(engine->GetHiddenCount(), 2);

        ASSERT_EQ(::unlink(strFile.c_str()), 0);
        ASSERT_EQ(::rmdir(strDir.c_str()), 0);
        EXPECT_TRUE(engine->UnhideItem(strFile));
        EXPECT_TRUE(engine->UnhideItem(strDir));
        EXPECT_EQ(ReadText(strFile), "original");
        EXPECT_EQ(ReadText(strDir + "/f"), "in folder");
        std::filesystem::remove_all(strDir);
        std::filesystem::remove(strFile);
    }
}

TEST_F(HidingEngine, ListOrderCountAndIndexAfterMixedOperations)
{
    auto engine = NewEngine();
    for (const char* pName : {"a", "b", "c", "d", "e"}) {
        WriteText(Item(pName), pName);
    }
    EXPECT_EQ(engine->GetHiddenCount(), 0);
    EXPECT_EQ(engine->GetHiddenItem(0), "");
    for (const char* pName : {"a", "b", "c", "d"}) {
        ASSERT_TRUE(engine->HideItem(Item(pName)));
    }
    ASSERT_TRUE(engine->UnhideItem(Item("b")));
    ASSERT_TRUE(engine->HideItem(Item("e")));
    ASSERT_TRUE(engine->UnhideItem(Item("a")));
    ASSERT_TRUE(engine->HideItem(Item("b")));
    EXPECT_EQ(Listed(*engine), (std::vector<std::string>{Item("c"), Item("d"), Item("e"), Item("b")}));
    EXPECT_EQ(engine->GetHiddenItem(-1), "");
    EXPECT_EQ(engine->GetHiddenItem(4), "");
    EXPECT_FALSE(engine->UnhideItem(Item("a")));  // not hidden
    EXPECT_FALSE(engine->HideItem(Item("a-missing")));
    EXPECT_EQ(engine->GetHiddenCount(), 4);
}

TEST_F(HidingEngine, PathsAreListedInTheirCleanAbsoluteForm)
{
    auto engine = NewEngine();
    ASSERT_EQ(::mkdir(Item("dir").c_str(), 0700), 0);
    const std::string strOldCwd = std::filesystem::current_path();
    ASSERT_EQ(::chdir(m_strItems.c_str()), 0);
    EXPECT_TRUE(engine->HideItem("./dir//"));
    ASSERT_EQ(::chdir(strOldCwd.c_str()), 0);
    EXPECT_EQ(engine->GetHiddenItem(0), Item("dir"));
    EXPECT_TRUE(engine->UnhideItem(Item("dir") + "/"));
    EXPECT_TRUE(Exists(Item("dir")));
    EXPECT_FALSE(engine->HideItem(""));
}

TEST_F(HidingEngine, TheSamePathHiddenTwiceComesBackNewestFirst)
{
    auto engine = NewEngine();
    WriteText(Item("a"), "old");
    ASSERT_TRUE(engine->HideItem(Item("a")));
    WriteText(Item("a"), "new");
    ASSERT_TRUE(engine->HideItem(Item("a")));
    EXPECT_EQ(engine->GetHiddenCount(), 2);
    EXPECT_TRUE(engine->UnhideItem(Item("a")));
    EXPECT_EQ(ReadText(Item("a")), "new");
    EXPECT_FALSE(engine->UnhideItem(Item("a")));  // the older one would replace the newer
    EXPECT_EQ(engine->GetHiddenCount(), 1);
}

TEST_F(HidingEngine, ListAndStateSurviveANewInstance)
{
    WriteText(Item("x"), "1");
    WriteText(Item("y"), "2");
    {
        auto engine = NewEngine();
        ASSERT_TRUE(engine->HideItem(Item("x")));
        ASSERT_TRUE(engine->HideItem(Item("y")));
        ASSERT_TRUE(engine->DisableHiding());
    }
    auto engine = NewEngine();
    EXPECT_FALSE(engine->IsHidingEnabled());
    EXPECT_EQ(Listed(*engine), (std::vector<std::string>{Item("x"), Item("y")}));
    ASSERT_TRUE(engine->EnableHiding());
    auto other = NewEngine();  // a second instance sees what the first changed
    EXPECT_TRUE(other->IsHidingEnabled());
    EXPECT_TRUE(other->UnhideItem(Item("y")));
    EXPECT_EQ(Listed(*engine), std::vector<std::string>{Item("x")});
    EXPECT_EQ(ReadText(Item("y")), "2");
}

TEST_F(HidingEngine, DisableShowsEverythingAndEnableHidesItAgain)
{
    auto engine = NewEngine();
    EXPECT_TRUE(engine->IsHidingEnabled());
    for (const char* pName : {"a", "b", "c"}) {
        WriteText(Item(pName), pName);
        ASSERT_TRUE(engine->HideItem(Item(pName)));
    }
    ASSERT_TRUE(engine->DisableHiding());
    EXPECT_FALSE(engine->IsHidingEnabled());
    EXPECT_EQ(NamesIn(m_strItems), (std::set<std::string>{"a", "b", "c"}));
    EXPECT_EQ(engine->GetHiddenCount(), 3);

    WriteText(Item("d"), "d");
    EXPECT_TRUE(engine->HideItem(Item("d")));  // listed, shown while hiding is off
    EXPECT_TRUE(Exists(Item("d")));
    EXPECT_TRUE(engine->HideItem(Item("d")));  // not listed twice
    EXPECT_EQ(engine->GetHiddenCount(), 4);

    ASSERT_TRUE(engine->EnableHiding());
    EXPECT_TRUE(NamesIn(m_strItems).empty());
    EXPECT_EQ(engine->GetHiddenCount(), 4);
    for (const char* pName : {"a", "b", "c", "d"}) {
        EXPECT_TRUE(engine->UnhideItem(Item(pName)));
        EXPECT_EQ(ReadText(Item(pName)), pName);
    }
}

TEST_F(HidingEngine, SwitchingHandlesAnItemHiddenInsideAFolderHiddenLater)
{
    auto engine = NewEngine();
    ASSERT_EQ(::mkdir(Item("d").c_str(), 0700), 0);
    WriteText(Item("d/f"), "inner");
    ASSERT_TRUE(engine->HideItem(Item("d/f")));
    ASSERT_TRUE(engine->HideItem(Item("d")));
    EXPECT_TRUE(engine->DisableHiding());
    EXPECT_EQ(ReadText(Item("d/f")), "inner");
    EXPECT_TRUE(engine->EnableHiding());
    EXPECT_FALSE(Exists(Item("d")));
    EXPECT_TRUE(engine->UnhideItem(Item("d")));
    EXPECT_FALSE(Exists(Item("d/f")));
    EXPECT_TRUE(engine->UnhideItem(Item("d/f")));
    EXPECT_EQ(ReadText(Item("d/f")), "inner");
}

TEST_F(HidingEngine, PathsLongerThanTheListAllowsAreRefused)
{
    auto engine = NewEngine();
    std::string strLong = m_strItems;
    while (strLong.size() <= HiddenListFormat::kMaxText) {
        strLong += "/" + std::string(200, 'd');
    }
    EXPECT_FALSE(engine->HideItem(strLong));
    EXPECT_EQ(engine->GetHiddenCount(), 0);
    auto other = NewEngine();  // the list is still readable
    EXPECT_TRUE(other->SetCurrentHidingEngine(IHidingEngine::kEngineId));
}

TEST_F(HidingEngine, SwitchingLeavesItemsThatCannotMoveAndRetriesThem)
{
    auto engine = NewEngine();
    WriteText(Item("a"), "hidden a");
    WriteText(Item("b"), "b");
    ASSERT_TRUE(engine->HideItem(Item("a")));
    ASSERT_TRUE(engine->HideItem(Item("b")));
    WriteText(Item("a"), "occupant");
    EXPECT_FALSE(engine->DisableHiding());  // "a" cannot come back
    EXPECT_EQ(ReadText(Item("a")), "occupant");
    EXPECT_EQ(ReadText(Item("b")), "b");
    ASSERT_EQ(::unlink(Item("a").c_str()), 0);
    EXPECT_TRUE(engine->DisableHiding());
    EXPECT_EQ(ReadText(Item("a")), "hidden a");

    ASSERT_EQ(::unlink(Item("b").c_str()), 0);  // deleted while shown
    EXPECT_FALSE(engine->EnableHiding());
    EXPECT_FALSE(Exists(Item("a")));
    EXPECT_EQ(engine->GetHiddenCount(), 2);
    EXPECT_TRUE(engine->UnhideItem(Item("b")));  // nothing to show: it just leaves the list
    EXPECT_EQ(Listed(*engine), std::vector<std::string>{Item("a")});
}

TEST_F(HidingEngine, UnhideIntoAMissingFolderFailsAndKeepsTheItem)
{
    auto engine = NewEngine();
    ASSERT_EQ(::mkdir(Item("sub").c_str(), 0700), 0);
    WriteText(Item("sub/f"), "kept");
    ASSERT_TRUE(engine->HideItem(Item("sub/f")));
    ASSERT_EQ(::rmdir(Item("sub").c_str()), 0);
    EXPECT_FALSE(engine->UnhideItem(Item("sub/f")));
    EXPECT_EQ(engine->GetHiddenCount(), 1);
    ASSERT_EQ(::mkdir(Item("sub").c_str(), 0700), 0);
    EXPECT_TRUE(engine->UnhideItem(Item("sub/f")));
    EXPECT_EQ(ReadText(Item("sub/f")), "kept");
}

TEST_F(HidingEngine, EngineIdentifier)
{
    auto engine = NewEngine();
    EXPECT_TRUE(engine->SetCurrentHidingEngine("2115A4F3-6A0C-4d9e-A5F0-19CDDAB64137"));
    EXPECT_TRUE(engine->SetCurrentHidingEngine("{2115a4f3-6a0c-4D9E-a5f0-19cddab64137}"));
    EXPECT_FALSE(engine->SetCurrentHidingEngine("3184282D-86A0-48B1-8153-B0009D9EBB44"));
    EXPECT_FALSE(engine->SetCurrentHidingEngine(""));
}

TEST_F(HidingEngine, AnUnusableDataFolderMakesEveryAnswerNo)
{
    WriteText(m_dir / "data", "a file where the data folder should be");
    auto engine = NewEngine();
    WriteText(Item("a"), "a");
    EXPECT_FALSE(engine->SetCurrentHidingEngine(IHidingEngine::kEngineId));
    EXPECT_FALSE(engine->GetLastError().empty());
    EXPECT_FALSE(engine->IsHidingEnabled());
    EXPECT_FALSE(engine->HideItem(Item("a")));
    EXPECT_EQ(engine->GetHiddenCount(), 0);
    EXPECT_TRUE(Exists(Item("a")));
}

TEST_F(HidingEngine, DefaultDataFolderFollowsXdgDataHome)
{
    const char* pOld = std::getenv("XDG_DATA_HOME");
    const std::string strOld = pOld != nullptr ? pOld : "";
    ::setenv("XDG_DATA_HOME", (m_dir / "xdg").c_str(), 1);
    EXPECT_EQ(CHidingEngine::DefaultBaseDir(), m_dir / "xdg/Halvo-Soft");
    ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    const std::string strHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    if (!strHome.empty()) {
        EXPECT_EQ(CHidingEngine::DefaultBaseDir(), strHome + "/.local/share/Halvo-Soft");
    }
    if (pOld != nullptr) {
        ::setenv("XDG_DATA_HOME", strOld.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

// Switching hiding on moves only the items that were hidden: a file that took a shown item's
// path stays where it is, and hiding that path by hand hides the new file as an item of its own.
TEST_F(HidingEngine, SwitchingOnNeverMovesAnotherItemThatTookThePath)
{
    auto engine = NewEngine();
    WriteText(Item("a"), "hidden a");
    ASSERT_TRUE(engine->HideItem(Item("a")));
    ASSERT_TRUE(engine->DisableHiding());
    ASSERT_EQ(::rename(Item("a").c_str(), Item("moved").c_str()), 0);
    WriteText(Item("a"), "new a");
    EXPECT_FALSE(engine->EnableHiding());
    EXPECT_EQ(ReadText(Item("a")), "new a");
    EXPECT_EQ(ReadText(Item("moved")), "hidden a");
    EXPECT_TRUE(engine->HideItem(Item("a")));
    EXPECT_FALSE(Exists(Item("a")));
    EXPECT_EQ(engine->GetHiddenCount(), 1);
    EXPECT_TRUE(engine->UnhideItem(Item("a")));
    EXPECT_EQ(ReadText(Item("a")), "new a");
}

// The full restore: what can come back comes back and leaves the list; the rest is named with
// its reason and stays hidden and listed.
TEST_F(HidingEngine, RestoreAllNamesEachItemLeftAndWhy)
{
    auto engine = NewEngine();
    ASSERT_EQ(::mkdir(Item("sub").c_str(), 0700), 0);
    for (const char* pName : {"a", "b", "sub/c"}) {
        WriteText(Item(pName), pName);
        ASSERT_TRUE(engine->HideItem(Item(pName)));
    }
    WriteText(Item("a"), "occupant");
    ASSERT_EQ(::rmdir(Item("sub").c_str()), 0);
    std::vector<SRestoreFailure> failures;
    EXPECT_FALSE(engine->RestoreAll(failures));
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].strPath, Item("sub/c"));
    EXPECT_EQ(failures[0].eWhy, SRestoreFailure::EWhy::ParentMissing);
    EXPECT_EQ(failures[1].strPath, Item("a"));
    EXPECT_EQ(failures[1].eWhy, SRestoreFailure::EWhy::PathOccupied);
    EXPECT_EQ(ReadText(Item("b")), "b");
    EXPECT_FALSE(engine->IsHidingEnabled());
    EXPECT_EQ(Listed(*engine), (std::vector<std::string>{Item("a"), Item("sub/c")}));
    ASSERT_TRUE(engine->EnableHiding());  // a later start: what came back stays
    EXPECT_EQ(ReadText(Item("b")), "b");
    EXPECT_EQ(ReadText(Item("a")), "occupant");
}

// A hidden folder is no longer at its path, so only the list can say it is a folder: recorded
// when hidden, kept over a new start, and inferred from the kept item for a list written
// before the kind was recorded (in the vault, and back in place with hiding switched off).
TEST_F(HidingEngine, HiddenFoldersAreKnownAsFolders)
{
    ASSERT_EQ(::mkdir(Item("dir").c_str(), 0700), 0);
    WriteText(Item("dir/inner"), "x");
    WriteText(Item("file"), "y");
    ASSERT_EQ(::symlink(Item("dir").c_str(), Item("link").c_str()), 0);
    const std::vector<std::string> names{"dir", "file", "link"};
    const std::vector<bool> expected{true, false, false};
    const auto kinds = [](IHidingEngine& engine) {
        std::vector<bool> out;
        for (std::int32_t i = 0; i < engine.GetHiddenCount(); ++i) {
            out.push_back(engine.IsHiddenItemFolder(i));
        }
        EXPECT_FALSE(engine.IsHiddenItemFolder(engine.GetHiddenCount()));
        EXPECT_FALSE(engine.IsHiddenItemFolder(-1));
        return out;
    };
    {
        auto engine = NewEngine();
        for (const auto& strName : names) {
            ASSERT_TRUE(engine->HideItem(Item(strName)));
        }
        ASSERT_FALSE(Exists(Item("dir")));
        EXPECT_EQ(kinds(*engine), expected);
    }
    EXPECT_EQ(kinds(*NewEngine()), expected);

    // The same list as an older program wrote it: entries without their kind.
    const std::string strList = m_strBase + "/hidden.lst";
    std::string strOld = HiddenListFormat::EncodeHeader();
    {
        CHiddenList list(strList);
        std::string strError;
        ASSERT_TRUE(list.Load(strError)) << strError;
        for (SHiddenEntry entry : list.Entries()) {
            entry.kind = EHiddenKind::Unknown;
            SListRecord record;
            record.entry = entry;
            strOld += HiddenListFormat::Encode(record);
        }
    }
    WriteText(strList, strOld);
    auto engine = NewEngine();
    ASSERT_EQ(Listed(*engine), (std::vector<std::string>{Item("dir"), Item("file"), Item("link")}));
    EXPECT_EQ(kinds(*engine), expected);
    ASSERT_TRUE(engine->DisableHiding());
    ASSERT_TRUE(Exists(Item("dir/inner")));
    EXPECT_EQ(kinds(*engine), expected);
}
