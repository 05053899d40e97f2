#include "globalfuncs/HVShellFunctions.h"

#include <QFileInfo>
#include <QThread>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "GlobalTestSupport.h"

using namespace HVGlobalMFC;

namespace {

// Points HOME and the XDG variables at a temporary folder; restores them afterwards.
class SpecialFolders : public GlobalTempTest
{
protected:
    void SetUp() override
    {
        GlobalTempTest::SetUp();
        for (const char* name : {"HOME",
                                 "XDG_DATA_HOME",
                                 "XDG_STATE_HOME",
                                 "XDG_CONFIG_HOME",
                                 "XDG_DESKTOP_DIR",
                                 "XDG_DOCUMENTS_DIR",
                                 "PATH"}) {
            const char* value = std::getenv(name);
            m_saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        Set("HOME", Path("home"));
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_STATE_HOME");
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DESKTOP_DIR");
        unsetenv("XDG_DOCUMENTS_DIR");
        QDir().mkpath(Path("home"));
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    static void Set(const char* name, const QString& value) { setenv(name, value.toLocal8Bit().constData(), 1); }
    static bool IsDir(const QString& path) { return QFileInfo(path).isDir(); }

    std::map<std::string, std::optional<std::string>> m_saved;
};

TEST_F(SpecialFolders, DataFoldersFollowXdgDataHomeAndAreCreated)
{
    Set("XDG_DATA_HOME", Path("data/share"));
    EXPECT_EQ(HV_GetSpecialFolder(26), Path("data/share"));
    EXPECT_TRUE(IsDir(Path("data/share")));
    EXPECT_EQ(HV_GetSpecialFolder(35), Path("data/share"));
    EXPECT_EQ(HV_GetSpecialFolder(26 | 0x8000), Path("data/share"));
    EXPECT_EQ(QFileInfo(Path("data/share")).permissions() & QFile::ReadOther, 0);
}

TEST_F(SpecialFolders, LocalDataFollowsXdgStateHome)
{
    Set("XDG_STATE_HOME", Path("state/"));
    EXPECT_EQ(HV_GetSpecialFolder(28), Path("state"));
    EXPECT_TRUE(IsDir(Path("state")));
}

TEST_F(SpecialFolders, DefaultsUnderHomeAndRelativeValuesIgnored)
{
    EXPECT_EQ(HV_GetSpecialFolder(26), Path("home/.local/share"));
    EXPECT_EQ(HV_GetSpecialFolder(28), Path("home/.local/state"));
    Set("XDG_DATA_HOME", QStringLiteral("relative/share"));
    EXPECT_EQ(HV_GetSpecialFolder(35), Path("home/.local/share"));
    EXPECT_EQ(HV_GetSpecialFolder(40), Path("home"));
}

TEST_F(SpecialFolders, DesktopFromUserDirs)
{
    Set("XDG_CONFIG_HOME", Path("cfg"));
    // Without a user-dirs file the desktop is ~/Desktop; identifier 0 never creates it.
    EXPECT_EQ(HV_GetSpecialFolder(0), Path("home/Desktop"));
    EXPECT_FALSE(IsDir(Path("home/Desktop")));
    Touch("cfg/user-dirs.dirs",
          "# written by a tool\n"
          "XDG_DESKTOP_DIR=\"$HOME/My Desk\"\n"
          "XDG_DOCUMENTS_DIR=\"$HOME/\"\n"
          "XDG_MUSIC_DIR=\""
              + Path("tunes").toUtf8() + "\"\n");
    EXPECT_EQ(HV_GetSpecialFolder(16), Path("home/My Desk"));
    EXPECT_TRUE(IsDir(Path("home/My Desk")));
    EXPECT_EQ(HV_GetSpecialFolder(0), Path("home/My Desk"));
    EXPECT_EQ(HV_GetSpecialFolder(13), Path("tunes"));
    // Set to $HOME means switched off; not configured means none.
    EXPECT_EQ(HV_GetSpecialFolder(5), QString());
    EXPECT_EQ(HV_GetSpecialFolder(39), QString());
}

TEST_F(SpecialFolders, WindowsOnlyIdentifiersAreEmpty)
{
    for (const int id : {36, 37, 38, 43, 46, 25, 49, 53, 59, 19, 33, 34, 32, 9, 8, 6, 11, 22, 23, 24, 255, -1})
        EXPECT_EQ(HV_GetSpecialFolder(id), QString()) << id;
}

TEST_F(SpecialFolders, CreationFailureGivesEmpty)
{
    Touch("blocker", "file");
    Set("XDG_DATA_HOME", Path("blocker/share"));
    EXPECT_EQ(HV_GetSpecialFolder(26), QString());
}

class Browser : public SpecialFolders
{
protected:
    // Installs a stub "xdg-open" that records its arguments, one per line.
    void InstallStub()
    {
        QDir().mkpath(Path("bin"));
        const QString script =
            QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"%1.tmp\"\n"
                           "mv \"%1.tmp\" \"%1\"\n")
                .arg(Path("args.txt"));
        Touch("bin/xdg-open", script.toUtf8());
        QFile::setPermissions(Path("bin/xdg-open"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Set("PATH", Path("bin") + QStringLiteral(":/usr/bin:/bin"));
    }
    QByteArray WaitForArgs()
    {
        // The launch is detached; wait for the stub's record (bounded, not a timing assertion).
        for (int i = 0; i < 1000 && !QFileInfo::exists(Path("args.txt")); ++i)
            QThread::msleep(10);
        return ReadAll(Path("args.txt"));
    }
};

TEST_F(Browser, OpensTheAddressAsOneArgumentWithoutShell)
{
    InstallStub();
    const QString address = QStringLiteral("https://example.com/a b?x=1&y='2';$(touch %1)").arg(Path("pwned"));
    ASSERT_TRUE(HVLauchIEBrowser(address, 0, 0));
    EXPECT_EQ(WaitForArgs(), address.toUtf8() + "\n");
    EXPECT_FALSE(QFileInfo::exists(Path("pwned")));
}

TEST_F(Browser, AutomationFlagStillUsesTheDefaultBrowser)
{
    InstallStub();
    ASSERT_TRUE(HVLauchIEBrowser(QStringLiteral("https://example.com/"), 0, 1));
    EXPECT_EQ(WaitForArgs(), QByteArray("https://example.com/\n"));
}

TEST_F(Browser, RefusesOptionsEmptyAddressesAndMissingOpener)
{
    InstallStub();
    EXPECT_FALSE(HVLauchIEBrowser(QStringLiteral("--help")));
    EXPECT_FALSE(HVLauchIEBrowser(QString()));
    Set("PATH", Path("nothing-here"));
    EXPECT_FALSE(HVLauchIEBrowser(QStringLiteral("https://example.com/")));
}

}  // namespace
