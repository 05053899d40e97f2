// Loading and saving: byte-order marks, descriptions, failures, atomic replacement.

#include "xml/CXmlDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "XmlTestSupport.h"
#include "support/TempHome.h"

namespace {

class FileIo : public ::testing::Test
{
protected:
    QString Path(const char* pszName) const { return m_dir.filePath(QString::fromUtf8(pszName)); }

    static void Write(const QString& strPath, const QByteArray& bytes)
    {
        ASSERT_TRUE(hvtest::WriteFile(strPath, bytes)) << strPath.toStdString();
    }

    static QByteArray Read(const QString& strPath)
    {
        QFile f(strPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
};

TEST_F(FileIo, Utf16LeWithMarkIsReadAndSavedAgainWithMark)
{
    const QString text = QStringLiteral("<a>\u00e9\U0001F600</a>");
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    }
    Write(Path("u16.xml"), bytes + QByteArray("X"));  // an odd last byte is dropped
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(Path("u16.xml")));
    EXPECT_EQ(doc.GetDocFlags() & 5u, 1u);
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("UTF-16LE BOM + 10 wide chars"));
    EXPECT_EQ(doc.GetDocument(), text);
    ASSERT_TRUE(doc.SaveFile(Path("out.xml")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("UTF-16LE BOM + 10 wide chars"));
    EXPECT_EQ(Read(Path("out.xml")), bytes);
}

TEST_F(FileIo, Utf8WithMark)
{
    const QByteArray body = QByteArray("<a>\xC3\xA9</a>");
    Write(Path("bom.xml"), QByteArray("\xEF\xBB\xBF") + body);
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(Path("bom.xml")));
    EXPECT_EQ(doc.GetDocFlags() & 5u, 4u);
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("UTF-8 BOM + 9 bytes to 8 wide chars"));
    ASSERT_TRUE(doc.SaveFile(Path("out.xml")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("8 wide chars to UTF-8 BOM + 9 bytes"));
    EXPECT_EQ(Read(Path("out.xml")), QByteArray("\xEF\xBB\xBF") + body);
}

TEST_F(FileIo, NoMarkClearsEncodingFlagsAndSavesWithoutMark)
{
    Write(Path("plain.xml"), QByteArray("<a/>"));
    CXmlDocument doc;
    doc.SetDocFlags(CXmlDocument::kDocUtf16LeBom | CXmlDocument::kDocUtf8Bom | CXmlDocument::kDocIgnoreCase);
    ASSERT_TRUE(doc.LoadFile(Path("plain.xml")));
    EXPECT_EQ(doc.GetDocFlags(), CXmlDocument::kDocIgnoreCase);
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("4 bytes to 4 wide chars"));
    ASSERT_TRUE(doc.SaveFile(Path("plain.xml")));
    EXPECT_EQ(Read(Path("plain.xml")), QByteArray("<a/>"));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("4 wide chars to 4 bytes"));
}

TEST_F(FileIo, ParseErrorIsJoinedToTheLoadDescription)
{
    Write(Path("bad.xml"), QByteArray("<a>"));
    Write(Path("empty.xml"), QByteArray());
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(Path("bad.xml")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("3 bytes to 3 wide chars, Element 'a' at offset 0 not ended"));
    EXPECT_FALSE(doc.LoadFile(Path("empty.xml")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("0 bytes to 0 wide chars, Empty document"));
}

TEST_F(FileIo, EmptyTextWritesOnlyTheMark)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SaveFile(Path("none.xml")));
    EXPECT_EQ(Read(Path("none.xml")), QByteArray());
    doc.SetDocFlags(CXmlDocument::kDocUtf8Bom);
    ASSERT_TRUE(doc.SaveFile(Path("mark.xml")));
    EXPECT_EQ(Read(Path("mark.xml")), QByteArray("\xEF\xBB\xBF"));
    doc.SetDocFlags(CXmlDocument::kDocUtf16LeBom);
    ASSERT_TRUE(doc.SaveFile(Path("mark16.xml")));
    EXPECT_EQ(Read(Path("mark16.xml")), QByteArray("\xFF\xFE"));
}

TEST_F(FileIo, FailuresCarryTheSystemErrorText)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(Path("missing.xml")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("No such file or directory"));
    ASSERT_TRUE(doc.SetDocument(QStringLiteral("<a/>")));
    Write(Path("file"), QByteArray("x"));
    EXPECT_FALSE(doc.SaveFile(Path("file") + QStringLiteral("/out.xml")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("Not a directory"));
    EXPECT_FALSE(doc.SaveFile(Path("nodir/out.xml")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("No such file or directory"));
    EXPECT_FALSE(doc.LoadFile(m_dir.path()));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("Is a directory"));
    // A FIFO in the file's place is refused at once instead of blocking the reader.
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0600), 0);
    EXPECT_FALSE(doc.LoadFile(Path("fifo")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("Invalid argument"));
}

TEST_F(FileIo, SaveReplacesAtomicallyKeepingPermissionsAndLeavingNoTemporaryFile)
{
    Write(Path("keep.xml"), QByteArray("<old/>"));
    ASSERT_EQ(::chmod(QFile::encodeName(Path("keep.xml")).constData(), 0640), 0);
    struct stat before = {};
    ASSERT_EQ(::stat(QFile::encodeName(Path("keep.xml")).constData(), &before), 0);
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(QStringLiteral("<new/>")));
    ASSERT_TRUE(doc.SaveFile(Path("keep.xml")));
    struct stat after = {};
    ASSERT_EQ(::stat(QFile::encodeName(Path("keep.xml")).constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_NE(after.st_ino, before.st_ino);  // a new file was renamed over the old one
    EXPECT_EQ(Read(Path("keep.xml")), QByteArray("<new/>"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.xml"});
}

TEST_F(FileIo, FailedWriteLeavesTheOldFileIntact)
{
    // Fault injection: a file-size limit makes the write of the temporary file fail half-way.
    Write(Path("cfg.xml"), QByteArray("<old/>"));
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(QStringLiteral("<new>%1</new>").arg(QString(4096, QLatin1Char('x')))));
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool bSaved = doc.SaveFile(Path("cfg.xml"));
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old), 0);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(bSaved);
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("File too large"));
    EXPECT_EQ(Read(Path("cfg.xml")), QByteArray("<old/>"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"cfg.xml"});
}

TEST_F(FileIo, LargeFileAcrossReadChunksKeepsEverySequence)
{
    // Multi-byte sequences of every length straddle the 1 MiB read chunks somewhere.
    QByteArray body("<r>");
    const QByteArray unit("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");  // 1 + 2 + 3 + 4 bytes
    while (body.size() < 3 * 1024 * 1024 + 7) {
        body += unit;
    }
    body += "</r>";
    Write(Path("big.xml"), body);
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(Path("big.xml")));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetElementData().toUtf8(), body.mid(3, body.size() - 7));
    ASSERT_TRUE(doc.SaveFile(Path("big2.xml")));
    EXPECT_EQ(Read(Path("big2.xml")), body);
}

TEST_F(FileIo, InvalidUtf8IsReplacedNotRejected)
{
    Write(Path("inv.xml"), QByteArray("<a>\xFF\xC3</a>\xE2"));
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(Path("inv.xml")));
    EXPECT_EQ(doc.GetDocument(),
              QStringLiteral("<a>?"
                             "?</a>"));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("10 bytes to 9 wide chars"));
}

}  // namespace
