// The XML value readers of the global data (used for the configuration and the theme).
#include "settings/CHDGlobalData.h"
#include "xml/CXmlDocument.h"

#include <gtest/gtest.h>

namespace {

// A document <R> with children <A> and <V> holding pszText (an empty <V/> for null); R is current.
CXmlDocument DocWith(const char* pszText)
{
    CXmlDocument doc;
    const QString strDoc = pszText ? QStringLiteral("<R><A>a</A><V>%1</V></R>").arg(QString::fromUtf8(pszText))
                                   : QStringLiteral("<R><A>a</A><V/></R>");
    EXPECT_TRUE(doc.SetDocument(strDoc));
    EXPECT_TRUE(doc.FindElement());
    return doc;
}

struct NumberCase
{
    const char* pszText;
    int nResult;  // what the reader returns
    int nValue;   // the target afterwards (starts at -99)
};

using Reader = int (*)(CXmlDocument&, const QString&, int&, bool);

void ExpectNumbers(const std::vector<NumberCase>& cases, Reader read)
{
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.pszText ? c.pszText : "<V/>");
        CXmlDocument doc = DocWith(c.pszText);
        int nValue = -99;
        EXPECT_EQ(read(doc, QStringLiteral("V"), nValue, true), c.nResult);
        EXPECT_EQ(nValue, c.nValue);
    }
}

}  // namespace

TEST(GlobalDataReaders, StringFoundEmptyOrMissing)
{
    CXmlDocument doc = DocWith("text &lt;x&gt;");
    QString strOut = QStringLiteral("old");
    EXPECT_EQ(CHDGlobalData::XML_TO_STRING(doc, QStringLiteral("V"), strOut, true), 1);
    EXPECT_EQ(strOut, QStringLiteral("text <x>"));
    strOut = QStringLiteral("old");
    EXPECT_EQ(CHDGlobalData::XML_TO_STRING(doc, QStringLiteral("Missing"), strOut, true), 0);
    EXPECT_EQ(strOut, QStringLiteral("old"));
    for (const char* pszEmpty : {static_cast<const char*>(nullptr), ""}) {
        CXmlDocument empty = DocWith(pszEmpty);
        EXPECT_EQ(CHDGlobalData::XML_TO_STRING(empty, QStringLiteral("V"), strOut, true), 0);
        EXPECT_EQ(strOut, QStringLiteral("old"));
    }
}

TEST(GlobalDataReaders, ResetChildPositionDecidesWhereTheSearchStarts)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(QStringLiteral("<R><K>1</K><X>x</X><K>2</K></R>")));
    ASSERT_TRUE(doc.FindElement());
    QString strOut;
    EXPECT_EQ(CHDGlobalData::XML_TO_STRING(doc, QStringLiteral("K"), strOut, true), 1);
    EXPECT_EQ(strOut, QStringLiteral("1"));
    EXPECT_EQ(CHDGlobalData::XML_TO_STRING(doc, QStringLiteral("K"), strOut, false), 1);
    EXPECT_EQ(strOut, QStringLiteral("2"));
    EXPECT_EQ(CHDGlobalData::XML_TO_STRING(doc, QStringLiteral("X"), strOut, false), 0);
    EXPECT_EQ(CHDGlobalData::XML_TO_STRING(doc, QStringLiteral("X"), strOut, true), 1);
    EXPECT_EQ(strOut, QStringLiteral("x"));
    EXPECT_EQ(CHDGlobalData::XML_TO_STRING(doc, QStringLiteral("K"), strOut, true), 1);
    EXPECT_EQ(strOut, QStringLiteral("1"));
}

TEST(GlobalDataReaders, BooleanTakesTrueAndFalseInAnyCaseOnly)
{
    ExpectNumbers({{"TRUE", 1, 1},
                   {"true", 1, 1},
                   {"tRuE", 1, 1},
                   {"FALSE", 1, 0},
                   {"False", 1, 0},
                   {"yes", 0, -99},
                   {"1", 0, -99},
                   {"0", 0, -99},
                   {"", 0, -99},
                   {nullptr, 0, -99},
                   {" TRUE", 0, -99},
                   {"TRUEX", 0, -99}},
                  &CHDGlobalData::XML_TO_BOOL);
    CXmlDocument doc = DocWith("TRUE");
    int nValue = -99;
    EXPECT_EQ(CHDGlobalData::XML_TO_BOOL(doc, QStringLiteral("Missing"), nValue, true), 0);
    EXPECT_EQ(nValue, -99);
}

TEST(GlobalDataReaders, DecimalIntegerWithinThirtyTwoBits)
{
    ExpectNumbers({{"0", 1, 0},
                   {"1", 1, 1},
                   {"42", 1, 42},
                   {"-7", 1, -7},
                   {"+8", 1, 8},
                   {" 12 ", 1, 12},
                   {"2147483647", 1, 2147483647},
                   {"-2147483648", 1, -2147483647 - 1},
                   {"2147483648", 0, -99},
                   {"12abc", 0, -99},
                   {"abc", 0, -99},
                   {"0x10", 0, -99},
                   {"", 0, -99},
                   {nullptr, 0, -99}},
                  &CHDGlobalData::XML_TO_INT);
}

TEST(GlobalDataReaders, HexadecimalAfterPrefixOrDecimal)
{
    ExpectNumbers({{"0x10", 1, 16},
                   {"0XfF", 1, 255},
                   {"0x00BBGGRR", 0, -99},
                   {"0x00FF8000", 1, 0x00FF8000},
                   {"0xFFFFFFFF", 1, -1},
                   {"0x100000000", 0, -99},
                   {"0x", 0, -99},
                   {"0x-1", 0, -99},
                   {"17", 1, 17},
                   {"-3", 1, -3},
                   {"FF", 0, -99},
                   {"", 0, -99}},
                  &CHDGlobalData::XML_TO_HEX);
}
