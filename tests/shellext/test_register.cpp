// Registration of the extension: the exports of the library loaded by path, the registration
// tool, and what they leave in a temporary home (and never in the system extension folder).
#include "shellext/CHVServiceMenus.h"
#include "shellext/HVExt.h"

#include <cstdio>
#include <dlfcn.h>
#include <map>
#include <sys/wait.h>

#include "ShellExtTestSupport.h"

namespace {

using FnResult = HVRESULT (*)();

class HVExtRegister : public ShellExtTestEnv
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
        for (const fs::path& folder :
             {DataHome() / CHVServiceMenus::kDolphinFolder, DataHome() / CHVServiceMenus::kNemoFolder}) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(folder, ec)) {
                const std::string strName = entry.path().filename().string();
                if (strName.rfind(CHVServiceMenus::kPrefix, 0) == 0) {
                    struct stat st
                    {
                    };
                    ::lstat(entry.path().c_str(), &st);
                    const bool bLink = S_ISLNK(st.st_mode);
                    files[entry.path().string()] = {bLink ? "-> " + fs::read_symlink(entry.path()).string()
                                                          : ReadText(entry.path()),
                                                    entry.symlink_status().permissions(),
                                                    st.st_ino};
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
    // Menu files (not the links) in a folder.
    std::size_t CountIn(const char* pszFolder) const
    {
        std::size_t n = 0;
        for (const auto& [strPath, state] : OurFiles()) {
            n += strPath.find(pszFolder) != std::string::npos && state.strContent.rfind("-> ", 0) != 0 ? 1 : 0;
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

void* HVExtRegister::s_pLibrary = nullptr;

TEST_F(HVExtRegister, RoundTripIsIdempotent)
{
    Touch(DataHome() / "kio/servicemenus/other.desktop", "other");
    Touch(DataHome() / "nemo/actions/other.nemo_action", "other");
    ASSERT_EQ(Register(), HV_S_OK);

    const auto files = OurFiles();
    const std::string strDolphin = (DataHome() / "kio/servicemenus/halvonorvane-hvext.desktop").string();
    ASSERT_TRUE(files.count(strDolphin));
    const SFileState& dolphin = files.at(strDolphin);
    EXPECT_EQ(dolphin.perms & fs::perms::owner_exec, fs::perms::owner_exec);
    for (const char* pszLine : {"X-KDE-Submenu=Halvo Norvane\n",
                                "MimeType=all/allfiles;inode/directory;\n",
                                "ExcludeServiceTypes=application/x-hvnc\n",
                                "TryExec=" HV_LAUNCHER "\n",
                                // the keys sort in the handler's order: e-mail third, add seventh
                                "Actions=hv01-1;hv02-3;hv03-9;hv04-5;hv05-2;hv06-8;\n",
                                "[Desktop Action hv03-9]\nName=Encrypt and E-Mail selected data\n"
                                "Exec=\"" HV_LAUNCHER "\" 9 %U\n"}) {
        EXPECT_NE(dolphin.strContent.find(pszLine), std::string::npos) << pszLine << dolphin.strContent;
    }
    const std::string strDecrypt = (DataHome() / "kio/servicemenus/halvonorvane-hvext-decrypt.desktop").string();
    ASSERT_TRUE(files.count(strDecrypt));
    EXPECT_NE(files.at(strDecrypt).strContent.find("MimeType=application/x-hvnc;\n"), std::string::npos);
    EXPECT_NE(files.at(strDecrypt).strContent.find("Actions=hv01-7;hv02-5;hv03-8;\n"), std::string::npos);

    // Nemo: prefixed labels, the handler's order, every name double-quoted, shown only when the
    // launcher, asked with the selection, says the handler offers the entry, and only while the
    // launcher exists.
    const std::string strNemoDecrypt = (DataHome() / "nemo/actions/halvonorvane-hvext-04-7.nemo_action").string();
    ASSERT_TRUE(files.count(strNemoDecrypt));
    for (const char* pszLine : {"Name=Halvo Norvane: Decrypt selected data\n",
                                "Exec=\"" HV_LAUNCHER "\" 7 %U\n",
                                "Quote=double\n",
                                "Extensions=hvnc;none;\n",
                                "Dependencies=" HV_LAUNCHER ";\n",
                                "Conditions=exec \"" HV_LAUNCHER "\" --offered 7 %F;\n"}) {
        EXPECT_NE(files.at(strNemoDecrypt).strContent.find(pszLine), std::string::npos) << pszLine;
    }
    // Encrypt, then hide, e-mail, decrypt, hide, add, hide management.
    EXPECT_EQ(CountIn("nemo/actions"), 7U);
    EXPECT_TRUE(files.count((DataHome() / "nemo/actions/halvonorvane-hvext-07-8.nemo_action").string()));

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

// The user's folder refusing the files is a failure the library and the tool report.
TEST_F(HVExtRegister, RefusedUserFolderIsReported)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root (the packaging test runs this as another user)";
    }
    fs::create_directories(DataHome());
    fs::permissions(DataHome(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Register(), HV_E_ACCESSDENIED);
    std::string strOutput;
    EXPECT_EQ(RunTool("'" HV_EXT_LIBRARY "'", strOutput), 5);
    EXPECT_NE(strOutput.find("access denied"), std::string::npos);
}

TEST_F(HVExtRegister, ToolLoadsTheLibraryByPath)
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

TEST_F(HVExtRegister, HandlerInterfaceCountsItsObjects)
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

TEST(HVExtServiceMenus, ExecArgumentIsQuotedForDesktopFiles)
{
    EXPECT_EQ(CHVServiceMenus::QuoteExecArgument("/opt/a b/\"x\"$y%`\\"), R"("/opt/a b/\\"x\\"\\$y%%\\`\\\\")");
    CHVExtSettings settings;
    EXPECT_TRUE(CHVServiceMenus::Build(settings, "/opt/x\n/hvext-launch").empty());
    EXPECT_TRUE(CHVServiceMenus::Build(settings, "").empty());
}

}  // namespace
