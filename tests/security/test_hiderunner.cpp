// The hide runner's work against the real hiding engine, in a temporary home.
#include "engines/CEncryptManager.h"
#include "hiding/CHidingEngine.h"
#include "logging/CHVLog.h"
#include "resources/CResourceModule.h"
#include "resources/HVResourceStrings.h"
#include "security/CHideProgrssWork.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"

#include <QFile>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "RunnerTestSupport.h"
#include "support/Programs.h"
#include "support/TempHome.h"
namespace {

using namespace runtest;
using hvtest::ReadText;
using EEnd = IHideProgrssUi::EEnd;

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// One run of a further hide work on this thread, without a front end.
void RunPlain(CHideProgrssWork& work, std::vector<CItemData*> items, int bUnhide, int bPageFlag = 1)
{
    work.SetItems(items);
    work.Initialise(bUnhide, bPageFlag, 0, nullptr);
    EXPECT_EQ(work.Run(), 0);
}

class CRecordingUi : public IHideProgrssUi
{
public:
    void SetStatusText(const QString& strText) override
    {
        std::lock_guard lock(m_mutex);
        m_statuses.push_back(strText);
    }
    void SetProgress(int nPosition, int nRange) override
    {
        std::lock_guard lock(m_mutex);
        m_progress.emplace_back(nPosition, nRange);
    }
    void RunEnded(EEnd eEnd) override
    {
        std::lock_guard lock(m_mutex);
        m_ends.push_back(eEnd);
    }

    std::mutex m_mutex;
    std::vector<QString> m_statuses;
    std::vector<std::pair<int, int>> m_progress;
    std::vector<EEnd> m_ends;
};

class HideRunner : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { LoadRunResources(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_home.IsValid());
        m_root = m_home.Root().toStdString();
        m_pEngine = std::make_shared<CHidingEngine>();
        ASSERT_EQ(m_pEngine->BaseDir(), (m_root / "home/.local/share/Halvo-Soft").string());

        // What the manager's HidePath does: a protected path (whole text, upper-cased) is
        // refused without asking the engine; any other goes to HideItemEx with the flag 1.
        m_work.SetHidePath([this](const QString& strPath) {
            ++m_nHidePathCalls;
            if (m_protected.count(strPath.toUpper()) != 0) {
                return 0;
            }
            return m_pEngine->HideItemEx(QFile::encodeName(strPath).toStdString(), 1) ? 1 : 0;
        });
        m_work.SetHideControl(m_pEngine);
        m_work.SetRefreshFolderView([this](const QString& strFolder) { m_refreshed.push_back(strFolder); });
    }

    void TearDown() override { m_pEngine.reset(); }

    [[nodiscard]] std::string P(const std::string& strName) const { return (m_root / "work" / strName).string(); }

    std::unique_ptr<CItemData> File(const std::string& strName, const std::string& strText = "text")
    {
        WriteFile(P(strName), strText);
        return std::make_unique<CItemData>(Q(P(strName)), strText.size(), CItemData::KindFile);
    }
    // Files f0 .. f<n-1>, held by the test.
    std::vector<CItemData*> NumberedFiles(int nCount)
    {
        std::vector<CItemData*> items;
        for (int i = 0; i < nCount; ++i) {
            m_owned.push_back(File("f" + std::to_string(i)));
            items.push_back(m_owned.back().get());
        }
        return items;
    }
    std::unique_ptr<CItemData> Folder(const std::string& strName)
    {
        fs::create_directories(P(strName));
        return std::make_unique<CItemData>(Q(P(strName)), 0, CItemData::KindFolder);
    }

