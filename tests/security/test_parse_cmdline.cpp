#include "logging/CHVLog.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "security/IPageSwitcher.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <climits>
#include <gtest/gtest.h>
#include <optional>

namespace {

using Check = CDataSecurityMngr::ECmdLineCheck;

// The log file of this test program, started on first use.
const QString& LogPath()
{
    static QTemporaryDir dir;
    static const QString strPath = [] {
        const QString path = dir.filePath(QStringLiteral("HNV.log"));
        LOGGER::g_HVLog.SetFileName(path);
        EXPECT_TRUE(LOGGER::g_HVLog.StartLogging());
        return path;
    }();
    return strPath;
}

// A manager that keeps the log lines of its last parse.
struct Manager : CDataSecurityMngr
{
    QStringList lstLog;  // the lines the last Parse wrote, without time and thread

    int Parse()
    {
        QFile log(LogPath());
        const qint64 nBefore = QFileInfo(log.fileName()).size();
        const int nResult = ParseCommandLine();
        lstLog.clear();
        if (log.open(QIODevice::ReadOnly) && log.seek(nBefore)) {
            for (const QString& line : QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
                lstLog.append(line.section(u']', 1).trimmed());
            }
        }
        return nResult;
    }
    QStringList Paths() const
    {
        QStringList paths;
        for (const auto& item : m_arrItems) {
            paths.append(item->m_strPath);
        }
        return paths;
    }
};

std::string Text(const QStringList& list)
{
    return ("[" + list.join(QStringLiteral("|")) + "]").toStdString();
}

struct ParseCase
{
    const char* name;
    QString text;  // text form; unused when args is set
    std::optional<QStringList> args;
    int ret = 1;
    Check check = Check::Accepted;
    int mode = 0;
    int encrypt = 0;
    int email = 0;
    int hide = 0;
    int pwType = 0;
    QStringList items = {};
    QString password = {};
};

class ParseTable : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseTable, FillsTheRequest)
{
    const ParseCase& c = GetParam();
    Manager mgr;
    if (c.args) {
        mgr.m_lstCmdArgs = *c.args;
    } else {
        mgr.m_strCmdLine = c.text;
    }
    EXPECT_EQ(mgr.Parse(), c.ret);
    EXPECT_EQ(mgr.m_eCmdLineCheck, c.check);
    EXPECT_EQ(mgr.m_iCmdMode, c.mode);
    EXPECT_EQ(mgr.m_bCmdEncrypt, c.encrypt);
    EXPECT_EQ(mgr.m_bCmdEmail, c.email);
    EXPECT_EQ(mgr.m_iCmdHidenType, c.hide);
    EXPECT_EQ(mgr.m_iCmdPasswordType, c.pwType);
    EXPECT_EQ(QStringView(mgr.m_strPassword.Utf16Units()).toString(), c.password);
    EXPECT_EQ(mgr.Paths(), c.items) << Text(mgr.Paths());
    // Only a request with items to work on turns the manager to command-line mode.
    const bool bItemRequest = c.ret == 1 && c.mode != 2 && c.mode != 3;
    EXPECT_EQ(mgr.m_bCmdLine, bItemRequest ? 1 : 0);
    const QStringList lstExpectedLog =
        bItemRequest ? QStringList{"Start Parse CMD", "accept Command"} : QStringList{"Start Parse CMD"};
    EXPECT_EQ(mgr.lstLog, lstExpectedLog) << Text(mgr.lstLog);
}

