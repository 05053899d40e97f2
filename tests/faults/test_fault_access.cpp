// Access denied to the source, to the folder an output goes to, and to the hiding engine's
// vault and list: every operation fails with its reason before it changes anything, and works
// once the access is back. The superuser's override of file modes is switched off for these
// tests (CNoDacOverride), so they mean the same under root as for anybody else.
#include "engines/CEncryptManager.h"
#include "engines/CWipeManager.h"
#include "hiding/CHidingEngine.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FaultSupport.h"
#include "FaultSyscalls.h"

using namespace faults;

namespace {

constexpr uid_t kOtherUser = 65534;

class AccessDenied : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.Path().empty());
        CEncryptManager::SetDefaultKdfCost(kCheapMemKiB, kCheapPasses);
        m_plain = Pattern(200000, 11);
        ASSERT_EQ(::mkdir((m_dir / "d").c_str(), 0700), 0);
        ASSERT_TRUE(WriteFile(D("a.txt"), m_plain));
    }
    [[nodiscard]] std::string D(const std::string& name) const { return m_dir / ("d/" + name); }
    // Skips when file modes cannot be made to bind here.
    [[nodiscard]] bool Denying(CNoDacOverride&) const { return CNoDacOverride::Effective(m_dir.Path()); }

    CTempDir m_dir;
    Bytes m_plain;
};

#define HV_DENY_OR_SKIP(guard)                                                                                         \
    CNoDacOverride guard;                                                                                              \
    if (!Denying(guard)) {                                                                                             \
        GTEST_SKIP() << "file modes do not bind for this user";                                                        \
    }

TEST_F(AccessDenied, UnreadableSourceIsNotEncrypted)
{
    ASSERT_EQ(::chmod(D("a.txt").c_str(), 0200), 0);
    {
        HV_DENY_OR_SKIP(guard);
        CCheapEngine em;
        EXPECT_EQ(em.EncryptFileW(D("a.txt")), 0);
        EXPECT_EQ(em.GetLastResult(), HVNC_PERMISSION);
        EXPECT_NE(em.GetLastError().find("Permission denied"), std::string::npos) << em.GetLastError();
    }
    EXPECT_EQ(List(m_dir / "d"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(hvtest::ModeOf(D("a.txt")), 0200) << "the mode is left alone";
    EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
}

TEST_F(AccessDenied, ReadOnlyTargetFolderGetsNoOutput)
{
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0500), 0);
    {
        HV_DENY_OR_SKIP(guard);
        CCheapEngine em;
        EXPECT_EQ(em.EncryptFileW(D("a.txt")), 0);
        EXPECT_EQ(em.GetLastResult(), HVNC_PERMISSION) << em.GetLastError();
        EXPECT_EQ(List(m_dir / "d"), std::vector<std::string>{"a.txt"});
        EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
    }
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0700), 0);
    CCheapEngine next;
    EXPECT_NE(next.EncryptFileW(D("a.txt")), 0) << "works once the folder is writable";
    EXPECT_TRUE(OpensTo(D("a.txt.hvnc"), m_plain));
}

TEST_F(AccessDenied, DecryptionIntoAReadOnlyFolderKeepsTheEncryptedFile)
{
    CCheapEngine em;
    ASSERT_NE(em.EncryptFileW(D("a.txt")), 0);
    ASSERT_EQ(::unlink(D("a.txt").c_str()), 0);
    const Bytes enc = ReadFile(D("a.txt.hvnc"));
    ASSERT_EQ(::mkdir((m_dir / "ro").c_str(), 0500), 0);
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0500), 0);
    {
        HV_DENY_OR_SKIP(guard);
        EXPECT_EQ(em.DecryptFileW(D("a.txt.hvnc")), HVNC_PERMISSION) << em.GetLastError();
        EXPECT_EQ(em.DecryptFileW(D("a.txt.hvnc"), m_dir / "ro/a.txt"), HVNC_PERMISSION) << em.GetLastError();
        EXPECT_EQ(List(m_dir / "d"), std::vector<std::string>{"a.txt.hvnc"});
        EXPECT_TRUE(List(m_dir / "ro").empty());
    }
    EXPECT_EQ(ReadFile(D("a.txt.hvnc")), enc);
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0700), 0);
    EXPECT_EQ(em.DecryptFileW(D("a.txt.hvnc")), HVNC_OK);
    EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
}

