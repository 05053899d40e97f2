// The wipe engine's passes, progress, signals and removal on real files.

#include "engines/CWipeManager.h"

#include <algorithm>
#include <functional>
#include <map>
#include <numeric>

#include "WipeTestSupport.h"

using namespace wipetest;

namespace {

struct SPassSeen
{
    int nPassCount = 0;
    std::vector<std::uint8_t> content;
    bool bBusy = false;
};

// Runs one wipe and records the file's content after every pass.
class CWipeRun
{
public:
    explicit CWipeRun(CWipeManager& wipe)
        : m_wipe(wipe)
    {
        m_wipe.SetPassObserver([this](int nPass, int nPassCount, const std::string& strPath) {
            m_passes[nPass] = SPassSeen{nPassCount, ReadFile(strPath), m_wipe.m_sigBusy.IsSet()};
        });
        m_wipe.SetParent([this](std::uint32_t n) {
            m_nProgress += n;
            ++m_nNotices;
        });
    }
    std::map<int, SPassSeen> m_passes;
    std::uint64_t m_nProgress = 0;
    int m_nNotices = 0;

private:
    CWipeManager& m_wipe;
};

class WipeSizes : public ::testing::TestWithParam<std::size_t>
{
};

}  // namespace

// Method 1 with a pattern: zeros, ones, pattern; the file is gone afterwards with no renamed
// leftover; progress adds up to the size; busy is set during the passes and clear after.
TEST_P(WipeSizes, ThreePassesWriteTheirPatternsAndRemoveTheFile)
{
    const std::size_t nSize = GetParam();
    CTempDir dir;
    ASSERT_TRUE(dir.IsValid());
    const std::string strFile = dir / "secret.txt";
    ASSERT_TRUE(WriteFile(strFile, MakeContent(nSize)));

    CWipeManager wipe;
    CWipeRun run(wipe);
    wipe.SetMethod(1);
    wipe.SetDoDParam(1, "A5");
    ASSERT_NE(wipe.WipeFile(strFile, nSize), 0) << wipe.GetLastError();

    EXPECT_FALSE(Exists(strFile));
    EXPECT_TRUE(List(dir.Path()).empty());
    EXPECT_FALSE(wipe.m_sigBusy.IsSet());
    EXPECT_EQ(run.m_nProgress, nSize);
    if (nSize == 0) {
        EXPECT_TRUE(run.m_passes.empty());  // nothing to overwrite: only removed
        return;
    }
    ASSERT_EQ(run.m_passes.size(), 3U);
    const std::vector<std::vector<std::uint8_t>> expected = {{0x00}, {0xFF}, {0xA5}};
    for (int nPass = 1; nPass <= 3; ++nPass) {
        const SPassSeen& seen = run.m_passes[nPass];
        EXPECT_EQ(seen.nPassCount, 3);
        EXPECT_TRUE(seen.bBusy);
        ASSERT_EQ(seen.content.size(), nSize) << "pass " << nPass;
        EXPECT_TRUE(AllPattern(seen.content, expected[static_cast<std::size_t>(nPass - 1)])) << "pass " << nPass;
    }
}

