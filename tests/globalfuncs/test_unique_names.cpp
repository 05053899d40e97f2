#include "globalfuncs/CHVGlobalFunc.h"
#include "globalfuncs/HVUniqueNames.h"

#include "GlobalTestSupport.h"

using namespace HVGlobalMFC;

namespace {

using UniqueNames = GlobalTempTest;

TEST_F(UniqueNames, FreeNameComesBackUnchanged)
{
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("a.txt")), Path("a.txt"));
    EXPECT_EQ(HVFindFileAndRenameIfExist00X(Path("a.txt")), Path("a.txt"));
    EXPECT_EQ(HVFindFileAndRenameIfExist_Copy(Path("a.txt")), Path("a.txt"));
}

TEST_F(UniqueNames, NumberGoesBeforeTheExtension)
{
    Touch("a.txt");
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("a.txt")), Path("a(1).txt"));
    Touch("a(1).txt");
    Touch("a(2).txt");
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("a.txt")), Path("a(3).txt"));
}

TEST_F(UniqueNames, NameWithoutExtension)
{
    Touch("README");
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("README")), Path("README(1)"));
}

TEST_F(UniqueNames, OnlyTheLastDotOfTheNameCounts)
{
    Touch("dir.v2/archive.tar.gz");
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("dir.v2/archive.tar.gz")), Path("dir.v2/archive.tar(1).gz"));
    // A dotted folder does not give a dot-less name an extension.
    Touch("dir.v2/notes");
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("dir.v2/notes")), Path("dir.v2/notes(1)"));
}

TEST_F(UniqueNames, HiddenDotFiles)
{
    Touch(".profile");
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path(".profile")), Path(".profile(1)"));
    Touch(".config.old");
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path(".config.old")), Path(".config(1).old"));
}

TEST_F(UniqueNames, FoldersAndLinksCountAsTaken)
{
    QDir().mkpath(Path("folder"));
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("folder")), Path("folder(1)"));
    // A dangling link still occupies its name.
    ASSERT_TRUE(QFile::link(Path("nowhere"), Path("link.txt")));
    EXPECT_EQ(HV_FindFileAndRenameIfExist(Path("link.txt")), Path("link(1).txt"));
}

TEST_F(UniqueNames, ThreeDigitNumbers)
{
    Touch("data.bin");
    EXPECT_EQ(HVFindFileAndRenameIfExist00X(Path("data.bin")), Path("data.bin.001"));
    Touch("data.bin.001");
    EXPECT_EQ(HVFindFileAndRenameIfExist00X(Path("data.bin")), Path("data.bin.002"));
    EXPECT_EQ(HVFindFileAndRenameIfExist00X(Path("data.bin"), QStringLiteral("r")), Path("data.r001"));
}

TEST_F(UniqueNames, CopyNames)
{
    Touch("x.doc");
    EXPECT_EQ(HVFindFileAndRenameIfExist_Copy(Path("x.doc")), Path("Copy of x.doc"));
    Touch("Copy of x.doc");
    EXPECT_EQ(HVFindFileAndRenameIfExist_Copy(Path("x.doc")), Path("Copy (2) of x.doc"));
    Touch("Copy (2) of x.doc");
    EXPECT_EQ(HVFindFileAndRenameIfExist_Copy(Path("x.doc")), Path("Copy (3) of x.doc"));
}

TEST(RepeatedString, UniqueWithoutRegardToCase)
{
    const QStringList names = {QStringLiteral("Report"), QStringLiteral("report(1)"), QStringLiteral("Other")};
    EXPECT_EQ(HVCheckRepeatedString(QStringLiteral("New"), names), QStringLiteral("New"));
    EXPECT_EQ(HVCheckRepeatedString(QStringLiteral("REPORT"), names), QStringLiteral("REPORT(2)"));
    EXPECT_EQ(HVCheckRepeatedString(QStringLiteral("other"), names), QStringLiteral("other(1)"));
}

}  // namespace
