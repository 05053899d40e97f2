// Reading the theme's plaintext and the colour table, without a GUI.
#include "ui/CThemeColors.h"
#include "ui/CThemeFile.h"

#include <QString>

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

using Images = std::array<CThemeFile::SImage, CThemeFile::kImageKeys>;

QString Theme(const QString& strInner)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\r\n<Theme>\r\n") + strInner + QStringLiteral("</Theme>\r\n");
}

CThemeColors Defaults()
{
    CThemeColors colors;
    colors.SetDefaults([](EThemeSysColor) { return HVCOLORREF{0x00123456}; }, false);
    return colors;
}

// A theme's text read into pictures and colours that start from the defaults.
class ThemeFileRead : public ::testing::Test
{
protected:
    CThemeFile::EResult Read(const QString& strText) { return CThemeFile::Read(strText, images, colors); }

    Images images;
    CThemeColors colors = Defaults();
};

}  // namespace

TEST(ThemeColorReader, ReadsRrggbbIntoWindowsColourValues)
{
    struct SCase
    {
        const char* pszText;
        HVCOLORREF nExpected;
    } const cases[] = {
        {"FF0000", 0x000000FF},   // red
        {"00FF00", 0x0000FF00},   // green
        {"0000FF", 0x00FF0000},   // blue
        {"004e98", 0x00984E00},   // lower case digits
        {"#FF0000", 0x000000FF},  // "#" is a leading zero digit
        {"#4E5F7B", 0x007B5F4E},
        {"12345678", 0x00785634},      // bits above RRGGBB are dropped
        {"FFZZ00", 0x000000FF},        // any other character is the digit 0
        {"-000001", 0x00FFFFFF},       // a leading "-" negates the number
        {"  9BBBE8\r\n", 0x00E8BB9B},  // blanks around the value are not digits
        {"0", 0x00000000},
    };
    for (const SCase& c : cases) {
        const auto value = CThemeFile::ParseColor(QString::fromLatin1(c.pszText));
        ASSERT_TRUE(value.has_value()) << c.pszText;
        EXPECT_EQ(*value, c.nExpected) << c.pszText;
    }
    EXPECT_FALSE(CThemeFile::ParseColor(QString()).has_value());
    EXPECT_FALSE(CThemeFile::ParseColor(QStringLiteral("  ")).has_value());
}

TEST(ThemeColorTable, HasFiftyEightDistinctKeysWithTheirDefaults)
{
    std::set<std::string> names;
    CThemeColors marked;
    HVCOLORREF n = 100;
    for (const auto& key : CThemeColors::Table()) {
        names.insert(key.pszKey);
        marked.Value(key) = n++;
        EXPECT_EQ(CThemeColors::Find(key.pszKey), &key);
    }
    EXPECT_EQ(names.size(), 58u);
    n = 100;
    for (const auto& key : CThemeColors::Table()) {
        EXPECT_EQ(marked.Value(key), n++) << key.pszKey << " shares its field with another key";
    }

    const CThemeColors colors = Defaults();
    EXPECT_EQ(colors.clrUrgentNote, 0x000000FFu);
    EXPECT_EQ(colors.clrTitleText, 0x00984E00u);
    EXPECT_EQ(colors.clrBtnBk, 0x00947061u);
    EXPECT_EQ(colors.clrDlgBk, 0x00FFFFFFu);
    EXPECT_EQ(colors.clrDlgCollapseTextAlign, 1u);
    EXPECT_EQ(colors.HomePageBorder_Arc, 5u);
    EXPECT_EQ(colors.clrListBoxBG, 0x00123456u) << "system colour as built-in value";
    EXPECT_EQ(colors.clrMsgBoxControlBK, 0u);
}

TEST(ThemeColorTable, AccessibilityModeTakesTheSystemColoursOfTheTable)
{
    CThemeColors colors;
    colors.SetDefaults(
        [](EThemeSysColor which) {
            return which == EThemeSysColor::ButtonFace ? HVCOLORREF{0x00AAAAAA}
                                                       : HVCOLORREF{0x00010000u + static_cast<unsigned>(which)};
        },
        true);
    EXPECT_EQ(colors.clrDlgBk, 0x00AAAAAAu);
    EXPECT_EQ(colors.clrBtnBkHot, 0x00AAAAAAu);
    EXPECT_EQ(colors.clrDlgText, 0x00010000u + static_cast<unsigned>(EThemeSysColor::WindowText));
    EXPECT_EQ(colors.clrTitleGradiant1, 0x00010000u + static_cast<unsigned>(EThemeSysColor::ActiveCaption));
    EXPECT_EQ(colors.clrDlgCollapseSep, 0x00010000u + static_cast<unsigned>(EThemeSysColor::DarkShadow3D));
    EXPECT_EQ(colors.clrDlgCollapseTextAlign, 1u);
    EXPECT_EQ(colors.HomePageBorder_Arc, 5u);
    EXPECT_EQ(colors.clrMsgBoxHeaderBK, 0u) << "no system colour for the message-box values";
}

TEST_F(ThemeFileRead, NothingIsReadFromEmptyOrBrokenText)
{
    for (const QString& strText : {QString(),
                                   QStringLiteral("<Theme><Colors><clrDlgBk>000000</clrDlgBk></Colors>"),
                                   QStringLiteral("not xml at all")}) {
        EXPECT_EQ(Read(strText), CThemeFile::EResult::NoText) << strText.toStdString();
        EXPECT_EQ(colors.clrDlgBk, 0x00FFFFFFu);
    }
}

