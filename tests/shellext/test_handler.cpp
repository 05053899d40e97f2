// The context-menu handler: classification, folder scan, both menu cases with the settings
// variants, and the command line of every entry parsed back by the program's parser.
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "shellext/CHVShlExt.h"

#include <QStringList>

#include "ShellExtTestSupport.h"

namespace {

using Entries = std::vector<SHVMenuEntry>;
const SHVMenuEntry kSep{0, {}};

// What the program's parser makes of an argument vector.
struct SParsed
{
    int nResult = 0;
    int nMode = -1;
    int bEncrypt = 0;
    int bEmail = 0;
    int nHiden = 0;
    int nPassword = -1;
    std::vector<std::string> items;
    std::vector<int> kinds;
};

SParsed ParseBack(const std::vector<std::string>& args)
{
    CDataSecurityMngr mngr;
    for (const std::string& str : args) {
        mngr.m_lstCmdArgs << QString::fromStdString(str);
    }
    SParsed parsed;
    parsed.nResult = mngr.ParseCommandLine();
    parsed.nMode = mngr.m_iCmdMode;
    parsed.bEncrypt = mngr.m_bCmdEncrypt;
    parsed.bEmail = mngr.m_bCmdEmail;
    parsed.nHiden = mngr.m_iCmdHidenType;
    parsed.nPassword = mngr.m_iCmdPasswordType;
    for (const auto& pItem : mngr.m_arrItems) {
        parsed.items.push_back(pItem->m_strPath.toStdString());
        parsed.kinds.push_back(pItem->m_nKind);
    }
    mngr.m_arrItems.clear();
    return parsed;
}

class HVExtHandler : public ShellExtTestEnv
{
protected:
    CHVShlExt Init(const std::vector<std::string>& paths, const CHVExtSettings& settings = Settings())
    {
        CHVShlExt handler;
        EXPECT_EQ(handler.Initialize(paths, settings), HV_S_OK);
        return handler;
    }
};

TEST_F(HVExtHandler, ClassifiesByExactCaseSensitiveExtension)
{
    EXPECT_EQ(CHVShlExt::Classify("/d/a.hvnc"), CHVShlExt::EItemKind::Encrypted);
    EXPECT_EQ(CHVShlExt::Classify("/d/.hvnc"), CHVShlExt::EItemKind::Encrypted);
    EXPECT_EQ(CHVShlExt::Classify("/d/x.HVNC"), CHVShlExt::EItemKind::Plain);
    EXPECT_EQ(CHVShlExt::Classify("/d/a.hvnc.txt"), CHVShlExt::EItemKind::Plain);
    EXPECT_EQ(CHVShlExt::Classify("/d/a.hvncx"), CHVShlExt::EItemKind::Plain);
    EXPECT_EQ(CHVShlExt::Classify("/d/my.docs"), CHVShlExt::EItemKind::Plain);
    EXPECT_EQ(CHVShlExt::Classify("/d/a."), CHVShlExt::EItemKind::Plain);
    EXPECT_EQ(CHVShlExt::Classify("/d.x/noext"), CHVShlExt::EItemKind::FolderLike);
    EXPECT_EQ(CHVShlExt::Classify("/"), CHVShlExt::EItemKind::FolderLike);
}

TEST_F(HVExtHandler, FolderScanLooksAtEveryFileAtEveryDepth)
{
    fs::create_directories(m_work / "empty");
    EXPECT_TRUE(CHVShlExt::HoldsOnlyEncrypted((m_work / "empty").string()));

    Touch(m_work / "enc/a.hvnc");
    Touch(m_work / "enc/sub/b.hvnc");
    Touch(m_work / "enc/sub/deeper/c.hvnc");
    EXPECT_TRUE(CHVShlExt::HoldsOnlyEncrypted((m_work / "enc").string()));

    // A plain file beside a subfolder of encrypted files: whatever the listing order, the
    // subfolder's answer does not end the scan.
    Touch(m_work / "mixed/sub/b.hvnc");
    Touch(m_work / "mixed/z.txt");
    Touch(m_work / "mixed/a.hvnc");
    EXPECT_FALSE(CHVShlExt::HoldsOnlyEncrypted((m_work / "mixed").string()));

    Touch(m_work / "deep/a.hvnc");
    Touch(m_work / "deep/s1/s2/s3/plain.HVNC");
    EXPECT_FALSE(CHVShlExt::HoldsOnlyEncrypted((m_work / "deep").string()));

    // Links are not followed and are no encrypted files.
    fs::create_directories(m_work / "linked");
    fs::create_directory_symlink(m_work / "enc", m_work / "linked/to.hvnc");
    EXPECT_FALSE(CHVShlExt::HoldsOnlyEncrypted((m_work / "linked").string()));

    // Not a folder at all.
    Touch(m_work / "noext");
    EXPECT_FALSE(CHVShlExt::HoldsOnlyEncrypted((m_work / "noext").string()));
    EXPECT_FALSE(CHVShlExt::HoldsOnlyEncrypted((m_work / "missing").string()));
}

TEST_F(HVExtHandler, FolderScanIsBounded)
{
    const fs::path big = m_work / "big";
    fs::create_directories(big);
    for (std::size_t i = 0; i < CHVShlExt::kMaxScanEntries; ++i) {
        std::ofstream(big / (std::to_string(i) + ".hvnc"));
    }
    EXPECT_TRUE(CHVShlExt::HoldsOnlyEncrypted(big.string()));
    Touch(big / "one-more.hvnc");
    EXPECT_FALSE(CHVShlExt::HoldsOnlyEncrypted(big.string()));

    fs::path chain = m_work / "chain";
    for (int i = 0; i <= CHVShlExt::kMaxScanDepth; ++i) {
        chain /= "d";
    }
    Touch(chain / "x.hvnc");
    EXPECT_FALSE(CHVShlExt::HoldsOnlyEncrypted((m_work / "chain").string()));
}

TEST_F(HVExtHandler, UnreadableSubfolderCountsAsPlain)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    Touch(m_work / "locked/sub/a.hvnc");
    fs::permissions(m_work / "locked/sub", fs::perms::none);
    EXPECT_FALSE(CHVShlExt::HoldsOnlyEncrypted((m_work / "locked").string()));
}

