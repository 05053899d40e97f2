// The table generator is the gate for every string: a malformed line must stop the build with a
// message that names the fault, and what it packs must read back exactly.
#include "resources/CStringTable.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

#include "support/TempHome.h"

namespace {

ino_t Inode(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

struct RunResult
{
    int nExit = -1;
    QString strError;
};

RunResult RunStrgen(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(HV_STRGEN), args);
    if (!process.waitForFinished(30000)) {
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

// A temporary folder for the tables and what the generator makes of them.
class Strgen : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString WriteFile(const QString& name, const QByteArray& content) const
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(hvtest::WriteFile(path, content)) << path.toStdString();
        return path;
    }
    QTemporaryDir m_dir;
};

struct TableCase
{
    const char* pszName;
    QByteArray table;
    const char* pszError;  // nullptr: the table is accepted
};

void PrintTo(const TableCase& c, std::ostream* os)
{
    *os << c.pszName;
}

class StrgenCheck : public Strgen, public ::testing::WithParamInterface<TableCase>
{
};

}  // namespace

TEST_P(StrgenCheck, AcceptsOrNamesTheFault)
{
    const QString table = WriteFile(QStringLiteral("t.tsv"), GetParam().table);
    const RunResult result = RunStrgen({QStringLiteral("--check"), table});
    if (GetParam().pszError == nullptr) {
        EXPECT_EQ(result.nExit, 0) << result.strError.toStdString();
        return;
    }
    EXPECT_EQ(result.nExit, 1);
    EXPECT_TRUE(result.strError.contains(QString::fromUtf8(GetParam().pszError)))
        << "stderr: " << result.strError.toStdString();
    EXPECT_TRUE(result.strError.contains(QStringLiteral("t.tsv:"))) << "the message names file and line";
}

INSTANTIATE_TEST_SUITE_P(
    Tables,
    StrgenCheck,
    ::testing::Values(
        TableCase{"Good", "# comment\n\n130\tIDS_A\t-\tText\twhere\n131\tIDS_B\tsd\t%s has %d\t\n", nullptr},
        TableCase{"CrLfLines", "130\tIDS_A\t-\tText\twhere\r\n", nullptr},
        TableCase{"PercentEscapedInFormatted", "1\tIDS_A\td\t%d%% done\t\n", nullptr},
        TableCase{"FourFields", "130\tIDS_A\t-\tText\n", "expected 5 TAB-separated fields, found 4"},
        TableCase{"SixFields", "130\tIDS_A\t-\tText\tw\tx\n", "expected 5 TAB-separated fields, found 6"},
        TableCase{"NumberZero", "0\tIDS_A\t-\tText\t\n", "outside 1..65535"},
        TableCase{"NumberTooBig", "65536\tIDS_A\t-\tText\t\n", "outside 1..65535"},
        TableCase{"NumberNotDecimal", "0x82\tIDS_A\t-\tText\t\n", "bad number"},
        TableCase{"NameLowerCase", "130\tIDS_a\t-\tText\t\n", "bad name"},
        TableCase{"NameWithoutPrefix", "130\tWRONG\t-\tText\t\n", "bad name"},
        TableCase{"ArgsUnknown", "130\tIDS_A\tx\tText\t\n", "bad args"},
        TableCase{"ArgsEmpty", "130\tIDS_A\t\tText\t\n", "bad args"},
        TableCase{"TextEmpty", "130\tIDS_A\t-\t\t\n", "empty text"},
        TableCase{"UnknownEscape", "130\tIDS_A\t-\tA\\qB\t\n", "unknown escape \\q"},
        TableCase{"TrailingBackslash", "130\tIDS_A\t-\tA\\\t\n", "a backslash ends the text"},
        TableCase{
            "PlaceholderNotDeclared", "130\tIDS_A\t-\tEncrypting %s\t\n", "holds placeholders 's' but args says ''"},
        TableCase{"PlaceholderOrder", "130\tIDS_A\tsd\t%d of %s\t\n", "holds placeholders 'ds' but args says 'sd'"},
        TableCase{"PlaceholderMissing", "130\tIDS_A\ts\tEncrypting\t\n", "holds placeholders '' but args says 's'"},
        TableCase{"StrayPercent", "130\tIDS_A\t-\t50% done\t\n", "has a '%' that is not"},
        TableCase{"PercentAtEnd", "130\tIDS_A\td\t%d%\t\n", "has a '%' that is not"},
        TableCase{"DoublePercentUnformatted", "130\tIDS_A\t-\t100%% sure\t\n", "write a plain %"},
        TableCase{"NumberTwice", "130\tIDS_A\t-\tA\t\n130\tIDS_B\t-\tB\t\n", "number 130 already used at"},
        TableCase{"NameTwice", "130\tIDS_A\t-\tA\t\n131\tIDS_A\t-\tB\t\n", "name IDS_A already used at"},
        TableCase{"InvalidUtf8", "130\tIDS_A\t-\tA\xC3\x28\t\n", "not valid UTF-8"},
        TableCase{"TextTooLong", "130\tIDS_A\t-\t" + QByteArray(4097, 'a') + "\t\n", "longer than 4096 bytes"}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.pszName); });

