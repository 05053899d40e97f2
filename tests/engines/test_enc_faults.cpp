// A full disk and other write failures leave the source intact and no output behind; the
// master-password signature at the built-in cost.
#include "engines/CEncryptManager.h"
#include "engines/CHvncIo.h"
#include "engines/CHvncStaleTemps.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include "test_enc_util.h"

using namespace enctest;

namespace {

class EncFullDisk : public ::testing::TestWithParam<std::int64_t>
{
protected:
    void TearDown() override { HvncIo::SetWriteFault(-1, 0); }
};

TEST_P(EncFullDisk, EncryptionLeavesSourceAndNoOutput)
{
    CTempDir dir;
    const auto plain = Pattern(3 << 20);
    WriteFile(dir / "a", plain);
    CEncryptManager em;
    CheapEngine(em);
    HvncIo::SetWriteFault(GetParam(), ENOSPC);
    EXPECT_EQ(em.EncryptFileW(dir / "a"), 0);
    EXPECT_EQ(em.GetLastResult(), HVNC_NO_SPACE) << em.GetLastError();
    EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"a"});
    EXPECT_EQ(ReadFile(dir / "a"), plain);
}

TEST_P(EncFullDisk, DecryptionKeepsTheEncryptedFileAndWritesNothing)
{
    CTempDir dir;
    const auto plain = Pattern(3 << 20);
    WriteFile(dir / "a", plain);
    CEncryptManager em;
    CheapEngine(em);
    ASSERT_NE(em.EncryptFileW(dir / "a"), 0);
    ASSERT_EQ(::unlink((dir / "a").c_str()), 0);
    const auto enc = ReadFile(dir / "a.hvnc");
    HvncIo::SetWriteFault(GetParam(), EIO);
    EXPECT_EQ(em.DecryptFileW(dir / "a.hvnc", std::string()), HVNC_IO_ERROR);
    EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"a.hvnc"});
    EXPECT_EQ(ReadFile(dir / "a.hvnc"), enc);
}

// At the header, inside the first block, deep inside the pipeline.
INSTANTIATE_TEST_SUITE_P(FailAfter, EncFullDisk, ::testing::Values(0, 1000, 2500000));

TEST(EncFullDisk, BatchFailureLeavesTheOthersCorrect)
{
    CTempDir dir;
    std::vector<std::string> files;
    for (int i = 0; i < 5; ++i) {
        files.push_back(dir / ("f" + std::to_string(i)));
        WriteFile(files.back(), Pattern(100000, i));
    }
    CEncryptManager em;
    CheapEngine(em);
    HvncIo::SetWriteFault(250000, ENOSPC);  // the third file hits the full disk
    std::vector<int> results;
    EXPECT_EQ(em.EncryptFilesW(files, results), 0);
    HvncIo::SetWriteFault(-1, 0);
    EXPECT_EQ(results[0], HVNC_OK);
    EXPECT_EQ(results[1], HVNC_OK);
    EXPECT_EQ(results[2], HVNC_NO_SPACE);
    EXPECT_FALSE(Exists(files[2] + ".hvnc"));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ReadFile(files[i]), Pattern(100000, i));
    }
    for (const auto& name : List(dir.Path())) {
        EXPECT_EQ(name.find(".hvtmp-"), std::string::npos) << name;
    }
}

// A real full file system, where the machine lets us mount a small tmpfs.
TEST(EncFullDisk, RealSmallFileSystem)
{
    CTempDir dir;
    const std::string mnt = dir / "mnt";
    ASSERT_EQ(::mkdir(mnt.c_str(), 0700), 0);
    if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=2m") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    struct SUnmount
    {
        std::string path;
        ~SUnmount() { ::umount(path.c_str()); }
    } unmount{mnt};
    const auto plain = Pattern(1200 * 1024);
    WriteFile(mnt + "/a", plain);
    CEncryptManager em;
    CheapEngine(em);
    EXPECT_EQ(em.EncryptFileW(mnt + "/a"), 0);
    EXPECT_EQ(em.GetLastResult(), HVNC_NO_SPACE) << em.GetLastError();
    EXPECT_EQ(List(mnt), std::vector<std::string>{"a"});
    EXPECT_EQ(ReadFile(mnt + "/a"), plain);
}