// Method 0: one random pass, neither the original nor zeros.
TEST_P(WipeSizes, OneRandomPassReplacesTheContent)
{
    const std::size_t nSize = GetParam();
    CTempDir dir;
    ASSERT_TRUE(dir.IsValid());
    const std::string strFile = dir / "a";
    const std::vector<std::uint8_t> original = MakeContent(nSize);
    ASSERT_TRUE(WriteFile(strFile, original));

    CWipeManager wipe;
    CWipeRun run(wipe);
    ASSERT_NE(wipe.WipeFile(strFile, nSize), 0) << wipe.GetLastError();
    EXPECT_TRUE(List(dir.Path()).empty());
    EXPECT_EQ(run.m_nProgress, nSize);
    if (nSize == 0) {
        return;
    }
    ASSERT_EQ(run.m_passes.size(), 1U);
    const std::vector<std::uint8_t>& after = run.m_passes[1].content;
    ASSERT_EQ(after.size(), nSize);
    if (nSize >= 64) {  // a byte or two may match by chance; a run of them may not
        EXPECT_NE(after, original);
        EXPECT_FALSE(AllPattern(after, {0x00}));
        const auto nSame = std::inner_product(
            after.begin(), after.end(), original.begin(), std::size_t{0}, std::plus<>(), std::equal_to<>());
        EXPECT_LT(nSame, nSize / 64 + 8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries,
    WipeSizes,
    ::testing::Values(std::size_t{0}, std::size_t{1}, kChunk - 1, kChunk, kChunk + 1, 3 * kChunk + 7));

// The third pass of method 1 falls back to random data for pass set 0 and for a text that is no
// hex pattern; a multi-byte pattern keeps its phase across the write boundary.
TEST(WipeThirdPass, RandomOrPattern)
{
    struct SCase
    {
        int nPassSet;
        const char* pszPattern;
        std::vector<std::uint8_t> expected;  // empty: random
        bool bPatternWarning;
    };
    const std::vector<SCase> cases = {
        {0, "AA", {}, false},
        {1, "ZZ", {}, true},
        {1, "", {}, true},
        {1, " 0x3c ", {0x3C}, false},
        {1, "ABCDEF", {0xAB, 0xCD, 0xEF}, false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::string("pattern '") + c.pszPattern + "' set " + std::to_string(c.nPassSet));
        CTempDir dir;
        const std::string strFile = dir / "f";
        ASSERT_TRUE(WriteFile(strFile, MakeContent(kChunk + 2)));
        CWipeManager wipe;
        CWipeRun run(wipe);
        wipe.SetMethod(1);
        wipe.SetDoDParam(c.nPassSet, c.pszPattern);
        ASSERT_NE(wipe.WipeFile(strFile, 0), 0) << wipe.GetLastError();
        ASSERT_EQ(run.m_passes.size(), 3U);
        const std::vector<std::uint8_t>& third = run.m_passes[3].content;
        ASSERT_EQ(third.size(), kChunk + 2);
        if (c.expected.empty()) {
            EXPECT_FALSE(AllPattern(third, {third[0]}));
        } else {
            EXPECT_TRUE(AllPattern(third, c.expected));
        }
        EXPECT_EQ(wipe.GetLastError().empty(), !c.bPatternWarning) << wipe.GetLastError();
    }
}

// Method 2: 35 passes, each synced and observed, with the fixed patterns where the table puts them.
TEST(WipeThirtyFive, CountsAndPatterns)
{
    CTempDir dir("/dev/shm");
    ASSERT_TRUE(dir.IsValid());
    const std::string strFile = dir / "many.bin";
    const std::size_t nSize = kChunk + 1;
    ASSERT_TRUE(WriteFile(strFile, MakeContent(nSize)));
    CWipeManager wipe;
    CWipeRun run(wipe);
    wipe.SetMethod(2);
    EXPECT_EQ(wipe.GetPassCount(), 35);
    ASSERT_NE(wipe.WipeFile(strFile, nSize), 0) << wipe.GetLastError();
    ASSERT_EQ(run.m_passes.size(), 35U);
    EXPECT_EQ(run.m_passes.begin()->first, 1);
    EXPECT_EQ(run.m_passes.rbegin()->first, 35);
    EXPECT_EQ(run.m_nProgress, nSize);
    EXPECT_TRUE(AllPattern(run.m_passes[5].content, {0x00}));
    EXPECT_TRUE(AllPattern(run.m_passes[6].content, {0xFF}));
    EXPECT_TRUE(AllPattern(run.m_passes[9].content, {0x01}));
    EXPECT_TRUE(AllPattern(run.m_passes[24].content, {0x7F}));
    EXPECT_TRUE(AllPattern(run.m_passes[25].content, {0x92, 0x49, 0x24}));
    EXPECT_TRUE(AllPattern(run.m_passes[30].content, {0xDB, 0x6D, 0xB6}));
    for (int nPass : {1, 4, 31, 35}) {
        EXPECT_FALSE(AllPattern(run.m_passes[nPass].content, {run.m_passes[nPass].content[0]})) << nPass;
        EXPECT_EQ(run.m_passes[nPass].nPassCount, 35);
    }
    EXPECT_NE(run.m_passes[1].content, run.m_passes[2].content);  // a fresh stream every pass
    EXPECT_TRUE(List(dir.Path()).empty());
}

// The stop signal ends a wipe between writes: failure, busy cleared, file left partly overwritten.
TEST(WipeStop, MidFileStopFailsAndClearsBusy)
{
    CTempDir dir;
    const std::string strFile = dir / "big";
    const std::vector<std::uint8_t> original = MakeContent(4 * kChunk);
    ASSERT_TRUE(WriteFile(strFile, original));
    CWipeManager wipe;
    int nPassesSeen = 0;
    wipe.SetPassObserver([&](int, int, const std::string&) { ++nPassesSeen; });
    wipe.SetParent([&](std::uint32_t) { wipe.m_sigStop.Set(); });  // stop after the first write
    wipe.SetMethod(1);
    EXPECT_EQ(wipe.WipeFile(strFile, original.size()), 0);
    EXPECT_FALSE(wipe.GetLastError().empty());
    EXPECT_FALSE(wipe.m_sigBusy.IsSet());
    EXPECT_EQ(nPassesSeen, 0);
    const std::vector<std::uint8_t> after = ReadFile(strFile);
    ASSERT_EQ(after.size(), original.size());
    EXPECT_TRUE(AllPattern({after.begin(), after.begin() + kChunk}, {0x00}));
    EXPECT_TRUE(std::equal(after.begin() + kChunk, after.end(), original.begin() + kChunk));
    EXPECT_EQ(List(dir.Path()).size(), 1U);
}

TEST(WipeStop, StopSetBeforehandLeavesTheFileUntouched)
{
    CTempDir dir;
    const std::string strFile = dir / "f";
    const std::vector<std::uint8_t> original = MakeContent(1000);
    ASSERT_TRUE(WriteFile(strFile, original));
    CWipeManager wipe;
    wipe.m_sigStop.Set();
    EXPECT_EQ(wipe.WipeFile(strFile, original.size()), 0);
    EXPECT_FALSE(wipe.m_sigBusy.IsSet());
    EXPECT_EQ(ReadFile(strFile), original);
}

// The file's own size counts, not the caller's (possibly stale) number.
TEST(WipeSize, ActualSizeIsOverwritten)
{
    CTempDir dir;
    const std::string strFile = dir / "grown";
    ASSERT_TRUE(WriteFile(strFile, MakeContent(5000)));
    for (std::uint64_t nCallerSize : {std::uint64_t{10}, std::uint64_t{1} << 40}) {
        ASSERT_TRUE(WriteFile(strFile, MakeContent(5000)));
        CWipeManager wipe;
        CWipeRun run(wipe);
        wipe.SetMethod(1);
        ASSERT_NE(wipe.WipeFile(strFile, nCallerSize), 0) << wipe.GetLastError();
        ASSERT_EQ(run.m_passes.size(), 3U);
        EXPECT_EQ(run.m_passes[1].content, std::vector<std::uint8_t>(5000, 0x00));
        EXPECT_FALSE(Exists(strFile));
    }
}

// Only the named file goes; its neighbours stay as they were; a relative name works.
TEST(WipeRemoval, NeighboursUntouchedAndRelativePath)
{
    CTempDir dir;
    const std::vector<std::uint8_t> keep = MakeContent(3000, 1);
    ASSERT_TRUE(WriteFile(dir / "keep.txt", keep));
    ASSERT_TRUE(WriteFile(dir / "x", MakeContent(100)));  // one-character name: few random names
    char szOld[4096];
    ASSERT_NE(getcwd(szOld, sizeof szOld), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    CWipeManager wipe;
    const int nResult = wipe.WipeFile("x", 100);
    ASSERT_EQ(chdir(szOld), 0);
    ASSERT_NE(nResult, 0) << wipe.GetLastError();
    EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(ReadFile(dir / "keep.txt"), keep);
}
