// Registration of the extension: the exports of the library loaded by path, the registration
// tool, and what they leave in a temporary home and a temporary system extension folder.
#include "shellext/CHVServiceMenus.h"
#include "shellext/HVExt.h"

#include <cstdio>
#include <dlfcn.h>
#include <map>
#include <sys/wait.h>

#include "ShellExtTestEnv.h"

namespace {

using FnResult = HVRESULT (*)();

class HVExtRegisterTest : public ShellExtTestEnv
{
protected:
    static void SetUpTestSuite()
    {
        s_pLibrary = ::dlopen(HV_EXT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(s_pLibrary, nullptr) << ::dlerror();
    }

    template <typename Fn>
    static Fn Export(const char* pszName)
    {
        return reinterpret_cast<Fn>(::dlsym(s_pLibrary, pszName));
    }
    static HVRESULT Register() { return Export<FnResult>("DllRegisterServer")(); }
    static HVRESULT Unregister() { return Export<FnResult>("DllUnregisterServer")(); }

    fs::path DataHome() const { return m_root / "home/.local/share"; }
    fs::path ExtensionDir() const { return m_root / "extensions"; }

    // Every file of ours, by path, with its content, mode and inode.
    struct SFileState
    {
        std::string strContent;
        fs::perms perms;
        ino_t nInode;
        bool operator==(const SFileState&) const = default;
    };
    std::map<std::string, SFileState> OurFiles() const
    {
        std::map<std::string, SFileState> files;
        for (const fs::path& folder : {DataHome() / CHVServiceMenus::kDolphinFolder,
                                       DataHome() / CHVServiceMenus::kNemoFolder,
                                       ExtensionDir()}) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(folder, ec)) {
                const std::string strName = entry.path().filename().string();
                if (strName.rfind(CHVServiceMenus::kPrefix, 0) == 0 || strName == "libHVExtNautilus.so") {
                    struct stat st
                    {
                    };
                    ::stat(entry.path().c_str(), &st);
                    files[entry.path().string()] = {ReadText(entry.path()), entry.status().permissions(), st.st_ino};
                }
            }
        }
        return files;
    }
    // The same without the inodes: what a rewrite may change.
    std::map<std::string, std::string> Contents() const
    {
        std::map<std::string, std::string> contents;
        for (const auto& [strPath, state] : OurFiles()) {
            contents[strPath] = state.strContent + (static_cast<unsigned>(state.perms) & 0111 ? "+x" : "");
        }
        return contents;
    }
    std::size_t CountIn(const char* pszFolder) const
    {
        std::size_t n = 0;
        for (const auto& [strPath, state] : OurFiles()) {
            n += strPath.find(pszFolder) != std::string::npos ? 1 : 0;
        }
        return n;
    }

    // Runs the registration tool; its exit code and everything it printed.
    static int RunTool(const std::string& strArgs, std::string& strOutput)
    {
        std::FILE* pPipe = ::popen(("'" HV_REGSVR "' " + strArgs + " 2>&1").c_str(), "r");
        strOutput.clear();
        char szBuffer[256];
        while (std::fgets(szBuffer, sizeof szBuffer, pPipe) != nullptr) {
            strOutput += szBuffer;
        }
        const int nStatus = ::pclose(pPipe);
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }

    static void* s_pLibrary;
};

void* HVExtRegisterTest::s_pLibrary = nullptr;

