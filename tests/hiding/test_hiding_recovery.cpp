#include "hiding/CHidingEngine.h"
#include "hiding/HiddenListFormat.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "HidingTestSupport.h"

namespace {

constexpr int kKilledAtStep = 42;

// Runs fn in a child process; its exit code (kKilledAtStep when a hook ended it).
using hvtest::RunInChild;

class HidingRecovery : public CHidingFixture
{
protected:
    // Options whose fault hook ends the process at that step (empty: never).
    [[nodiscard]] SHidingOptions Options(const std::string& strKillAt = {}, bool bLink = false) const
    {
        SHidingOptions options = CHidingFixture::Options(bLink);
        if (!strKillAt.empty()) {
            options.faultHook = [strKillAt](std::string_view step) {
                if (step == strKillAt) {
                    ::_exit(kKilledAtStep);
                }
            };
        }
        return options;
    }
    void MakeItem(const std::string& strName, bool bFolder)
    {
        if (bFolder) {
            ASSERT_EQ(::mkdir(Item(strName).c_str(), 0700), 0);
            WriteText(Item(strName) + "/inner", "content of " + strName);
        } else {
            WriteText(Item(strName), "content of " + strName);
        }
    }
    // Hides the files "a" and "b"; the list's text afterwards.
    std::string HideAAndB(const std::string& strList)
    {
        MakeItem("a", false);
        MakeItem("b", false);
        CHidingEngine engine(Options());
        EXPECT_TRUE(engine.HideItem(Item("a")));
        EXPECT_TRUE(engine.HideItem(Item("b")));
        return ReadText(strList);
    }
    [[nodiscard]] std::string ContentOf(const std::string& strName, bool bFolder) const
    {
        return ReadText(bFolder ? Item(strName) + "/inner" : Item(strName));
    }
    // Nothing is lost: every item can be brought back with its content, and the vault is
    // left empty (no item was stranded in it without a list entry).
    void ExpectAllRecoverable(const std::vector<std::string>& names, bool bFolder)
    {
        CHidingEngine engine(Options());
        for (const auto& strName : names) {
            const auto listed = Listed(engine);
            if (std::find(listed.begin(), listed.end(), Item(strName)) != listed.end()) {
                EXPECT_TRUE(engine.UnhideItem(Item(strName))) << strName << ": " << engine.GetLastError();
            }
            EXPECT_EQ(ContentOf(strName, bFolder), "content of " + strName);
        }
        EXPECT_EQ(engine.GetHiddenCount(), 0);
        EXPECT_TRUE(NamesIn(m_strBase + "/vault").empty());
    }
};

struct SKillCase
{
    const char* pOperation;  // "hide", "unhide", "disable", "enable"
    const char* pStep;
    bool bLink;
    bool bFolder;
    bool bHiddenAfter;  // for hide and unhide: where the item must be after recovery
};

std::string CaseName(const SKillCase& c)
{
    std::string strName =
        std::string(c.pOperation) + "_" + (c.bFolder ? "folder" : "file") + "_" + c.pStep + (c.bLink ? "_link" : "");
    for (char& ch : strName) {
        ch = std::isalnum(static_cast<unsigned char>(ch)) != 0 ? ch : '_';
    }
    return strName;
}

void PrintTo(const SKillCase& c, std::ostream* pOut)
{
    *pOut << CaseName(c);
}

class HidingKill : public HidingRecovery, public ::testing::WithParamInterface<SKillCase>
{
};

}  // namespace

TEST_P(HidingKill, AKilledOperationIsCompletedOrRolledBack)
{
    const SKillCase& c = GetParam();
    const std::string strOp = c.pOperation;
    MakeItem("a", c.bFolder);
    MakeItem("b", c.bFolder);
    {
        CHidingEngine setup(Options());
        if (strOp != "hide") {
            ASSERT_TRUE(setup.HideItem(Item("a")));
            ASSERT_TRUE(setup.HideItem(Item("b")));
        }
        if (strOp == "enable") {
            ASSERT_TRUE(setup.DisableHiding());
        }
    }
    const int nExit = RunInChild([&] {
        CHidingEngine engine(Options(c.pStep, c.bLink));
        bool bOk = false;
        if (strOp == "hide") {
            bOk = engine.HideItem(Item("a"));
        } else if (strOp == "unhide") {
            bOk = engine.UnhideItem(Item("a"));
        } else {
            bOk = strOp == "enable" ? engine.EnableHiding() : engine.DisableHiding();
        }
        return bOk ? 0 : 1;
    });
    ASSERT_EQ(nExit, kKilledAtStep) << "the step was never reached";

    CHidingEngine engine(Options());
    const auto listed = Listed(engine);
    const bool bListed = std::find(listed.begin(), listed.end(), Item("a")) != listed.end();
    const bool bVisible = Exists(Item("a"));
    if (strOp == "hide" || strOp == "unhide") {
        EXPECT_EQ(bListed, c.bHiddenAfter);
        EXPECT_EQ(bVisible, !c.bHiddenAfter);
    } else {
        EXPECT_EQ(listed.size(), 2u);  // switching never drops entries
        EXPECT_EQ(engine.IsHidingEnabled(), strOp == "enable");
    }
    if (bVisible) {
        EXPECT_EQ(ContentOf("a", c.bFolder), "content of a");
    }
    ExpectAllRecoverable({"a", "b"}, c.bFolder);
}

