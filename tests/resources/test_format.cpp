// Filling the placeholders of a numbered text.
#include "resources/HVResourceStrings.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

#include "ResourceTestSupport.h"

TEST(FormatText, FillsPlaceholdersInOrder)
{
    struct SCase
    {
        QString strFormat;
        QStringList args;
        QString strExpected;
    };
    const SCase cases[] = {
        {"Encrypting %s", {"/home/a b/x.txt"}, "Encrypting /home/a b/x.txt"},
        {"%s: %d of %u", {"a", "-1", "2"}, "a: -1 of 2"},
        {"no placeholder", {}, "no placeholder"},
        {QString(), {}, QString()},
        // Percent signs.
        {"%d%% done", {"50"}, "50% done"},
        {"%%s", {"x"}, "%s"},
        {"100%", {}, "100%"},
        {"%x %s", {"y"}, "%x y"},
        // Arguments are not scanned again: a file name may hold anything, placeholders included.
        {"Wiping %s now", {"/tmp/%s%d%%.txt"}, "Wiping /tmp/%s%d%%.txt now"},
        {"%s and %s", {"%s", "b"}, "%s and b"},
        // Too few arguments: the placeholder stays visible rather than reading past them.
        {"%s and %s", {"a"}, "a and %s"},
        {"%d", {}, "%d"},
        // Too many: the rest is left out.
        {"only %s", {"a", "b"}, "only a"},
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(HVFormatText(c.strFormat, c.args), c.strExpected) << c.strFormat.toStdString();
    }
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
