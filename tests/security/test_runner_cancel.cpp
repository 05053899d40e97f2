// Cancelling the runner's work, its set-up of the engines, and the item state rule.
#include "security/HVItemStates.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "RunnerTestSupport.h"

using namespace runtest;

namespace {

using CancelRun = RunnerTest;

TEST_F(CancelRun, StopDuringListingDiscardsTheListAndProcessesNothing)
{
    for (int i = 0; i < 20; ++i) {
        WriteFile(m_dir / ("many/f" + std::to_string(i)), Content(10, 'f'));
    }
    auto folder = FolderItem(m_dir / "many");
    int nSeen = 0;
    m_work.SetListingObserver([&](const std::string&) {
        if (++nSeen == 3) {
            m_work.RequestStop();
        }
    });
    RunWork({folder.get()}, Secure(1, 2));

    EXPECT_EQ(nSeen, 3);  // the listing ended at once
    EXPECT_TRUE(m_work.Files().empty());
    EXPECT_EQ(m_work.Counters(), SRunCounters{});
    EXPECT_EQ(Names(m_dir / "many").size(), 20u);
    EXPECT_EQ(m_ui.m_ends.back(), IProgrssManagerUi::EEnd::Cancelled);
    EXPECT_TRUE(m_work.WasCancelled());
}

TEST_F(CancelRun, StopDuringAFileLeavesNothingHalfWrittenAndStartsNoOtherFile)
{
    const std::string big = Content(8u << 20, 'B');
    WriteFile(m_dir / "big.bin", big);
    WriteFile(m_dir / "later.bin", Content(100, 'L'));
    auto a = FileItem(m_dir / "big.bin");
    auto b = FileItem(m_dir / "later.bin");
    m_ui.m_onProgress = [&](double dCurrent, double) {
        if (dCurrent > 0.0) {
            m_work.RequestStop();  // while the engine is inside the big file
        }
    };
    RunWork({a.get(), b.get()}, Secure(1, 2));

    EXPECT_EQ(Names(m_dir.Path()), (std::vector<std::string>{"big.bin", "later.bin"}));
    EXPECT_EQ(ReadFile(m_dir / "big.bin"), big);
    EXPECT_EQ(m_work.Counters(), (SRunCounters{1, 0, 1, 0, 0, 1}));
    EXPECT_EQ(b->m_nEncryptState, CItemData::StateNotProcessed);
    EXPECT_EQ(m_ui.m_ends.back(), IProgrssManagerUi::EEnd::Cancelled);
    // The report says so: cancelled, one file not started.
    EXPECT_TRUE(m_work.Details().bCancelled);
    EXPECT_EQ(m_work.Details().nNotStarted, 1);
}

TEST_F(CancelRun, CancelFromAnotherThreadWaitsForTheWorker)
{
    for (int i = 0; i < 5; ++i) {
        WriteFile(m_dir / ("t" + std::to_string(i)), Content(2u << 20, static_cast<char>('0' + i)));
    }
    auto folder = FolderItem(m_dir.Path());
    std::atomic<bool> bInFile{false};
    m_ui.m_onProgress = [&](double dCurrent, double) {
        if (dCurrent > 0.0 && !bInFile.exchange(true)) {
            EXPECT_TRUE(m_work.StopSignal().WaitState(true, -1));  // hold the worker until Cancel
        }
    };
    std::vector<CItemData*> items{folder.get()};
    m_work.SetSelectedItems(items);
    m_work.SetPassword(CSecureBuffer::FromUtf16Units(u"pw"));
    m_work.Initialise(Secure(1, 0), &m_ui);
    m_work.Start();
    while (!bInFile) {
        std::this_thread::yield();
    }
    m_work.Cancel();

    EXPECT_FALSE(m_work.BusySignal().IsSet());
    EXPECT_FALSE(m_work.StopSignal().IsSet());
    EXPECT_EQ(m_work.Counters().m_nProcessed, 1);
    ASSERT_EQ(m_ui.m_ends.size(), 1u);
    EXPECT_EQ(m_ui.m_ends[0], IProgrssManagerUi::EEnd::Cancelled);
    std::size_t nHvnc = 0;
    for (const auto& name : Names(m_dir.Path())) {
        nHvnc += name.ends_with(".hvnc") ? 1 : 0;
    }
    EXPECT_EQ(nHvnc, 0u);
}

// A 35-pass wipe of a large file is stopped right after its first pass, either by Cancel() from
// another thread or by a stop set straight on the run's signal (as the progress dialog does).
TEST_F(CancelRun, StopReachesARunningWipeOfALargeFile)
{
    for (const bool bCancel : {true, false}) {
        SCOPED_TRACE(bCancel ? "Cancel()" : "StopSignal().Set()");
        const std::string strPath = m_dir / (bCancel ? "cancel.bin" : "signal.bin");
        const std::string original = Content(3u << 20, 'W');
        WriteFile(strPath, original);
        auto item = FileItem(strPath);
        CScriptedUi ui;
        CProgrssManagerWork work;
        std::atomic<int> nMaxPass{0};
        std::atomic<bool> bFirstPass{false};
        work.SetWipePassObserver([&](int nPass, int, const std::string&) {
            nMaxPass = std::max(nMaxPass.load(), nPass);
            if (nPass == 1) {
                bFirstPass = true;
                EXPECT_TRUE(work.StopSignal().WaitState(true, -1));  // hold the worker until the stop
            }
        });
        std::vector<CItemData*> items{item.get()};
        work.SetSelectedItems(items);
        SRunOptions o = Secure(0, 2);
        o.m_nWipeType = 2;
        work.Initialise(o, &ui);
        work.Start();
        while (!bFirstPass) {
            std::this_thread::yield();
        }
        if (bCancel) {
            work.Cancel();
        } else {
            work.StopSignal().Set();
            EXPECT_TRUE(work.BusySignal().WaitState(false, -1));
            work.Join();
            work.StopSignal().Reset();
        }

        EXPECT_EQ(nMaxPass, 1);
        EXPECT_FALSE(work.BusySignal().IsSet());
        EXPECT_FALSE(work.StopSignal().IsSet());
        ASSERT_EQ(ui.m_ends.size(), 1u);
        EXPECT_EQ(ui.m_ends[0], IProgrssManagerUi::EEnd::Cancelled);
        EXPECT_TRUE(work.WasCancelled());
        EXPECT_EQ(work.Counters().m_nWipeAttempted, 1);
        EXPECT_EQ(work.Counters().m_nWipeFailed, 1);
        EXPECT_EQ(item->m_nWipeState, CItemData::StateFailed);
        // Still there, under its own name and size, but overwritten by the first pass.
        const auto content = ReadFile(strPath);
        ASSERT_TRUE(content.has_value());
        EXPECT_EQ(content->size(), original.size());
        EXPECT_NE(*content, original);
    }
}

// The parallel wipes of a window of small files have engines of their own: a stop reaches them
// too, and no file gets past its first pass.
TEST_F(CancelRun, StopReachesTheParallelWipesOfAWindow)
{
    std::vector<std::unique_ptr<CItemData>> owned;
    std::vector<CItemData*> items;
    for (int i = 0; i < 4; ++i) {
        const std::string p = m_dir / ("small" + std::to_string(i));
        WriteFile(p, Content(256u << 10, static_cast<char>('a' + i)));
        owned.push_back(FileItem(p));
        items.push_back(owned.back().get());
    }
    std::atomic<int> nMaxPass{0};
    m_work.SetWipePassObserver([&](int nPass, int, const std::string&) {
        int nSeen = nMaxPass.load();
        while (nPass > nSeen && !nMaxPass.compare_exchange_weak(nSeen, nPass)) {
        }
        m_work.RequestStop();  // from a wipe thread of the window
    });
    SRunOptions o = Secure(0, 2);
    o.m_nWipeType = 2;
    RunWork(items, o);

    EXPECT_EQ(nMaxPass, 1);
    EXPECT_EQ(Names(m_dir.Path()), (std::vector<std::string>{"small0", "small1", "small2", "small3"}));
    EXPECT_EQ(m_work.Counters().m_nWipeFailed, 4);
    EXPECT_EQ(m_ui.m_ends.back(), IProgrssManagerUi::EEnd::Cancelled);
}

// Initialise clears a stop left on the wipe engine by an earlier cancel.
TEST_F(CancelRun, InitialiseClearsTheWipeEnginesStop)
{
    const std::string p = m_dir / "after.bin";
    WriteFile(p, Content(1000, 'x'));
    auto item = FileItem(p);
    m_work.RequestStop();
    EXPECT_TRUE(m_work.WipeEngine().m_sigStop.IsSet());
    RunWork({item.get()}, Secure(0, 2));
    EXPECT_FALSE(m_work.WipeEngine().m_sigStop.IsSet());
    EXPECT_FALSE(Exists(p));
    EXPECT_EQ(m_work.Counters().m_nWipeSucceeded, 1);
}

TEST_F(CancelRun, InitialiseSetsFlagsSignalsAndDropsThePasswordCopy)
{
    struct SCase
    {
        int bEncrypt, iHidenType, nEncrypt, nWipe, nHide;
    };
    for (const SCase c : {SCase{1, 0, 1, 0, 0},
                          SCase{1, 1, 1, 1, 1},
                          SCase{0, 1, 0, 0, 1},
                          SCase{1, 2, 1, 1, 0},
                          SCase{0, 2, 0, 1, 0}}) {
        CProgrssManagerWork work;
        work.SetPassword(CSecureBuffer::FromUtf16Units(u"pw"));
        EXPECT_TRUE(work.HasPasswordCopy());
        work.StopSignal().Set();
        work.Initialise(Secure(c.bEncrypt, c.iHidenType), nullptr);
        EXPECT_EQ(work.GetEncryptFlag(), c.nEncrypt) << c.bEncrypt << c.iHidenType;
        EXPECT_EQ(work.GetWipeFlag(), c.nWipe) << c.bEncrypt << c.iHidenType;
        EXPECT_EQ(work.GetHideAfterFlag(), c.nHide) << c.bEncrypt << c.iHidenType;
        EXPECT_TRUE(work.BusySignal().IsSet());
        EXPECT_FALSE(work.StopSignal().IsSet());
        EXPECT_FALSE(work.HasPasswordCopy());
        EXPECT_EQ(work.WipeEngine().m_sigBusy.IsSet(), c.nWipe == 1);
        work.BusySignal().Reset();
    }
}

TEST_F(CancelRun, WipeTypeChoosesTheWipeMethod)
{
    for (const auto& [nType, nPasses] : std::vector<std::pair<int, int>>{{0, 1}, {1, 3}, {2, 35}, {7, 1}}) {
        CProgrssManagerWork work;
        SRunOptions o = Secure(0, 2);
        o.m_nWipeType = nType;
        o.m_nDodPass3Type = 1;
        o.m_strDoDPass3 = "AA";
        work.Initialise(o, nullptr);
        EXPECT_EQ(work.WipeEngine().GetPassCount(), nPasses) << nType;
        work.BusySignal().Reset();
    }
}

TEST_F(CancelRun, EveryKeyLengthSettingEncryptsWithTheRunPassword)
{
    for (int nAes : {0, 1, 2, 9}) {
        const std::string p = m_dir / ("k" + std::to_string(nAes));
        WriteFile(p, Content(100, 'k'));
        auto item = FileItem(p);
        CProgrssManagerWork work;
        SRunOptions o = Secure(1, 0);
        o.m_nAESType = nAes;
        EXPECT_EQ(RunOnce(work, {item.get()}, o, nullptr, u"run pw"), 0);
        ASSERT_EQ(work.Counters().m_nSucceeded, 1) << nAes;
        fs::remove(p);
        CEncryptManager engine;
        engine.SetPassword(u"run pw");
        EXPECT_EQ(engine.DecryptFileW(p + ".hvnc"), HVNC_OK) << nAes;
    }
}

TEST(ItemStates, FolderFollowsItsFiles)
{
    CItemData file(QStringLiteral("/f"), 1, CItemData::KindFile);
    CItemData folder(QStringLiteral("/d"), 0, CItemData::KindFolder);
    struct SCase
    {
        quint16 nCurrent, nNew, nFile, nFolder;
    };
    for (const SCase c : {SCase{0, 1, 1, 1},
                          SCase{0, 2, 2, 3},
                          SCase{0, 4, 4, 3},
                          SCase{1, 2, 2, 3},
                          SCase{3, 1, 1, 3},
                          SCase{1, 0, 0, 1},
                          SCase{2, 3, 3, 2},
                          SCase{1, 3, 3, 1},
                          SCase{3, 0, 0, 3}}) {
        EXPECT_EQ(HVItemStates::Follow(file, c.nCurrent, c.nNew), c.nFile) << c.nCurrent << "->" << c.nNew;
        EXPECT_EQ(HVItemStates::Follow(folder, c.nCurrent, c.nNew), c.nFolder) << c.nCurrent << "->" << c.nNew;
    }
    HVItemStates::SetWipeState(folder, 1);
    HVItemStates::SetWipeState(folder, 2);
    HVItemStates::SetWipeState(folder, 1);
    EXPECT_EQ(folder.m_nWipeState, 3);
}

TEST_F(CancelRun, StateTexts)
{
    EXPECT_EQ(HVItemStates::StateText(0), HVLoadString(IDS_STATE_NOT_PROCESSED));
    EXPECT_EQ(HVItemStates::StateText(1), HVLoadString(IDS_STATE_SUCCEEDED));
    EXPECT_EQ(HVItemStates::StateText(2), HVLoadString(IDS_STATE_FAILED));
    EXPECT_EQ(HVItemStates::StateText(3), HVLoadString(IDS_STATE_PARTLY_FAILED));
    EXPECT_EQ(HVItemStates::StateText(4), HVLoadString(IDS_STATE_NOT_COMPLETED));
    EXPECT_TRUE(HVItemStates::StateText(5).isEmpty());
    EXPECT_TRUE(HVItemStates::IsSucceeded(1));
    EXPECT_FALSE(HVItemStates::IsSucceeded(3));
}

}  // namespace