INSTANTIATE_TEST_SUITE_P(Steps,
                         HidingKill,
                         ::testing::Values(SKillCase{"hide", "begin", false, false, false},
                                           SKillCase{"hide", "moved", false, false, true},
                                           SKillCase{"hide", "committed", false, false, true},
                                           SKillCase{"hide", "begin", false, true, false},
                                           SKillCase{"hide", "moved", false, true, true},
                                           SKillCase{"hide", "linked", true, false, true},
                                           SKillCase{"hide", "moved", true, true, true},
                                           SKillCase{"unhide", "begin", false, false, true},
                                           SKillCase{"unhide", "moved", false, false, false},
                                           SKillCase{"unhide", "committed", false, true, false},
                                           SKillCase{"unhide", "linked", true, false, false},
                                           SKillCase{"disable", "begin", false, false, false},
                                           SKillCase{"disable", "moved", false, true, false},
                                           SKillCase{"disable", "linked", true, false, false},
                                           SKillCase{"enable", "begin", false, false, false},
                                           SKillCase{"enable", "moved", false, true, false},
                                           SKillCase{"enable", "committed", true, false, false}),
                         [](const ::testing::TestParamInfo<SKillCase>& info) { return CaseName(info.param); });

// The journal is rewritten once it has grown well beyond the live list; a kill on either side
// of the switch to the new file keeps the list whole and in order.
TEST_F(HidingRecovery, AKilledListRewriteLosesNothing)
{
    constexpr int kItems = 100;
    for (int i = 0; i < kItems; ++i) {
        MakeItem("f" + std::to_string(i), false);
    }
    MakeItem("pad", false);
    for (const char* pStep : {"compact-written", "compact-renamed"}) {
        SCOPED_TRACE(pStep);
        const int nExit = RunInChild([&] {
            CHidingEngine engine(Options(pStep));
            for (int i = 0; i < kItems; ++i) {
                if (!engine.HideItem(Item("f" + std::to_string(i)))) {
                    return 1;
                }
            }
            for (int i = 0; i < 1000; ++i) {  // records without entries, until a rewrite is due
                if (!engine.HideItem(Item("pad")) || !engine.UnhideItem(Item("pad"))) {
                    return 1;
                }
            }
            return 0;
        });
        ASSERT_EQ(nExit, kKilledAtStep);
        CHidingEngine engine(Options());
        auto listed = Listed(engine);
        ASSERT_GE(listed.size(), static_cast<std::size_t>(kItems));
        for (int i = 0; i < kItems; ++i) {
            EXPECT_EQ(listed[static_cast<std::size_t>(i)], Item("f" + std::to_string(i)));
        }
        EXPECT_EQ(listed.size() == kItems + 1u, !Exists(Item("pad")));
        EXPECT_FALSE(Exists(m_strBase + "/hidden.lst.tmp"));
        std::vector<std::string> names;
        for (int i = 0; i < kItems; ++i) {
            names.push_back("f" + std::to_string(i));
        }
        names.push_back("pad");
        ExpectAllRecoverable(names, false);
    }
}

// After a power cut the journal may hold a commit whose rename never reached the disk: the
// list says hidden, the item is in its folder. The item is recognised by its identity.
TEST_F(HidingRecovery, AnItemListedAsHiddenButBackInItsFolderIsRecognised)
{
    MakeItem("a", false);
    MakeItem("b", false);
    MakeItem("c", false);
    CHidingEngine engine(Options());
    ASSERT_TRUE(engine.HideItem(Item("a")));
    ASSERT_TRUE(engine.HideItem(Item("b")));
    ASSERT_TRUE(engine.HideItem(Item("c")));
    const std::string strVault = m_strBase + "/vault";
    const auto undoRename = [&](const std::string& strName) {
        for (const auto& strEntry : NamesIn(strVault)) {
            if (ReadText(strVault + "/" + strEntry) == "content of " + strName) {
                ASSERT_EQ(::rename((strVault + "/" + strEntry).c_str(), Item(strName).c_str()), 0);
            }
        }
    };
    undoRename("a");
    undoRename("b");
    EXPECT_TRUE(engine.UnhideItem(Item("a")));  // already back: it just leaves the list
    EXPECT_EQ(ReadText(Item("a")), "content of a");
    EXPECT_TRUE(engine.DisableHiding());  // "b" counts as shown, "c" is moved
    EXPECT_EQ(Listed(engine), (std::vector<std::string>{Item("b"), Item("c")}));
    EXPECT_TRUE(engine.EnableHiding());
    EXPECT_FALSE(Exists(Item("b")));

    // Someone else's file at the path is not taken for the hidden item.
    undoRename("c");
    const std::string strStranded = m_dir / "stranded";
    ASSERT_EQ(::rename(Item("c").c_str(), strStranded.c_str()), 0);
    WriteText(Item("c"), "someone else");
    EXPECT_FALSE(engine.UnhideItem(Item("c")));
    EXPECT_EQ(ReadText(Item("c")), "someone else");
    EXPECT_EQ(engine.GetHiddenCount(), 2);
}

