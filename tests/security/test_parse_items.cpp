#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Builds the items of a command line over a temporary folder with real files.
class ParseItems : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_strBase = m_tmp.path();
    }

    QString PathOf(const QString& strName) const { return m_strBase + u'/' + strName; }

    void MakeFile(const QString& strName, qint64 nSize)
    {
        QFile file(PathOf(strName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << strName.toStdString();
        ASSERT_TRUE(file.resize(nSize));  // sparse: no real disk space for large sizes
    }
    void MakeFolder(const QString& strName) { ASSERT_TRUE(QDir().mkpath(PathOf(strName))); }

    int Parse(const QStringList& lstArgs)
    {
        m_mgr.m_lstCmdArgs = lstArgs;
        return m_mgr.ParseCommandLine();
    }

    void ExpectItem(qsizetype nIndex, const QString& strPath, quint64 nSize, qint32 nKind) const
    {
        const auto nAt = static_cast<std::size_t>(nIndex);
        ASSERT_LT(nAt, m_mgr.m_arrItems.size());
        const CItemData* item = m_mgr.m_arrItems.at(nAt).get();
        EXPECT_EQ(item->m_strPath, strPath);
        EXPECT_EQ(item->m_nSize, nSize) << strPath.toStdString();
        EXPECT_EQ(item->m_nKind, nKind) << strPath.toStdString();
        EXPECT_EQ(item->m_nEncryptState, CItemData::StateNotProcessed);
        EXPECT_EQ(item->m_pOwner, nullptr);
    }

    QTemporaryDir m_tmp;
    QString m_strBase;
    CDataSecurityMngr m_mgr;
};

TEST_F(ParseItems, FilesFoldersAndMissingPathsInOrder)
{
    const QString strOdd = QString::fromUtf8(R"(Ünï "cødé"  файл.bin)");
    MakeFile("a b.txt", 0);
    MakeFile("one", 1);
    MakeFile(strOdd, 4097);
    MakeFolder("Sub dir");
    MakeFile("Sub dir/inner", 10);

    // clang-format off
    ASSERT_EQ(Parse({"-e", "-h", "-pt", "master", "-p", m_strBase,
                     "-f", "a b.txt", "-f", "Sub dir", "-f", "one", "-f", strOdd, "-f", "missing.txt"}), 1);
    // clang-format on
    ASSERT_EQ(m_mgr.m_arrItems.size(), 5U);
    ExpectItem(0, PathOf("a b.txt"), 0, CItemData::KindFile);
    ExpectItem(1, PathOf("Sub dir"), 0, CItemData::KindFolder);
    ExpectItem(2, PathOf("one"), 1, CItemData::KindFile);
    ExpectItem(3, PathOf(strOdd), 4097, CItemData::KindFile);
    ExpectItem(4, PathOf("missing.txt"), 0, CItemData::KindFile);
    EXPECT_EQ(m_mgr.m_bCmdLine, 1);
}

TEST_F(ParseItems, SizeBeyondFourGigabytes)
{
    constexpr qint64 nBig = (qint64(1) << 32) + 7;
    MakeFile("big.bin", nBig);
    ASSERT_EQ(Parse({"-w", "-fp", PathOf("big.bin")}), 1);
    ExpectItem(0, PathOf("big.bin"), quint64(nBig), CItemData::KindFile);
}

TEST_F(ParseItems, TextFormWithQuotes)
{
    MakeFile("a b.txt", 3);
    MakeFolder("Sub");
    m_mgr.m_strCmdLine = QStringLiteral(R"(-e -h -pt master -p "%1" -f "a b.txt" -f "Sub")").arg(m_strBase);
    ASSERT_EQ(m_mgr.ParseCommandLine(), 1);
    ASSERT_EQ(m_mgr.m_arrItems.size(), 2U);
    ExpectItem(0, PathOf("a b.txt"), 3, CItemData::KindFile);
    ExpectItem(1, PathOf("Sub"), 0, CItemData::KindFolder);
}

TEST_F(ParseItems, FullPathItemIsAFolderWhenItIsOne)
{
    MakeFolder("dir");
    ASSERT_EQ(Parse({"-h", "-fp", PathOf("dir")}), 1);
    ExpectItem(0, PathOf("dir"), 0, CItemData::KindFolder);
}

TEST_F(ParseItems, LeadingHyphenNameReachableByFullPath)
{
    MakeFile("-x.txt", 2);
    ASSERT_EQ(Parse({"-e", "-fp", PathOf("-x.txt")}), 1);
    ExpectItem(0, PathOf("-x.txt"), 2, CItemData::KindFile);
}

TEST_F(ParseItems, LinksAreFollowed)
{
    MakeFolder("dir");
    MakeFile("file", 9);
    ASSERT_TRUE(QFile::link(PathOf("dir"), PathOf("to dir")));
    ASSERT_TRUE(QFile::link(PathOf("file"), PathOf("to file")));
    ASSERT_TRUE(QFile::link(PathOf("gone"), PathOf("dangling")));
    ASSERT_EQ(Parse({"-e", "-p", m_strBase, "-f", "to dir", "-f", "to file", "-f", "dangling"}), 1);
    ExpectItem(0, PathOf("to dir"), 0, CItemData::KindFolder);
    ExpectItem(1, PathOf("to file"), 9, CItemData::KindFile);
    ExpectItem(2, PathOf("dangling"), 0, CItemData::KindFile);
}

TEST_F(ParseItems, RootBaseFolderGetsNoSecondSlash)
{
    MakeFile("x.txt", 5);
    const QString strRelative = PathOf("x.txt").mid(1);  // the path below "/"
    ASSERT_EQ(Parse({"-w", "-p", "/", "-f", strRelative}), 1);
    ExpectItem(0, PathOf("x.txt"), 5, CItemData::KindFile);
}

TEST_F(ParseItems, TrailingSlashOfTheBaseFolderIsNotDoubled)
{
    MakeFile("x.txt", 5);
    ASSERT_EQ(Parse({"-w", "-p", m_strBase + u'/', "-f", "x.txt"}), 1);
    ExpectItem(0, PathOf("x.txt"), 5, CItemData::KindFile);
}

TEST_F(ParseItems, RejectedLineBuildsNothing)
{
    MakeFile("a", 1);
    EXPECT_EQ(Parse({"-p", m_strBase, "-f", "a"}), 0);
    EXPECT_TRUE(m_mgr.m_arrItems.empty());
    EXPECT_EQ(m_mgr.m_bCmdLine, 0);
}

TEST(CDataSecurityMngr, BuildItemPath)
{
    EXPECT_EQ(CDataSecurityMngr::BuildItemPath("/docs", "a.txt"), "/docs/a.txt");
    EXPECT_EQ(CDataSecurityMngr::BuildItemPath("/", "a.txt"), "/a.txt");
    EXPECT_EQ(CDataSecurityMngr::BuildItemPath("/docs/", "a.txt"), "/docs/a.txt");
    EXPECT_EQ(CDataSecurityMngr::BuildItemPath("docs", "sub/a"), "docs/sub/a");
}

}  // namespace