TEST_F(AccessDenied, UnreadableEncryptedFileIsNotDecrypted)
{
    CCheapEngine em;
    ASSERT_NE(em.EncryptFileW(D("a.txt")), 0);
    ASSERT_EQ(::unlink(D("a.txt").c_str()), 0);
    ASSERT_EQ(::chmod(D("a.txt.hvnc").c_str(), 0200), 0);
    HV_DENY_OR_SKIP(guard);
    EXPECT_EQ(em.DecryptFileW(D("a.txt.hvnc")), HVNC_PERMISSION);
    EXPECT_EQ(List(m_dir / "d"), std::vector<std::string>{"a.txt.hvnc"});
}

// The name could not be removed afterwards: the wipe is refused before it destroys the content.
TEST_F(AccessDenied, WipeInAReadOnlyFolderChangesNothing)
{
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0500), 0);
    {
        HV_DENY_OR_SKIP(guard);
        CWipeManager wm;
        EXPECT_EQ(wm.WipeFile(D("a.txt"), m_plain.size()), 0);
        EXPECT_NE(wm.GetLastError().find("Permission denied"), std::string::npos) << wm.GetLastError();
    }
    EXPECT_EQ(ReadFile(D("a.txt")), m_plain) << "nothing was overwritten";
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0700), 0);
    CWipeManager next;
    EXPECT_NE(next.WipeFile(D("a.txt"), 0), 0) << next.GetLastError();
    EXPECT_TRUE(List(m_dir / "d").empty());
}

TEST_F(AccessDenied, WipeOfAnotherUsersFileChangesNothing)
{
    if (::chown(D("a.txt").c_str(), kOtherUser, kOtherUser) != 0) {
        GTEST_SKIP() << "a file of another user cannot be made here";
    }
    ASSERT_EQ(::chmod(D("a.txt").c_str(), 0644), 0);
    {
        HV_DENY_OR_SKIP(guard);
        CWipeManager wm;
        EXPECT_EQ(wm.WipeFile(D("a.txt"), m_plain.size()), 0);
        EXPECT_FALSE(wm.GetLastError().empty());
    }
    EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
    EXPECT_EQ(hvtest::ModeOf(D("a.txt")), 0644);
}

class HidingAccessDenied : public AccessDenied
{
protected:
    [[nodiscard]] SHidingOptions Options() const
    {
        SHidingOptions o;
        o.strBaseDir = m_dir / "data/Halvo-Soft";
        return o;
    }
    [[nodiscard]] std::string Vault() const { return m_dir / "data/Halvo-Soft/vault"; }
    // The item is in its folder, whole, and nothing is listed.
    void ExpectUntouched()
    {
        EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
        CHidingEngine next(Options());
        EXPECT_EQ(next.GetHiddenCount(), 0);
    }
    // With the access back, the next start hides and shows it.
    void ExpectWorksAgain()
    {
        CHidingEngine next(Options());
        ASSERT_TRUE(next.HideItem(D("a.txt"))) << next.GetLastError();
        EXPECT_FALSE(Exists(D("a.txt")));
        ASSERT_TRUE(next.UnhideItem(D("a.txt"))) << next.GetLastError();
        EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
    }
};

TEST_F(HidingAccessDenied, VaultOfAnotherUserIsNotUsed)
{
    {
        CHidingEngine first(Options());
        ASSERT_EQ(first.GetHiddenCount(), 0);
    }
    ASSERT_TRUE(Exists(Vault()));
    if (::chown(Vault().c_str(), kOtherUser, kOtherUser) != 0) {
        GTEST_SKIP() << "a folder of another user cannot be made here";
    }
    {
        HV_DENY_OR_SKIP(guard);
        CHidingEngine engine(Options());
        EXPECT_FALSE(engine.HideItem(D("a.txt")));
        EXPECT_FALSE(engine.GetLastError().empty());
    }
    ExpectUntouched();
    ASSERT_EQ(::chown(Vault().c_str(), ::geteuid(), ::getegid()), 0);
    ExpectWorksAgain();
}

TEST_F(HidingAccessDenied, ReadOnlyVaultTakesNothing)
{
    {
        CHidingEngine first(Options());
        ASSERT_EQ(first.GetHiddenCount(), 0);
    }
    ASSERT_EQ(::chmod(Vault().c_str(), 0500), 0);
    bool bHidden = false;
    {
        HV_DENY_OR_SKIP(guard);
        CHidingEngine engine(Options());
        bHidden = engine.HideItem(D("a.txt"));
        if (bHidden) {
            // The engine may set its own vault's mode right; then the item is really hidden.
            EXPECT_FALSE(Exists(D("a.txt")));
            EXPECT_TRUE(engine.UnhideItem(D("a.txt"))) << engine.GetLastError();
        }
    }
    ExpectUntouched();
    ASSERT_EQ(::chmod(Vault().c_str(), 0700), 0);
    ExpectWorksAgain();
}

