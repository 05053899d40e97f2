// The packed string table is read like a file from outside: every malformed header, count,
// length or order must give false and an empty table, never a partial one.
#include "resources/CStringTable.h"

#include <QByteArray>
#include <QtEndian>

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

void PutU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

QByteArray Table(const std::vector<std::pair<quint32, QByteArray>>& entries,
                 quint32 nVersion = 1,
                 qint64 nCount = -1,
                 const char* pszMagic = "HVSTRTAB")
{
    QByteArray out(pszMagic, 8);
    PutU32(out, nVersion);
    PutU32(out, nCount < 0 ? quint32(entries.size()) : quint32(nCount));
    for (const auto& [id, text] : entries) {
        PutU32(out, id);
        PutU32(out, quint32(text.size()));
        out += text;
    }
    return out;
}

}  // namespace

TEST(StringTable, ParsesAndLooksUpByNumber)
{
    CStringTable table;
    ASSERT_TRUE(table.Parse(Table({{101, "About"},
                                   {140, "Succeeded"},
                                   {58113,
                                    "Gr\xC3\xBC\xC3\x9F"
                                    "e\n%d"}})));
    EXPECT_EQ(table.Text(140), QStringLiteral("Succeeded"));
    EXPECT_EQ(table.Text(58113), QString::fromUtf8("Grüße\n%d"));
    EXPECT_TRUE(table.Contains(101));
    EXPECT_FALSE(table.Contains(100));
    EXPECT_FALSE(table.Contains(141));
    EXPECT_TRUE(table.Text(102).isNull());
    EXPECT_EQ(table.Ids(), (std::vector<unsigned>{101, 140, 58113}));
}

TEST(StringTable, EmptyTableIsWellFormed)
{
    CStringTable table;
    EXPECT_TRUE(table.Parse(Table({})));
    EXPECT_TRUE(table.IsEmpty());
}

TEST(StringTable, TextLengthBoundaries)
{
    const quint32 nMax = CStringTable::kMaxTextBytes;
    CStringTable table;
    EXPECT_TRUE(table.Parse(Table({{1, QByteArray(1, 'a')}})));
    EXPECT_TRUE(table.Parse(Table({{1, QByteArray(qsizetype(nMax - 1), 'a')}})));
    EXPECT_TRUE(table.Parse(Table({{1, QByteArray(qsizetype(nMax), 'a')}})));
    EXPECT_EQ(table.Text(1).size(), qsizetype(nMax));
    EXPECT_FALSE(table.Parse(Table({{1, QByteArray(qsizetype(nMax + 1), 'a')}})));
    EXPECT_FALSE(table.Parse(Table({{1, QByteArray()}})));
}

struct BadTable
{
    const char* pszName;
    QByteArray data;
};

void PrintTo(const BadTable& t, std::ostream* os)
{
    *os << t.pszName;
}

class StringTableRejects : public ::testing::TestWithParam<BadTable>
{
};

TEST_P(StringTableRejects, LeavesTheTableEmpty)
{
    CStringTable table;
    ASSERT_TRUE(table.Parse(Table({{7, "seven"}})));
    EXPECT_FALSE(table.Parse(GetParam().data));
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_FALSE(table.Contains(7));
}

namespace {

QByteArray Truncated(QByteArray data, qsizetype nCut)
{
    data.chop(nCut);
    return data;
}

QByteArray WithEntryLength(quint32 nLen)
{
    // One entry whose length field says nLen while 4 bytes follow.
    QByteArray out = Table({}, 1, 1);
    PutU32(out, 1);
    PutU32(out, nLen);
    out += "abcd";
    return out;
}

std::vector<BadTable> BadTables()
{
    const QByteArray good = Table({{1, "one"}, {2, "two"}});
    return {
        {"Empty", QByteArray()},
        {"HeaderCutShort", good.left(15)},
        {"WrongMagic", Table({{1, "one"}}, 1, -1, "HVSTRTAX")},
        {"VersionZero", Table({{1, "one"}}, 0)},
        {"VersionTwo", Table({{1, "one"}}, 2)},
        {"CountAboveCap", Table({}, 1, qint64(CStringTable::kMaxCount) + 1)},
        {"CountHuge", Table({}, 1, 0xFFFFFFFFll)},
        {"CountBeyondData", Table({{1, "one"}}, 1, 2)},
        {"CountBelowEntries", Table({{1, "one"}, {2, "two"}}, 1, 1)},
        {"LastTextCutByOne", Truncated(good, 1)},
        {"EntryHeaderCut", Truncated(Table({{1, "one"}, {2, ""}}), 1)},
        {"LengthPastEndByOne", WithEntryLength(5)},
        {"LengthHuge", WithEntryLength(0xFFFFFFF0u)},
        {"TrailingByte", good + QByteArray(1, '\0')},
        {"NumberZero", Table({{0, "zero"}})},
        {"NumbersRepeated", Table({{5, "a"}, {5, "b"}})},
        {"NumbersDescending", Table({{6, "a"}, {5, "b"}})},
        {"InvalidUtf8", Table({{1, "\xC3\x28"}})},
        {"Utf8Surrogate", Table({{1, "\xED\xA0\x80"}})},
    };
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Tampered,
                         StringTableRejects,
                         ::testing::ValuesIn(BadTables()),
                         [](const ::testing::TestParamInfo<BadTable>& info) {
                             return std::string(info.param.pszName);
                         });
