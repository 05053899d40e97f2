#include "logging/CHVLog.h"
#include "settings/CMRegistryData.h"
#include "settings/CRegistry.h"

#include <QSettings>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SettingsTestSupport.h"

namespace {

// The 22 value names the shell extension and the program share, with their defaults.
const std::map<QString, QString> kDefaults = {
    {QStringLiteral("Priority"), QStringLiteral("-1")},       {QStringLiteral("AESType"), QStringLiteral("2")},
    {QStringLiteral("HidenType"), QStringLiteral("0")},       {QStringLiteral("DisableHide"), QStringLiteral("0")},
    {QStringLiteral("EnableAdvLog"), QStringLiteral("0")},    {QStringLiteral("ResolveLinks"), QStringLiteral("0")},
    {QStringLiteral("ActionHidden"), QStringLiteral("0")},    {QStringLiteral("ActionReadOnly"), QStringLiteral("1")},
    {QStringLiteral("ActionSystem"), QStringLiteral("0")},    {QStringLiteral("EnableEncrypt"), QStringLiteral("1")},
    {QStringLiteral("PasswordType"), QStringLiteral("0")},    {QStringLiteral("WipeType"), QStringLiteral("0")},
    {QStringLiteral("DodPass3Type"), QStringLiteral("0")},    {QStringLiteral("DoDPass3"), QStringLiteral("AA")},
    {QStringLiteral("ShlEnableShell"), QStringLiteral("1")},  {QStringLiteral("ShlEnableWipe"), QStringLiteral("0")},
    {QStringLiteral("ShlPasswordType"), QStringLiteral("1")}, {QStringLiteral("ShlAskMaster"), QStringLiteral("1")},
    {QStringLiteral("WindowPosition"), QStringLiteral("1")},  {QStringLiteral("AsscExtension"), QStringLiteral("1")},
};

QString RunningProgram()
{
    return QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe").string());
}

// Every number and the pattern away from its default.
void ChangeAll(CMRegistryData& data)
{
    for (const auto& info : CMRegistryData::Values()) {
        if (info.pnField != nullptr) {
            data.*(info.pnField) = info.nDefault + 7;
        } else if (!info.bPath) {
            data.*(info.pstrField) = QStringLiteral("5F");
        }
    }
}

class RegistryData : public SettingsTestEnv
{
protected:
    // The Main group as another process would read it.
    std::map<QString, QString> StoredValues() const
    {
        QSettings settings(UserFile(), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("Main"));
        std::map<QString, QString> values;
        for (const QString& strKey : settings.childKeys()) {
            values[strKey] = settings.value(strKey).toString();
        }
        return values;
    }

    // Replaces the text of one stored value line ("WipeType=0") in the file.
    void EditFile(const QByteArray& from, const QByteArray& to)
    {
        QByteArray text = ReadFile(UserFile());
        ASSERT_TRUE(text.contains(from)) << text.constData();
        text.replace(from, to);
        WriteFile(UserFile(), text);
    }
};

TEST_F(RegistryData, FirstStartCreatesAllValuesWithDefaults)
{
    CMRegistryData data;
    data.FirstTimeInit();
    ASSERT_TRUE(data.Load());
    const auto stored = StoredValues();
    EXPECT_EQ(stored.size(), 22u);
    for (const auto& [strName, strDefault] : kDefaults) {
        ASSERT_EQ(stored.count(strName), 1u) << strName.toStdString();
        EXPECT_EQ(stored.at(strName), strDefault) << strName.toStdString();
    }
    EXPECT_EQ(stored.at(QStringLiteral("Module EXE Path")), RunningProgram());
    EXPECT_EQ(stored.at(QStringLiteral("Module Path")), QFileInfo(RunningProgram()).absolutePath());
    EXPECT_EQ(data.m_strModuleEXEPath, RunningProgram());
}

TEST_F(RegistryData, FileWithOtherGroupsOnlyGetsTheSettingsAdded)
{
    WriteFile(UserFile(), "[FileType]\nOld=other.desktop\n");
    CMRegistryData data;
    ASSERT_TRUE(data.Load());
    EXPECT_EQ(StoredValues().size(), 22u);
    QSettings settings(UserFile(), QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("FileType/Old")).toString(), QStringLiteral("other.desktop"));
}