TEST_F(HVExtHandler, InitializeSetsTheFlags)
{
    Touch(m_work / "a.txt");
    Touch(m_work / "b.hvnc");
    Touch(m_work / "enc/c.hvnc");
    Touch(m_work / "plain/d.txt");
    fs::create_directories(m_work / "my.docs");

    auto flags = [this](std::vector<std::string> names) {
        std::vector<std::string> paths;
        for (const auto& str : names) {
            paths.push_back((m_work / str).string());
        }
        const CHVShlExt h = Init(paths);
        return std::pair(h.HasPlain(), h.HasFolder());
    };
    EXPECT_EQ(flags({"a.txt"}), std::pair(true, false));
    EXPECT_EQ(flags({"b.hvnc"}), std::pair(false, false));
    EXPECT_EQ(flags({"enc"}), std::pair(false, true));
    EXPECT_EQ(flags({"plain"}), std::pair(true, true));
    EXPECT_EQ(flags({"my.docs"}), std::pair(true, false));  // a dotted folder is a plain item
    EXPECT_EQ(flags({"b.hvnc", "a.txt"}), std::pair(true, false));
    EXPECT_EQ(flags({"b.hvnc", "enc"}), std::pair(false, true));

    CHVShlExt handler;
    EXPECT_EQ(handler.Initialize({}, Settings()), HV_E_INVALIDARG);
    EXPECT_TRUE(handler.BuildMenu().empty());
    // An empty path fails the call, the other items are still taken.
    EXPECT_EQ(handler.Initialize({"", (m_work / "b.hvnc").string()}, Settings()), HV_E_INVALIDARG);
    EXPECT_EQ(handler.Items(), std::vector<std::string>{(m_work / "b.hvnc").string()});
    // Paths arrive cleaned: no trailing or doubled slashes.
    EXPECT_EQ(Init({m_work.string() + "//enc/"}).Items(), std::vector<std::string>{(m_work / "enc").string()});
}

