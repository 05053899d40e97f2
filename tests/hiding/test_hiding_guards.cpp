#include "hiding/CHidingEngine.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "HidingTestSupport.h"

namespace {

class HidingGuard : public CHidingFixture
{
protected:
    [[nodiscard]] std::unique_ptr<CHidingEngine> NewEngine(const std::string& strMountVaultName = {}) const
    {
        SHidingOptions options = Options();
        options.strMountVaultName = strMountVaultName;
        return std::make_unique<CHidingEngine>(options);
    }

    const std::string m_strData = m_dir / "data";
};

// A folder on another filesystem than the test folder, removed at the end; empty when the
// machine has none that is writable.
class COtherFilesystemDir
{
public:
    explicit COtherFilesystemDir(const std::string& strNear)
    {
        struct stat stNear = {};
        struct stat stShm = {};
        if (::stat(strNear.c_str(), &stNear) != 0 || ::stat("/dev/shm", &stShm) != 0 || stNear.st_dev == stShm.st_dev
            || ::access("/dev/shm", W_OK) != 0) {
            return;
        }
        std::string strTemplate = "/dev/shm/hvhide-XXXXXX";
        if (::mkdtemp(strTemplate.data()) != nullptr) {
            m_strPath = strTemplate;
        }
    }
    ~COtherFilesystemDir()
    {
        std::error_code ec;
        if (!m_strPath.empty()) {
            std::filesystem::remove_all(m_strPath, ec);
        }
        if (!m_strVault.empty()) {
            std::filesystem::remove_all(m_strVault, ec);
        }
    }
    COtherFilesystemDir(const COtherFilesystemDir&) = delete;
    COtherFilesystemDir& operator=(const COtherFilesystemDir&) = delete;
    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    // The vault of that filesystem with the given name; removed at the end as well.
    std::string Vault(const std::string& strName)
    {
        m_strVault = "/dev/shm/" + strName;
        return m_strVault;
    }

private:
    std::string m_strPath;
    std::string m_strVault;
};

}  // namespace

TEST_F(HidingGuard, TheEnginesOwnFilesAndEveryFolderAboveTheVaultAreRefused)
{
    auto engine = NewEngine();
    WriteText(m_dir / "item", "x");
    ASSERT_TRUE(engine->HideItem(m_dir / "item"));
    const std::string strVault = m_strBase + "/vault";
    const std::string strInVault = strVault + "/" + *NamesIn(strVault).begin();
    ASSERT_EQ(::symlink(strVault.c_str(), (m_dir / "vault-link").c_str()), 0);
    ASSERT_EQ(::symlink(m_strData.c_str(), (m_dir / "data-link").c_str()), 0);
    for (const std::string& strPath : {strVault,
                                       strVault + "/",
                                       strInVault,
                                       m_strBase,
                                       m_strData,
                                       m_dir.Path(),
                                       std::string("/"),
                                       m_strBase + "/hidden.lst",
                                       m_strBase + "/hidden.lck",
                                       m_dir / "data-link/Halvo-Soft",  // reached through a link
                                       m_dir / "data/../data/Halvo-Soft/vault"}) {
        EXPECT_FALSE(engine->HideItem(strPath)) << strPath;
        EXPECT_TRUE(Exists(strPath)) << strPath;
    }
    EXPECT_EQ(engine->GetHiddenCount(), 1);
    // A link to the vault is an item of its own: hiding it moves the link, not the vault.
    EXPECT_TRUE(engine->HideItem(m_dir / "vault-link"));
    EXPECT_TRUE(Exists(strVault));
    EXPECT_EQ(engine->GetHiddenCount(), 2);
}

TEST_F(HidingGuard, ALinkOnTheWayToTheDataFolderIsRefused)
{
    ASSERT_EQ(::mkdir(m_strData.c_str(), 0700), 0);
    const std::string strLink = m_dir / "data-link";
    ASSERT_EQ(::symlink(m_strData.c_str(), strLink.c_str()), 0);
    SHidingOptions options;
    options.strBaseDir = strLink + "/Halvo-Soft";
    CHidingEngine engine(options);
    ASSERT_TRUE(engine.SetCurrentHidingEngine(IHidingEngine::kEngineId));
    EXPECT_FALSE(engine.HideItem(strLink));
    EXPECT_TRUE(Exists(strLink));
}

// The master-password file lives next to the engine's own files and must stay hideable.
TEST_F(HidingGuard, OtherFilesInTheDataFolderCanBeHidden)
{
    auto engine = NewEngine();
    ASSERT_TRUE(engine->SetCurrentHidingEngine(IHidingEngine::kEngineId));
    ASSERT_EQ(::mkdir((m_strBase + "/Data").c_str(), 0700), 0);
    const std::string strConfig = m_strBase + "/Data/HNVConfig.xml";
    WriteText(strConfig, "<signature/>");
    EXPECT_TRUE(engine->HideItem(strConfig));
    EXPECT_FALSE(Exists(strConfig));
    EXPECT_TRUE(engine->UnhideItem(strConfig));
    EXPECT_EQ(ReadText(strConfig), "<signature/>");
}

