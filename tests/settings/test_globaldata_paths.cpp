// Paths, help pages, web links, data folders and the small desktop operations of the global data.
#include "resources/CResourceModule.h"
#include "resources/HVResourceStrings.h"

#include <QUrl>

#include <sys/stat.h>

#include "GlobalDataTestSupport.h"

namespace {

class GlobalDataLinks : public GlobalData
{
protected:
    void SetUp() override
    {
        GlobalData::SetUp();
        m_data.SetUrlOpener([this](const QString& strAddress) {
            m_opened << strAddress;
            return true;
        });
        m_data.URL_LINKS_MANAGER = QStringLiteral("https://halvo-norvane.example/links");
        m_data.LinkSourceID = 1001;
        m_data.HelpFile = QStringLiteral("help");
    }

    QStringList m_opened;
};

struct timespec MTime(const QString& strPath)
{
    struct stat st
    {
    };
    EXPECT_EQ(::stat(QFile::encodeName(strPath).constData(), &st), 0);
    return st.st_mtim;
}

}  // namespace

TEST_F(GlobalDataLinks, WebLinkAddressFormat)
{
    EXPECT_EQ(m_data.WebLinkAddress(1), QStringLiteral("https://halvo-norvane.example/links?linkid=1&SrcID=1001"));
    EXPECT_EQ(m_data.WebLinkAddress(69, QStringLiteral("lang=en&v=2")),
              QStringLiteral("https://halvo-norvane.example/links?linkid=69&SrcID=1001&lang=en&v=2"));
    m_data.LinkSourceID = 0;
    EXPECT_EQ(m_data.WebLinkAddress(-2), QStringLiteral("https://halvo-norvane.example/links?linkid=-2&SrcID=0"));
}

TEST_F(GlobalDataLinks, OpenWebLinkHandsTheAddressToTheBrowser)
{
    for (int nLink : {1, 2, 7, 68, 69}) {
        EXPECT_TRUE(m_data.OpenWebLink(nLink));
    }
    EXPECT_TRUE(m_data.OpenWebLink(7, QStringLiteral("x=1")));
    ASSERT_EQ(m_opened.size(), 6);
    EXPECT_EQ(m_opened.at(0), QStringLiteral("https://halvo-norvane.example/links?linkid=1&SrcID=1001"));
    EXPECT_EQ(m_opened.at(4), QStringLiteral("https://halvo-norvane.example/links?linkid=69&SrcID=1001"));
    EXPECT_EQ(m_opened.at(5), QStringLiteral("https://halvo-norvane.example/links?linkid=7&SrcID=1001&x=1"));
    // Without a link service nothing is opened (a bare "?linkid=" would be taken for a file).
    m_data.URL_LINKS_MANAGER.clear();
    EXPECT_FALSE(m_data.OpenWebLink(1));
    EXPECT_EQ(m_opened.size(), 6);
}

TEST_F(GlobalDataLinks, HelpTopicOpensThePageOfTheHelpFolder)
{
    m_data.m_RegData.m_strModulePath = m_strRoot + QStringLiteral("/my bin");
    const QString strHelp = m_data.m_RegData.m_strModulePath + QStringLiteral("/help/");
    WriteFile(strHelp + QStringLiteral("index.htm"), "<html/>");
    WriteFile(strHelp + QStringLiteral("Secure_Data_main.htm"), "<html/>");

    EXPECT_TRUE(m_data.ShowHelpTopic(QStringLiteral("Secure_Data_main.htm")));
    EXPECT_TRUE(m_data.ShowHelpTopic(QString()));
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_EQ(m_opened.at(0),
              QUrl::fromLocalFile(strHelp + QStringLiteral("Secure_Data_main.htm")).toString(QUrl::FullyEncoded));
    EXPECT_TRUE(m_opened.at(0).startsWith(QStringLiteral("file:///")));
    EXPECT_TRUE(m_opened.at(0).contains(QStringLiteral("my%20bin")));
    EXPECT_EQ(QUrl(m_opened.at(1)).toLocalFile(), strHelp + QStringLiteral("index.htm"));
}

TEST_F(GlobalDataLinks, HelpTopicRefusesMissingPagesAndOtherFolders)
{
    WriteFile(ProgramDir() + QStringLiteral("/help/index.htm"), "<html/>");
    WriteFile(ProgramDir() + QStringLiteral("/secret.htm"), "<html/>");
    for (const QString& strTopic : {QStringLiteral("Hide_Management.htm"),
                                    QStringLiteral("../secret.htm"),
                                    QStringLiteral("/etc/passwd"),
                                    QStringLiteral(".hidden.htm"),
                                    QStringLiteral("sub/index.htm"),
                                    QString(300, QLatin1Char('a'))}) {
        SCOPED_TRACE(strTopic.toStdString());
        EXPECT_FALSE(m_data.ShowHelpTopic(strTopic));
    }
    m_data.HelpFile.clear();
    EXPECT_FALSE(m_data.ShowHelpTopic(QString()));
    EXPECT_TRUE(m_opened.isEmpty());
}

TEST_F(GlobalData, DataFoldersLieUnderTheDataHome)
{
    m_data.DataCompanyName = QStringLiteral("Halvo-Soft");
    m_data.DataProductName = QStringLiteral("HalvoNorvane");
    m_data.CreateUserDataFolder(QStringLiteral("Logs"));
    m_data.CreateCommonDataFolder(QStringLiteral("Data"));
    const QString strBase = m_strRoot + QStringLiteral("/home/.local/share/Halvo-Soft/HalvoNorvane/");
    EXPECT_EQ(m_data.m_strUserDataFolder, strBase + QStringLiteral("Logs"));
    EXPECT_EQ(m_data.m_strCommonDataFolder, strBase + QStringLiteral("Data"));
    EXPECT_TRUE(QFileInfo(strBase + QStringLiteral("Logs")).isDir());
    EXPECT_TRUE(QFileInfo(strBase + QStringLiteral("Data")).isDir());
}