    void RunHide(const std::vector<CItemData*>& items, int bPageFlag = 1, int bEncrypt = 0)
    {
        Run(items, 0, bPageFlag, bEncrypt);
    }
    void RunUnhide(const std::vector<CItemData*>& items) { Run(items, 1, 1, 0); }
    void Run(const std::vector<CItemData*>& items, int bUnhide, int bPageFlag, int bEncrypt)
    {
        m_work.SetItems(items);
        m_work.Initialise(bUnhide, bPageFlag, bEncrypt, &m_ui);
        EXPECT_TRUE(m_work.BusySignal().IsSet());
        EXPECT_FALSE(m_work.StopSignal().IsSet());
        EXPECT_EQ(m_work.Run(), 0);
        EXPECT_FALSE(m_work.BusySignal().IsSet());
        ASSERT_EQ(m_ui.m_ends.size(), 1u);
    }

    [[nodiscard]] std::vector<std::string> Hidden() const
    {
        std::vector<std::string> paths;
        for (std::int32_t i = 0; i < m_pEngine->GetHiddenCount(); ++i) {
            paths.push_back(m_pEngine->GetHiddenItem(i));
        }
        return paths;
    }

    hvtest::CTempHome m_home;
    fs::path m_root;
    std::shared_ptr<CHidingEngine> m_pEngine;
    std::set<QString> m_protected;
    int m_nHidePathCalls = 0;
    std::vector<QString> m_refreshed;
    CRecordingUi m_ui;
    std::vector<std::unique_ptr<CItemData>> m_owned;
    CHideProgrssWork m_work;
};

TEST_F(HideRunner, AfterAnEncryptionRunOnlySucceededFilesAreHiddenUnderTheirEncryptedNames)
{
    auto a = File("a.txt", "alpha");
    auto b = File("b.txt", "bravo");
    auto docs = Folder("docs");
    WriteFile(P("docs/x.txt"), "x-ray");

    // The secure run before it: encrypt and hide, so the sources are wiped; b.txt cannot be
    // encrypted (it becomes a folder just before its turn).
    CProgrssManagerWork secure;
    secure.SetBeforeFileHook([this](std::size_t, const CItemData& entry) {
        if (entry.m_strPath == Q(P("b.txt"))) {
            fs::remove(P("b.txt"));
            fs::create_directory(P("b.txt"));
        }
    });
    ASSERT_EQ(RunOnce(secure, {a.get(), b.get(), docs.get()}, Secure(1, 1)), 0);
    ASSERT_EQ(a->m_nEncryptState, CItemData::StateSucceeded);
    ASSERT_EQ(b->m_nEncryptState, CItemData::StateFailed);
    ASSERT_EQ(docs->m_nEncryptState, CItemData::StateSucceeded);
    ASSERT_FALSE(Exists(P("a.txt")));
    const std::string strEncrypted = ReadText(P("a.txt.hvnc"));

    RunHide({a.get(), b.get(), docs.get()}, /*bPageFlag=*/0, /*bEncrypt=*/1);

    EXPECT_EQ(m_work.GetEncryptFlag(), 1);
    EXPECT_EQ(m_work.Counters(), (SHideCounters{3, 2, 1}));
    EXPECT_EQ(a->m_nHideState, CItemData::StateSucceeded);
    EXPECT_EQ(b->m_nHideState, CItemData::StateFailed);
    EXPECT_EQ(docs->m_nHideState, CItemData::StateSucceeded);
    // The folder is hidden as one item, not file by file; the failed file is left in sight.
    EXPECT_EQ(Hidden(), (std::vector<std::string>{P("a.txt.hvnc"), P("docs")}));
    EXPECT_FALSE(Exists(P("a.txt.hvnc")));
    EXPECT_FALSE(Exists(P("docs")));
    EXPECT_TRUE(fs::is_directory(P("b.txt")));
    EXPECT_EQ(m_nHidePathCalls, 2);

    // Shown again, the encrypted file is the one that was hidden.
    auto encrypted = std::make_unique<CItemData>(Q(P("a.txt.hvnc")), 0, CItemData::KindFile);
    CHideProgrssWork unhide;
    unhide.SetHideControl(m_pEngine);
    RunPlain(unhide, {encrypted.get()}, 1);
    EXPECT_EQ(unhide.Counters(), (SHideCounters{1, 1, 0}));
    EXPECT_EQ(ReadText(P("a.txt.hvnc")), strEncrypted);
}