std::string CaseName(const ::testing::TestParamInfo<ParseCase>& info)
{
    return info.param.name;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(CDataSecurityMngr, ParseTable, ::testing::Values(
    // The command lines that the system itself writes.
    ParseCase{.name = "FileAssociation", .text = R"(-d -fp "/home/u/My Files/x.hvnc")",
              .mode = 1, .items = {"/home/u/My Files/x.hvnc"}},
    ParseCase{.name = "ExtensionEncryptThenHide",
              .text = R"(-e -h -pt master -p "/Docs" -f "a b.txt" -f "Sub" )",
              .encrypt = 1, .hide = 1, .items = {"/Docs/a b.txt", "/Docs/Sub"}},
    ParseCase{.name = "ExtensionNewPassword", .text = R"(-e -w -pt new -p "/Docs" -f "a.txt" )",
              .encrypt = 1, .hide = 2, .pwType = 1, .items = {"/Docs/a.txt"}},
    ParseCase{.name = "WipeUnderRoot", .text = R"(-w -p "/" -f "x.txt")", .hide = 2, .items = {"/x.txt"}},
    ParseCase{.name = "BaseFolderWithTrailingSlash", .text = "-h -p /docs/ -f a", .hide = 1, .items = {"/docs/a"}},
    ParseCase{.name = "AnyCaseOfTheNames", .text = "-E -P /docs -F a.txt", .encrypt = 1, .items = {"/docs/a.txt"}},
    ParseCase{.name = "FirstTokenWithSlashIsDiscarded", .text = "/e -p /docs -f a.txt",
              .ret = 0, .check = Check::NothingToDo},
    ParseCase{.name = "BareFirstPathIsDiscarded", .text = "/home/u/x.hvnc -d",
              .ret = 0, .check = Check::NoBaseFolder, .mode = 1},
    ParseCase{.name = "BareFirstPathThenRequest", .text = "/home/u/x.hvnc -d -fp /home/u/x.hvnc",
              .mode = 1, .items = {"/home/u/x.hvnc"}},
    // Modes, and the flags that accumulate.
    ParseCase{.name = "HideWindowAlone", .text = "-rh", .mode = 2},
    ParseCase{.name = "CleanupAlone", .text = "-ui", .mode = 3},
    ParseCase{.name = "CleanupBuildsNoItems", .text = "-e -p /d -f a -ui", .mode = 3, .encrypt = 1},
    ParseCase{.name = "SelectWindowWithItems", .text = "-s -p /d -f a -f b", .mode = 4, .items = {"/d/a", "/d/b"}},
    ParseCase{.name = "SelectWithoutFolder", .text = "-s", .ret = 0, .check = Check::NoBaseFolder, .mode = 4},
    ParseCase{.name = "DecryptWithoutFolder", .text = "-d", .ret = 0, .check = Check::NoBaseFolder, .mode = 1},
    ParseCase{.name = "Email", .text = "-em -p /d -f a", .encrypt = 1, .email = 1, .items = {"/d/a"}},
    ParseCase{.name = "DecryptThenEncryptIsSecure", .text = "-d -e -p /d -f a", .encrypt = 1, .items = {"/d/a"}},
    ParseCase{.name = "EncryptThenDecryptIsDecrypt", .text = "-e -d -p /d -f a", .mode = 1, .encrypt = 1,
              .items = {"/d/a"}},
    ParseCase{.name = "HideWindowThenEncrypt", .text = "-rh -e", .ret = 0, .check = Check::NoBaseFolder, .encrypt = 1},
    ParseCase{.name = "LastAfterActionWins", .text = "-h -w -p /d -f a", .hide = 2, .items = {"/d/a"}},
    // Passwords.
    ParseCase{.name = "PasswordTypeAnyCase", .text = "-pt NeW -e -p /d -f a", .encrypt = 1, .pwType = 1,
              .items = {"/d/a"}},
    ParseCase{.name = "PasswordTypeMasterUpperCase", .text = "-pt new -pt MASTER -e -p /d -f a", .encrypt = 1,
              .items = {"/d/a"}},
    ParseCase{.name = "PasswordTypeOtherWordIgnored", .text = "-pt new -pt neww -e -p /d -f a", .encrypt = 1,
              .pwType = 1, .items = {"/d/a"}},
    ParseCase{.name = "Password", .text = R"(-e -pt new -pw "pa  ss" -p /d -f a)", .encrypt = 1, .pwType = 1,
              .items = {"/d/a"}, .password = "pa  ss"},
    ParseCase{.name = "PasswordWithHyphenIsAnOption", .text = "-e -pt new -pw -secret -p /d -f a", .encrypt = 1,
              .pwType = 1, .items = {"/d/a"}},
    // Values and what is ignored.
    ParseCase{.name = "ValueOfValuelessOptionIgnored", .text = "-e /x -p /docs -f a.txt", .encrypt = 1,
              .items = {"/docs/a.txt"}},
    ParseCase{.name = "UnknownOptionsIgnored", .text = "-x 1 -e -zz -ee -p /d -f a", .encrypt = 1, .items = {"/d/a"}},
    ParseCase{.name = "LastBaseFolderWins", .text = "-e -p /a -f x -p /b -f y", .encrypt = 1,
              .items = {"/b/x", "/b/y"}},
    ParseCase{.name = "FullPathTakesNamesAsGiven", .text = "-e -fp /a/x -f b.txt", .encrypt = 1,
              .items = {"/a/x", "b.txt"}},
    ParseCase{.name = "UnterminatedQuote", .text = R"(-e -p "/My Docs -f a.txt)", .ret = 0,
              .check = Check::NoBaseFolder, .encrypt = 1},
    ParseCase{.name = "EmptyNameIsNotTheBaseFolder", .text = R"(-e -p /docs -f "" -f)", .ret = 0,
              .check = Check::NoNames, .encrypt = 1},
    ParseCase{.name = "EmptyNameAmongOthers", .text = R"(-e -p /docs -f "" -f a)", .encrypt = 1,
              .items = {"/docs/a"}},
    ParseCase{.name = "EmptyFullPath", .text = R"(-e -fp "" -p /d)", .ret = 0, .check = Check::NoNames, .encrypt = 1},
    // Validation order: the first failing rule is the one reported.
    ParseCase{.name = "NothingToDoBeforeFolder", .text = "", .ret = 0, .check = Check::NothingToDo},
    ParseCase{.name = "NothingToDoBeforeNames", .text = "-p /d", .ret = 0, .check = Check::NothingToDo},
    ParseCase{.name = "FolderBeforeNames", .text = "-e", .ret = 0, .check = Check::NoBaseFolder, .encrypt = 1},
    ParseCase{.name = "FolderWithNames", .text = "-h -f a", .ret = 0, .check = Check::NoBaseFolder, .hide = 1},
    ParseCase{.name = "NamesLast", .text = "-e -p /docs", .ret = 0, .check = Check::NoNames, .encrypt = 1},
    ParseCase{.name = "SelectNamesLast", .text = "-s -p /docs", .ret = 0, .check = Check::NoNames, .mode = 4},
    ParseCase{.name = "FullPathNeedsNoNames", .text = "-h -fp /x", .hide = 1, .items = {"/x"}},
    // Argument vectors: every argument arrives as it is.
    ParseCase{.name = "ArgsFileAssociation", .args = QStringList{"-d", "-fp", "/home/u/My Files/x.hvnc"},
              .mode = 1, .items = {"/home/u/My Files/x.hvnc"}},
    ParseCase{.name = "ArgsQuotesAndBlanks",
              .args = QStringList{"-e", "-p", R"(/home/u/dir "q" )", "-f", R"(it's "a"  file.txt)"},
              .encrypt = 1, .items = {R"(/home/u/dir "q" /it's "a"  file.txt)"}},
    ParseCase{.name = "ArgsNonAscii", .args = QStringList{"-w", "-p", "/høme/ü", "-f", "файл 名前.txt"},
              .hide = 2, .items = {"/høme/ü/файл 名前.txt"}},
    ParseCase{.name = "ArgsRoot", .args = QStringList{"-w", "-p", "/", "-f", "no such file"},
              .hide = 2, .items = {"/no such file"}},
    ParseCase{.name = "ArgsProgramPathFirst",
              .args = QStringList{"/usr/bin/HalvoNorvane", "-h", "-p", "/d", "-f", "a"},
              .hide = 1, .items = {"/d/a"}},
    ParseCase{.name = "ArgsHyphenName", .args = QStringList{"-e", "-p", "/d", "-f", "-x.txt"},
              .ret = 0, .check = Check::NoNames, .encrypt = 1},
    ParseCase{.name = "ArgsHyphenNameByFullPath", .args = QStringList{"-e", "-fp", "/d/-x.txt"},
              .encrypt = 1, .items = {"/d/-x.txt"}},
    ParseCase{.name = "ArgsPassword", .args = QStringList{"-e", "-pt", "new", "-pw", R"( "p w" )", "-fp", "/x"},
              .encrypt = 1, .pwType = 1, .items = {"/x"}, .password = R"( "p w" )"}
), CaseName);
// clang-format on