TEST_F(RegistryData, FirstTimeInitLogsEntryAndExit)
{
    const QString strLog = m_strRoot + QStringLiteral("/Logs/HNV.log");
    LOGGER::g_HVLog.SetFileName(strLog.toStdString());
    ASSERT_TRUE(LOGGER::g_HVLog.StartLogging());
    CMRegistryData data;
    data.FirstTimeInit();
    LOGGER::g_HVLog.StopLogging();
    const QList<QByteArray> lines = ReadFile(strLog).split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("] Enter CMRegistryData::FirstTimeInit")) << lines[0].constData();
    EXPECT_TRUE(lines[1].endsWith("] Exit CMRegistryData::FirstTimeInit")) << lines[1].constData();
}

TEST_F(RegistryData, ProgramPathsComeFromTheSystemRegistration)
{
    WriteFile(SystemFile(), "[App%20Paths]\nPath=/opt/Halvo Norvane\n%40=/opt/Halvo Norvane/HalvoNorvane\n");
    CMRegistryData data;
    ASSERT_TRUE(data.Load());
    EXPECT_EQ(data.m_strModulePath, QStringLiteral("/opt/Halvo Norvane"));
    EXPECT_EQ(data.m_strModuleEXEPath, QStringLiteral("/opt/Halvo Norvane/HalvoNorvane"));
    EXPECT_EQ(StoredValues().at(QStringLiteral("Module EXE Path")), QStringLiteral("/opt/Halvo Norvane/HalvoNorvane"));
}

TEST_F(RegistryData, IncompleteRegistrationFallsBackToTheRunningProgram)
{
    for (const QByteArray& text : {QByteArray("[App%20Paths]\nPath=/opt/hn\n"),
                                   QByteArray("[App%20Paths]\n%40=/opt/hn/HalvoNorvane\n"),
                                   QByteArray("[Other]\nPath=/opt/hn\n")}) {
        WriteFile(SystemFile(), text);
        CMRegistryData data;
        EXPECT_TRUE(data.LoadAppPaths());
        EXPECT_EQ(data.m_strModuleEXEPath, RunningProgram()) << text.constData();
        EXPECT_EQ(data.m_strModulePath, QFileInfo(RunningProgram()).absolutePath());
    }
}

TEST_F(RegistryData, SavedValuesLoadBack)
{
    CMRegistryData first;
    ASSERT_TRUE(first.Load());
    ChangeAll(first);
    first.m_strDoDPass3 = QStringLiteral("any text, \"even\" this");
    ASSERT_TRUE(first.Save());

    CMRegistryData second;
    ASSERT_TRUE(second.Load());
    for (const auto& info : CMRegistryData::Values()) {
        if (info.pnField != nullptr) {
            EXPECT_EQ(second.*(info.pnField), info.nDefault + 7) << info.pszName;
        }
    }
    EXPECT_EQ(second.m_strDoDPass3, QStringLiteral("any text, \"even\" this"));
}

struct RepairCase
{
    const char* pszFrom;
    const char* pszTo;
};

void PrintTo(const RepairCase& c, std::ostream* pOut)
{
    const std::string_view from(c.pszFrom);
    *pOut << from.substr(0, from.find('=')) << (*c.pszTo == '\0' ? " deleted" : " unreadable");
}

class RegistryRepair : public RegistryData, public ::testing::WithParamInterface<RepairCase>
{
};

