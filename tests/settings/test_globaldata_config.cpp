// Reading the encrypted configuration file.
#include <QDirIterator>

#include "GlobalDataTestSupport.h"

namespace {

const QByteArray kFullConfig =
    "<?xml version=\"1.0\"?>\r\n<Config>\r\n<AppConfig>\r\n"
    "<ProductName>Product X</ProductName>\r\n<ProductMutex>MutexX</ProductMutex>\r\n"
    "<DataCompanyName>CompanyX</DataCompanyName>\r\n<ResFile>res.rcc</ResFile>\r\n"
    "<HelpFile>helpdir</HelpFile>\r\n<ThemeFileName>theme.xml</ThemeFileName>\r\n"
    "<DataProductName>ProdDir</DataProductName>\r\n"
    "<URL_LINKS_MANAGER>https://links.halvo-norvane.example/go</URL_LINKS_MANAGER>\r\n"
    "<Online_Server>srv.example</Online_Server>\r\n<Online_URL>/o/</Online_URL>\r\n"
    "<Online_Secure>tRuE</Online_Secure>\r\n<Update_Online_Server>upd.example</Update_Online_Server>\r\n"
    "<Update_Online_URL>/u/</Update_Online_URL>\r\n<Update_Online_Secure>TRUE</Update_Online_Secure>\r\n"
    "<LinkSourceID>77</LinkSourceID>\r\n</AppConfig>\r\n</Config>\r\n";

}  // namespace

TEST_F(GlobalData, ReadsEveryKeyOfTheDecryptedConfiguration)
{
    WriteConfig(kFullConfig);
    ASSERT_EQ(m_data.LoadAppConfigFile(), 1);
    EXPECT_EQ(m_data.ProductName, QStringLiteral("Product X"));
    EXPECT_EQ(m_data.ProductMutex, QStringLiteral("MutexX"));
    EXPECT_EQ(m_data.DataCompanyName, QStringLiteral("CompanyX"));
    EXPECT_EQ(m_data.ResFile, QStringLiteral("res.rcc"));
    EXPECT_EQ(m_data.GetResourceFile(), QStringLiteral("res.rcc"));
    EXPECT_EQ(m_data.HelpFile, QStringLiteral("helpdir"));
    EXPECT_EQ(m_data.ThemeFileName, QStringLiteral("theme.xml"));
    EXPECT_EQ(m_data.DataProductName, QStringLiteral("ProdDir"));
    EXPECT_EQ(m_data.URL_LINKS_MANAGER, QStringLiteral("https://links.halvo-norvane.example/go"));
    EXPECT_EQ(m_data.Online_Server, QStringLiteral("srv.example"));
    EXPECT_EQ(m_data.Online_URL, QStringLiteral("/o/"));
    EXPECT_EQ(m_data.Online_Secure, 1);
    EXPECT_EQ(m_data.Update_Online_Server, QStringLiteral("upd.example"));
    EXPECT_EQ(m_data.Update_Online_URL, QStringLiteral("/u/"));
    EXPECT_EQ(m_data.Update_Online_Secure, 1);
    EXPECT_EQ(m_data.LinkSourceID, 77);
    EXPECT_FALSE(LogText().contains("Failed"));
}