TEST_F(HVExtHandler, OneFileMenuCarriesItsName)
{
    Touch(m_work / "a b.txt");
    const std::string strPath = (m_work / "a b.txt").string();
    EXPECT_EQ(Init({strPath}).BuildMenu(),
              (Entries{{1, "Encrypt to a b.txt.hvnc"},
                       {3, "Encrypt to a b.txt.hvnc then hide"},
                       {9, "Encrypt and E-Mail a b.txt.hvnc"},
                       {5, "Hide a b.txt"},
                       kSep,
                       {2, "Add to Secure Data ..."},
                       {8, "Hide Management ..."}}));
    EXPECT_EQ(Init({strPath}, Settings(1, 1, 0)).BuildMenu(),
              (Entries{{1, "Encrypt to a b.txt.hvnc"},
                       {3, "Encrypt to a b.txt.hvnc then hide"},
                       {9, "Encrypt and E-Mail a b.txt.hvnc"},
                       {4, "Encrypt to a b.txt.hvnc then wipe"},
                       {5, "Hide a b.txt"},
                       {6, "Wipe a b.txt"},
                       kSep,
                       {2, "Add to Secure Data ..."},
                       {8, "Hide Management ..."}}));
    // DisableHide: no " then hide", no hide entry, no hide management.
    EXPECT_EQ(Init({strPath}, Settings(1, 1, 1)).BuildMenu(),
              (Entries{{1, "Encrypt to a b.txt.hvnc"},
                       {9, "Encrypt and E-Mail a b.txt.hvnc"},
                       {4, "Encrypt to a b.txt.hvnc then wipe"},
                       {6, "Wipe a b.txt"},
                       kSep,
                       {2, "Add to Secure Data ..."}}));

    Touch(m_work / "x.hvnc");
    EXPECT_EQ(
        Init({(m_work / "x.hvnc").string()}, Settings(1, 1, 0)).BuildMenu(),
        (Entries{{7, "Decrypt x.hvnc"}, {5, "Hide x.hvnc"}, {6, "Wipe x.hvnc"}, kSep, {8, "Hide Management ..."}}));
    EXPECT_EQ(Init({(m_work / "x.hvnc").string()}, Settings(1, 0, 1)).BuildMenu(),
              (Entries{{7, "Decrypt x.hvnc"}, kSep}));

    // A dotted folder is named like a file.
    fs::create_directories(m_work / "my.docs");
    EXPECT_EQ(Init({(m_work / "my.docs").string()}).BuildMenu().front(), (SHVMenuEntry{1, "Encrypt to my.docs.hvnc"}));
}

TEST_F(HVExtHandler, SeveralItemsOrAFolderUseTextsWithoutNames)
{
    Touch(m_work / "enc/a.hvnc");
    Touch(m_work / "a.txt");
    Touch(m_work / "b.hvnc");
    Touch(m_work / "c.hvnc");
    const Entries plain{{1, "Encrypt selected data"},
                        {3, "Encrypt selected data then hide"},
                        {9, "Encrypt and E-Mail selected data "},
                        {5, "Hide selected data"},
                        kSep,
                        {2, "Add to Secure Data ..."},
                        {8, "Hide Management ..."}};
    const Entries encrypted{{7, "Decrypt selected data"}, {5, "Hide selected data"}, kSep, {8, "Hide Management ..."}};

    // One folder of encrypted files: texts without names even for a single item.
    EXPECT_EQ(Init({(m_work / "enc").string()}).BuildMenu(), encrypted);
    EXPECT_EQ(Init({(m_work / "b.hvnc").string(), (m_work / "c.hvnc").string()}).BuildMenu(), encrypted);
    // A mixed selection offers encryption, not decryption.
    EXPECT_EQ(Init({(m_work / "b.hvnc").string(), (m_work / "a.txt").string()}).BuildMenu(), plain);
    EXPECT_EQ(Init({m_work.string()}).BuildMenu(), plain);

    EXPECT_EQ(Init({m_work.string()}, Settings(0, 1, 0)).BuildMenu(),
              (Entries{{1, "Encrypt selected data"},
                       {3, "Encrypt selected data then hide"},
                       {9, "Encrypt and E-Mail selected data "},
                       {4, "Encrypt selected data then wipe"},
                       {5, "Hide selected data"},
                       {6, "Wipe selected data"},
                       kSep,
                       {2, "Add to Secure Data ..."},
                       {8, "Hide Management ..."}}));
    EXPECT_EQ(Init({(m_work / "enc").string()}, Settings(0, 1, 1)).BuildMenu(),
              (Entries{{7, "Decrypt selected data"}, {6, "Wipe selected data"}, kSep}));

    // The root is scanned as a folder.
    const auto root = Init({"/"});
    EXPECT_TRUE(root.HasFolder());
    EXPECT_TRUE(root.HasPlain());
    EXPECT_EQ(root.BuildMenu(), plain);

    // The menu switched off shows nothing.
    EXPECT_TRUE(Init({(m_work / "a.txt").string()}, Settings(1, 1, 0, 0)).BuildMenu().empty());
    EXPECT_FALSE(Init({(m_work / "a.txt").string()}, Settings(1, 1, 0, 0)).IsOffered(1));
}

