// What the texts must be like for their callers: every number the program relies on is there,
// each formatted text takes exactly the arguments its caller gives, texts that are compared with
// each other differ, and texts that go into mark-up carry no mark-up of their own.
#include "resources/HVExtStrings.h"
#include "resources/HVResourceStrings.h"

#include <QRegularExpression>

#include <gtest/gtest.h>
#include <set>

#include "ResourceTestSupport.h"

namespace {

// The numbers of the program's formatted and compared texts (that every number the sources
// use exists is checked from the sources themselves).
const std::vector<unsigned> kProgramNumbers = {
    101,  102,  103,  104,  112,  120,  121,  122,  123,  124,  125,   126,   127,   128,   129,  130,  131,
    132,  133,  134,  135,  136,  137,  138,  139,  140,  141,  142,   143,   144,   145,   154,  155,  156,
    157,  158,  159,  160,  161,  162,  163,  164,  165,  166,  167,   168,   170,   171,   172,  174,  175,
    176,  177,  178,  179,  180,  181,  182,  184,  185,  186,  187,   4013,  4014,  4015,  4016, 4018, 4020,
    4021, 4022, 4023, 4028, 4029, 4030, 4031, 4035, 4036, 4037, 57344, 57345, 57346, 58112, 58113};

// Texts formatted with a path.
const std::vector<unsigned> kPathTexts = {102, 103, 132, 133, 134, 135, 186, 187};
// Report count lines, formatted with one integer.
const std::vector<unsigned> kCountLines = {
    142, 144, 145, 4013, 4015, 4016, 4020, 4021, 4023, 4029, 4031, 4035, 4037, 58112, 58113};
// Report section titles and the summary texts: they are put into mark-up as they are.
const std::vector<unsigned> kMarkupTexts = {143, 4014, 4022, 4030, 4036, 176, 177, 178, 179, 180, 181, 182};
// Item state texts; the runners recognise "succeeded" by comparing texts without regard to case.
const std::vector<unsigned> kStateTexts = {4018, 140, 136, 137, 138, 139};

QString Placeholders(const QString& text)
{
    QString out;
    static const QRegularExpression re(QStringLiteral("%%|%([sdu])"));
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += m.captured(1);
    }
    return out;
}

}  // namespace

class ProgramStrings : public ResourceModule
{
protected:
    void SetUp() override
    {
        ResourceModule::SetUp();
        ASSERT_TRUE(CResourceModule::Instance().Load(ProgramModulePath()));
    }
};

TEST_F(ProgramStrings, TableIsUniqueAndNonEmpty)
{
    const std::vector<unsigned> ids = CResourceModule::Instance().StringIds();
    ASSERT_GT(ids.size(), kProgramNumbers.size());
    EXPECT_EQ(std::set<unsigned>(ids.begin(), ids.end()).size(), ids.size());
    for (const unsigned nId : ids) {
        const QString text = HVLoadString(nId);
        EXPECT_FALSE(text.trimmed().isEmpty()) << nId;
        EXPECT_EQ(text, text.trimmed()) << nId << ": no stray blanks at either end";
    }
}

TEST_F(ProgramStrings, PlaceholdersMatchTheirCallers)
{
    const std::set<unsigned> paths(kPathTexts.begin(), kPathTexts.end());
    const std::set<unsigned> counts(kCountLines.begin(), kCountLines.end());
    for (const unsigned nId : kProgramNumbers) {
        const QString expected = paths.count(nId)    ? QStringLiteral("s")
                                 : counts.count(nId) ? QStringLiteral("d")
                                                     : QString();
        EXPECT_EQ(Placeholders(HVLoadString(nId)), expected) << nId << ": " << HVLoadString(nId).toStdString();
        if (expected.isEmpty()) {
            EXPECT_FALSE(HVLoadString(nId).contains(QLatin1Char('%'))) << nId << " is shown unformatted";
        }
    }
}

TEST_F(ProgramStrings, StateTextsAreDistinct)
{
    std::set<QString> seen;
    for (const unsigned nId : kStateTexts) {
        EXPECT_TRUE(seen.insert(HVLoadString(nId).toCaseFolded()).second)
            << nId << " has the same text as another state: " << HVLoadString(nId).toStdString();
    }
}

TEST_F(ProgramStrings, MarkupTextsCarryNoMarkup)
{
    std::vector<unsigned> ids = kMarkupTexts;
    ids.insert(ids.end(), kCountLines.begin(), kCountLines.end());
    static const QRegularExpression markup(QStringLiteral("[<>&]"));
    for (const unsigned nId : ids) {
        EXPECT_FALSE(HVLoadString(nId).contains(markup)) << nId << ": " << HVLoadString(nId).toStdString();
        EXPECT_FALSE(HVLoadString(nId).contains(QLatin1Char('\n'))) << nId;
    }
}

TEST(ExtensionStrings, TextsAreKeptExactly)
{
    for (unsigned nId = 100; nId <= 116; ++nId) {
        EXPECT_TRUE(HVExtHasString(nId)) << nId;
    }
    EXPECT_STREQ(HVExtLoadString(IDS_EXT_SUBMENU), "Halvo Norvane");
    EXPECT_STREQ(HVExtLoadString(101), "Encrypt to ");
    EXPECT_STREQ(HVExtLoadString(104), " then hide");
    EXPECT_STREQ(HVExtLoadString(110), " then wipe");
    EXPECT_STREQ(HVExtLoadString(114), "E-Mail selected data ");
    EXPECT_STREQ(HVExtLoadString(116), "Add to Secure Data ...");
    EXPECT_FALSE(HVExtHasString(99));
    EXPECT_FALSE(HVExtHasString(117));
    EXPECT_STREQ(HVExtLoadString(117), "");
}
