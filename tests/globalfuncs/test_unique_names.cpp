#include "globalfuncs/CHVGlobalFunc.h"
#include "globalfuncs/HVUniqueNames.h"

#include <QFileInfo>

#include "GlobalTestSupport.h"

using namespace HVGlobalMFC;

namespace {

using UniqueNames = GlobalTempTest;

// Each row: what is there already, the name asked for, and the free name the rule gives.
TEST_F(UniqueNames, EachRuleFindsTheFirstFreeName)
{
    using Rule = QString (*)(const QString&);
    const Rule numbered = HV_FindFileAndRenameIfExist;
    const Rule threeDigits = [](const QString& path) { return HVFindFileAndRenameIfExist00X(path); };
    const Rule copy = HVFindFileAndRenameIfExist_Copy;
    struct SCase
    {
        Rule rule;
        QStringList taken;
        const char* pszAsked;
        const char* pszFree;
    };
    const SCase cases[] = {
        {numbered, {}, "a.txt", "a.txt"},
        {threeDigits, {}, "a.txt", "a.txt"},
        {copy, {}, "a.txt", "a.txt"},
        {numbered, {"a.txt"}, "a.txt", "a(1).txt"},
        {numbered, {"a.txt", "a(1).txt", "a(2).txt"}, "a.txt", "a(3).txt"},
        {numbered, {"README"}, "README", "README(1)"},
        {numbered, {"dir.v2/archive.tar.gz"}, "dir.v2/archive.tar.gz", "dir.v2/archive.tar(1).gz"},
        {numbered, {"dir.v2/notes"}, "dir.v2/notes", "dir.v2/notes(1)"},  // a dotted folder gives no extension
        {numbered, {".profile"}, ".profile", ".profile(1)"},
        {numbered, {".config.old"}, ".config.old", ".config(1).old"},
        {threeDigits, {"data.bin"}, "data.bin", "data.bin.001"},
        {threeDigits, {"data.bin", "data.bin.001"}, "data.bin", "data.bin.002"},
        {copy, {"x.doc"}, "x.doc", "Copy of x.doc"},
        {copy, {"x.doc", "Copy of x.doc"}, "x.doc", "Copy (2) of x.doc"},
        {copy, {"x.doc", "Copy of x.doc", "Copy (2) of x.doc"}, "x.doc", "Copy (3) of x.doc"},
    };
    for (const SCase& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const QString& strTaken : c.taken) {
            QDir().mkpath(QFileInfo(dir.filePath(strTaken)).path());
            QFile file(dir.filePath(strTaken));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(c.rule(dir.filePath(QString::fromUtf8(c.pszAsked))), dir.filePath(QString::fromUtf8(c.pszFree)))
            << c.taken.join(u',').toStdString() << " / " << c.pszAsked;
    }
    Touch("data.bin");
    EXPECT_EQ(HVFindFileAndRenameIfExist00X(Path("data.bin"), QStringLiteral("r")), Path("data.r001"));
}

TEST_F(UniqueNames, FoldersAndLinksCountAsTaken)
{
    QDir().mkpath(Path("folder"));
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("folder")), Path("folder(1)"));
    // A dangling link still occupies its name.
    ASSERT_TRUE(QFile::link(Path("nowhere"), Path("link.txt")));
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("link.txt")), Path("link(1).txt"));
}

TEST(RepeatedString, UniqueWithoutRegardToCase)
{
    const QStringList names = {QStringLiteral("Report"), QStringLiteral("report(1)"), QStringLiteral("Other")};
    EXPECT_EQ(HVCheckRepeatedString(QStringLiteral("New"), names), QStringLiteral("New"));
    EXPECT_EQ(HVCheckRepeatedString(QStringLiteral("REPORT"), names), QStringLiteral("REPORT(2)"));
    EXPECT_EQ(HVCheckRepeatedString(QStringLiteral("other"), names), QStringLiteral("other(1)"));
}

}  // namespace