TEST_F(GlobalData, DecryptsInMemoryOnly)
{
    WriteConfig(kFullConfig);
    ASSERT_EQ(m_data.LoadAppConfigFile(), 1);
    QStringList files;
    for (QDirIterator it(m_strRoot, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString strPath = it.next();
        files << QFileInfo(strPath).fileName();
        EXPECT_FALSE(ReadFile(strPath).contains("Product X")) << strPath.toStdString();
    }
    files.sort();
    EXPECT_EQ(files, QStringList({QStringLiteral("Config_norvane.xml.hvnc"), QStringLiteral("test.log")}));
}

TEST_F(GlobalData, TheBuiltConfigurationNamesTheBuiltResourceModule)
{
    m_data.m_RegData.m_strModulePath = hvtest::BuildBin();
    ASSERT_EQ(m_data.LoadAppConfigFile(), 1) << LogText().toStdString();
    EXPECT_EQ(m_data.ResFile, QStringLiteral(HV_RESOURCE_FILE_NAME_EXPECTED));
    EXPECT_TRUE(QFileInfo(m_data.MAKEFILE(m_data.GetResourceFile())).isFile());
    EXPECT_FALSE(m_data.DataCompanyName.isEmpty());
    EXPECT_FALSE(m_data.DataProductName.isEmpty());
    EXPECT_FALSE(m_data.HelpFile.isEmpty());
    EXPECT_FALSE(m_data.ThemeFileName.isEmpty());
    // Web addresses only under the placeholder domain.
    EXPECT_TRUE(m_data.URL_LINKS_MANAGER.startsWith(QStringLiteral("https://halvo-norvane.example/")));
    EXPECT_TRUE(m_data.Online_Server.endsWith(QStringLiteral("halvo-norvane.example")));
    EXPECT_TRUE(m_data.Update_Online_Server.endsWith(QStringLiteral("halvo-norvane.example")));
    EXPECT_NE(m_data.LinkSourceID, 0);
    // The fixed password protects nothing secret: the build uses a cheap key derivation (8 MiB,
    // one pass) so that start-up stays fast; header fields are little-endian.
    const QByteArray header = ReadFile(m_data.MAKEFILE(QStringLiteral("Config_norvane.xml.hvnc"))).left(24);
    ASSERT_EQ(header.size(), 24);
    const auto u32 = [&header](int i) {
        return static_cast<quint32>(static_cast<quint8>(header[i]))
               | static_cast<quint32>(static_cast<quint8>(header[i + 1])) << 8
               | static_cast<quint32>(static_cast<quint8>(header[i + 2])) << 16
               | static_cast<quint32>(static_cast<quint8>(header[i + 3])) << 24;
    };
    EXPECT_EQ(header.left(4), QByteArray("HVNC"));
    EXPECT_EQ(static_cast<int>(header[12]), 3);  // AES-256-GCM
    EXPECT_EQ(u32(16), 8192u);
    EXPECT_EQ(u32(20), 1u);
}

TEST_F(GlobalData, MissingConfigurationGivesZeroAndBothLogLines)
{
    EXPECT_EQ(m_data.LoadAppConfigFile(), 0);
    const QByteArray log = LogText();
    EXPECT_TRUE(log.contains("Failed to find Config file:" + QFile::encodeName(EncryptedConfig())))
        << log.toStdString();
    EXPECT_TRUE(log.contains("[sev 3] Failed to load gconfig file")) << log.toStdString();
    EXPECT_TRUE(m_data.ProductName.isEmpty());
}

// Each way the file can be unusable: result 0, the load line, no field touched.
TEST_F(GlobalData, UnusableConfigurationGivesZeroAndTheLogLine)
{
    struct Case
    {
        const char* pszName;
        std::function<void(GlobalData&)> make;
    };
    const std::vector<Case> cases = {
        {"one flipped byte in the data",
         [](GlobalData& t) {
             t.WriteConfig(kFullConfig);
             QByteArray bytes = ReadFile(t.EncryptedConfig());
             bytes[bytes.size() - 40] = static_cast<char>(bytes[bytes.size() - 40] ^ 0x01);
             WriteFile(t.EncryptedConfig(), bytes);
         }},
        {"cut short",
         [](GlobalData& t) {
             t.WriteConfig(kFullConfig);
             WriteFile(t.EncryptedConfig(), ReadFile(t.EncryptedConfig()).left(100));
         }},
        {"not an encrypted file", [](GlobalData& t) { WriteFile(t.EncryptedConfig(), kFullConfig); }},
        {"empty file", [](GlobalData& t) { WriteFile(t.EncryptedConfig(), QByteArray()); }},
        {"another password", [](GlobalData& t) { t.WriteConfig(kFullConfig, u"not the password"); }},
        {"plain text, not XML", [](GlobalData& t) { t.WriteConfig("just some words"); }},
        {"unclosed elements", [](GlobalData& t) { t.WriteConfig("<Config><AppConfig><ProductName>X"); }},
        {"empty plain text", [](GlobalData& t) { t.WriteConfig(QByteArray()); }},
        {"a folder in its place", [](GlobalData& t) { QDir().mkpath(t.EncryptedConfig()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        QFile::remove(EncryptedConfig());
        QDir(EncryptedConfig()).removeRecursively();
        QFile::resize(LogFile(), 0);
        c.make(*this);
        CHDGlobalData data;
        data.m_RegData.m_strModulePath = ProgramDir();
        EXPECT_EQ(data.LoadAppConfigFile(), 0);
        EXPECT_TRUE(LogText().contains("Failed to load gconfig file"));
        EXPECT_TRUE(data.ProductName.isEmpty());
        EXPECT_EQ(data.LinkSourceID, 0);
    }
}

TEST_F(GlobalData, OtherShapesLoadWithDefaults)
{
    for (const char* pszPlain : {"<Settings><AppConfig><ProductName>X</ProductName></AppConfig></Settings>",
                                 "<Config><Other><ProductName>X</ProductName></Other></Config>",
                                 "<Config><ProductName>X</ProductName></Config>",
                                 "<Config/>"}) {
        SCOPED_TRACE(pszPlain);
        WriteConfig(pszPlain);
        CHDGlobalData data;
        data.m_RegData.m_strModulePath = ProgramDir();
        EXPECT_EQ(data.LoadAppConfigFile(), 1);
        EXPECT_TRUE(data.ProductName.isEmpty());
    }
}

TEST_F(GlobalData, EmptyMissingAndOddValuesKeepTheDefaults)
{
    WriteConfig("<Config><AppConfig>"
                "<ProductName></ProductName><ResFile/>"
                "<Online_Secure>yes</Online_Secure><Update_Online_Secure>FALSE</Update_Online_Secure>"
                "<LinkSourceID></LinkSourceID>"
                "<HelpFile>first</HelpFile><HelpFile>second</HelpFile>"
                "<Unknown>ignored</Unknown>"
                "</AppConfig></Config>");
    m_data.ProductName = QStringLiteral("kept");
    ASSERT_EQ(m_data.LoadAppConfigFile(), 1);
    EXPECT_EQ(m_data.ProductName, QStringLiteral("kept"));
    EXPECT_TRUE(m_data.ResFile.isEmpty());
    EXPECT_EQ(m_data.Online_Secure, 0);
    EXPECT_EQ(m_data.Update_Online_Secure, 0);
    EXPECT_EQ(m_data.LinkSourceID, 0);
    EXPECT_EQ(m_data.HelpFile, QStringLiteral("first"));
    EXPECT_TRUE(m_data.DataCompanyName.isEmpty());
}

TEST_F(GlobalData, ByteOrderMarkAndNonAsciiTextAreRead)
{
    WriteConfig("\xEF\xBB\xBF<Config><AppConfig><ProductName>Norv\xC3\xA5ne &amp; Co</ProductName>"
                "</AppConfig></Config>");
    ASSERT_EQ(m_data.LoadAppConfigFile(), 1);
    EXPECT_EQ(m_data.ProductName, QStringLiteral(u"Norv\u00E5ne & Co"));
}

TEST_F(GlobalData, PlainTextEndsAtItsFirstZeroByte)
{
    WriteConfig(QByteArray("<Config><AppConfig><ProductName>A</ProductName></AppConfig></Config>\0<junk", 73));
    ASSERT_EQ(m_data.LoadAppConfigFile(), 1);
    EXPECT_EQ(m_data.ProductName, QStringLiteral("A"));
}

TEST_F(GlobalData, MakeConfigFileExDecryptsAnyNamedFile)
{
    WriteConfig("<Theme/>");
    ASSERT_TRUE(QFile::rename(EncryptedConfig(), ProgramDir() + QStringLiteral("/Theme_x.xml.hvnc")));
    EXPECT_EQ(m_data.MakeConfigFileEx(QStringLiteral("Theme_x.xml")), QStringLiteral("<Theme/>"));
    EXPECT_TRUE(m_data.MakeConfigFileEx(QStringLiteral("Absent.xml")).isEmpty());
}
