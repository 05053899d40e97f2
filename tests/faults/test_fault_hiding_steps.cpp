// A disk that fills up at every step of hiding, showing and switching hiding off and on: the
// item stays whole, in its folder or listed in the vault, and the next start puts it right.
#include "hiding/CHidingEngine.h"

#include <gtest/gtest.h>

#include "FaultSteps.h"
#include "FaultSupport.h"

using namespace faults;

namespace {

class HidingFaultSteps : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (hvfault_available() == 0) {
            GTEST_SKIP() << "the file-system calls cannot be taken over in a sanitizer build";
        }
    }

    struct SSetup
    {
        CTempDir dir;
        std::string strBase;
        std::string strItem;
        SSetup()
        {
            strBase = dir / "data/Halvo-Soft";
            strItem = dir / "items/folder";
            EXPECT_EQ(::mkdir((dir / "items").c_str(), 0755), 0);
            EXPECT_EQ(::mkdir(strItem.c_str(), 0755), 0);
            EXPECT_TRUE(WriteFile(strItem + "/inner.txt", Pattern(3000, 7)));
        }
        [[nodiscard]] SHidingOptions Options() const
        {
            SHidingOptions o;
            o.strBaseDir = strBase;
            return o;
        }
        [[nodiscard]] bool ItemIsBack() const { return ReadFile(strItem + "/inner.txt") == Pattern(3000, 7); }
    };

    // After a failure: a new engine (the next start) sees the item either in its folder and
    // not listed, or hidden and listed; in the second case showing it brings it back whole.
    static void ExpectRecoverable(const SSetup& s)
    {
        CHidingEngine next(s.Options());
        if (next.GetHiddenCount() == 0) {
            EXPECT_TRUE(s.ItemIsBack()) << "not listed, so it must be in its folder";
        } else {
            ASSERT_EQ(next.GetHiddenCount(), 1);
            EXPECT_EQ(next.GetHiddenItem(0), s.strItem);
            if (!Exists(s.strItem)) {
                EXPECT_TRUE(next.UnhideItem(s.strItem)) << next.GetLastError();
            } else {
                EXPECT_TRUE(s.ItemIsBack());
                (void)next.UnhideItem(s.strItem);
            }
        }
        EXPECT_TRUE(s.ItemIsBack());
        CHidingEngine again(s.Options());
        EXPECT_TRUE(again.HideItem(s.strItem)) << again.GetLastError() << " (the next start can hide it)";
        EXPECT_FALSE(Exists(s.strItem));
        EXPECT_TRUE(again.UnhideItem(s.strItem)) << again.GetLastError();
        EXPECT_TRUE(s.ItemIsBack());
    }
};

// Hiding and showing, failing at every step: what the engine reports holds, and the item is
// never half there.
TEST_F(HidingFaultSteps, HideAndShowAtEveryStep)
{
    for (const bool bShow : {false, true}) {
        SCOPED_TRACE(bShow ? "show" : "hide");
        const auto act = [bShow](CHidingEngine& engine, const SSetup& s) {
            return bShow ? engine.UnhideItem(s.strItem) : engine.HideItem(s.strItem);
        };
        long nSteps = 0;
        {
            SSetup s;
            CHidingEngine engine(s.Options());
            ASSERT_TRUE(!bShow || engine.HideItem(s.strItem));
            nSteps = CountSteps([&] { ASSERT_TRUE(act(engine, s)) << engine.GetLastError(); });
            ASSERT_GE(nSteps, 2);
            RecordProperty(bShow ? "show steps" : "hide steps", static_cast<int>(nSteps));
        }
        for (long k = 0; k < nSteps; ++k) {
            SCOPED_TRACE(StepTrace(k));
            SSetup s;
            bool bOk = false;
            {
                CHidingEngine engine(s.Options());
                ASSERT_TRUE(!bShow || engine.HideItem(s.strItem));
                CArmed armed(k);
                bOk = act(engine, s);
            }
            if (!bShow && bOk) {
                EXPECT_FALSE(Exists(s.strItem)) << "reported as hidden: then it really is out of its folder";
            } else if (bShow) {
                EXPECT_TRUE(bOk ? s.ItemIsBack() : !Exists(s.strItem) || s.ItemIsBack())
                    << "reported as shown: then it is back; never half there";
            }
            ExpectRecoverable(s);
        }
    }
}

// Switching hiding off shows every listed item again, on again hides them; a failure at any step
// of either leaves each item whole, in its folder or in the vault, and the next start switches.
TEST_F(HidingFaultSteps, SwitchingAtEveryStep)
{
    for (const bool bOff : {true, false}) {
        SCOPED_TRACE(bOff ? "switching off" : "switching on");
        auto prepare = [&](SSetup& s, const std::string& second) {
            ASSERT_TRUE(WriteFile(second, Pattern(500, 8)));
            CHidingEngine engine(s.Options());
            ASSERT_TRUE(engine.HideItem(s.strItem));
            ASSERT_TRUE(engine.HideItem(second));
            if (!bOff) {
                ASSERT_TRUE(engine.DisableHiding());
            }
        };
        long nSteps = 0;
        {
            SSetup s;
            const std::string second = s.dir / "items/second.txt";
            prepare(s, second);
            CHidingEngine engine(s.Options());
            nSteps = CountSteps([&] { ASSERT_TRUE(bOff ? engine.DisableHiding() : engine.EnableHiding()); });
            ASSERT_GE(nSteps, 1);
        }
        for (long k = 0; k < nSteps; ++k) {
            SCOPED_TRACE(StepTrace(k));
            SSetup s;
            const std::string second = s.dir / "items/second.txt";
            prepare(s, second);
            {
                CHidingEngine engine(s.Options());
                CArmed armed(k);
                (void)(bOff ? engine.DisableHiding() : engine.EnableHiding());
            }
            CHidingEngine next(s.Options());
            EXPECT_EQ(next.GetHiddenCount(), 2) << "the list is kept";
            ASSERT_TRUE(next.DisableHiding()) << next.GetLastError();
            EXPECT_TRUE(s.ItemIsBack());
            EXPECT_EQ(ReadFile(second), Pattern(500, 8));
            ASSERT_TRUE(next.EnableHiding()) << next.GetLastError();
            EXPECT_FALSE(Exists(s.strItem));
            EXPECT_FALSE(Exists(second));
            ASSERT_TRUE(next.DisableHiding());
            EXPECT_TRUE(s.ItemIsBack());
        }
    }
}

}  // namespace