TEST_F(HidingGuard, AnItemOnAnotherFilesystemUsesThatFilesystemsVault)
{
    COtherFilesystemDir other(m_dir.Path());
    if (other.Path().empty()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm on another filesystem";
    }
    const std::string strName = ".hvvault-test-" + std::to_string(::getpid());
    const std::string strVault = other.Vault(strName);
    auto engine = NewEngine(strName);
    const std::string strFile = other.Path() + "/on-tmpfs";
    WriteText(strFile, "tmpfs data");
    ASSERT_TRUE(engine->HideItem(strFile)) << engine->GetLastError();
    EXPECT_FALSE(Exists(strFile));
    struct stat st = {};
    ASSERT_EQ(::lstat(strVault.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(NamesIn(strVault).size(), 1u);
    EXPECT_TRUE(NamesIn(m_strBase + "/vault").empty());
    EXPECT_FALSE(engine->HideItem(strVault));  // the other vault is refused as well
    EXPECT_TRUE(engine->UnhideItem(strFile));
    EXPECT_EQ(ReadText(strFile), "tmpfs data");
}

TEST_F(HidingGuard, AnItemWhoseFilesystemOffersNoVaultIsNotHidden)
{
    COtherFilesystemDir other(m_dir.Path());
    if (other.Path().empty()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm on another filesystem";
    }
    const std::string strName = ".hvvault-test-" + std::to_string(::getpid());
    const std::string strVault = other.Vault(strName);
    auto engine = NewEngine(strName);
    const std::string strFile = other.Path() + "/stays";
    WriteText(strFile, "visible");

    WriteText(strVault, "a file holds the vault's name");
    EXPECT_FALSE(engine->HideItem(strFile));
    EXPECT_EQ(ReadText(strFile), "visible");
    EXPECT_EQ(engine->GetHiddenCount(), 0);
    ASSERT_EQ(::unlink(strVault.c_str()), 0);

    if (::geteuid() == 0) {  // a vault folder that belongs to someone else
        ASSERT_EQ(::mkdir(strVault.c_str(), 0777), 0);
        ASSERT_EQ(::chown(strVault.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(engine->HideItem(strFile));
        EXPECT_EQ(ReadText(strFile), "visible");
        EXPECT_EQ(engine->GetHiddenCount(), 0);
    }
}

namespace {

// Runs fn in a child process as an unprivileged user (as the current user when that is not
// root); the exit code of fn, or 77 when that user cannot reach the test folder.
int RunUnprivileged(const std::string& strDir, const std::function<int()>& fn)
{
    const uid_t nobody = 65534;
    if (::geteuid() == 0 && ::chown(strDir.c_str(), nobody, nobody) != 0) {
        return -1;
    }
    return hvtest::RunInChild([&] {
        if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            return 10;
        }
        return ::access(strDir.c_str(), W_OK | X_OK) != 0 ? 77 : fn();
    });
}

}  // namespace

// Moving a folder to another parent needs write permission on the folder itself; a read-only
// folder of the user's is still hidden and comes back read-only.
TEST_F(HidingGuard, AReadOnlyFolderRoundTripsForAnUnprivilegedUser)
{
    const int nExit = RunUnprivileged(m_dir.Path(), [&] {
        const std::string strDir = m_dir / "ro";
        if (::mkdir(strDir.c_str(), 0700) != 0) {
            return 11;
        }
        WriteText(strDir + "/f", "inside");
        if (::chmod(strDir.c_str(), 0555) != 0) {
            return 12;
        }
        CHidingEngine engine(SHidingOptions{m_strBase, {}, {}, false});
        if (!engine.HideItem(strDir) || Exists(strDir)) {
            return 13;
        }
        if (!engine.UnhideItem(strDir)) {
            return 14;
        }
        return hvtest::ModeOf(strDir) == 0555 && ReadText(strDir + "/f") == "inside" ? 0 : 15;
    });
    if (nExit == 77) {
        GTEST_SKIP() << "the temporary folder cannot be reached by an unprivileged user";
    }
    EXPECT_EQ(nExit, 0);
}

// A kill while the read-only folder is writable for its move leaves it read-only afterwards.
TEST_F(HidingGuard, AKillDuringTheModeChangeOfAReadOnlyFolderIsSettled)
{
    const int nExit = RunUnprivileged(m_dir.Path(), [&] {
        const std::string strDir = m_dir / "ro";
        if (::mkdir(strDir.c_str(), 0500) != 0) {
            return 11;
        }
        for (const bool bHideFirst : {false, true}) {
            const int nKilled = hvtest::RunInChild([&] {
                SHidingOptions options{m_strBase, {}, {}, false};
                options.faultHook = [](std::string_view step) {
                    if (step == "chmod") {
                        ::_exit(42);
                    }
                };
                CHidingEngine engine(options);
                return bHideFirst ? (engine.UnhideItem(strDir) ? 0 : 1) : (engine.HideItem(strDir) ? 0 : 1);
            });
            if (nKilled != 42) {
                return 20;
            }
            CHidingEngine engine(SHidingOptions{m_strBase, {}, {}, false});
            const bool bListed = engine.GetHiddenCount() == 1;
            if (bHideFirst) {  // the unhide was cut short: still hidden, mode kept in the vault
                if (!bListed || Exists(strDir) || !engine.UnhideItem(strDir)) {
                    return 21;
                }
            } else if (bListed || !Exists(strDir)) {  // the hide was cut short: still in place
                return 22;
            }
            if (hvtest::ModeOf(strDir) != 0500) {
                return 23;
            }
            if (!bHideFirst && !engine.HideItem(strDir)) {
                return 24;
            }
        }
        return 0;
    });
    if (nExit == 77) {
        GTEST_SKIP() << "the temporary folder cannot be reached by an unprivileged user";
    }
    EXPECT_EQ(nExit, 0);
}