// Every offset's command line, and what the program's parser makes of it.
TEST_F(HVExtHandler, EveryOffsetParsesBackToItsRequest)
{
    const fs::path folder = m_work / "my \"docs\" dir";
    Touch(folder / "a b.txt");
    Touch(folder / "say \"hi\".txt");
    fs::create_directories(folder / "Sub Folder");
    const std::vector<std::string> paths{
        (folder / "a b.txt").string(), (folder / "say \"hi\".txt").string(), (folder / "Sub Folder").string()};
    const CHVShlExt handler = Init(paths, Settings(1));

    struct SRow
    {
        int nOffset;
        std::vector<std::string> action;
        int nMode;
        int bEncrypt;
        int bEmail;
        int nHiden;
    };
    const SRow rows[] = {
        {1, {"-e"}, CDataSecurityMngr::CmdModeSecure, 1, 0, 0},
        {2, {"-s"}, CDataSecurityMngr::CmdModeSelectWindow, 0, 0, 0},
        {3, {"-e", "-h"}, CDataSecurityMngr::CmdModeSecure, 1, 0, 1},
        {4, {"-e", "-w"}, CDataSecurityMngr::CmdModeSecure, 1, 0, 2},
        {5, {"-h"}, CDataSecurityMngr::CmdModeSecure, 0, 0, 1},
        {6, {"-w"}, CDataSecurityMngr::CmdModeSecure, 0, 0, 2},
        {7, {"-d"}, CDataSecurityMngr::CmdModeDecrypt, 0, 0, 0},
        {9, {"-em"}, CDataSecurityMngr::CmdModeSecure, 1, 1, 0},
    };
    for (const SRow& row : rows) {
        SCOPED_TRACE(row.nOffset);
        std::vector<std::string> expected = row.action;
        for (const char* psz : {"-pt", "master", "-p"}) {
            expected.emplace_back(psz);
        }
        expected.push_back(folder.string());
        for (const char* strName : {"a b.txt", "say \"hi\".txt", "Sub Folder"}) {
            expected.emplace_back("-f");
            expected.push_back(strName);
        }
        ASSERT_EQ(handler.BuildCommandArgs(row.nOffset), expected);

        const SParsed parsed = ParseBack(expected);
        EXPECT_EQ(parsed.nResult, 1);
        EXPECT_EQ(parsed.nMode, row.nMode);
        EXPECT_EQ(parsed.bEncrypt, row.bEncrypt);
        EXPECT_EQ(parsed.bEmail, row.bEmail);
        EXPECT_EQ(parsed.nHiden, row.nHiden);
        EXPECT_EQ(parsed.nPassword, CDataSecurityMngr::PasswordMaster);
        EXPECT_EQ(parsed.items, paths);
        EXPECT_EQ(parsed.kinds, (std::vector<int>{CItemData::KindFile, CItemData::KindFile, CItemData::KindFolder}));
    }

    // Hide management: "-rh" alone, whatever the selection.
    EXPECT_EQ(handler.BuildCommandArgs(8), std::vector<std::string>{"-rh"});
    const SParsed rh = ParseBack({"-rh"});
    EXPECT_EQ(rh.nResult, 1);
    EXPECT_EQ(rh.nMode, CDataSecurityMngr::CmdModeHideWindow);

    for (int nOffset : {-1, 0, 10, 11}) {
        EXPECT_FALSE(handler.BuildCommandArgs(nOffset).has_value()) << nOffset;
    }
}

TEST_F(HVExtHandler, PasswordTypeFollowsTheSetting)
{
    Touch(m_work / "a.txt");
    const auto args = Init({(m_work / "a.txt").string()}, Settings(0)).BuildCommandArgs(1);
    ASSERT_TRUE(args);
    EXPECT_EQ((*args)[1], "-pt");
    EXPECT_EQ((*args)[2], "new");
    EXPECT_EQ(ParseBack(*args).nPassword, CDataSecurityMngr::PasswordUser);
}

// Selections the folder-and-names form cannot carry go by full paths, and still parse back to
// exactly the selected items.
TEST_F(HVExtHandler, RootAndAwkwardNamesGoByFullPath)
{
    auto check = [this](const std::vector<std::string>& paths, const std::vector<std::string>& expectedTail) {
        const auto args = Init(paths).BuildCommandArgs(6);
        ASSERT_TRUE(args);
        std::vector<std::string> expected{"-w", "-pt", "master"};
        expected.insert(expected.end(), expectedTail.begin(), expectedTail.end());
        EXPECT_EQ(*args, expected);
        const SParsed parsed = ParseBack(*args);
        EXPECT_EQ(parsed.nResult, 1);
        EXPECT_EQ(parsed.nHiden, CDataSecurityMngr::HideWipe);
        EXPECT_EQ(parsed.items, paths);
    };
    // The root: no name to give after a folder.
    check({"/"}, {"-fp", "/"});
    // An item directly under the root names "/" as its folder.
    check({"/a b.txt"}, {"-p", "/", "-f", "a b.txt"});
    // A name that begins with "-" would read as an option.
    Touch(m_work / "-rh");
    check({(m_work / "-rh").string()}, {"-fp", (m_work / "-rh").string()});
    // Items of different folders (a search view).
    Touch(m_work / "x/a.txt");
    Touch(m_work / "y/b.txt");
    check({(m_work / "x/a.txt").string(), (m_work / "y/b.txt").string()},
          {"-fp", (m_work / "x/a.txt").string(), "-fp", (m_work / "y/b.txt").string()});
}

}  // namespace
