#include "settings/CHVIniGuard.h"
#include "settings/CRegistry.h"

#include <limits>
#include <optional>

#include "SettingsTestSupport.h"

namespace {

const QString kMain = QStringLiteral("SOFTWARE\\Halvo-Soft\\HalvoNorvane\\Main");
const QString kAppPaths = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\HalvoNorvane.exe");

using RegistryFile = SettingsTestEnv;

// A value read back; nothing when the read fails.
template <typename T>
std::optional<T> Get(CRegistry& reg, const QString& strName)
{
    T value{};
    return reg.Read(strName, value) ? std::optional<T>(value) : std::nullopt;
}

TEST_F(RegistryFile, KeyPathsMapOntoFilesAndGroups)
{
    const auto user = CRegistry::Locate(HVRegRoot::CurrentUser, kMain);
    EXPECT_TRUE(user.bValid);
    EXPECT_FALSE(user.bReadOnly);
    EXPECT_EQ(user.strFile, UserFile());
    EXPECT_EQ(user.strGroup, QStringLiteral("Main"));

    const auto app = CRegistry::Locate(HVRegRoot::LocalMachine, kAppPaths);
    EXPECT_TRUE(app.bValid);
    EXPECT_TRUE(app.bReadOnly);
    EXPECT_EQ(app.strFile, SystemFile());
    EXPECT_EQ(app.strGroup, QStringLiteral("App Paths"));

    const auto nested = CRegistry::Locate(HVRegRoot::CurrentUser, QStringLiteral("Software\\Org\\App\\A\\B"));
    EXPECT_EQ(nested.strFile, ConfigHome() + QStringLiteral("/Org/App.conf"));
    EXPECT_EQ(nested.strGroup, QStringLiteral("A/B"));

    for (const QString& strBad : {QStringLiteral("SOFTWARE\\..\\x\\Main"),
                                  QStringLiteral("SOFTWARE\\Org"),
                                  QStringLiteral("SYSTEM\\Org\\App"),
                                  QStringLiteral("SOFTWARE\\a/b\\App")}) {
        EXPECT_FALSE(CRegistry::Locate(HVRegRoot::CurrentUser, strBad).bValid) << strBad.toStdString();
    }
    EXPECT_FALSE(CRegistry::Locate(HVRegRoot::ClassesRoot, QStringLiteral(".hvnc")).bValid);
    EXPECT_FALSE(CRegistry::Locate(HVRegRoot::LocalMachine,
                                   QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\other.exe"))
                     .bValid);
}

TEST_F(RegistryFile, RelativeConfigHomeIsIgnored)
{
    Set("XDG_CONFIG_HOME", QStringLiteral("relative/dir"));
    EXPECT_EQ(CRegistry::Locate(HVRegRoot::CurrentUser, kMain).strFile, UserFile());
}

TEST_F(RegistryFile, ValuesSurviveTheDisk)
{
    const QByteArray bytes("\x00\x01\xff,=\n[x]", 9);
    {
        CRegistry reg;
        ASSERT_TRUE(reg.CreateKey(HVRegRoot::CurrentUser, kMain));
        EXPECT_TRUE(reg.Write(QStringLiteral("Int"), -1));
        EXPECT_TRUE(reg.Write(QStringLiteral("Min"), std::numeric_limits<int>::min()));
        EXPECT_TRUE(reg.Write(QStringLiteral("Unsigned"), std::uint32_t{4000000000u}));
        EXPECT_TRUE(reg.Write(QStringLiteral("Module Path"), QStringLiteral("/opt/a b, \"c\"=\u00e4;#")));
        EXPECT_TRUE(reg.Write(QStringLiteral("Bytes"), bytes));
        EXPECT_TRUE(reg.Write(QStringLiteral("Raw"), "xyz", 3u));
        EXPECT_TRUE(reg.Write(QStringLiteral("Narrow"), "caf\xc3\xa9"));
        EXPECT_TRUE(reg.Write(QString(), QStringLiteral("/opt/prog")));
        EXPECT_TRUE(reg.Close());
    }
    CRegistry reg;
    ASSERT_TRUE(reg.Open(HVRegRoot::CurrentUser, kMain, HV_KEY_READ));
    EXPECT_EQ(Get<int>(reg, QStringLiteral("Int")), -1);
    EXPECT_EQ(Get<std::uint32_t>(reg, QStringLiteral("Int")), 0xFFFFFFFFu);
    EXPECT_EQ(Get<int>(reg, QStringLiteral("Min")), std::numeric_limits<int>::min());
    EXPECT_EQ(Get<std::uint32_t>(reg, QStringLiteral("Unsigned")), 4000000000u);
    EXPECT_EQ(static_cast<std::uint32_t>(Get<int>(reg, QStringLiteral("Unsigned")).value_or(0)), 4000000000u);
    EXPECT_EQ(Get<QString>(reg, QStringLiteral("Module Path")), QStringLiteral("/opt/a b, \"c\"=\u00e4;#"));
    EXPECT_EQ(Get<QByteArray>(reg, QStringLiteral("Bytes")), bytes);
    EXPECT_EQ(Get<QByteArray>(reg, QStringLiteral("Raw")), QByteArray("xyz"));
    EXPECT_EQ(Get<QString>(reg, QStringLiteral("Narrow")), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(Get<QString>(reg, QString()), QStringLiteral("/opt/prog"));
}

TEST_F(RegistryFile, ReadsFailForMissingOrWrongKindAndLeaveTheTarget)
{
    WriteFile(UserFile(),
              "[Main]\nText=abc\nHuge=99999999999\nNeg=-2147483649\nBlob=@ByteArray(abcd)\nList=a, b\nSpace= 7 \n");
    CRegistry reg;
    ASSERT_TRUE(reg.Open(HVRegRoot::CurrentUser, kMain, HV_KEY_READ));
    int n = 42;
    EXPECT_FALSE(reg.Read(QStringLiteral("Missing"), n));
    EXPECT_FALSE(reg.Read(QStringLiteral("Text"), n));
    EXPECT_FALSE(reg.Read(QStringLiteral("Huge"), n));
    EXPECT_FALSE(reg.Read(QStringLiteral("Neg"), n));
    EXPECT_FALSE(reg.Read(QStringLiteral("Blob"), n));
    EXPECT_FALSE(reg.Read(QStringLiteral("List"), n));
    EXPECT_EQ(n, 42);
    EXPECT_TRUE(reg.Read(QStringLiteral("Space"), n));
    EXPECT_EQ(n, 7);

    QString str = QStringLiteral("keep");
    EXPECT_FALSE(reg.Read(QStringLiteral("Blob"), str));
    EXPECT_FALSE(reg.Read(QString(), str));
    EXPECT_EQ(str, QStringLiteral("keep"));
    EXPECT_TRUE(reg.Read(QStringLiteral("List"), str));
    EXPECT_EQ(str, QStringLiteral("a,b"));

    QByteArray data("keep");
    EXPECT_FALSE(reg.Read(QStringLiteral("Text"), data));
    EXPECT_EQ(data, QByteArray("keep"));

    char buffer[3] = {'x', 'x', 'x'};
    std::uint32_t nLen = sizeof buffer;
    EXPECT_FALSE(reg.Read(QStringLiteral("Blob"), buffer, nLen));
    EXPECT_EQ(nLen, 4u);
    EXPECT_EQ(buffer[0], 'x');
    char big[8] = {};
    nLen = sizeof big;
    EXPECT_TRUE(reg.Read(QStringLiteral("Blob"), big, nLen));
    EXPECT_EQ(nLen, 4u);
    EXPECT_EQ(QByteArray(big, 4), QByteArray("abcd"));
}

TEST_F(RegistryFile, KeysExistOnlyWithValuesAndAccessIsChecked)
{
    CRegistry reg(HVRegRoot::CurrentUser);
    EXPECT_FALSE(reg.VerifyKey(kMain));
    EXPECT_FALSE(reg.Open(HVRegRoot::CurrentUser, kMain, HV_KEY_READ));
    EXPECT_FALSE(reg.Write(QStringLiteral("x"), 1));  // nothing open

    WriteFile(UserFile(), "[Other]\nx=1\n");
    EXPECT_FALSE(reg.VerifyKey(kMain, HV_KEY_ALL_ACCESS));
    WriteFile(UserFile(), "[Main]\nx=1\n");
    EXPECT_TRUE(reg.VerifyKey(kMain, HV_KEY_ALL_ACCESS));

    // The system-wide file is read, never written.
    WriteFile(SystemFile(), "[App%20Paths]\nPath=/opt/hn\n");
    EXPECT_TRUE(reg.VerifyKey(HVRegRoot::LocalMachine, kAppPaths, HV_KEY_READ));
    EXPECT_FALSE(reg.VerifyKey(HVRegRoot::LocalMachine, kAppPaths, HV_KEY_ALL_ACCESS));
    EXPECT_FALSE(reg.Open(HVRegRoot::LocalMachine, kAppPaths, HV_KEY_ALL_ACCESS));
    EXPECT_FALSE(reg.CreateKey(HVRegRoot::LocalMachine, kAppPaths));
    ASSERT_TRUE(reg.Open(HVRegRoot::LocalMachine, kAppPaths, HV_KEY_READ));
    EXPECT_FALSE(reg.Write(QStringLiteral("Path"), QStringLiteral("/evil")));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("Path")));
    EXPECT_TRUE(reg.Close());
    EXPECT_EQ(ReadFile(SystemFile()), QByteArray("[App%20Paths]\nPath=/opt/hn\n"));

    EXPECT_FALSE(reg.Open(HVRegRoot::ClassesRoot, QStringLiteral(".hvnc"), HV_KEY_READ));
}

TEST_F(RegistryFile, DeletedValueIsGoneAfterClose)
{
    WriteFile(UserFile(), "[Main]\na=1\nb=2\n");
    {
        CRegistry reg;
        ASSERT_TRUE(reg.Open(HVRegRoot::CurrentUser, kMain, HV_KEY_ALL_ACCESS));
        EXPECT_TRUE(reg.DeleteValue(QStringLiteral("a")));
        EXPECT_FALSE(reg.DeleteValue(QStringLiteral("a")));
    }
    CRegistry reg;
    ASSERT_TRUE(reg.Open(HVRegRoot::CurrentUser, kMain, HV_KEY_READ));
    EXPECT_FALSE(Get<int>(reg, QStringLiteral("a")));
    EXPECT_EQ(Get<int>(reg, QStringLiteral("b")), 2);
}

TEST_F(RegistryFile, CloseReportsAWriteThatDidNotReachTheDisk)
{
    WriteFile(UserFile(), "[Main]\na=1\n");
    CRegistry reg;
    ASSERT_TRUE(reg.Open(HVRegRoot::CurrentUser, kMain, HV_KEY_ALL_ACCESS));
    EXPECT_TRUE(reg.Write(QStringLiteral("a"), 2));
    // The file's place is taken by a folder: the final rename must fail.
    ASSERT_TRUE(QFile::remove(UserFile()));
    ASSERT_TRUE(QDir().mkpath(UserFile() + QStringLiteral("/blocker")));
    EXPECT_FALSE(reg.Close());
}

// Values QSettings would turn into objects through QDataStream (which trusts the counts in the
// data) mark the file as damaged, in every spelling the INI escapes allow.
TEST_F(RegistryFile, ObjectValuesMarkTheFileDamaged)
{
    const char* const kDamaged[] = {
        "[Main]\na=@Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xff)\n",
        "[Main]\na=\"@Variant(\\0\\0\\0\\t)\"\n",
        "[Main]\na=\\x40Variant(\\0)\n",
        "[Main]\na=\\100Variant(\\0)\n",
        "[Main]\na=@\\x56\\x61riant(x)\n",
        "[Main]\na=1, @DateTime(\\0)\n",
    };
    for (const char* pszText : kDamaged) {
        EXPECT_FALSE(CHVIniGuard::IsSafeText(pszText)) << pszText;
    }
    const char* const kFine[] = {
        "[Main]\na=@ByteArray(\\0\\x1\\xff)\nb=12\n",
        "[Main]\na=@@Variant(not an object)\n",
        "[Main]\nPath=/home/u/@Variant\n",
        "",
    };
    for (const char* pszText : kFine) {
        EXPECT_TRUE(CHVIniGuard::IsSafeText(pszText)) << pszText;
    }

    // A damaged file is not read; creating the key sets it aside and starts afresh.
    WriteFile(UserFile(), kDamaged[0]);
    CRegistry reg;
    EXPECT_FALSE(reg.Open(HVRegRoot::CurrentUser, kMain, HV_KEY_READ));
    ASSERT_TRUE(reg.CreateKey(HVRegRoot::CurrentUser, kMain));
    EXPECT_TRUE(reg.Write(QStringLiteral("a"), 5));
    EXPECT_TRUE(reg.Close());
    EXPECT_TRUE(QFileInfo::exists(UserFile() + QStringLiteral(".damaged")));
    ASSERT_TRUE(reg.Open(HVRegRoot::CurrentUser, kMain, HV_KEY_READ));
    EXPECT_EQ(Get<int>(reg, QStringLiteral("a")), 5);
}

}  // namespace