TEST_F(HidingAccessDenied, UnwritableDataFolderHidesNothing)
{
    ASSERT_EQ(::mkdir((m_dir / "data").c_str(), 0500), 0);
    {
        HV_DENY_OR_SKIP(guard);
        CHidingEngine engine(Options());
        EXPECT_FALSE(engine.HideItem(D("a.txt")));
        EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
    }
    ASSERT_EQ(::chmod((m_dir / "data").c_str(), 0700), 0);
    ExpectUntouched();
    ExpectWorksAgain();
}

TEST_F(HidingAccessDenied, ShowingIntoAReadOnlyFolderKeepsTheItemHidden)
{
    {
        CHidingEngine engine(Options());
        ASSERT_TRUE(engine.HideItem(D("a.txt"))) << engine.GetLastError();
    }
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0500), 0);
    {
        HV_DENY_OR_SKIP(guard);
        CHidingEngine engine(Options());
        EXPECT_FALSE(engine.UnhideItem(D("a.txt")));
        EXPECT_EQ(engine.GetHiddenCount(), 1) << "still listed";
    }
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0700), 0);
    CHidingEngine next(Options());
    ASSERT_EQ(next.GetHiddenCount(), 1);
    EXPECT_TRUE(next.UnhideItem(D("a.txt"))) << next.GetLastError();
    EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
}

// A file system that cannot keep modes or times (vfat): the files are encrypted and decrypted all
// the same, each with a warning that says what was not kept.
TEST(ModesNotKept, AreAWarningNotAFailure)
{
    if (hvfault_available() == 0) {
        GTEST_SKIP() << "the file-system calls cannot be taken over in a sanitizer build";
    }
    CTempDir dir;
    const Bytes plain = Pattern(70000, 8);
    ASSERT_TRUE(WriteFile(dir / "a.txt", plain));
    CCheapEngine em;
    hvfault_arm(HVFAULT_MODE, 0, EPERM);
    const int nEncrypted = em.EncryptFileW(dir / "a.txt");
    const std::string strEncWarning = em.GetLastWarning();
    ASSERT_EQ(::unlink((dir / "a.txt").c_str()), 0);
    const int nDecrypted = em.DecryptFileW(dir / "a.txt.hvnc");
    EXPECT_GT(hvfault_disarm(), 0);
    EXPECT_NE(nEncrypted, 0) << em.GetLastError();
    EXPECT_NE(strEncWarning.find("permissions"), std::string::npos) << strEncWarning;
    EXPECT_EQ(nDecrypted, HVNC_OK) << em.GetLastError();
    EXPECT_NE(em.GetLastWarning().find("permissions"), std::string::npos) << em.GetLastWarning();
    EXPECT_NE(em.GetLastWarning().find("time"), std::string::npos) << em.GetLastWarning();
    EXPECT_EQ(ReadFile(dir / "a.txt"), plain);
    EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"a.txt"});
}

}  // namespace

// The clean-up's restore into a folder the user may not change: the item stays hidden and listed,
// named with the permission as the reason; with the access back it comes back.
TEST_F(HidingAccessDenied, RestoreIntoAReadOnlyFolderNamesThePermission)
{
    {
        CHidingEngine engine(Options());
        ASSERT_TRUE(engine.HideItem(D("a.txt"))) << engine.GetLastError();
    }
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0500), 0);
    {
        HV_DENY_OR_SKIP(guard);
        CHidingEngine engine(Options());
        std::vector<SRestoreFailure> failures;
        EXPECT_FALSE(engine.RestoreAll(failures));
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].strPath, D("a.txt"));
        EXPECT_EQ(failures[0].eWhy, SRestoreFailure::EWhy::Permission) << failures[0].strDetail;
        EXPECT_EQ(engine.GetHiddenCount(), 1);
    }
    ASSERT_EQ(::chmod((m_dir / "d").c_str(), 0700), 0);
    CHidingEngine engine(Options());
    std::vector<SRestoreFailure> failures;
    EXPECT_TRUE(engine.RestoreAll(failures));
    EXPECT_EQ(ReadFile(D("a.txt")), m_plain);
    EXPECT_EQ(engine.GetHiddenCount(), 0);
}