TEST_F(ThemeFileRead, AnotherRootElementReadsNothing)
{
    const QString strText = QStringLiteral("<Config><Bitmaps><MainHeader>a.png</MainHeader></"
                                           "Bitmaps><Colors><clrDlgBk>000000</clrDlgBk></Colors></Config>");
    EXPECT_EQ(Read(strText), CThemeFile::EResult::NoTheme);
    EXPECT_EQ(colors.clrDlgBk, 0x00FFFFFFu);
    EXPECT_TRUE(images[0].strFile.isEmpty());
}

TEST_F(ThemeFileRead, ReadsBitmapsAndChecksums)
{
    const QString strText =
        Theme(QStringLiteral("<Bitmaps>\r\n"
                             "<Progress>theme/p.png</Progress>\r\n"  // order does not matter
                             "<MainHeader>theme/h.png</MainHeader>\r\n<MainHeader>theme/second.png</MainHeader>\r\n"
                             "<MainHeader_CRC>0x1A2B</MainHeader_CRC>\r\n"
                             "<MainHeaderR_CRC>1234</MainHeaderR_CRC>\r\n"
                             "<MainFoter_CRC>0xFFFFFFFF</MainFoter_CRC>\r\n"
                             "<MainFoterR_CRC>twelve</MainFoterR_CRC>\r\n"
                             "<Btn_Help></Btn_Help>\r\n"
                             "</Bitmaps>\r\n"));
    EXPECT_EQ(Read(strText), CThemeFile::EResult::Read);
    EXPECT_EQ(images[0].strFile, QStringLiteral("theme/h.png")) << "the first element of a name counts";
    EXPECT_EQ(images[0].checksum, 0x1A2B);
    EXPECT_EQ(images[1].checksum, 1234);
    EXPECT_TRUE(images[1].strFile.isEmpty());
    EXPECT_EQ(images[2].checksum, -1) << "hexadecimal keeps the bits";
    EXPECT_FALSE(images[3].checksum.has_value()) << "not a number";
    EXPECT_TRUE(images[CThemeFile::ImageIndex(QStringLiteral("Btn_Help"))].strFile.isEmpty());
    EXPECT_EQ(images[CThemeFile::ImageIndex(QStringLiteral("Progress"))].strFile, QStringLiteral("theme/p.png"));
    EXPECT_EQ(CThemeFile::ImageIndex(QStringLiteral("Progress")), 28);
    EXPECT_EQ(CThemeFile::ImageIndex(QStringLiteral("Nope")), -1);
}

TEST_F(ThemeFileRead, ColorsAreReadAfterBitmapsOrWithoutThem)
{
    const QString strColors = QStringLiteral(
        "<Colors>\r\n<clrUrgentNote>FF0000</clrUrgentNote>\r\n<clrDlgBk>#E6EDF7</clrDlgBk>\r\n"
        "<clrDlgCollapseTextAlign>false</clrDlgCollapseTextAlign>\r\n<HomePageBorder_Arc>12</HomePageBorder_Arc>\r\n"
        "<clrMsgBoxHeaderBK>0A0B0C</clrMsgBoxHeaderBK>\r\n</Colors>\r\n");
    const QString strBitmaps = QStringLiteral("<Bitmaps><MainHeader>a.png</MainHeader></Bitmaps>\r\n");
    for (const QString& strInner : {strBitmaps + strColors, strColors}) {
        colors = Defaults();
        colors.clrUrgentNote = 0;
        EXPECT_EQ(Read(Theme(strInner)), CThemeFile::EResult::Read);
        EXPECT_EQ(colors.clrUrgentNote, 0x000000FFu);
        EXPECT_EQ(colors.clrDlgBk, 0x00F7EDE6u);
        EXPECT_EQ(colors.clrDlgCollapseTextAlign, 0u);
        EXPECT_EQ(colors.HomePageBorder_Arc, 12u);
        EXPECT_EQ(colors.clrMsgBoxHeaderBK, 0x000C0B0Au);
        EXPECT_EQ(colors.clrTitleText, 0x00984E00u) << "keys the theme does not set keep their value";
    }
}

TEST_F(ThemeFileRead, ColorsBeforeBitmapsAreNotSeen)
{
    const QString strText = Theme(QStringLiteral(
        "<Colors><clrDlgBk>000000</clrDlgBk></Colors>\r\n<Bitmaps><MainHeader>a.png</MainHeader></Bitmaps>\r\n"));
    EXPECT_EQ(Read(strText), CThemeFile::EResult::Read);
    EXPECT_EQ(colors.clrDlgBk, 0x00FFFFFFu);
    EXPECT_EQ(images[0].strFile, QStringLiteral("a.png"));
}

TEST_F(ThemeFileRead, UnreadableValuesKeepTheCurrentOnes)
{
    const QString strText = Theme(QStringLiteral(
        "<Colors><clrDlgBk></clrDlgBk><clrDlgCollapseTextAlign>yes</clrDlgCollapseTextAlign>"
        "<HomePageBorder_Arc>five</HomePageBorder_Arc><HomePageBorder_Arc>9</HomePageBorder_Arc></Colors>"));
    EXPECT_EQ(Read(strText), CThemeFile::EResult::Read);
    EXPECT_EQ(colors.clrDlgBk, 0x00FFFFFFu);
    EXPECT_EQ(colors.clrDlgCollapseTextAlign, 1u);
    EXPECT_EQ(colors.HomePageBorder_Arc, 5u) << "only the first element of a name counts";
}