TEST_F(Strgen, NamesMustBeUniqueAcrossTables)
{
    const QString a = WriteFile(QStringLiteral("a.tsv"), "1\tIDS_X\t-\tA\t\n");
    const QString b = WriteFile(QStringLiteral("b.tsv"), "2\tIDS_X\t-\tB\t\n");
    const QString c = WriteFile(QStringLiteral("c.tsv"), "1\tIDS_Y\t-\tC\t\n");
    EXPECT_EQ(RunStrgen({QStringLiteral("--check"), a, b}).nExit, 1);
    // One number in two tables is allowed (the module may override a compiled-in text).
    EXPECT_EQ(RunStrgen({QStringLiteral("--check"), a, c}).nExit, 0);
}

TEST_F(Strgen, PackedTableReadsBackExactly)
{
    // Out of order on purpose; escapes and non-ASCII text; blanks at both ends are kept.
    const QString table = WriteFile(QStringLiteral("t.tsv"),
                                    "4013\tIDS_B\td\tFiles: %d\t\n"
                                    "104\tIDS_C\t-\t then hide \t\n"
                                    "102\tIDS_A\ts\tLine one\\nTab\\there \\\\ %s \"q\" Gr\xC3\xBC\xC3\x9F"
                                    "e\t\n");
    const QString packed = m_dir.filePath(QStringLiteral("t.bin"));
    const RunResult result = RunStrgen({QStringLiteral("--binary"), packed, table});
    ASSERT_EQ(result.nExit, 0) << result.strError.toStdString();
    QFile file(packed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    CStringTable parsed;
    ASSERT_TRUE(parsed.Parse(file.readAll()));
    EXPECT_EQ(parsed.Ids(), (std::vector<unsigned>{102, 104, 4013}));
    EXPECT_EQ(parsed.Text(102), QString::fromUtf8("Line one\nTab\there \\ %s \"q\" Grüße"));
    EXPECT_EQ(parsed.Text(104), QStringLiteral(" then hide "));
    EXPECT_EQ(parsed.Text(4013), QStringLiteral("Files: %d"));
}

TEST_F(Strgen, UnchangedOutputIsNotRewritten)
{
    const QString table = WriteFile(QStringLiteral("t.tsv"), "1\tIDS_A\t-\tA\t\n");
    const QString header = m_dir.filePath(QStringLiteral("ids.h"));
    ASSERT_EQ(RunStrgen({QStringLiteral("--ids"), header, table}).nExit, 0);
    const ino_t nBefore = Inode(header);
    ASSERT_EQ(RunStrgen({QStringLiteral("--ids"), header, table}).nExit, 0);
    EXPECT_EQ(Inode(header), nBefore) << "an unchanged header was replaced (it would rebuild its users)";
    WriteFile(QStringLiteral("t.tsv"), "1\tIDS_A\t-\tA\t\n2\tIDS_B\t-\tB\t\n");
    ASSERT_EQ(RunStrgen({QStringLiteral("--ids"), header, table}).nExit, 0);
    EXPECT_NE(Inode(header), nBefore);
    QFile file(header);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("inline constexpr unsigned IDS_A = 1;"));
    EXPECT_TRUE(text.contains("inline constexpr unsigned IDS_B = 2;"));
}

TEST_F(Strgen, BadTableWritesNothing)
{
    const QString table = WriteFile(QStringLiteral("t.tsv"), "1\tIDS_A\t-\t\t\n");
    const QString packed = m_dir.filePath(QStringLiteral("t.bin"));
    EXPECT_EQ(RunStrgen({QStringLiteral("--binary"), packed, table}).nExit, 1);
    EXPECT_FALSE(QFile::exists(packed));
}
