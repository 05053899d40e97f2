#include "globalfuncs/CGlobalLocals.h"
#include "globalfuncs/HVNumberFunctions.h"
#include "globalfuncs/HVPathText.h"
#include "globalfuncs/HVTextFunctions.h"

#include <gtest/gtest.h>
#include <random>

using namespace HVGlobalMFC;

namespace {

// Every byte string survives text and back; valid UTF-8 reads as it does everywhere else; what
// is shown has U+FFFD for each invalid byte.
TEST(PathText, BytesRoundTripAndOnlyInvalidBytesAreEscaped)
{
    struct SCase
    {
        QByteArray bytes;
        int nEscapes;  // bytes that are not part of valid UTF-8
    };
    const SCase cases[] = {
        {"plain/ascii name", 0},
        {"caf\xc3\xa9/\xe2\x82\xac/\xf0\x9f\x98\x80", 0},  // 2-, 3- and 4-byte forms
        {"caf\xe9", 1},                                    // Latin-1
        {"\xc0\xaf", 2},                                   // overlong "/"
        {"\xed\xa0\x80\xed\xb0\x80", 6},                   // a surrogate pair spelled in UTF-8
        {"\xe2\x82", 2},                                   // cut short at the end
        {"\xe2\x82/x", 2},                                 // cut short before ASCII
        {"\xf4\x90\x80\x80", 4},                           // past U+10FFFF
        {"\x80\xbf\xfe\xff", 4},                           // stray continuation and never-valid bytes
        {"\xef\xbf\xbd", 0},                               // a real U+FFFD is a name of its own
    };
    for (const SCase& c : cases) {
        const QString text = HVPathFromBytes(c.bytes);
        EXPECT_EQ(HVPathToBytes(text), c.bytes) << c.bytes.toHex().constData();
        EXPECT_EQ(HVPathHasEscapes(text), c.nEscapes > 0) << c.bytes.toHex().constData();
        const QString shown = HVPathDisplay(text);
        EXPECT_EQ(shown.count(QChar(0xFFFD)) - text.count(QChar(0xFFFD)), c.nEscapes) << c.bytes.toHex().constData();
        if (c.nEscapes == 0) {
            EXPECT_EQ(text, QString::fromUtf8(c.bytes));
        }
    }
    // Two names that differ only in their invalid bytes stay two names.
    EXPECT_NE(HVPathFromBytes("caf\xe9"), HVPathFromBytes("caf\xef\xbf\xbd"));
    std::mt19937 random(13);
    for (int i = 0; i < 2000; ++i) {
        QByteArray bytes(static_cast<qsizetype>(random() % 12), '\0');
        for (char& b : bytes) {
            b = static_cast<char>(random() % 2 != 0 ? 0x80 + random() % 0x80 : random() % 0x100);
        }
        ASSERT_EQ(HVPathToBytes(HVPathFromBytes(bytes)), bytes) << bytes.toHex().constData();
    }
}

TEST(SmartSize, UnitBoundariesAreExclusive)
{
    EXPECT_EQ(HVConvertSizeToSmartString(0), QStringLiteral("0 Bytes"));
    EXPECT_EQ(HVConvertSizeToSmartString(1), QStringLiteral("1 Bytes"));
    EXPECT_EQ(HVConvertSizeToSmartString(1023), QStringLiteral("1023 Bytes"));
    EXPECT_EQ(HVConvertSizeToSmartString(1024), QStringLiteral("1024 Bytes"));
    EXPECT_EQ(HVConvertSizeToSmartString(1025), QStringLiteral("1.00 KB"));
    EXPECT_EQ(HVConvertSizeToSmartString(1536), QStringLiteral("1.50 KB"));
    EXPECT_EQ(HVConvertSizeToSmartString(0x100000), QStringLiteral("1024.00 KB"));
    EXPECT_EQ(HVConvertSizeToSmartString(0x100001), QStringLiteral("1.00 MB"));
    EXPECT_EQ(HVConvertSizeToSmartString(0x40000000), QStringLiteral("1024.00 MB"));
    EXPECT_EQ(HVConvertSizeToSmartString(0x40000001), QStringLiteral("1.00 GB"));
    EXPECT_EQ(HVConvertSizeToSmartString(0x100000000ULL), QStringLiteral("4.00 GB"));
    EXPECT_EQ(HVConvertSizeToSmartString(0x500000000ULL), QStringLiteral("20.00 GB"));
}

TEST(SizeText, UnitsAndFailures)
{
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("10 bytes")), 10u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("1 BYTE")), 1u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("42")), 42u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("2KB")), 2048u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("1.5 MB")), 1572864u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("3 megabyte")), 3u << 20);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("2 gigabyte")), 2ULL << 30);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral(" 0.5 kilobyte ")), 512u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QString()), 0u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("KB")), 0u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("1.2.3 KB")), 0u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("5 parsecs")), 0u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("-5 KB")), 0u);
    EXPECT_EQ(ConvertStringSizeToDWordLong(QStringLiteral("99999999999999 GB")), 0u);  // beyond 64 bits
}