// One value deleted or unreadable: every value returns to its default and the set is rewritten.
TEST_P(RegistryRepair, OneBrokenValueResetsTheWholeSet)
{
    {
        CMRegistryData data;
        ASSERT_TRUE(data.Load());
        ChangeAll(data);
        ASSERT_TRUE(data.Save());
    }
    EditFile(GetParam().pszFrom, GetParam().pszTo);

    CMRegistryData data;
    data.m_strModulePath = QStringLiteral("/kept");
    ASSERT_TRUE(data.LoadOrCreate());
    for (const auto& info : CMRegistryData::Values()) {
        if (info.pnField != nullptr) {
            EXPECT_EQ(data.*(info.pnField), info.nDefault) << info.pszName;
        }
    }
    EXPECT_EQ(data.m_strDoDPass3, QStringLiteral("AA"));
    EXPECT_EQ(data.m_strModulePath, QStringLiteral("/kept"));
    const auto stored = StoredValues();
    EXPECT_EQ(stored.size(), 22u);
    for (const auto& [strName, strDefault] : kDefaults) {
        EXPECT_EQ(stored.at(strName), strDefault) << strName.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Values,
                         RegistryRepair,
                         ::testing::Values(RepairCase{"WipeType=7\n", ""},
                                           RepairCase{"ResolveLinks=7\n", ""},
                                           RepairCase{"DoDPass3=5F\n", ""},
                                           RepairCase{"ActionSystem=7", "ActionSystem=seven"},
                                           RepairCase{"AESType=9", "AESType=@ByteArray(9)"},
                                           RepairCase{"Priority=6", "Priority=99999999999"}));

TEST_F(RegistryData, FailingRewriteDoesNotLoop)
{
    WriteFile(UserFile(), "[Main]\nAESType=1\nWipeType=broken\n");
    CRegistry reg;
    ASSERT_TRUE(reg.Open(HVRegRoot::CurrentUser, QString::fromLatin1(CMRegistryData::kSettingsKey), HV_KEY_READ));
    CMRegistryData data;
    data.m_nWipeType = 2;
    EXPECT_FALSE(data.ReadValues(reg));
    // The readable value is taken, the rest keep the defaults the repair set.
    EXPECT_EQ(data.m_nAESType, 1);
    EXPECT_EQ(data.m_nWipeType, 0);
    EXPECT_EQ(data.m_nShlAskMaster, 1);
    reg.Close();
    EXPECT_EQ(ReadFile(UserFile()), QByteArray("[Main]\nAESType=1\nWipeType=broken\n"));
}

TEST_F(RegistryData, DoDPass3IsReadAsItStands)
{
    CMRegistryData data;
    ASSERT_TRUE(data.Load());
    EditFile("DoDPass3=AA", "DoDPass3=not hex at all");
    CMRegistryData again;
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.m_strDoDPass3, QStringLiteral("not hex at all"));
    EXPECT_EQ(again.m_nAESType, 2);
}

struct ResetCase
{
    const char* pszName;
    void (CMRegistryData::*pReset)();
    std::vector<const char*> names;
};

void PrintTo(const ResetCase& c, std::ostream* pOut)
{
    *pOut << c.pszName;
}

class PartialReset : public ::testing::TestWithParam<ResetCase>
{
};

// names empty: every value but the two paths.
TEST_P(PartialReset, ResetsExactlyItsValues)
{
    CMRegistryData data;
    data.m_strModulePath = QStringLiteral("/p");
    data.m_strModuleEXEPath = QStringLiteral("/p/x");
    ChangeAll(data);
    (data.*(GetParam().pReset))();
    const auto& names = GetParam().names;
    for (const auto& info : CMRegistryData::Values()) {
        const bool bReset = names.empty() || std::any_of(names.begin(), names.end(), [&](const char* p) {
                                return std::string_view(p) == info.pszName;
                            });
        if (info.pnField != nullptr) {
            EXPECT_EQ(data.*(info.pnField), info.nDefault + (bReset ? 0 : 7)) << info.pszName;
        } else if (!info.bPath) {
            EXPECT_EQ(data.*(info.pstrField), bReset ? QStringLiteral("AA") : QStringLiteral("5F")) << info.pszName;
        }
    }
    EXPECT_EQ(data.m_strModulePath, QStringLiteral("/p"));
    EXPECT_EQ(data.m_strModuleEXEPath, QStringLiteral("/p/x"));
}

