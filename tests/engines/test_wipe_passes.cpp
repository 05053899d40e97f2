// The third-pass pattern text and the pass tables of the three methods.

#include "engines/HVWipePasses.h"

#include <gtest/gtest.h>
#include <set>

using Bytes = std::vector<std::uint8_t>;

TEST(WipePattern, ReadsHexBytes)
{
    const std::vector<std::pair<const char*, Bytes>> good = {
        {"AA", {0xAA}},
        {"aa", {0xAA}},
        {"0xA5", {0xA5}},
        {"0XA5", {0xA5}},
        {" 5a\t", {0x5A}},
        {"A", {0x0A}},
        {"00", {0x00}},
        {"DEADBEEF", {0xDE, 0xAD, 0xBE, 0xEF}},
        {"0123456789abcdef", {1, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
    };
    for (const auto& [pszText, expected] : good) {
        Bytes out;
        EXPECT_TRUE(HVParseWipePattern(pszText, out)) << pszText;
        EXPECT_EQ(out, expected) << pszText;
    }
}

TEST(WipePattern, RefusesOtherText)
{
    for (const char* pszText : {"", " ", "0x", "G1", "ABC", "A A", "-1", "0xx1", "1x", "0123456789abcdef01", "ÄÄ"}) {
        Bytes out = {1, 2};
        EXPECT_FALSE(HVParseWipePattern(pszText, out)) << pszText;
        EXPECT_TRUE(out.empty()) << pszText;
    }
}

TEST(WipePasses, MethodsZeroAndOne)
{
    const auto zero = HVWipePasses(0, {});
    ASSERT_EQ(zero.size(), 1U);
    EXPECT_TRUE(zero[0].IsRandom());
    EXPECT_EQ(HVWipePasses(7, {0x11}).size(), 1U);  // unknown methods fall back to one random pass

    const auto random3 = HVWipePasses(1, {});
    ASSERT_EQ(random3.size(), 3U);
    EXPECT_EQ(random3[0].pattern, Bytes{0x00});
    EXPECT_EQ(random3[1].pattern, Bytes{0xFF});
    EXPECT_TRUE(random3[2].IsRandom());
    EXPECT_EQ(HVWipePasses(1, {0xAB, 0xCD})[2].pattern, (Bytes{0xAB, 0xCD}));
}

TEST(WipePasses, ThirtyFivePassTable)
{
    const auto passes = HVWipePasses(2, {0x42});  // the method-1 pattern plays no part here
    ASSERT_EQ(passes.size(), 35U);
    std::set<Bytes> fixed;
    int nRandom = 0;
    for (std::size_t i = 0; i < passes.size(); ++i) {
        const bool bEdge = i < 4 || i >= 30;
        EXPECT_EQ(passes[i].IsRandom(), bEdge) << "pass " << i + 1;
        if (passes[i].IsRandom()) {
            ++nRandom;
            continue;
        }
        EXPECT_TRUE(passes[i].pattern.size() == 1 || passes[i].pattern.size() == 3);
        EXPECT_LE(passes[i].pattern.size(), kHVWipeMaxPatternBytes);
        EXPECT_TRUE(fixed.insert(passes[i].pattern).second) << "pattern repeated at pass " << i + 1;
    }
    EXPECT_EQ(nRandom, 9);
    for (int b : {0x00, 0xFF, 0x55, 0xAA, 0x01, 0x80, 0xFE, 0x7F}) {
        EXPECT_TRUE(fixed.count(Bytes{static_cast<std::uint8_t>(b)})) << b;
    }
    EXPECT_TRUE(fixed.count(Bytes{0x49, 0x24, 0x92}));
    EXPECT_TRUE(fixed.count(Bytes{0xB6, 0xDB, 0x6D}));
}