TEST(Numbers, Helpers)
{
    EXPECT_EQ(HVMakeUnsignedInt64(1, 2), 0x100000002ULL);
    quint32 hi = 0, lo = 0;
    HVSplitUnsignedInt64(0xDEADBEEF00C0FFEEULL, hi, lo);
    EXPECT_EQ(hi, 0xDEADBEEFu);
    EXPECT_EQ(lo, 0x00C0FFEEu);
    EXPECT_EQ(HVDaysToSecs(2), 172800u);
    EXPECT_EQ(HVHourToSecs(3), 10800u);
    EXPECT_EQ(AdjestBuffer_16_24_32(0), 0u);
    EXPECT_EQ(AdjestBuffer_16_24_32(1), 96u);
    EXPECT_EQ(AdjestBuffer_16_24_32(96), 96u);
    EXPECT_EQ(AdjestBuffer_16_24_32(97), 192u);
    EXPECT_EQ(AdjestBuffer_16_24_32(~0ULL), 0u);
    EXPECT_EQ(Get_Prime(0), 2u);
    EXPECT_EQ(Get_Prime(8), 11u);
    EXPECT_EQ(Get_Prime(13), 13u);
    EXPECT_EQ(Get_Prime(4294967295u), 4294967311ULL);
    EXPECT_EQ(GetModifiedDateTime(116444736000000000ULL).toSecsSinceEpoch(), 0);
    EXPECT_FALSE(GetModifiedDateTime(0).isValid());
}

