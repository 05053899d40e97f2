// Replacing a file durably: the target holds the old or the new content, never a part, and no
// temporary is left behind; a link planted at the temporary's name is never written through.
#include "globalfuncs/HVDurableFile.h"

#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "GlobalTestSupport.h"
#include "support/Files.h"

namespace {

class DurableFile : public GlobalTempTest
{
protected:
    std::string Target() const { return Path("target.txt").toStdString(); }
    QStringList Names() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
};

TEST_F(DurableFile, FailuresLeaveTheTargetAndNoTemporary)
{
    struct SCase
    {
        const char* pszName;
        std::string strTempName;
        int nFillError;
    };
    for (const SCase& c : {SCase{"fresh temporary, full disk", "", ENOSPC},
                           SCase{"fixed temporary, read error", "target.txt.tmp", EIO}}) {
        SCOPED_TRACE(c.pszName);
        Touch("target.txt", "old");
        HVDurableFile::SOptions opt;
        opt.strTempName = c.strTempName;
        const int nDir = ::open(m_dir.path().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(nDir, 0);
        const int nErr = HVDurableFile::WriteAt(
            nDir,
            "target.txt",
            [&](int nFd) {
                EXPECT_EQ(HVDurableFile::WriteAll(nFd, "half of the new"), 0);
                return c.nFillError;
            },
            opt);
        ::close(nDir);
        EXPECT_EQ(nErr, c.nFillError);
        EXPECT_EQ(ReadAll(Path("target.txt")), QByteArray("old"));
        EXPECT_EQ(Names(), QStringList{QStringLiteral("target.txt")});
    }
}

TEST_F(DurableFile, ReplacesWithExactModesAndReportsEachStep)
{
    Touch("target.txt", "old");
    const mode_t nOldMask = ::umask(077);
    HVDurableFile::SOptions opt;
    opt.nMode = 0640;
    std::string strSeen;
    opt.hook = [&](const char* pszStep) {
        strSeen += std::string(pszStep) + "=" + ReadAll(Path("target.txt")).toStdString() + ";";
    };
    const int nErr = HVDurableFile::Write(Target(), "new content", opt);
    ::umask(nOldMask);
    ASSERT_EQ(nErr, 0);
    EXPECT_EQ(strSeen, "written=old;renamed=new content;");
    EXPECT_EQ(hvtest::ModeOf(Target()), 0640);  // not narrowed by the umask
    EXPECT_EQ(Names(), QStringList{QStringLiteral("target.txt")});
}

TEST_F(DurableFile, ALinkAtTheFixedTemporaryIsNeitherFollowedNorEmptied)
{
    const QString strVictim = Touch("elsewhere/victim", "precious");
    const QByteArray victim = strVictim.toLocal8Bit();
    const QByteArray temp = Path("target.txt.tmp").toLocal8Bit();
    for (const bool bHard : {false, true}) {
        SCOPED_TRACE(bHard ? "hard link" : "symbolic link");
        Touch("target.txt", "old");
        ::unlink(temp.constData());
        ASSERT_EQ(
            bHard ? ::link(victim.constData(), temp.constData()) : ::symlink(victim.constData(), temp.constData()), 0);
        HVDurableFile::SOptions opt;
        opt.strTempName = "target.txt.tmp";
        EXPECT_EQ(HVDurableFile::Write(Target(), "new", opt), bHard ? EMLINK : ELOOP);
        EXPECT_EQ(ReadAll(strVictim), QByteArray("precious"));
        EXPECT_EQ(ReadAll(Path("target.txt")), QByteArray("old"));
    }
}

}  // namespace
