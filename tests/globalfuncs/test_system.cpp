#include "globalfuncs/HVGlobalMFC.h"

#include <QRegularExpression>

#include "GlobalTestSupport.h"

using namespace HVGlobalMFC;

namespace {

using SystemInfo = GlobalTempTest;

TEST_F(SystemInfo, DrivesAndDriveTypes)
{
    CHVDrivesInfo drives;
    const int count = drives.EnumDrivesEx();
    EXPECT_GT(count, 0);
    EXPECT_EQ(drives.m_arrCDDrives.size() + drives.m_arrRemovableDrives.size() + drives.m_arrOtherDrives.size(), count);
    EXPECT_EQ(drives.m_arrAllDrives.size(), count);
    EXPECT_FALSE(drives.m_arrAllDrives.contains(QStringLiteral("/proc")));
    EXPECT_TRUE(drives.GetTapeDrivesArray().isEmpty());
    EXPECT_EQ(CHVDrivesInfo::GetDriveTypeEx(Path("no/such/thing")), CHVDrivesInfo::DRIVE_NO_ROOT_DIR);
    const int type = CHVDrivesInfo::GetDriveTypeEx(m_dir.path());
    EXPECT_GE(type, CHVDrivesInfo::DRIVE_REMOVABLE);
    EXPECT_LE(type, CHVDrivesInfo::DRIVE_RAMDISK);
}

TEST_F(SystemInfo, PathsAndTypes)
{
    QString longPath;
    EXPECT_EQ(ShortPathToLongPath(QStringLiteral("/a/./b//c/../d"), longPath, 260), 6);
    EXPECT_EQ(longPath, QStringLiteral("/a/b/d"));
    EXPECT_EQ(ShortPathToLongPath(QStringLiteral("/a/b/d"), longPath, 3), 6);
    EXPECT_EQ(longPath, QStringLiteral("/a/"));
    EXPECT_EQ(ShortPathToLongPath(QString(), longPath, 10), 0);

    EXPECT_FALSE(GetMIMEType(m_dir.path(), true).isEmpty());
    EXPECT_NE(GetMIMEType(Touch("page.html", "<html></html>"), false), GetMIMEType(m_dir.path(), true));
    EXPECT_EQ(HVMakeFile(QStringLiteral("help/index.html"), QStringLiteral("/opt/hn")),
              QStringLiteral("/opt/hn/help/index.html"));
    EXPECT_TRUE(HVMakeFile(QStringLiteral("x")).endsWith(QStringLiteral("/x")));
    EXPECT_TRUE(HVGetResourceFile(QStringLiteral("m"), QStringLiteral("r")).isEmpty());
    EXPECT_TRUE(MyLoadString(57346).isEmpty());
}

TEST(TextRoundTrip, UnicodeCheckAndIdentifiers)
{
    EXPECT_EQ(HVIsUnicodeChar(QStringLiteral("plain text")), 0);
    // An unpaired surrogate survives no 8-bit encoding.
    EXPECT_EQ(HVIsUnicodeChar(QString(QChar(0xD800))), 1);
    QString a, b;
    EXPECT_EQ(HVCreateStringGUID(a), 1);
    EXPECT_EQ(HVCreateStringGUID(b), 1);
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.contains(QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$"))))
        << a.toStdString();
}

TEST(GlobalWords, InitRestoresTheDefaults)
{
    g_GlobalData.m_strCopy = QStringLiteral("Kopie");
    g_GlobalData.Init();
    EXPECT_EQ(g_GlobalData.m_strCopy, QStringLiteral("Copy"));
    EXPECT_EQ(g_GlobalData.m_strSecs, QStringLiteral("Secs"));
}

}  // namespace
