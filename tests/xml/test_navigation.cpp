// Cursor navigation: find, enter, leave, child search, paths and predicates.

#include "xml/CXmlDocument.h"

#include <QStringList>

#include <gtest/gtest.h>

#include "XmlTestSupport.h"

namespace {

const char* const kDoc = "<Config>"
                         "<AppConfig id=\"1\"><ProductName>Halvo</ProductName><Count>3</Count></AppConfig>"
                         "<Item kind='a'><Name>first</Name></Item>"
                         "<Item><Name>second</Name><Extra/></Item>"
                         "<Item kind=\"b\"><Name>third</Name></Item>"
                         "<Items/>"
                         "</Config>";

class Navigation : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(doc.SetDocument(QString::fromUtf8(kDoc))); }
    CXmlDocument doc;
};

TEST_F(Navigation, FindEnterAndChildSearchAsTheConfigurationReaderUsesThem)
{
    ASSERT_TRUE(doc.FindElement(QStringLiteral("Config")));
    EXPECT_EQ(doc.GetParentPosition(), 0u);
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("AppConfig")));
    EXPECT_EQ(doc.GetChildTagName(), QStringLiteral("AppConfig"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetTagName(), QStringLiteral("AppConfig"));
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("Count")));
    EXPECT_EQ(doc.GetChildElementData(), QStringLiteral("3"));
    // The search goes on after the child position, so an earlier name is not found ...
    EXPECT_FALSE(doc.FindChildElement(QStringLiteral("ProductName")));
    EXPECT_EQ(doc.GetChildTagName(), QStringLiteral("Count"));  // cursor unchanged on failure
    // ... until the search restarts.
    doc.RestartChildSearch();
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("ProductName")));
    EXPECT_EQ(doc.GetChildElementData(), QStringLiteral("Halvo"));
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), QStringLiteral("Config"));
    EXPECT_EQ(doc.GetChildTagName(), QStringLiteral("AppConfig"));
    EXPECT_FALSE(doc.LeaveElement());
}

TEST_F(Navigation, FindElementWalksSiblings)
{
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetMainPosition(), 0u);
    EXPECT_EQ(doc.GetNodeType(), 0);
    QStringList names;
    while (doc.FindElement(QStringLiteral("Item"))) {
        EXPECT_EQ(doc.GetNodeType(), 1);
        ASSERT_TRUE(doc.FindChildElement(QStringLiteral("Name")));
        names << doc.GetChildElementData();
    }
    EXPECT_EQ(names, (QStringList{"first", "second", "third"}));
}

TEST_F(Navigation, NameMatchStopsAtCutCharacters)
{
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    // "Item" does not match "Items" and a prefix does not match a longer name.
    EXPECT_FALSE(doc.FindElement(QStringLiteral("Ite")));
    ASSERT_TRUE(doc.FindElement(QStringLiteral("Items")));
    EXPECT_EQ(doc.GetTagName(), QStringLiteral("Items"));
}

TEST_F(Navigation, CaseIsIgnoredOnlyWithTheDocumentFlag)
{
    EXPECT_FALSE(doc.FindElement(QStringLiteral("config")));
    doc.SetDocFlags(CXmlDocument::kDocIgnoreCase);
    EXPECT_TRUE(doc.FindElement(QStringLiteral("CONFIG")));
}

TEST_F(Navigation, FailuresLeaveTheCursorAlone)
{
    CXmlDocument empty;
    EXPECT_FALSE(empty.FindElement());
    EXPECT_FALSE(empty.FindChildElement());
    EXPECT_FALSE(empty.EnterElement());
    EXPECT_FALSE(empty.LeaveElement());
    ASSERT_TRUE(doc.FindElement());
    EXPECT_FALSE(doc.FindElement());  // the root has no sibling
    EXPECT_EQ(doc.GetTagName(), QStringLiteral("Config"));
}

struct SPathCase
{
    const char* pszPath;
    bool bChildSearch;  // FindChildElement from the root instead of FindElement at the top
    const char* pszExpectTag;
    const char* pszExpectText;
};

class Paths : public Navigation, public ::testing::WithParamInterface<SPathCase>
{
};

TEST_P(Paths, Resolve)
{
    const SPathCase& c = GetParam();
    bool bFound;
    QString tag;
    QString text;
    if (c.bChildSearch) {
        ASSERT_TRUE(doc.FindElement());
        bFound = doc.FindChildElement(QString::fromUtf8(c.pszPath));
        tag = doc.GetChildTagName();
        text = doc.GetChildElementData();
    } else {
        bFound = doc.FindElement(QString::fromUtf8(c.pszPath));
        tag = doc.GetTagName();
        text = doc.GetElementData();
    }
    ASSERT_EQ(bFound, c.pszExpectTag != nullptr) << c.pszPath;
    if (bFound) {
        EXPECT_EQ(tag, QString::fromUtf8(c.pszExpectTag)) << c.pszPath;
        EXPECT_EQ(text, QString::fromUtf8(c.pszExpectText)) << c.pszPath;
    }
}

INSTANTIATE_TEST_SUITE_P(Steps,
                         Paths,
                         ::testing::Values(SPathCase{"/Config/AppConfig/Count", false, "Count", "3"},
                                           SPathCase{"Config/Item[2]/Name", false, "Name", "second"},
                                           SPathCase{"Config/Item[3]/Name", false, "Name", "third"},
                                           SPathCase{"Config/Item[4]", false, nullptr, nullptr},
                                           SPathCase{"Config/Item[0]", false, nullptr, nullptr},
                                           SPathCase{"Config/Item[@kind]/Name", false, "Name", "first"},
                                           SPathCase{"Config/*[Extra]/Name", false, "Name", "second"},
                                           SPathCase{"Config/*[@id]", false, "AppConfig", ""},
                                           SPathCase{"Config/*[4]", false, "Item", ""},
                                           SPathCase{"//Name", false, "Name", "first"},
                                           SPathCase{"//Name[3]", false, "Name", "third"},
                                           SPathCase{"//Item[@kind]", false, "Item", ""},
                                           SPathCase{"//Item/Name", false, nullptr, nullptr},
                                           SPathCase{"//Missing", false, nullptr, nullptr},
                                           SPathCase{"Item[2]/Name", true, "Name", "second"},
                                           SPathCase{"Item[@nothing]", true, nullptr, nullptr},
                                           SPathCase{"//Extra", true, "Extra", ""},
                                           SPathCase{"*[Name]", true, "Item", ""},
                                           SPathCase{"Config[", false, "Config", ""},
                                           SPathCase{"Config/", false, "AppConfig", ""}));

TEST_F(Navigation, RepeatedDeepSearchContinuesInDocumentOrder)
{
    QStringList names;
    while (doc.FindElement(QStringLiteral("//Name"))) {
        names << doc.GetElementData();
    }
    EXPECT_EQ(names, (QStringList{"first", "second", "third"}));
}

TEST_F(Navigation, SavedPositions)
{
    ASSERT_TRUE(doc.FindElement(QStringLiteral("Config/Item[2]")));
    doc.SavePos(QStringLiteral("second"));
    doc.ResetPos();
    EXPECT_FALSE(doc.RestorePos(QStringLiteral("none")));
    ASSERT_TRUE(doc.RestorePos(QStringLiteral("second")));
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("Name")));
    EXPECT_EQ(doc.GetChildElementData(), QStringLiteral("second"));
    ASSERT_TRUE(doc.SetDocument(QString::fromUtf8(kDoc)));
    EXPECT_FALSE(doc.RestorePos(QStringLiteral("second")));  // emptied by the parse
}

}  // namespace