TEST_F(HidingRecovery, ATornLastRecordIsCutOff)
{
    const std::string strList = m_strBase + "/hidden.lst";
    const std::string strGood = HideAAndB(strList);
    SListRecord record;
    record.type = EListRecord::Remove;
    record.entry.id = 1;
    const std::string strRecord = HiddenListFormat::Encode(record);
    for (const std::string& strTail : {strRecord.substr(0, strRecord.size() - 1),           // cut short
                                       std::string(64, '\0'),                               // zero-filled
                                       strRecord.substr(0, strRecord.size() - 1) + "x"}) {  // bad sum
        WriteText(strList, strGood + strTail);
        CHidingEngine engine(Options());
        EXPECT_EQ(Listed(engine), (std::vector<std::string>{Item("a"), Item("b")}));
        EXPECT_EQ(ReadText(strList), strGood);
    }
}

TEST_F(HidingRecovery, ADamagedOrForeignListIsLeftAloneAndRefused)
{
    const std::string strList = m_strBase + "/hidden.lst";
    const std::string strGood = HideAAndB(strList);
    std::string strDamaged = strGood;
    strDamaged[HiddenListFormat::kHeaderSize + 8] ^= 0x01;  // inside the first record
    std::string strNewer = strGood;
    strNewer[8] = 9;
    for (const std::string& strBad : {strDamaged, strNewer, std::string("plain text, not a list at all")}) {
        WriteText(strList, strBad);
        CHidingEngine engine(Options());
        EXPECT_FALSE(engine.SetCurrentHidingEngine(IHidingEngine::kEngineId));
        EXPECT_FALSE(engine.GetLastError().empty());
        EXPECT_FALSE(engine.HideItem(Item("c")));
        EXPECT_EQ(ReadText(strList), strBad);
    }
    WriteText(strList, strGood);
    CHidingEngine engine(Options());
    EXPECT_EQ(engine.GetHiddenCount(), 2);
}

TEST_F(HidingRecovery, TwoProcessesHidingAtOnceListEveryItem)
{
    constexpr int kPerProcess = 50;
    for (const char* pWho : {"p", "q"}) {
        for (int i = 0; i < kPerProcess; ++i) {
            MakeItem(std::string(pWho) + std::to_string(i), false);
        }
    }
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (const char* pWho : {"p", "q"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(start[1]);
            char c = 0;
            (void)!::read(start[0], &c, 1);  // both begin when the parent closes the pipe
            CHidingEngine engine(Options());
            int nFailed = 0;
            for (int i = 0; i < kPerProcess; ++i) {
                nFailed += engine.HideItem(Item(std::string(pWho) + std::to_string(i))) ? 0 : 1;
            }
            ::_exit(nFailed);
        }
        children.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    CHidingEngine engine(Options());
    auto listed = Listed(engine);
    ASSERT_EQ(listed.size(), 2u * kPerProcess);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end());
    EXPECT_TRUE(NamesIn(m_strItems).empty());
    EXPECT_EQ(NamesIn(m_strBase + "/vault").size(), 2u * kPerProcess);
}

TEST_F(HidingRecovery, TwoThreadsShareOneEngine)
{
    constexpr int kPerThread = 20;
    for (int i = 0; i < 2 * kPerThread; ++i) {
        MakeItem("t" + std::to_string(i), false);
    }
    CHidingEngine engine(Options());
    auto hide = [&](int nFirst) {
        for (int i = nFirst; i < nFirst + kPerThread; ++i) {
            EXPECT_TRUE(engine.HideItem(Item("t" + std::to_string(i))));
            EXPECT_GT(engine.GetHiddenCount(), 0);
        }
    };
    std::thread first(hide, 0);
    std::thread second(hide, kPerThread);
    first.join();
    second.join();
    EXPECT_EQ(engine.GetHiddenCount(), 2 * kPerThread);
}
