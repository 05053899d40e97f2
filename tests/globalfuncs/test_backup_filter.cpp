#include "globalfuncs/CBackupFilterManager.h"
#include "globalfuncs/HVShellFunctions.h"
#include "globalfuncs/HVSystemFunctions.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <sys/stat.h>

#include "GlobalTestSupport.h"

using namespace HVGlobalMFC;

namespace {

// The table is built from folders under a temporary HOME.
class BackupFilter : public GlobalTempTest
{
protected:
    void SetUp() override
    {
        GlobalTempTest::SetUp();
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", Path("home").toLocal8Bit());
        for (const char* name : {"XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CONFIG_HOME", "TMPDIR"})
            qunsetenv(name);
        qputenv("XDG_DATA_HOME", Path("home/data").toLocal8Bit());
        qputenv("TMPDIR", Path("tmp").toLocal8Bit());
        Touch("home/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n");
        m_filter.Initialize();
        m_filter.SetAppPath(Path("home/data/apps/hn/"), Path("home/data/apps/hn/HalvoNorvane"));
    }
    void TearDown() override
    {
        qputenv("HOME", m_oldHome);
        for (const char* name : {"XDG_DATA_HOME", "TMPDIR"})
            qunsetenv(name);
    }

    QByteArray m_oldHome;
    CBackupFilterManager m_filter;
};

TEST_F(BackupFilter, TableHoldsOnlyFoldersWithAMeaningHere)
{
    const QStringList& names = m_filter.Placeholders();
    EXPECT_TRUE(names.contains(QStringLiteral("$$P_APPDATA$$")));
    EXPECT_TRUE(names.contains(QStringLiteral("$$P_COMMON_APPDATA$$")));
    EXPECT_TRUE(names.contains(QStringLiteral("$$P_LOCAL_APPDATA$$")));
    EXPECT_TRUE(names.contains(QStringLiteral("$$P_DESKTOP$$")));
    EXPECT_TRUE(names.contains(QStringLiteral("$$P_WINTEMP$$")));
    EXPECT_TRUE(names.contains(QStringLiteral("$$P_USERNAME$$")));
    for (const char* absent : {"$$P_WIN$$",
                               "$$P_SYSTEM$$",
                               "$$P_PROGRAM_FILES$$",
                               "$$P_COOKIES$$",
                               "$$P_HISTORY$$",
                               "$$P_COMMON_DESKTOP$$",
                               "$$P_PERSONAL$$"})
        EXPECT_FALSE(names.contains(QLatin1String(absent))) << absent;
    EXPECT_EQ(m_filter.Placeholders().size(), m_filter.Values().size());
    for (const QString& value : m_filter.Values())
        EXPECT_FALSE(value.isEmpty());
}

TEST_F(BackupFilter, PlaceholdersExpandInAnyCaseEveryTime)
{
    QString text = QStringLiteral("$$P_APPDATA$$/a.txt|$$p_appdata$$/b.txt|$$P_DESKTOP$$/c|$$P_WINTEMP$$");
    EXPECT_EQ(m_filter.FilterString(text, false, false), 1);
    EXPECT_EQ(text, QStringLiteral("%1/a.txt|%1/b.txt|%2/c|%3").arg(Path("home/data"), Path("home/Desk"), Path("tmp")));

    QString app = QStringLiteral("$$P_APPPATHEXE$$ in $$P_APPPATH$$");
    EXPECT_EQ(m_filter.FilterString(app, false, false), 0);
    EXPECT_EQ(app, QStringLiteral("$$P_APPPATHEXE$$ in $$P_APPPATH$$"));
    EXPECT_EQ(m_filter.FilterString(app, true, false), 1);
    EXPECT_EQ(app, QStringLiteral("%1 in %2").arg(Path("home/data/apps/hn/HalvoNorvane"), Path("home/data/apps/hn")));

    QString none = QStringLiteral("nothing here");
    EXPECT_EQ(m_filter.FilterString(none), 0);
    EXPECT_EQ(none, QStringLiteral("nothing here"));
}

TEST_F(BackupFilter, DoubledBackslashesAndSecondTable)
{
    m_filter.AddReplacement(QStringLiteral("$$X_SHARE$$"), QStringLiteral("\\\\server\\share"));
    QString text = QStringLiteral("\"$$X_SHARE$$\"");
    EXPECT_EQ(m_filter.FilterString(text, false, true), 1);
    EXPECT_EQ(text, QStringLiteral("\"\\\\\\\\server\\\\share\""));
    QString back = QStringLiteral("\\\\server\\share\\x");
    EXPECT_EQ(m_filter.FilterString_Reverse(back), 1);
    EXPECT_EQ(back, QStringLiteral("$$X_SHARE$$\\x"));
}

TEST_F(BackupFilter, ReverseChoosesTheMostSpecificPlaceholder)
{
    QString text = Path("home/data/apps/hn/help/index.html") + QLatin1Char(' ') + Path("home/data/notes.txt")
                   + QLatin1Char(' ') + Path("home/data/apps/hn/HalvoNorvane");
    EXPECT_EQ(m_filter.FilterString_Reverse(text), 1);
    EXPECT_EQ(text, QStringLiteral("$$P_APPPATH$$/help/index.html $$P_APPDATA$$/notes.txt $$P_APPPATHEXE$$"));
    // Round trip.
    EXPECT_EQ(m_filter.FilterString(text), 1);
    EXPECT_EQ(text,
              Path("home/data/apps/hn/help/index.html") + QLatin1Char(' ') + Path("home/data/notes.txt")
                  + QLatin1Char(' ') + Path("home/data/apps/hn/HalvoNorvane"));
}

TEST_F(BackupFilter, ReverseIsCaseSensitiveAndLeavesUnmatchedTextAlone)
{
    QString text = Path("home/data").toUpper() + QStringLiteral("/x");
    const QString before = text;
    EXPECT_EQ(m_filter.FilterString_Reverse(text), 0);
    EXPECT_EQ(text, before);
}

TEST_F(BackupFilter, UserNameOnlyAsAWholeWord)
{
    const QString user = HVGetUserName();
    ASSERT_FALSE(user.isEmpty());
    QString text = QStringLiteral("/srv/%1/x %1data owner=%1").arg(user);
    EXPECT_EQ(m_filter.FilterString_Reverse(text), 1);
    EXPECT_EQ(text, QStringLiteral("/srv/$$P_USERNAME$$/x %1data owner=$$P_USERNAME$$").arg(user));
}

TEST_F(BackupFilter, FilterFileKeepsEncodingAndLineEnds)
{
    const QString utf16 = Path("list.reg");
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar ch : QStringLiteral("\"p\"=\"$$P_APPDATA$$\"\r\nplain\r\n"))
        bytes.append(static_cast<char>(ch.unicode() & 0xFF)).append('\0');
    Touch("list.reg", bytes);
    EXPECT_EQ(m_filter.FilterFile(utf16, true, false), 1);
    QByteArray expected("\xFF\xFE", 2);
    for (const QChar ch : QStringLiteral("\"p\"=\"%1\"\r\nplain\r\n").arg(Path("home/data")))
        expected.append(static_cast<char>(ch.unicode() & 0xFF)).append('\0');
    EXPECT_EQ(ReadAll(utf16), expected);