TEST(TextHelpers, BoolAndInt)
{
    EXPECT_EQ(BOOL_TO_S(1), QStringLiteral("TRUE"));
    EXPECT_EQ(BOOL_TO_S(-7), QStringLiteral("TRUE"));
    EXPECT_EQ(BOOL_TO_S(0), QStringLiteral("FALSE"));
    int value = 5;
    EXPECT_EQ(S_TO_BOOL(QStringLiteral("true"), value), 1);
    EXPECT_EQ(S_TO_BOOL(QStringLiteral("TrUe"), value), 1);
    EXPECT_EQ(S_TO_BOOL(QStringLiteral("FALSE"), value), 0);
    EXPECT_EQ(S_TO_BOOL(QString(), value), 0);
    EXPECT_EQ(S_TO_BOOL(QStringLiteral("1"), value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(S_TO_INT(QStringLiteral(" -42 "), value), 1);
    EXPECT_EQ(value, -42);
    EXPECT_EQ(S_TO_INT(QStringLiteral("12abc"), value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(S_TO_INT(QStringLiteral("99999999999"), value), 0);
    EXPECT_EQ(S_TO_INT(QString(), value), 0);
}

struct VersionCase
{
    const char* text;
    int ok;
    HVVersion version;
};

class VersionParse : public ::testing::TestWithParam<VersionCase>
{
};

TEST_P(VersionParse, SplitsAtDots)
{
    const VersionCase& c = GetParam();
    int major = -1, minor = -1, build = -1;
    EXPECT_EQ(ParseVersionString(QString::fromLatin1(c.text), major, minor, build), c.ok);
    EXPECT_EQ((HVVersion{major, minor, build}), c.version) << c.text;
    EXPECT_EQ(ParseVersionString1(QString::fromLatin1(c.text)), c.version);
}

INSTANTIATE_TEST_SUITE_P(Table,
                         VersionParse,
                         ::testing::Values(VersionCase{"1.2.3", 1, {1, 2, 3}},
                                           VersionCase{"10.0", 1, {10, 0, 0}},
                                           VersionCase{"7", 1, {7, 0, 0}},
                                           VersionCase{"1.2.3.4", 1, {1, 2, 3}},
                                           VersionCase{"1..3", 1, {1, 0, 3}},
                                           VersionCase{" 2.5.1 ", 1, {2, 5, 1}},
                                           VersionCase{"1.x.3", 1, {1, 0, 3}},
                                           VersionCase{"", 0, {0, 0, 0}},
                                           VersionCase{"v1.2", 0, {0, 2, 0}},
                                           VersionCase{"-1.2", 0, {0, 2, 0}}));

struct EmailCase
{
    const char* text;
    bool valid;
};

class EmailSyntax : public ::testing::TestWithParam<EmailCase>
{
};

TEST_P(EmailSyntax, Rules)
{
    EXPECT_EQ(IsValidEmailAddressSyntax(QString::fromUtf8(GetParam().text)), GetParam().valid) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table,
                         EmailSyntax,
                         ::testing::Values(EmailCase{"ann@example.com", true},
                                           EmailCase{"a.b-c_d@mail.example.org", true},
                                           EmailCase{"jo@x.de", true},   // two letters after the last dot
                                           EmailCase{"a@b.cd", true},    // exactly 6 characters
                                           EmailCase{"a@b.c", false},    // 5 characters, one after the dot
                                           EmailCase{"ab@cd.e", false},  // one character after the last dot
                                           EmailCase{"@example.com", false},
                                           EmailCase{"annexample.com", false},
                                           EmailCase{"ann@examplecom", false},
                                           EmailCase{"ann.x@examplecom", false},  // the only dot is before the '@'
                                           EmailCase{"ann@.example", false},
                                           EmailCase{"ann@b@example.com", false},
                                           EmailCase{"ann smith@example.com", false},
                                           EmailCase{"ann+tag@example.com", false},
                                           EmailCase{"j\xc3\xb6rg@example.com", false},
                                           EmailCase{"ann..b@example.com", false},
                                           EmailCase{".ann@example.com", false},
                                           EmailCase{"ann.@example.com", false}));

TEST(EmailSyntaxLength, AtMost68CharactersFromTheAt)
{
    // "@" + n letters + ".com" is n + 5 characters long.
    const QString at68 = QStringLiteral("a@") + QString(63, QLatin1Char('b')) + QStringLiteral(".com");
    const QString at69 = QStringLiteral("a@") + QString(64, QLatin1Char('b')) + QStringLiteral(".com");
    EXPECT_TRUE(IsValidEmailAddressSyntax(at68));
    EXPECT_FALSE(IsValidEmailAddressSyntax(at69));
}

TEST(ElapsedTime, WordsAndPlurals)
{
    EXPECT_EQ(CGlobalLocals::GetFriendlyTimeElapsed(0), QStringLiteral("0 Secs"));
    EXPECT_EQ(CGlobalLocals::GetFriendlyTimeElapsed(1), QStringLiteral("1 Sec"));
    EXPECT_EQ(CGlobalLocals::GetFriendlyTimeElapsed(60), QStringLiteral("1 Min"));
    EXPECT_EQ(CGlobalLocals::GetFriendlyTimeElapsed(125), QStringLiteral("2 Mins 5 Secs"));
    EXPECT_EQ(CGlobalLocals::GetFriendlyTimeElapsed(3600), QStringLiteral("1 Hour"));
    EXPECT_EQ(CGlobalLocals::GetFriendlyTimeElapsed(7261), QStringLiteral("2 Hours 1 Min 1 Sec"));
}

TEST(Locals, InvalidDatesAreNamed)
{
    const CGlobalLocals locals;
    EXPECT_EQ(locals.GetDateTimeFormat(QDateTime()), QStringLiteral("Invalid DateTime"));
    EXPECT_EQ(locals.GetDateTimeFormat(2024, 2, 30, 10, 0, 0), QStringLiteral("Invalid DateTime"));
    EXPECT_EQ(locals.GetDateFormatW(QDate()), QStringLiteral("Invalid DateTime"));
    EXPECT_NE(locals.GetDateTimeFormat(2024, 2, 29, 10, 0, 0), QStringLiteral("Invalid DateTime"));
}

}  // namespace
