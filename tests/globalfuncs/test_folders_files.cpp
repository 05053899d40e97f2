#include "globalfuncs/HVEnumFunctions.h"
#include "globalfuncs/HVFileFunctions.h"
#include "globalfuncs/HVFolderFunctions.h"
#include "globalfuncs/HVLogHook.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "GlobalTestSupport.h"

using namespace HVGlobalMFC;

namespace {

QStringList g_logLines;

void CaptureLog(const QString& message, int severity, const char* /*file*/, int /*line*/)
{
    g_logLines.append(QStringLiteral("%1|%2").arg(severity).arg(message));
}

class FoldersFiles : public GlobalTempTest
{
protected:
    void SetUp() override
    {
        GlobalTempTest::SetUp();
        g_logLines.clear();
        HVSetLogHandler(&CaptureLog);
    }
    void TearDown() override { HVSetLogHandler(nullptr); }
};

QString Cwd()
{
    char buf[4096];
    return QFile::decodeName(getcwd(buf, sizeof buf));
}

TEST_F(FoldersFiles, CreateFolderKeepsTheCurrentDirectory)
{
    const QString before = Cwd();
    EXPECT_EQ(HVCreateFolder(Path("a/b/c")), 0);
    EXPECT_TRUE(QFileInfo(Path("a/b/c")).isDir());
    EXPECT_EQ(Cwd(), before);
    EXPECT_EQ(HVCreateFolder(Path("a/b/c")), -1);  // exists
    EXPECT_EQ(HVCreateFolder(Path("a/b/c/")), -1);
    EXPECT_EQ(Cwd(), before);
    EXPECT_EQ(HVCreateFolder_(Path("x/")), 0);
    EXPECT_EQ(HVCreateFolder(QString()), -1);
    Touch("file");
    EXPECT_EQ(HVCreateFolder(Path("file")), -1);
    EXPECT_EQ(HVCreateFolder(Path("file/sub")), -1);
    EXPECT_EQ(Cwd(), before);
}

TEST_F(FoldersFiles, EnsureFolderCreatesOnlyTheFolderPart)
{
    EXPECT_EQ(HVEnsureFolderIsCreated(Path("p/q/file.txt"), 0), 1);
    EXPECT_TRUE(QFileInfo(Path("p/q")).isDir());
    EXPECT_FALSE(QFileInfo::exists(Path("p/q/file.txt")));
    EXPECT_EQ(HVEnsureFolderIsCreated(Path("t/u/"), 0), 1);
    EXPECT_TRUE(QFileInfo(Path("t/u")).isDir());
    EXPECT_EQ(HVEnsureFolderIsCreated(Path("r/s"), 1), 1);
    EXPECT_TRUE(QFileInfo(Path("r/s")).isDir());
    // Nothing can be created under a file, and the answer is still 1.
    Touch("f");
    EXPECT_EQ(HVEnsureFolderIsCreated(Path("f/g/h.txt"), 0), 1);
    EXPECT_FALSE(QFileInfo::exists(Path("f/g")));
}

TEST_F(FoldersFiles, DeleteFileClearsReadOnlyAndSparesLinkTargets)
{
    const QString ro = Touch("ro.txt");
    QFile::setPermissions(ro, QFile::ReadOwner);
    EXPECT_EQ(HVDeleteFileEx(ro, 1), 1);
    EXPECT_FALSE(QFileInfo::exists(ro));

    const QString target = Touch("target.txt");
    ASSERT_TRUE(QFile::link(target, Path("link")));
    EXPECT_EQ(HVDeleteFileEx(Path("link")), 1);
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_EQ(HVDeleteFileEx(Path("missing")), 0);
    QDir().mkpath(Path("dir"));
    EXPECT_EQ(HVDeleteFileEx(Path("dir")), 0);
}

TEST_F(FoldersFiles, RenameNeverReplacesAndLogsFailures)
{
    const QString from = Touch("from.txt", "new");
    const QString to = Touch("to.txt", "old");
    EXPECT_EQ(HVRenameFile(from, to), 0);
    EXPECT_EQ(ReadAll(to), QByteArray("old"));
    ASSERT_EQ(g_logLines.size(), 2);
    EXPECT_TRUE(g_logLines[0].startsWith(QStringLiteral("1|Failed to rename: %1 TO %2\nCause: ").arg(from, to)));
    EXPECT_EQ(g_logLines[1], QStringLiteral("1|Cant rename file"));
    EXPECT_EQ(HVRenameFile(from, Path("free.txt")), 1);
    EXPECT_EQ(ReadAll(Path("free.txt")), QByteArray("new"));
}

TEST_F(FoldersFiles, SizesDatesAndFindData)
{
    const QString path = Touch(".hidden", QByteArray(1234, 'z'));
    EXPECT_EQ(HVGetFileSize(path), 1234);
    EXPECT_EQ(HVGetFileSize(Path("missing")), -1);
    qint64 size = 0;
    QDateTime modified;
    EXPECT_EQ(HVGetFileSizeDate(path, size, modified), 1);
    EXPECT_EQ(size, 1234);
    EXPECT_EQ(modified, HVGetFileModificationDate(path));
    EXPECT_FALSE(HVGetFileModificationDate(Path("missing")).isValid());

    QFile::setPermissions(path, QFile::ReadOwner);
    HVFileFindData data;
    ASSERT_EQ(HVGetFileFindData(path, data), 1);
    EXPECT_EQ(data.cFileName, QStringLiteral(".hidden"));
    EXPECT_EQ(data.nFileSize, 1234u);
    EXPECT_EQ(data.dwFileAttributes, unsigned(HV_FILE_ATTRIBUTE_HIDDEN | HV_FILE_ATTRIBUTE_READONLY));

    QDir().mkpath(Path("real"));
    ASSERT_TRUE(QFile::link(Path("real"), Path("junction")));
    ASSERT_EQ(HVGetFileFindData(Path("junction"), data), 1);
    EXPECT_TRUE(IsJunctionPoint(data));
    ASSERT_EQ(HVGetFileFindData(Path("real"), data), 1);
    EXPECT_FALSE(IsJunctionPoint(data));
    EXPECT_EQ(data.dwFileAttributes, unsigned(HV_FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(HVGetFileFindData(Path("missing"), data), 0);
}

TEST_F(FoldersFiles, WriteStringFileReplacesContent)
{
    EXPECT_EQ(HVWriteStringFile(Path("w.txt"), QString::fromUtf16(u"héllo")), 1);
    EXPECT_EQ(HVWriteStringFile(Path("w.txt"), QStringLiteral("second")), 1);
    EXPECT_EQ(ReadAll(Path("w.txt")), QByteArray("second"));
    EXPECT_EQ(HVWriteStringFile(Path("no/such/dir/w.txt"), QStringLiteral("x")), 0);
}

TEST_F(FoldersFiles, EnumerationIncludesHiddenAndNeverFollowsLinks)
{
    Touch("t/a.txt");
    Touch("t/.h");
    Touch("t/sub/b.txt");
    ASSERT_TRUE(QFile::link(Path("t"), Path("t/sub/loop")));  // would loop if followed
    QStringList files;
    EXPECT_EQ(HVEnumAllFiles(Path("t"), files), 4);
    files.sort();
    EXPECT_EQ(files, (QStringList{Path("t/.h"), Path("t/a.txt"), Path("t/sub/b.txt"), Path("t/sub/loop")}));

    QStringList items;
    EXPECT_EQ(HVEnumFilesAndFolders(Path("t"), items), 5);
    EXPECT_LT(items.indexOf(Path("t/sub")), items.indexOf(Path("t/sub/b.txt")));

    QStringList onlyFiles, folders;
    EXPECT_EQ(EnumFilesAndFolders(Path("t"), onlyFiles, folders, false), 3);
    EXPECT_EQ(folders, QStringList{Path("t/sub")});
    EXPECT_EQ(HVEnumAllFiles(Path("missing"), files), -1);
}

TEST_F(FoldersFiles, EmptyDirectoryRemovesLinksNotTheirTargets)
{
    const QString keep = Touch("outside/keep.txt");
    Touch("victim/a.txt");
    Touch("victim/.b");
    Touch("victim/deep/er/c.txt");
    QFile::setPermissions(Path("victim/deep/er"), QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(QFile::link(Path("outside"), Path("victim/link")));
    EXPECT_EQ(HVEmptyDirectory(Path("victim"), 1), 1);
    EXPECT_TRUE(QDir(Path("victim")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    EXPECT_TRUE(QFileInfo::exists(keep));
}

TEST_F(FoldersFiles, DeleteFolderLogsFailure)
{
    Touch("full/x");
    EXPECT_EQ(HVDeleteFolderEx(Path("full")), 0);
    ASSERT_EQ(g_logLines.size(), 1);
    EXPECT_TRUE(g_logLines[0].startsWith(QStringLiteral("1|Failed to remove Folder: Error: (%1) - ").arg(ENOTEMPTY)));
    QDir().mkpath(Path("empty"));
    EXPECT_EQ(HVDeleteFolderEx(Path("empty/"), 1), 1);
    EXPECT_FALSE(QFileInfo::exists(Path("empty")));
}

TEST_F(FoldersFiles, CopyFolderTreeAndRefuseCopyIntoItself)
{
    Touch("src/a.txt", "A");
    Touch("src/s/.b", "B");
    EXPECT_EQ(HVCopyFolder(Path("src"), Path("dst")), 1);
    EXPECT_EQ(ReadAll(Path("dst/a.txt")), QByteArray("A"));
    EXPECT_EQ(ReadAll(Path("dst/s/.b")), QByteArray("B"));
    EXPECT_EQ(HVCopyFolder(Path("src"), Path("src/inner")), 0);
    EXPECT_EQ(HVCopyFolder(Path("src"), Path("src")), 0);
    EXPECT_FALSE(QFileInfo::exists(Path("src/inner")));
}

// Links already standing in the way are never a way out: neither the folder named by "link/",
// nor a link in the target where a copied folder or file goes, nor a link where a file is
// written; a FIFO is refused, not read.
TEST_F(FoldersFiles, FolderAndFileFunctionsNeverGoThroughLinks)
{
    const QString keep = Touch("outside/keep.txt", "KEEP");
    ASSERT_TRUE(QFile::link(Path("outside"), Path("link")));
    for (const char* pszSpelling : {"link", "link/", "link/."}) {
        EXPECT_EQ(HVEmptyDirectory(Path(pszSpelling), 1), 0) << pszSpelling;
        EXPECT_EQ(ReadAll(keep), QByteArray("KEEP")) << pszSpelling;
    }

    Touch("src/a.txt", "A");
    Touch("src/s/b.txt", "B");
    ASSERT_TRUE(QFile::link(QStringLiteral("a.txt"), Path("src/rel")));
    QDir().mkpath(Path("dst"));
    ASSERT_TRUE(QFile::link(keep, Path("dst/a.txt")));
    ASSERT_TRUE(QFile::link(Path("outside"), Path("dst/s")));
    EXPECT_EQ(HVCopyFolder(Path("src"), Path("dst")), 0);  // "s" cannot be entered
    EXPECT_EQ(ReadAll(keep), QByteArray("KEEP"));
    EXPECT_FALSE(QFileInfo::exists(Path("outside/b.txt")));
    EXPECT_FALSE(QFileInfo(Path("dst/a.txt")).isSymLink());
    EXPECT_EQ(ReadAll(Path("dst/a.txt")), QByteArray("A"));
    EXPECT_EQ(QFileInfo(Path("dst/rel")).symLinkTarget(), Path("dst/a.txt"));

    ASSERT_TRUE(QFile::remove(Path("dst/s")));
    ASSERT_EQ(::mkfifo(Path("src/fifo").toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(HVCopyFolder(Path("src"), Path("dst")), 0);  // the FIFO
    EXPECT_EQ(ReadAll(Path("dst/s/b.txt")), QByteArray("B"));
    EXPECT_FALSE(QFileInfo::exists(Path("dst/fifo")));
    const QStringList left =
        QDir(Path("dst")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, (QStringList{QStringLiteral("a.txt"), QStringLiteral("rel"), QStringLiteral("s")}));

    ASSERT_TRUE(QFile::link(keep, Path("written.txt")));
    EXPECT_EQ(HVWriteStringFile(Path("written.txt"), QStringLiteral("over")), 0);
    EXPECT_TRUE(QFileInfo(Path("written.txt")).isSymLink());
    EXPECT_EQ(ReadAll(keep), QByteArray("KEEP"));
    quint32 crc = 0;
    EXPECT_NE(HVGetCRC(Path("src/fifo"), crc), 0);
}

TEST_F(FoldersFiles, UniqueAndTemporaryFolders)
{
    QString created;
    ASSERT_EQ(HVCreateUniqueFolder(Path("u"), QStringLiteral("Backup"), created), 1);
    EXPECT_TRUE(QFileInfo(created).isDir());
    EXPECT_TRUE(QFileInfo(created).fileName().contains(QRegularExpression(QStringLiteral("^Backup\\d{8}$"))));

    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", Path("").toLocal8Bit());
    ASSERT_EQ(MakeHVTempFolder(created), 1);
    EXPECT_TRUE(QFileInfo(created).fileName().startsWith(QStringLiteral("HBK")));
    EXPECT_EQ(QFileInfo(created).path(), m_dir.path());
    EXPECT_EQ(QFileInfo(created).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    ASSERT_EQ(HV_MakeTempFile(created), 1);
    EXPECT_TRUE(QFileInfo(created).isFile());
    EXPECT_TRUE(QFileInfo(created).fileName().startsWith(QStringLiteral("HBK")));
    if (oldTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);
}

}  // namespace