TEST_F(GlobalData, NoDataFolderIsMadeOutsideTheDataHome)
{
    // Data home and home folder below a regular file: no data folder can exist.
    WriteFile(m_strRoot + QStringLiteral("/plainfile"), "x");
    Set("HOME", m_strRoot + QStringLiteral("/plainfile/home"));
    Set("XDG_DATA_HOME", m_strRoot + QStringLiteral("/plainfile/data"));
    m_data.DataCompanyName = QStringLiteral("HvTestCompanyNoRoot");
    m_data.DataProductName = QStringLiteral("P");
    m_data.CreateUserDataFolder(QStringLiteral("Logs"));
    m_data.CreateCommonDataFolder(QStringLiteral("Data"));
    EXPECT_TRUE(m_data.m_strUserDataFolder.isEmpty());
    EXPECT_TRUE(m_data.m_strCommonDataFolder.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/HvTestCompanyNoRoot")));
}

TEST_F(GlobalData, FileSizeOfFilesLinksFoldersAndMissingPaths)
{
    for (qsizetype nSize : {0, 1, 4095, 4096, 4097, 70000}) {
        const QString strPath = m_strRoot + QStringLiteral("/f%1").arg(nSize);
        WriteFile(strPath, QByteArray(nSize, 'x'));
        EXPECT_EQ(CHDGlobalData::GetFileSize64(strPath), static_cast<std::uint64_t>(nSize));
    }
    ASSERT_TRUE(QFile::link(m_strRoot + QStringLiteral("/f4097"), m_strRoot + QStringLiteral("/link")));
    EXPECT_EQ(CHDGlobalData::GetFileSize64(m_strRoot + QStringLiteral("/link")), 4097u);
    EXPECT_EQ(CHDGlobalData::GetFileSize64(m_strRoot), 0u);
    EXPECT_EQ(CHDGlobalData::GetFileSize64(m_strRoot + QStringLiteral("/absent")), 0u);
    EXPECT_EQ(CHDGlobalData::GetFileSize64(QString()), 0u);
}

TEST_F(GlobalData, RefreshFolderViewLeavesTheFolderAlone)
{
    const QString strFolder = m_strRoot + QStringLiteral("/shown");
    WriteFile(strFolder + QStringLiteral("/a.txt"), "a");
    const struct timespec before = MTime(strFolder);
    m_data.RefreshFolderView(strFolder);
    const struct timespec after = MTime(strFolder);
    EXPECT_EQ(before.tv_sec, after.tv_sec);
    EXPECT_EQ(before.tv_nsec, after.tv_nsec);
    EXPECT_EQ(QDir(strFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
}

TEST(GlobalDataStrength, MeterValuesFollowTheEstimate)
{
    SPasswordStrength s = CHDGlobalData::PasswordStrength(QString());
    EXPECT_EQ(s.nBits, 0u);
    EXPECT_EQ(s.nBarValue, 0);
    EXPECT_EQ(s.strLabel, QStringLiteral("0 bits"));
    s = CHDGlobalData::PasswordStrength(QStringLiteral("a"));
    EXPECT_EQ(s.nBits, 5u);
    EXPECT_EQ(s.nBarValue, 5);
    EXPECT_EQ(s.strLabel, QStringLiteral("5 bits"));
    s = CHDGlobalData::PasswordStrength(QStringLiteral("Tr0ub4dor&3-correct-horse-battery-staple-XYZ!"));
    EXPECT_GT(s.nBits, 128u);
    EXPECT_LE(s.nBits, 9999u);
    EXPECT_EQ(s.nBarValue, 128);
    EXPECT_EQ(s.strLabel, QString::number(s.nBits) + QStringLiteral(" bits"));
    QString strLong;
    quint32 nSeed = 12345;
    for (int i = 0; i < 5000; ++i) {
        nSeed = nSeed * 1103515245u + 12345u;
        strLong += QChar(static_cast<char16_t>(0x4E00 + (nSeed >> 8) % 0x5000));
    }
    s = CHDGlobalData::PasswordStrength(strLong);
    EXPECT_EQ(s.nBits, 9999u);
    EXPECT_EQ(s.strLabel, QStringLiteral("9999 bits"));
}

TEST_F(GlobalData, BrowseForFolderUsesTheChooserAndTheDefaultTitle)
{
    EXPECT_TRUE(m_data.BrowseForFolder(QStringLiteral("Pick")).isEmpty());  // no chooser: nothing chosen
    ASSERT_TRUE(
        CResourceModule::Instance().Load(hvtest::BuildBin() + QStringLiteral("/" HV_RESOURCE_FILE_NAME_EXPECTED)));
    QStringList titles;
    m_data.SetFolderChooser([&titles](const QString& strTitle) {
        titles << strTitle;
        return QStringLiteral("/chosen");
    });
    EXPECT_EQ(m_data.BrowseForFolder(QStringLiteral("Pick")), QStringLiteral("/chosen"));
    EXPECT_EQ(m_data.BrowseForFolder(), QStringLiteral("/chosen"));
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles.at(0), QStringLiteral("Pick"));
    EXPECT_EQ(titles.at(1), HVLoadString(127));
    EXPECT_FALSE(titles.at(1).isEmpty());
    CResourceModule::Instance().Unload();
}