TEST_F(HVExtRegisterTest, RoundTripIsIdempotent)
{
    Touch(DataHome() / "kio/servicemenus/other.desktop", "other");
    Touch(DataHome() / "nemo/actions/other.nemo_action", "other");
    ASSERT_EQ(Register(), HV_S_OK);

    const auto files = OurFiles();
#ifdef HV_NAUTILUS_MODULE
    ASSERT_TRUE(files.count((ExtensionDir() / "libHVExtNautilus.so").string()));
    EXPECT_EQ(files.at((ExtensionDir() / "libHVExtNautilus.so").string()).strContent, ReadText(HV_NAUTILUS_MODULE));
#endif
    const std::string strDolphin = (DataHome() / "kio/servicemenus/halvonorvane-hvext.desktop").string();
    ASSERT_TRUE(files.count(strDolphin));
    const SFileState& dolphin = files.at(strDolphin);
    EXPECT_EQ(dolphin.perms & fs::perms::owner_exec, fs::perms::owner_exec);
    EXPECT_NE(dolphin.strContent.find("X-KDE-Submenu=Halvo Norvane\n"), std::string::npos);
    EXPECT_NE(dolphin.strContent.find("MimeType=all/all;\n"), std::string::npos);
    EXPECT_NE(dolphin.strContent.find("Name=Encrypt and E-Mail selected data\n"), std::string::npos);
    EXPECT_NE(dolphin.strContent.find("Exec=\"" HV_LAUNCHER "\" 9 %U\n"), std::string::npos);
    const std::string strDecrypt = (DataHome() / "kio/servicemenus/halvonorvane-hvext-decrypt.desktop").string();
    ASSERT_TRUE(files.count(strDecrypt));
    EXPECT_NE(files.at(strDecrypt).strContent.find("MimeType=application/x-hvnc;inode/directory;\n"),
              std::string::npos);
    const std::string strNemoDecrypt = (DataHome() / "nemo/actions/halvonorvane-hvext-04-7.nemo_action").string();
    ASSERT_TRUE(files.count(strNemoDecrypt));
    EXPECT_NE(files.at(strNemoDecrypt).strContent.find("Extensions=hvnc;dir;\n"), std::string::npos);
    EXPECT_NE(files.at(strNemoDecrypt).strContent.find("Exec=\"" HV_LAUNCHER "\" 7 %U\n"), std::string::npos);
    // Encrypt, then hide, e-mail, hide, add, hide management, and decrypt.
    EXPECT_EQ(CountIn("nemo/actions"), 7U);

    ASSERT_EQ(Register(), HV_S_OK);
    EXPECT_TRUE(OurFiles() == files);  // not even rewritten
    const auto contents = Contents();

    // Wipe switched on: its entries appear; switched off again: they go.
    Touch(m_root / "home/.config/Halvo-Soft/HalvoNorvane.conf", "[Main]\nShlEnableWipe=1\n");
    ASSERT_EQ(Register(), HV_S_OK);
    EXPECT_EQ(CountIn("nemo/actions"), 9U);
    EXPECT_NE(ReadText(strDolphin).find("Name=Wipe selected data\n"), std::string::npos);
    Touch(m_root / "home/.config/Halvo-Soft/HalvoNorvane.conf", "[Main]\nShlEnableWipe=0\n");
    ASSERT_EQ(Register(), HV_S_OK);
    EXPECT_EQ(Contents(), contents);

    ASSERT_EQ(Unregister(), HV_S_OK);
    EXPECT_TRUE(OurFiles().empty());
    EXPECT_EQ(Unregister(), HV_S_OK);
    EXPECT_EQ(ReadText(DataHome() / "kio/servicemenus/other.desktop"), "other");
    EXPECT_EQ(ReadText(DataHome() / "nemo/actions/other.nemo_action"), "other");
}