INSTANTIATE_TEST_SUITE_P(
    Resets,
    PartialReset,
    ::testing::Values(
        ResetCase{"Shell",
                  &CMRegistryData::ResetShellDefaults,
                  {"ShlEnableShell", "ShlEnableWipe", "ShlPasswordType", "ShlAskMaster"}},
        ResetCase{"Encrypt", &CMRegistryData::ResetEncryptDefaults, {"AESType"}},
        ResetCase{"Wipe", &CMRegistryData::ResetWipeDefaults, {"WipeType", "DodPass3Type", "DoDPass3"}},
        ResetCase{"General",
                  &CMRegistryData::ResetGeneralDefaults,
                  {"EnableAdvLog", "ResolveLinks", "ActionHidden", "ActionReadOnly", "ActionSystem", "WindowPosition"}},
        ResetCase{"All", &CMRegistryData::SetDefaults, {}}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(RegistryData, TypedAccessByName)
{
    CMRegistryData data;
    EXPECT_EQ(data.GetInt(u"AESType"), 2);
    EXPECT_TRUE(data.SetInt(u"WipeType", 2));
    EXPECT_EQ(data.m_nWipeType, 2);
    EXPECT_FALSE(data.SetInt(u"DoDPass3", 1));
    EXPECT_FALSE(data.SetInt(u"NoSuchValue", 1));
    EXPECT_EQ(data.GetString(u"DoDPass3"), QStringLiteral("AA"));
    EXPECT_FALSE(data.GetString(u"AESType").has_value());
    EXPECT_TRUE(data.SetString(u"Module Path", QStringLiteral("/x")));
    EXPECT_EQ(data.m_strModulePath, QStringLiteral("/x"));
}

TEST_F(RegistryData, SaveAndPlacementNeverCreateTheKey)
{
    CMRegistryData data;
    EXPECT_FALSE(data.Save());
    EXPECT_FALSE(data.SaveWindowPlacement(QByteArray("geometry")));
    QByteArray placement("untouched");
    EXPECT_FALSE(data.LoadWindowPlacement(placement));
    EXPECT_EQ(placement, QByteArray("untouched"));
    EXPECT_FALSE(QFile::exists(UserFile()));
}

TEST_F(RegistryData, PlacementRoundTripAsBinaryValue)
{
    CMRegistryData data;
    ASSERT_TRUE(data.Load());
    QByteArray placement;
    EXPECT_FALSE(data.LoadWindowPlacement(placement));  // none stored yet
    const QByteArray geometry("\x01\xd9\xd0\xcb\x00\x03\x00\x00\x00\x00\n=", 12);
    ASSERT_TRUE(data.SaveWindowPlacement(geometry));
    EXPECT_TRUE(ReadFile(UserFile()).contains("Postion=\"@ByteArray(")) << ReadFile(UserFile()).constData();
    CMRegistryData other;
    ASSERT_TRUE(other.LoadWindowPlacement(placement));
    EXPECT_EQ(placement, geometry);
    // Saving all values keeps the placement.
    ASSERT_TRUE(other.Save());
    ASSERT_TRUE(other.LoadWindowPlacement(placement));
    EXPECT_EQ(placement, geometry);
    EXPECT_FALSE(data.SaveWindowPlacement(QByteArray(100000, 'x')));
}

// A second process reads the file over and over while this one saves: every read sees a
// whole set (the file is replaced by rename, never written in place).
TEST_F(RegistryData, ReadersNeverSeeAPartialFile)
{
    CMRegistryData data;
    ASSERT_TRUE(data.Load());
    const std::string strFile = UserFile().toStdString();
    int pipeFd[2];
    ASSERT_EQ(::pipe(pipeFd), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFd[1]);
        int nBad = 0;
        int nReads = 0;
        for (;;) {
            pollfd stop{pipeFd[0], POLLIN, 0};
            const bool bStop = ::poll(&stop, 1, 0) > 0;
            std::ifstream in(strFile);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            nBad += std::count(text.begin(), text.end(), '\n') != 23;  // "[Main]" and 22 values
            ++nReads;
            if (bStop) {
                break;
            }
        }
        ::_exit(nBad == 0 && nReads > 0 ? 0 : 1);
    }
    ::close(pipeFd[0]);
    for (int i = 0; i < 100; ++i) {
        data.m_nPriority = i % 2 == 0 ? 1 : 1000000;  // the file's size changes every time
        ASSERT_TRUE(data.Save());
    }
    ASSERT_EQ(::write(pipeFd[1], "q", 1), 1);
    ::close(pipeFd[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
