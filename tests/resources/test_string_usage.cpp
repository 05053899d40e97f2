// Every string number the program's code asks for exists in the tables.
#include "resources/HVResourceStrings.h"

#include <QTemporaryDir>

#include <algorithm>
#include <gtest/gtest.h>

#include "ResourceTestSupport.h"
#include "StringUsageScanner.h"

namespace {

QHash<QString, unsigned> AllTableNames()
{
    const QString dir = QStringLiteral(HV_STRING_TABLES_DIR);
    QHash<QString, unsigned> names = StringUsageScanner::ReadTableNames(dir + QStringLiteral("/builtin.tsv"));
    names.insert(StringUsageScanner::ReadTableNames(dir + QStringLiteral("/strings.tsv")));
    return names;
}

std::vector<unsigned> Ids(const std::vector<StringUsage>& usages)
{
    std::vector<unsigned> ids;
    for (const StringUsage& u : usages) {
        ids.push_back(u.nId);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

TEST_F(ResourceModule, EveryNumberTheSourcesUseExists)
{
    ASSERT_TRUE(CResourceModule::Instance().Load(ProgramModulePath()));
    ASSERT_FALSE(AllTableNames().isEmpty());
    StringUsageScanner scanner(AllTableNames());
    const std::vector<StringUsage> usages = scanner.ScanTree(QStringLiteral(HV_SOURCE_DIR));
    for (const StringUsage& u : usages) {
        EXPECT_TRUE(HVHasString(u.nId)) << u.strFile.toStdString() << ":" << u.nLine << ": string " << u.nId
                                        << " (from \"" << u.strExpression.toStdString() << "\") is not in the tables";
    }
    RecordProperty("checked_usages", int(usages.size()));
}

TEST(StringUsageScanner, FindsLiteralsNamesAndConstants)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(hvtest::WriteFile(dir.filePath(QStringLiteral("sub/page.cpp")),
                                  R"SRC(// HVLoadString(61001) in a comment is not a use
/* nor HVLoadString(61002)
   across lines */
constexpr unsigned kMsgGone = 61003;
enum { IDS_LOCAL = 0x82 };
void f(bool b, unsigned nId, const QString& p)
{
    auto a = HVLoadString(130);
    auto s = HVFormatString(IDS_STATUS_WIPING, p);
    auto c = HVLoadString(kMsgGone);
    auto d = HVLoadString(b ? 175 : 61004);
    const char* t = "HVLoadString(61005)";
    char q = '"'; auto e = HVStr(IDS_LOCAL);
    auto g = HVLoadString(nId);
    auto h = HVLoadString(
        4018u);
    auto k = HVFormatString(Pick(61006, b), 61007);
}
)SRC"));

    StringUsageScanner scanner(AllTableNames());
    const std::vector<StringUsage> usages = scanner.ScanTree(dir.path());
    EXPECT_EQ(Ids(usages), (std::vector<unsigned>{130, 130, 132, 175, 4018, 61003, 61004, 61006}));
    const auto h = std::find_if(usages.begin(), usages.end(), [](const StringUsage& u) { return u.nId == 4018; });
    ASSERT_NE(h, usages.end());
    EXPECT_EQ(h->nLine, 15);
    EXPECT_TRUE(h->strFile.endsWith(QStringLiteral("sub/page.cpp")));
}

TEST(StringUsageScanner, StripKeepsLinesAndCode)
{
    const QString stripped = StringUsageScanner::StripCommentsAndLiterals(
        QStringLiteral("a // x(1)\nb /* y(2)\n */ c \"z(3) \\\" w(4)\" d '\\'' e 1'000"));
    EXPECT_EQ(stripped.count(QLatin1Char('\n')), 2);
    EXPECT_FALSE(stripped.contains(QStringLiteral("x(1)")));
    EXPECT_FALSE(stripped.contains(QStringLiteral("y(2)")));
    EXPECT_FALSE(stripped.contains(QStringLiteral("z(3)")));
    EXPECT_FALSE(stripped.contains(QStringLiteral("w(4)")));
    for (const char* code : {"a", "b", "c", "d", "e"}) {
        EXPECT_TRUE(stripped.contains(QLatin1String(code))) << code;
    }
    EXPECT_TRUE(stripped.contains(QStringLiteral("1'000")));
}