    const QString utf8 = Touch("list.txt", (Path("home/Desk") + QStringLiteral("/a\n")).toUtf8());
    EXPECT_EQ(m_filter.FilterFile_Reverse(utf8), 1);
    EXPECT_EQ(ReadAll(utf8), QByteArray("$$P_DESKTOP$$/a\n"));

    const QString target = Path("out.reg");
    EXPECT_EQ(HVReplaceRegFile(Touch("in.reg", "$$P_WINTEMP$$\r\n"), target, m_filter), 1);
    EXPECT_EQ(ReadAll(target), (Path("tmp") + QStringLiteral("\r\n")).toUtf8());
    EXPECT_EQ(HVReplaceRegFile(Path("missing.reg"), target, m_filter), 0);
}

// A file is either filtered with every other byte kept, or refused and left exactly as it was.
TEST_F(BackupFilter, FilterFileKeepsEveryByteOrRefuses)
{
    const QByteArray tmp = Path("tmp").toUtf8();
    struct SCase
    {
        QByteArray before;
        QByteArray after;  // empty: refused
    };
    const SCase cases[] = {
        {"caf\xE9 $$P_WINTEMP$$\r\n\xFF", "caf\xE9 " + tmp + "\r\n\xFF"},
        {"\xEF\xBB\xBF$$p_wintemp$$\n", "\xEF\xBB\xBF" + tmp + "\n"},
        {QByteArray("\xFF\xFE$\0\x00\xD8", 6), {}},  // a lone surrogate
        {QByteArray("\xFE\xFF\0$\0", 5), {}},        // an odd length
    };
    int n = 0;
    for (const SCase& c : cases) {
        const QString path = Touch(QStringLiteral("case%1.txt").arg(n++), c.before);
        EXPECT_EQ(m_filter.FilterFile(path), c.after.isEmpty() ? 0 : 1) << n;
        EXPECT_EQ(ReadAll(path), c.after.isEmpty() ? c.before : c.after) << n;
    }

    // A link is refused on either side, never turned into a file; a FIFO is not waited on.
    const QString real = Touch("real.txt", "$$P_WINTEMP$$");
    ASSERT_TRUE(QFile::link(real, Path("link.txt")));
    EXPECT_EQ(m_filter.FilterFile(Path("link.txt")), 0);
    EXPECT_EQ(m_filter.RewriteFile(real, Path("link.txt"), false, true, false), 0);
    EXPECT_TRUE(QFileInfo(Path("link.txt")).isSymLink());
    EXPECT_EQ(ReadAll(real), QByteArray("$$P_WINTEMP$$"));
    ASSERT_EQ(::mkfifo(Path("fifo.txt").toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(m_filter.FilterFile(Path("fifo.txt")), 0);
    EXPECT_EQ(QDir(Path("")).entryList(QStringList{QStringLiteral(".hvfilter*")}, QDir::Hidden | QDir::Files).size(),
              0);
}

TEST(BackupFilterTypes, TextTypesByExtension)
{
    for (const char* name : {"a.reg", "b.TXT", "c.log", "/x.y/d.html", "e.xml", "f.java", "g.vbs", "h.css", "i.rc"})
        EXPECT_EQ(CBackupFilterManager::IsFileAscII(QLatin1String(name)), 1) << name;
    for (const char* name : {"a.exe", "b.dat", "c.jpg", "d.zip", "e.cab", "f.rar", "noext", "/dir.txt/file"})
        EXPECT_EQ(CBackupFilterManager::IsFileAscII(QLatin1String(name)), 0) << name;
}

TEST(NotSupported, RegistryPieces)
{
    EXPECT_EQ(HVRunRegistryFile(QStringLiteral("/etc/hostname")), 0);
    EXPECT_EQ(RegCopyKey(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")), 50);
    EXPECT_GE(GetMaxRamSizeForProgram(), 0x2000000u);
    EXPECT_GT(GetPhysicalRamSize(), 0u);
    quint64 freeToCaller = 0, total = 0, totalFree = 0;
    EXPECT_EQ(GetDiskFreeSpaceEx1(QStringLiteral("/no/such/folder/here"), freeToCaller, total, totalFree), 1);
    EXPECT_GT(total, 0u);
    QString text;
    EXPECT_EQ(HVGetErrorMessage(text, 2, 5), 1);
    EXPECT_EQ(text.size(), 5);
    EXPECT_EQ(HVGetErrorMessage(text, 2, 0), 0);
    EXPECT_TRUE(text.isEmpty());
}

}  // namespace