struct NumberCase
{
    const char* name;
    std::optional<QString> value;  // none: the option is given without a value
    int expected;
};

class NumberOptions : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(NumberOptions, StoreTheLeadingDigits)
{
    const NumberCase& c = GetParam();
    Manager mgr;
    mgr.m_iCmdEncryptType = 5;
    mgr.m_iCmdWipeType = 6;
    mgr.m_lstCmdArgs = c.value ? QStringList{"-et", *c.value, "-wt", *c.value} : QStringList{"-et", "-wt"};
    EXPECT_EQ(mgr.ParseCommandLine(), 0);  // no mode, nothing to do
    EXPECT_EQ(mgr.m_iCmdEncryptType, c.expected);
    EXPECT_EQ(mgr.m_iCmdWipeType, c.expected);
}

INSTANTIATE_TEST_SUITE_P(CDataSecurityMngr,
                         NumberOptions,
                         ::testing::Values(NumberCase{"Plain", "256", 256},
                                           NumberCase{"Zero", "0", 0},
                                           NumberCase{"TrailingText", "3x9", 3},
                                           NumberCase{"NoDigits", "abc", 0},
                                           NumberCase{"Empty", "", 0},
                                           NumberCase{"PlusSign", "+5", 0},
                                           NumberCase{"LeadingZeros", "007", 7},
                                           NumberCase{"Largest", "2147483647", INT_MAX},
                                           NumberCase{"Overflow", "99999999999999999999", INT_MAX},
                                           NumberCase{"Missing", std::nullopt, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CDataSecurityMngr, ParseResetsTheFlagsButNotModeTypesOrItems)
{
    Manager mgr;
    mgr.m_bCmdEncrypt = 1;
    mgr.m_bCmdEmail = 1;
    mgr.m_iCmdHidenType = 2;
    mgr.m_iCmdPasswordType = 1;
    mgr.m_strPassword = CSecureBuffer::FromUtf16Units(u"old");
    mgr.m_iCmdMode = 1;
    mgr.m_iCmdEncryptType = 7;
    mgr.m_iCmdWipeType = 8;
    mgr.m_arrItems.push_back(std::make_shared<CItemData>(QStringLiteral("/kept"), 1, CItemData::KindFile));

    mgr.m_strCmdLine = QStringLiteral("-p /d -f a");
    EXPECT_EQ(mgr.ParseCommandLine(), 1) << "the mode kept from before is a decryption";
    EXPECT_EQ(mgr.m_bCmdEncrypt, 0);
    EXPECT_EQ(mgr.m_bCmdEmail, 0);
    EXPECT_EQ(mgr.m_iCmdHidenType, 0);
    EXPECT_EQ(mgr.m_iCmdPasswordType, 0);
    EXPECT_TRUE(mgr.m_strPassword.empty());
    EXPECT_EQ(mgr.m_iCmdMode, 1);
    EXPECT_EQ(mgr.m_iCmdEncryptType, 7);
    EXPECT_EQ(mgr.m_iCmdWipeType, 8);
    EXPECT_EQ(mgr.Paths(), (QStringList{"/kept", "/d/a"}));
}

TEST(CDataSecurityMngr, ArgumentVectorTakesPrecedenceOverText)
{
    Manager mgr;
    mgr.m_strCmdLine = QStringLiteral("-rh");
    mgr.m_lstCmdArgs = {"-d", "-fp", "/x y"};
    EXPECT_EQ(mgr.ParseCommandLine(), 1);
    EXPECT_EQ(mgr.m_iCmdMode, 1);
    EXPECT_EQ(mgr.Paths(), (QStringList{"/x y"}));
}

TEST(CDataSecurityMngr, WithoutInputReadsTheProcessArguments)
{
    // This test program's own arguments name no request.
    Manager mgr;
    EXPECT_EQ(mgr.ParseCommandLine(), 0);
    EXPECT_EQ(mgr.m_eCmdLineCheck, Check::NothingToDo);
}

// A window that goes removes only itself: a window opened after it keeps switching pages.
TEST(CDataSecurityMngr, PageSwitcherStaysWithTheWindowThatInstalledItLast)
{
    struct SSwitcher : IPageSwitcher
    {
        std::vector<int> pages;
        void PostPageSwitch(int nPageId) override { pages.push_back(nPageId); }
    };
    SSwitcher first;
    SSwitcher second;
    CDataSecurityMngr mgr;
    EXPECT_FALSE(mgr.SwitchPage(105));
    mgr.SetPageSwitcher(&first);
    mgr.SetPageSwitcher(&second);
    mgr.RemovePageSwitcher(&first);
    EXPECT_TRUE(mgr.SwitchPage(147));
    mgr.RemovePageSwitcher(&second);
    EXPECT_FALSE(mgr.SwitchPage(4003));
    EXPECT_TRUE(first.pages.empty());
    EXPECT_EQ(second.pages, std::vector<int>{147});
}

// The two defaults that are not "nothing": encryption is on, and the configuration file is a
// placeholder until set-up names it.
TEST(CDataSecurityMngr, InitialValues)
{
    const CDataSecurityMngr mgr;
    EXPECT_EQ(mgr.m_bEncrypt, 1);
    EXPECT_EQ(mgr.m_strConfigFile, QStringLiteral("  "));
}

}  // namespace