TEST(EncIo, FreeNamesFollowTheNumberingRule)
{
    CTempDir dir;
    EXPECT_EQ(HvncIo::FindFreeName(dir / "x.tar.gz"), dir / "x.tar.gz");
    WriteFile(dir / "x.tar.gz", {});
    EXPECT_EQ(HvncIo::FindFreeName(dir / "x.tar.gz"), dir / "x.tar(1).gz");
    WriteFile(dir / "x.tar(1).gz", {});
    EXPECT_EQ(HvncIo::FindFreeName(dir / "x.tar.gz"), dir / "x.tar(2).gz");
    EXPECT_EQ(HvncIo::NumberedName("/a.b/c", 3), "/a.b/c(3)");
    EXPECT_EQ(HvncIo::NumberedName("/a/.profile", 1), "/a/.profile(1)");
    EXPECT_TRUE(HvncIo::IsTempName(".a.hvnc.hvtmp-Ab12Cd"));
    EXPECT_TRUE(HvncIo::IsTempName(".a.hvnc.hvtmp-4242-Ab12Cd"));
    EXPECT_FALSE(HvncIo::IsTempName(".a.hvnc.hvtmp-42x2-Ab12Cd"));
    EXPECT_FALSE(HvncIo::IsTempName("a.hvnc"));
}

// The sweep for stale temporaries leaves alone whatever it cannot prove stale: a writer that
// still runs, a file changed after this process started, other names, links, other targets.
TEST(EncStaleTemps, SweepKeepsWhatIsNotProvablyStale)
{
    CTempDir dir;
    const std::string d = dir.Path();
    const std::string alive = ".doc.txt.hvtmp-" + std::to_string(::getppid()) + "-Ab12Cd";
    const std::string fresh = ".doc.txt.hvtmp-2147483646-Ab12Cd";  // no such process, but new
    const std::string other = ".other.txt.hvtmp-2147483646-Ab12Cd";
    const std::string old = ".doc.txt.hvtmp-Ab12Cd";  // no pid: unknown writer
    const std::string odd = ".doc.txt.hvtmp-2147483646-Ab!2Cd";
    for (const auto& name : {alive, fresh, other, old, odd}) {
        WriteFile(d + "/" + name, Pattern(100));
    }
    ASSERT_EQ(::symlink((d + "/" + alive).c_str(), (d + "/.doc.txt.hvtmp-2147483645-Zz99Yy").c_str()), 0);
    EXPECT_EQ(HvncStaleTemps::Sweep(d, "doc.txt"), 0);
    EXPECT_EQ(List(d).size(), 6u);
    for (const auto& name : {alive, fresh, other, old, odd}) {
        EXPECT_EQ(ReadFile(d + "/" + name), Pattern(100)) << name;
    }

    // A run of the engine in that folder keeps them too, and its own temporary carries its pid.
    WriteFile(d + "/doc.txt", Pattern(5000, 3));
    CEncryptManager em;
    CheapEngine(em);
    ASSERT_NE(em.EncryptFileW(d + "/doc.txt"), 0);
    ::unlink((d + "/doc.txt").c_str());
    ASSERT_EQ(em.DecryptFileW(d + "/doc.txt.hvnc"), HVNC_OK);
    EXPECT_EQ(ReadFile(d + "/doc.txt"), Pattern(5000, 3));
    EXPECT_EQ(List(d).size(), 7u);
    EXPECT_EQ(HvncStaleTemps::TempPrefix("doc.txt"), ".doc.txt.hvtmp-" + std::to_string(::getpid()) + "-");
}

TEST(EncSignature, DependsOnlyOnThePasswordAtTheBuiltInCost)
{
    // The process-wide cheap default of other tests must not change the signature.
    CEncryptManager::SetDefaultKdfCost(64, 1);
    std::uint8_t sig[32] = {};
    EXPECT_EQ(CEncryptManager::GetEncryptionSignature(u"m\u00e4ster", sig, sizeof sig), 1);
    EXPECT_NE(std::count(sig, sig + 32, 0), 32);
    EXPECT_NE(CEncryptManager::CompareEncryptionPasswords(u"m\u00e4ster", sig, 32), 0);
    EXPECT_EQ(CEncryptManager::CompareEncryptionPasswords(u"master", sig, 32), 0);
    EXPECT_EQ(CEncryptManager::CompareEncryptionPasswords(u"m\u00e4ster", sig, 31), 0);
    EXPECT_EQ(CEncryptManager::CompareEncryptionPasswords(u"m\u00e4ster", nullptr, 32), 0);
    CEncryptManager::SetDefaultKdfCost(CEncryptManager::kDefaultKdfMemKiB, CEncryptManager::kDefaultKdfPasses);
}

}  // namespace