#ifdef HV_NAUTILUS_MODULE
TEST_F(HVExtRegisterTest, SystemFolderWithoutRightsIsAccessDenied)
{
    // Root may write anywhere but into /sys.
    const bool bRoot = ::geteuid() == 0;
    const fs::path locked = bRoot ? fs::path("/sys") : m_root / "locked";
    if (!bRoot) {
        fs::create_directories(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    }
    Set("HV_NAUTILUS_EXTENSION_DIR", locked.string());
    EXPECT_EQ(Register(), HV_E_ACCESSDENIED);
    EXPECT_TRUE(OurFiles().empty());  // nothing else registered

    std::string strOutput;
    EXPECT_EQ(RunTool("/s '" HV_EXT_LIBRARY "'", strOutput), 5);
    EXPECT_EQ(strOutput, "");
    EXPECT_EQ(RunTool("'" HV_EXT_LIBRARY "'", strOutput), 5);
    EXPECT_NE(strOutput.find("access denied"), std::string::npos);
}

TEST_F(HVExtRegisterTest, ModuleThatCannotBeRemovedIsReported)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    ASSERT_EQ(Register(), HV_S_OK);
    fs::permissions(ExtensionDir(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Unregister(), HV_E_ACCESSDENIED);
    // The user's menus are gone all the same.
    EXPECT_EQ(CountIn("nemo/actions"), 0U);
    EXPECT_EQ(CountIn("kio/servicemenus"), 0U);
}
#endif

TEST_F(HVExtRegisterTest, ToolLoadsTheLibraryByPath)
{
    std::string strOutput;
    EXPECT_EQ(RunTool("/s '" HV_EXT_LIBRARY "'", strOutput), 0);
    EXPECT_EQ(strOutput, "");
    EXPECT_FALSE(OurFiles().empty());
    EXPECT_EQ(RunTool("/u /s '" HV_EXT_LIBRARY "'", strOutput), 0);
    EXPECT_EQ(strOutput, "");
    EXPECT_TRUE(OurFiles().empty());
    EXPECT_EQ(RunTool("-S -U '" HV_EXT_LIBRARY "'", strOutput), 0);
    // The options may follow the library's path, which itself begins with "/".
    EXPECT_EQ(RunTool("'" HV_EXT_LIBRARY "' /s", strOutput), 0);
    EXPECT_FALSE(OurFiles().empty());
    EXPECT_EQ(RunTool("'" HV_EXT_LIBRARY "' /u /s", strOutput), 0);
    EXPECT_TRUE(OurFiles().empty());

    EXPECT_EQ(RunTool("'" HV_EXT_LIBRARY "'", strOutput), 0);
    EXPECT_NE(strOutput.find("DllRegisterServer"), std::string::npos);
    EXPECT_NE(strOutput.find("succeeded"), std::string::npos);

    EXPECT_EQ(RunTool("/s '" + (m_root / "missing.so").string() + "'", strOutput), 3);
    EXPECT_EQ(strOutput, "");
    EXPECT_EQ(RunTool("/s", strOutput), 1);
    // A library without the exports.
    EXPECT_EQ(RunTool("/s '" HV_NO_EXPORTS_LIBRARY "'", strOutput), 4);
}

TEST_F(HVExtRegisterTest, HandlerInterfaceCountsItsObjects)
{
    using FnCreate = HVShlExtHandle* (*)();
    using FnRelease = void (*)(HVShlExtHandle*);
    using FnInit = HVRESULT (*)(HVShlExtHandle*, const char* const*, int);
    using FnCount = int (*)(const HVShlExtHandle*);
    using FnEntry = int (*)(const HVShlExtHandle*, int, const char**);
    auto fnCanUnload = Export<FnResult>("DllCanUnloadNow");
    ASSERT_EQ(fnCanUnload(), HV_S_OK);
    HVShlExtHandle* pHandler = Export<FnCreate>("HVShlExtCreate")();
    ASSERT_NE(pHandler, nullptr);
    EXPECT_EQ(fnCanUnload(), HV_S_FALSE);

    Touch(m_root / "home/.config/Halvo-Soft/HalvoNorvane.conf", "[Main]\nShlEnableShell=1\nDisableHide=1\n");
    Touch(m_work / "x.hvnc");
    const std::string strPath = (m_work / "x.hvnc").string();
    const char* paths[] = {strPath.c_str()};
    ASSERT_EQ(Export<FnInit>("HVShlExtInitialize")(pHandler, paths, 1), HV_S_OK);
    ASSERT_EQ(Export<FnCount>("HVShlExtGetEntryCount")(pHandler), 2);
    const char* pszText = nullptr;
    EXPECT_EQ(Export<FnEntry>("HVShlExtGetEntry")(pHandler, 0, &pszText), 7);
    EXPECT_STREQ(pszText, "Decrypt x.hvnc");
    EXPECT_EQ(Export<FnEntry>("HVShlExtGetEntry")(pHandler, 1, &pszText), 0);
    EXPECT_EQ(Export<FnEntry>("HVShlExtGetEntry")(pHandler, 2, &pszText), -1);
    EXPECT_EQ(Export<FnInit>("HVShlExtInitialize")(pHandler, nullptr, 0), HV_E_INVALIDARG);
    EXPECT_EQ(Export<FnCount>("HVShlExtGetEntryCount")(pHandler), 0);

    Export<FnRelease>("HVShlExtRelease")(pHandler);
    EXPECT_EQ(fnCanUnload(), HV_S_OK);
    // Nothing of the inside is exported.
    EXPECT_EQ(::dlsym(s_pLibrary, "HVExtLoadString"), nullptr);
}

TEST(HVExtServiceMenusTest, ExecArgumentIsQuotedForDesktopFiles)
{
    EXPECT_EQ(CHVServiceMenus::QuoteExecArgument("/opt/a b/\"x\"$y%`\\"), R"("/opt/a b/\\"x\\"\\$y%%\\`\\\\")");
    CHVExtSettings settings;
    EXPECT_TRUE(CHVServiceMenus::Build(settings, "/opt/x\n/hvext-launch").empty());
    EXPECT_TRUE(CHVServiceMenus::Build(settings, "").empty());
}

}  // namespace