TEST_F(HideRunner, TheEncryptOptionCountsOnlyForTheFollowUpOfASecureRun)
{
    auto a = File("a.txt", "alpha");
    auto docs = Folder("docs");
    WriteFile(P("docs/inner.txt"), "inner");

    // Opened by the hide management page: the encrypt option is not taken, the plain path is
    // hidden although the item was never encrypted.
    RunHide({a.get(), docs.get()}, /*bPageFlag=*/1, /*bEncrypt=*/1);

    EXPECT_EQ(m_work.GetEncryptFlag(), 0);
    EXPECT_EQ(m_work.Counters(), (SHideCounters{2, 2, 0}));
    EXPECT_EQ(Hidden(), (std::vector<std::string>{P("a.txt"), P("docs")}));
    const std::vector<QString> statuses{HVFormatString(IDS_STATUS_HIDING, Q(P("a.txt"))),
                                        HVFormatString(IDS_STATUS_HIDING, Q(P("docs")))};
    EXPECT_EQ(m_ui.m_statuses, statuses);
    EXPECT_FALSE(statuses.front().isEmpty());
    EXPECT_EQ(m_ui.m_progress, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
    EXPECT_EQ(m_ui.m_ends.back(), EEnd::Finished);
    EXPECT_FALSE(m_work.WasCancelled());

    // A secure run without encryption hides the plain path as well.
    auto c = File("c.txt");
    CHideProgrssWork plain;
    plain.SetHidePath([this](const QString& s) { return m_pEngine->HideItemEx(s.toStdString(), 1) ? 1 : 0; });
    RunPlain(plain, {c.get()}, 0, 0);
    EXPECT_EQ(plain.Counters(), (SHideCounters{1, 1, 0}));
    EXPECT_FALSE(Exists(P("c.txt")));
}

TEST_F(HideRunner, ProtectedPathsFailForThatItemOnly)
{
    auto desk = Folder("Desktop");
    auto home = Folder("home");
    auto loose = File("loose.txt");
    auto other = File("other.txt");
    m_protected = {Q(P("Desktop")).toUpper(), Q(P("loose.txt")).toUpper()};

    RunHide({desk.get(), loose.get(), other.get(), home.get()});

    EXPECT_EQ(m_work.Counters(), (SHideCounters{4, 2, 2}));
    // A folder turns to "partly failed" for a failure, a file to "failed".
    EXPECT_EQ(desk->m_nHideState, CItemData::StatePartlyFailed);
    EXPECT_EQ(loose->m_nHideState, CItemData::StateFailed);
    EXPECT_EQ(other->m_nHideState, CItemData::StateSucceeded);
    EXPECT_EQ(home->m_nHideState, CItemData::StateSucceeded);
    EXPECT_TRUE(fs::is_directory(P("Desktop")));
    EXPECT_TRUE(Exists(P("loose.txt")));
    EXPECT_EQ(Hidden(), (std::vector<std::string>{P("other.txt"), P("home")}));
    EXPECT_EQ(m_ui.m_progress.back(), (std::pair<int, int>{4, 4}));
}

TEST_F(HideRunner, WhatTheEngineOrTheCallerRefusesIsAFailedItem)
{
    auto gone = std::make_unique<CItemData>(Q(P("gone.txt")), 0, CItemData::KindFile);
    auto root = std::make_unique<CItemData>(QStringLiteral("/"), 0, CItemData::KindFolder);
    auto odd = File("odd.txt");
    odd->m_nKind = 7;  // neither file nor folder: passed over
    auto ok = File("ok.txt");
    RunHide({gone.get(), root.get(), odd.get(), nullptr, ok.get()});

    EXPECT_EQ(m_work.Counters(), (SHideCounters{4, 1, 2}));
    EXPECT_EQ(gone->m_nHideState, CItemData::StateFailed);
    EXPECT_EQ(root->m_nHideState, CItemData::StatePartlyFailed);
    EXPECT_EQ(odd->m_nHideState, CItemData::StateNotProcessed);
    EXPECT_TRUE(Exists(P("odd.txt")));
    EXPECT_EQ(ok->m_nHideState, CItemData::StateSucceeded);
    EXPECT_EQ(m_work.ProgressPosition(), 5);

    // No hide operation given, or one that throws: every item fails, the run still ends.
    auto f = File("f.txt");
    CHideProgrssWork none;
    RunPlain(none, {f.get()}, 0);
    EXPECT_EQ(none.Counters(), (SHideCounters{1, 0, 1}));
    CHideProgrssWork throwing;
    throwing.SetHidePath([](const QString&) -> int { throw std::runtime_error("engine failure"); });
    RunPlain(throwing, {f.get(), f.get()}, 0);
    EXPECT_EQ(throwing.Counters(), (SHideCounters{2, 0, 2}));
    EXPECT_FALSE(throwing.BusySignal().IsSet());
    EXPECT_TRUE(Exists(P("f.txt")));
}

TEST_F(HideRunner, UnhideShowsListedItemsAgainWithoutTouchingTheirHideStates)
{
    auto a = File("a.txt", "alpha");
    auto docs = Folder("docs");
    WriteFile(P("docs/inner.txt"), "inner");
    // A path that may not be hidden by a user's command is still shown again when it is listed.
    m_protected = {Q(P("docs")).toUpper()};
    ASSERT_TRUE(m_pEngine->HideItemEx(P("a.txt"), 1));
    ASSERT_TRUE(m_pEngine->HideItemEx(P("docs"), 1));
    a->m_nHideState = CItemData::StateSucceeded;
    auto other = std::make_unique<CItemData>(Q(P("never-hidden.txt")), 0, CItemData::KindFile);
    // The path goes to the engine in its own case; paths differ by case here.
    auto upper = std::make_unique<CItemData>(Q(P("A.TXT")), 0, CItemData::KindFile);

    RunUnhide({upper.get(), a.get(), docs.get(), other.get()});

    EXPECT_EQ(m_work.GetUnhideFlag(), 1);
    EXPECT_EQ(m_work.Counters(), (SHideCounters{4, 2, 2}));
    EXPECT_EQ(m_nHidePathCalls, 0);
    EXPECT_EQ(ReadText(P("a.txt")), "alpha");
    EXPECT_EQ(ReadText(P("docs/inner.txt")), "inner");
    EXPECT_TRUE(Hidden().empty());
    EXPECT_FALSE(Exists(P("A.TXT")));
    EXPECT_EQ(a->m_nHideState, CItemData::StateSucceeded);
    EXPECT_EQ(docs->m_nHideState, CItemData::StateNotProcessed);
    EXPECT_EQ(other->m_nHideState, CItemData::StateNotProcessed);
    EXPECT_EQ(m_ui.m_statuses.front(), HVFormatString(IDS_STATUS_UNHIDING, Q(P("A.TXT"))));
    EXPECT_EQ(m_ui.m_progress.back(), (std::pair<int, int>{4, 4}));
    EXPECT_EQ(m_ui.m_ends.back(), EEnd::Finished);
}

TEST_F(HideRunner, UnhideOntoAnOccupiedPathFailsAndKeepsBoth)
{
    auto a = File("a.txt", "hidden one");
    ASSERT_TRUE(m_pEngine->HideItemEx(P("a.txt"), 1));
    WriteFile(P("a.txt"), "newcomer");

    RunUnhide({a.get()});

    EXPECT_EQ(m_work.Counters(), (SHideCounters{1, 0, 1}));
    EXPECT_EQ(ReadText(P("a.txt")), "newcomer");
    EXPECT_EQ(Hidden(), (std::vector<std::string>{P("a.txt")}));
    fs::remove(P("a.txt"));
    ASSERT_TRUE(m_pEngine->UnhideItem(P("a.txt")));
    EXPECT_EQ(ReadText(P("a.txt")), "hidden one");

    // Without a hiding engine every unhide fails.
    CHideProgrssWork noEngine;
    RunPlain(noEngine, {a.get()}, 1);
    EXPECT_EQ(noEngine.Counters(), (SHideCounters{1, 0, 1}));
}

TEST_F(HideRunner, CancelBetweenItemsStopsAfterTheItemAndStillRefreshesItsFolder)
{
    auto a = File("one/a.txt");
    auto b = File("two/b.txt");
    auto c = File("three/c.txt");
    m_work.SetItemDoneHook([this](std::size_t nIndex, const CItemData&) {
        if (nIndex == 0) {
            m_work.RequestStop();
        }
    });
    RunHide({a.get(), b.get(), c.get()});

    EXPECT_TRUE(m_work.WasCancelled());
    EXPECT_EQ(m_ui.m_ends.back(), EEnd::Cancelled);
    EXPECT_EQ(m_work.Counters(), (SHideCounters{1, 1, 0}));
    EXPECT_EQ(m_work.ProgressPosition(), 1);
    EXPECT_EQ(m_ui.m_progress.back(), (std::pair<int, int>{1, 3}));
    EXPECT_EQ(m_refreshed, (std::vector<QString>{Q(P("one"))}));
    EXPECT_TRUE(Exists(P("two/b.txt")));
    EXPECT_EQ(b->m_nHideState, CItemData::StateNotProcessed);
}

TEST_F(HideRunner, StopBeforeTheFirstItemTakesNothing)
{
    auto a = File("a.txt");
    m_work.SetItems({a.get()});
    m_work.Initialise(0, 1, 0, &m_ui);
    m_work.RequestStop();
    EXPECT_EQ(m_work.Run(), 0);

    EXPECT_EQ(m_work.Counters(), (SHideCounters{0, 0, 0}));
    EXPECT_EQ(m_work.ProgressPosition(), 0);
    EXPECT_TRUE(m_refreshed.empty());
    EXPECT_TRUE(m_ui.m_statuses.empty());
    EXPECT_EQ(m_ui.m_ends, (std::vector<EEnd>{EEnd::Cancelled}));
    EXPECT_TRUE(Exists(P("a.txt")));
}

TEST_F(HideRunner, CancelFromAnotherThreadWaitsForTheWorker)
{
    const std::vector<CItemData*> items = NumberedFiles(4);
    CSignal inItem;
    m_work.SetItemDoneHook([&](std::size_t nIndex, const CItemData&) {
        if (nIndex == 1) {
            inItem.Set();
            EXPECT_TRUE(m_work.StopSignal().WaitState(true, -1));
        }
    });
    m_work.SetItems(items);
    m_work.Initialise(0, 1, 0, &m_ui);
    m_work.Start();
    ASSERT_TRUE(inItem.WaitState(true, -1));
    m_work.Cancel();

    EXPECT_FALSE(m_work.BusySignal().IsSet());
    EXPECT_FALSE(m_work.StopSignal().IsSet());
    EXPECT_TRUE(m_work.WasCancelled());
    EXPECT_EQ(m_work.Counters(), (SHideCounters{2, 2, 0}));
    EXPECT_EQ(Hidden().size(), 2u);
}

// The worker's owner may go away mid-run or start a second run without joining the first: the
// run in progress is stopped after its item and joined, never left running on freed memory.
TEST_F(HideRunner, AWorkerIsJoinedWhenItsWorkIsDestroyedOrStartedAgain)
{
    const std::vector<CItemData*> items = NumberedFiles(3);
    auto pWork = std::make_unique<CHideProgrssWork>();
    CHideProgrssWork* pRaw = pWork.get();
    CSignal inItem;
    int nItems = 0;
    pWork->SetHidePath([](const QString&) { return 1; });
    pWork->SetItemDoneHook([&](std::size_t, const CItemData&) {
        ++nItems;
        inItem.Set();
        EXPECT_TRUE(pRaw->StopSignal().WaitState(true, -1));
    });
    pWork->SetItems(items);
    pWork->Initialise(0, 1, 0, &m_ui);
    pWork->Start();
    ASSERT_TRUE(inItem.WaitState(true, -1));
    pWork.reset();
    EXPECT_EQ(nItems, 1);
    EXPECT_EQ(m_ui.m_ends, std::vector<EEnd>{EEnd::Cancelled});

    m_work.SetItems(items);
    for (int nRun = 0; nRun < 2; ++nRun) {
        m_work.Initialise(1, 1, 0, &m_ui);
        m_work.Start();  // the second joins the first, which has ended
        ASSERT_TRUE(m_work.BusySignal().WaitState(false, 10000));
    }
    m_work.Join();
    EXPECT_EQ(m_ui.m_ends.size(), 3u);
}

TEST_F(HideRunner, AnEmptyListEndsAtOnce)
{
    RunHide({});
    EXPECT_EQ(m_work.Counters(), (SHideCounters{0, 0, 0}));
    EXPECT_EQ(m_ui.m_progress, (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(m_ui.m_ends.back(), EEnd::Finished);
    EXPECT_TRUE(m_refreshed.empty());
}

TEST_F(HideRunner, EachRecordedItemRefreshesItsFolderOnce)
{
    auto top = Folder("top");
    auto x = File("box/x.txt");
    auto y = File("box/y.txt");
    auto z = File("z.txt");
    // x twice: one entry (its second hide fails, it is gone); a folder maps to itself.
    RunHide({top.get(), x.get(), y.get(), x.get(), z.get()});

    EXPECT_EQ(m_work.Counters(), (SHideCounters{5, 4, 1}));
    const std::vector<QString> expected{Q(P("top")), Q(P("box")), Q(P("box")), Q(P("")).chopped(1)};
    EXPECT_EQ(m_refreshed, expected);

    // Shown again, a folder is no longer there to be looked at: its parent is refreshed.
    m_refreshed.clear();
    CHideProgrssWork unhide;
    unhide.SetHideControl(m_pEngine);
    unhide.SetRefreshFolderView([this](const QString& s) { m_refreshed.push_back(s); });
    RunPlain(unhide, {top.get(), x.get()}, 1);
    EXPECT_EQ(unhide.Counters(), (SHideCounters{2, 2, 0}));
    EXPECT_EQ(m_refreshed, (std::vector<QString>{Q(P("")).chopped(1), Q(P("box"))}));
}

TEST(HideRunnerFolder, ParentFolderOfAPath)
{
    EXPECT_EQ(CHideProgrssWork::ParentFolder(QStringLiteral("/a/b/c.txt")), QStringLiteral("/a/b"));
    EXPECT_EQ(CHideProgrssWork::ParentFolder(QStringLiteral("/a/b/")), QStringLiteral("/a"));
    EXPECT_EQ(CHideProgrssWork::ParentFolder(QStringLiteral("/c.txt")), QStringLiteral("/"));
    EXPECT_EQ(CHideProgrssWork::ParentFolder(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(CHideProgrssWork::ParentFolder(QStringLiteral("c.txt")), QString());
}

TEST_F(HideRunner, TheLogBeginsWithStartHideAlsoForAnUnhide)
{
    const std::string strLog = (m_root / "log/HNV.log").string();
    LOGGER::g_HVLog.SetFileName(strLog);
    ASSERT_TRUE(LOGGER::g_HVLog.StartLogging());
    auto a = File("a.txt");
    ASSERT_TRUE(m_pEngine->HideItemEx(P("a.txt"), 1));
    RunUnhide({a.get()});
    LOGGER::g_HVLog.StopLogging();

    const std::string strText = ReadText(strLog);
    const auto nStart = strText.find("] Start Hide\n");
    const auto nItem = strText.find("] Start UnHide " + P("a.txt") + "\n");
    ASSERT_NE(nStart, std::string::npos) << strText;
    ASSERT_NE(nItem, std::string::npos) << strText;
    EXPECT_LT(nStart, nItem);
}

}  // namespace
