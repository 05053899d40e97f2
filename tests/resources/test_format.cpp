// Filling the placeholders of a numbered text.
#include "resources/HVResourceStrings.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

#include "ResourceTestSupport.h"

TEST(FormatText, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(HVFormatText(QStringLiteral("Encrypting %s"), {QStringLiteral("/home/a b/x.txt")}),
              QStringLiteral("Encrypting /home/a b/x.txt"));
    EXPECT_EQ(
        HVFormatText(QStringLiteral("%s: %d of %u"), {QStringLiteral("a"), QStringLiteral("-1"), QStringLiteral("2")}),
        QStringLiteral("a: -1 of 2"));
    EXPECT_EQ(HVFormatText(QStringLiteral("no placeholder"), {}), QStringLiteral("no placeholder"));
    EXPECT_EQ(HVFormatText(QString(), {}), QString());
}

TEST(FormatText, PercentSigns)
{
    EXPECT_EQ(HVFormatText(QStringLiteral("%d%% done"), {QStringLiteral("50")}), QStringLiteral("50% done"));
    EXPECT_EQ(HVFormatText(QStringLiteral("%%s"), {QStringLiteral("x")}), QStringLiteral("%s"));
    EXPECT_EQ(HVFormatText(QStringLiteral("100%"), {}), QStringLiteral("100%"));
    EXPECT_EQ(HVFormatText(QStringLiteral("%x %s"), {QStringLiteral("y")}), QStringLiteral("%x y"));
}

TEST(FormatText, ArgumentsAreNotScannedAgain)
{
    // A file name may hold anything, placeholders included.
    EXPECT_EQ(HVFormatText(QStringLiteral("Wiping %s now"), {QStringLiteral("/tmp/%s%d%%.txt")}),
              QStringLiteral("Wiping /tmp/%s%d%%.txt now"));
    EXPECT_EQ(HVFormatText(QStringLiteral("%s and %s"), {QStringLiteral("%s"), QStringLiteral("b")}),
              QStringLiteral("%s and b"));
}

TEST(FormatText, ArgumentCountMismatch)
{
    // Too few: the placeholder stays visible rather than reading past the arguments.
    EXPECT_EQ(HVFormatText(QStringLiteral("%s and %s"), {QStringLiteral("a")}), QStringLiteral("a and %s"));
    EXPECT_EQ(HVFormatText(QStringLiteral("%d"), {}), QStringLiteral("%d"));
    // Too many: the rest is left out.
    EXPECT_EQ(HVFormatText(QStringLiteral("only %s"), {QStringLiteral("a"), QStringLiteral("b")}),
              QStringLiteral("only a"));
}

TEST_F(ResourceModule, FormatStringTakesTextsAndNumbers)
{
    ASSERT_TRUE(CResourceModule::Instance().Load(QStringLiteral(HV_TEST_RCC)));
    EXPECT_EQ(HVFormatString(60000, QStringLiteral("/a b/%s.txt")), QStringLiteral("Path: /a b/%s.txt"));
    EXPECT_EQ(HVFormatString(60000, "utf-8 \xC3\xA4"), QString::fromUtf8("Path: utf-8 ä"));
    EXPECT_EQ(HVFormatString(60000, std::string("std")), QStringLiteral("Path: std"));
    EXPECT_EQ(HVFormatString(60000, INT_MIN), QStringLiteral("Path: -2147483648"));
    EXPECT_EQ(HVFormatString(60000, 18446744073709551615ull), QStringLiteral("Path: 18446744073709551615"));
    EXPECT_TRUE(m_vecMissing.empty());
}

TEST_F(ResourceModule, ReportCountLinesFromTheProgramModule)
{
    ASSERT_TRUE(CResourceModule::Instance().Load(ProgramModulePath()));
    for (const unsigned nId : {142u, 4013u, 58112u}) {
        const QString line = HVFormatString(nId, 1234567);
        EXPECT_TRUE(line.contains(QStringLiteral("1234567"))) << nId << ": " << line.toStdString();
        EXPECT_FALSE(line.contains(QLatin1Char('%'))) << nId;
    }
    const QString status = HVFormatString(IDS_STATUS_WIPING, QStringLiteral("/home/u/My Files/a.txt"));
    EXPECT_TRUE(status.contains(QStringLiteral("/home/u/My Files/a.txt")));
}
