#include "globalfuncs/HVPasswordStrength.h"

#include <gtest/gtest.h>

using HVGlobalMFC::EstimatePasswordBits;

namespace {

struct BitsCase
{
    const char16_t* password;
    quint32 bits;
};

class PasswordBits : public ::testing::TestWithParam<BitsCase>
{
};

TEST_P(PasswordBits, MatchesTheEstimate)
{
    const BitsCase& c = GetParam();
    EXPECT_EQ(EstimatePasswordBits(QString::fromUtf16(c.password)), c.bits)
        << QString::fromUtf16(c.password).toStdString();
    EXPECT_EQ(EstimatePasswordBits(std::u16string_view(c.password)), c.bits);
}

// log2 of the character-set sizes: 26 -> 4.70, 52 -> 5.70, 62 -> 5.95, 10 -> 3.32,
// 16 -> 4, 17 -> 4.09, 60 -> 5.91, 112 -> 6.81.
INSTANTIATE_TEST_SUITE_P(Examples,
                         PasswordBits,
                         ::testing::Values(BitsCase{u"a", 5},     // 4.70 * 1
                                           BitsCase{u"aa", 8},    // 4.70 * 1.5
                                           BitsCase{u"abc", 12},  // 4.70 * 2.5: the repeated step weighs 1/2
                                           BitsCase{u"aaaa", 9},  // 4.70 * 1.75
                                           BitsCase{u"A", 5},
                                           BitsCase{u"Aa", 12},     // 5.70 * 2
                                           BitsCase{u"7", 4},       // 3.32
                                           BitsCase{u" ", 4},       // 32: first punctuation class, exactly 4
                                           BitsCase{u"/", 4},       // 47: still the first class
                                           BitsCase{u":", 5},       // 58: second class, 4.09
                                           BitsCase{u"@", 5},       // 64
                                           BitsCase{u"[", 5},       // 91
                                           BitsCase{u"`", 5},       // 96
                                           BitsCase{u"{", 5},       // 123
                                           BitsCase{u"~", 5},       // 126
                                           BitsCase{u"\x7f", 7},    // 127: above 126, 6.81
                                           BitsCase{u"\u00e9", 7},  // 6.81
                                           BitsCase{u"\x1f", 6},    // control, 5.91
                                           BitsCase{u"\t", 6},
                                           BitsCase{u"aA1", 18},  // 62 classes: 5.95 * 3 = 17.86
                                           BitsCase{u"abab", 13}  // 4.70 * (1 + 1 + 1/2 + 1/2 * 1/2) = 4.70 * 2.75
                                           ));

TEST(PasswordBitsEdges, EmptyAndNullGiveZero)
{
    EXPECT_EQ(EstimatePasswordBits(QString()), 0u);
    EXPECT_EQ(EstimatePasswordBits(QString(QLatin1String(""))), 0u);
    EXPECT_EQ(EstimatePasswordBits(std::u16string_view()), 0u);
}

TEST(PasswordBitsEdges, StepsAndRepeatsWeighLess)
{
    // Same alphabet, same length: a random-looking password is worth more than a run.
    EXPECT_GT(EstimatePasswordBits(QStringLiteral("qzmxkw")), EstimatePasswordBits(QStringLiteral("abcdef")));
    EXPECT_GT(EstimatePasswordBits(QStringLiteral("abcdef")), EstimatePasswordBits(QStringLiteral("aaaaaa")));
    // Large code-point differences in both directions do not break the difference table.
    EXPECT_GT(EstimatePasswordBits(QString::fromUtf16(u"\uffff\x01\uffff\x01")), 0u);
}

TEST(PasswordBitsEdges, LongPasswordIsBoundedAndStable)
{
    const QString longOne(100000, QLatin1Char('a'));
    const quint32 bits = EstimatePasswordBits(longOne);
    // The k-th 'a' adds 1/(k-1) * 1/k, so the sum tends to 1 + 1/2 + 1/2 = 2: 4.70 * 2 -> 10.
    EXPECT_EQ(bits, 10u);
    EXPECT_EQ(EstimatePasswordBits(longOne), bits);
}

}  // namespace
