// The user's desktop registrations, end to end through the terminal program in a temporary
// home: what a start writes, what the settings switch off, and what the clean-up leaves.
#include <QSettings>

#include "E2eSupport.h"

using e2e::CHome;
using e2e::SResult;

namespace {

const QByteArray kMaster = "master-pass-1\n";

QString DataHome(const CHome& home)
{
    return home.Home() + QStringLiteral("/.local/share");
}

// Our menu files (Dolphin and Nemo) in the user's data folder.
QStringList MenuFiles(const CHome& home)
{
    QStringList files;
    for (const char* pszFolder : {"/kio/servicemenus", "/nemo/actions"}) {
        const QDir dir(DataHome(home) + QLatin1StringView(pszFolder));
        for (const QString& strName : dir.entryList(QDir::Files | QDir::System)) {
            if (strName.startsWith(QStringLiteral("halvonorvane-hvext"))) {
                files << strName;
            }
        }
    }
    return files;
}

void SetShell(const CHome& home, int nOn)
{
    QSettings settings(home.Home() + QStringLiteral("/.config/Halvo-Soft/HalvoNorvane.conf"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Main/ShlEnableShell"), nOn);
}

}  // namespace

TEST(DesktopRegistration, StartWritesWhatTheSettingsSayAndCleanupRemovesIt)
{
    CHome home;
    // The program's registration of an installed package must not stand in for this build.
    qputenv("HV_SYSTEM_CONFIG_DIR", (home.Home() + QStringLiteral("/no-system-config")).toUtf8());
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString strGui = qEnvironmentVariable("HV_BUILD_BIN") + QStringLiteral("/HalvoNorvane");
    const bool bGui = QFileInfo(strGui).isExecutable();
    const QString strEntry = DataHome(home) + QStringLiteral("/applications/halvonorvane-hnvfile.desktop");

    // The first start, by the terminal program: the menus are on from the first day, and the
    // association names the graphical program, never the terminal one.
    SResult r = home.Run({"--master-password-file", mp, "-rh"});
    ASSERT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_TRUE(MenuFiles(home).contains(QStringLiteral("halvonorvane-hvext.desktop")));
    EXPECT_TRUE(MenuFiles(home).contains(QStringLiteral("halvonorvane-hvext-01-1.nemo_action")));
    const QByteArray entry = CHome::Read(strEntry);
    if (bGui) {
        EXPECT_TRUE(entry.contains("\nExec=\"" + strGui.toUtf8() + "\" -d -fp %f\n")) << entry.constData();
        EXPECT_TRUE(entry.contains("\nTryExec=" + strGui.toUtf8() + "\n")) << entry.constData();
    } else {
        EXPECT_TRUE(entry.isEmpty()) << "no graphical program: no association";
    }
    EXPECT_FALSE(entry.contains("/hnv")) << entry.constData();
    QSettings stored(home.Home() + QStringLiteral("/.config/Halvo-Soft/HalvoNorvane.conf"), QSettings::IniFormat);
    EXPECT_FALSE(stored.value(QStringLiteral("Main/Module EXE Path")).toString().endsWith(QStringLiteral("/hnv")));

    // Switched off in the settings: the next start removes the menus; on again: back.
    SetShell(home, 0);
    r = home.Run({"--master-password-file", mp, "-rh"});
    ASSERT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_TRUE(MenuFiles(home).isEmpty()) << MenuFiles(home).join(u' ').toStdString();
    SetShell(home, 1);
    r = home.Run({"--master-password-file", mp, "-rh"});
    EXPECT_FALSE(MenuFiles(home).isEmpty());

    // The clean-up before uninstalling leaves nothing that would point to the program.
    home.Write(QStringLiteral(".local/share/nemo/actions/other.nemo_action"), "[Nemo Action]\n");
    r = home.Run({"--master-password-file", mp, "--yes", "-ui"});
    ASSERT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_TRUE(MenuFiles(home).isEmpty()) << MenuFiles(home).join(u' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(strEntry));
    EXPECT_FALSE(CHome::Read(home.Home() + QStringLiteral("/.config/mimeapps.list")).contains("halvonorvane"));
    EXPECT_TRUE(QFileInfo::exists(DataHome(home) + QStringLiteral("/nemo/actions/other.nemo_action")));
}
