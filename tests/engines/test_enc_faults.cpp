// A full disk and other write failures leave the source intact and no output behind; the
// master-password signature at the built-in cost.
#include "engines/CEncryptManager.h"
#include "engines/CHvncIo.h"
#include "engines/CHvncStaleTemps.h"
#include "engines/HVPendingRecords.h"
#include "engines/HVTempNames.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EncTestSupport.h"
#include "support/Programs.h"

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
    CCheapEngine em;
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
    CCheapEngine em;
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
    CCheapEngine em;
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
    for (const auto& [name, bOwn] : std::vector<std::pair<std::string, bool>>{
             {".a.hvnc.hvtmp-4242-Ab12Cd34Ef56", true},
             {".hvwipe-Ab12Cd34Ef56", true},
             {".a.hvnc.hvtmp-4242-Ab12Cd", false},  // a name of the user's that only looks alike
             {".a.hvnc.hvtmp-42x2-Ab12Cd34Ef56", false},
             {".a.hvnc.hvtmp--Ab12Cd34Ef56", false},
             {".hvtmp-1-Ab12Cd34Ef56", false},
             {".hvwipe-Ab12Cd34Ef5!", false},
             {"a.hvnc", false}}) {
        EXPECT_EQ(HVIsOwnTemporaryName(name), bOwn) << name;
    }
}

// A process that dies while it writes an output leaves nothing where the file system can hold
// unnamed files; elsewhere its recorded temporary, which the next sweep removes. Files that only
// look like temporaries are never touched.
TEST(EncStaleTemps, ACrashLeavesNothingTheSweepCannotProve)
{
    for (const bool bUnnamed : {true, false}) {
        SCOPED_TRACE(bUnnamed ? "unnamed temporaries" : "named temporaries");
        CTempDir dir;
        const std::string d = dir.Path();
        ASSERT_EQ(::mkdir((d + "/w").c_str(), 0700), 0);
        HVPendingRecords::SetDataFolder(d + "/data");
        const std::vector<std::string> lookalikes = {".big.hvnc.hvtmp-99999-ABCDEF",
                                                     ".big.hvnc.hvtmp-99999-ABCDEFGHIJKL"};
        for (const auto& name : lookalikes) {
            WriteFile(d + "/w/" + name, Pattern(100));
            const struct timespec old[2] = {{1000, 0}, {1000, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, (d + "/w/" + name).c_str(), old, 0), 0);
        }
        WriteFile(d + "/w/big", Pattern(3 << 20));
        ASSERT_EQ(hvtest::RunInChild([&] {
                      HvncIo::SetUnnamedTemps(bUnnamed);
                      CCheapEngine em;
                      em.SetParent([](std::uint32_t) { ::_exit(0); });  // dies with the output half written
                      return em.EncryptFileW(d + "/w/big") != 0 ? 1 : 2;
                  }),
                  0);
        EXPECT_EQ(List(d + "/w").size(), bUnnamed ? 3u : 4u);
        EXPECT_EQ(HvncStaleTemps::SweepRecorded(), bUnnamed ? 0 : 1);
        EXPECT_EQ(List(d + "/w"), (std::vector<std::string>{lookalikes[0], lookalikes[1], "big"}));
        for (const auto& name : lookalikes) {
            EXPECT_EQ(ReadFile(d + "/w/" + name), Pattern(100)) << name;
        }
        EXPECT_TRUE(List(d + "/data/Pending").empty()) << "the dead process's record is gone";
        HVPendingRecords::SetDataFolder({});
    }
}

// A record left by a dead process is hostile input: lines that are damaged, name a path instead of
// one name, a relative folder, or a folder that is no longer the recorded one (another inode under
// that path) make the sweep touch nothing; only the well-formed entry goes.
TEST(EncStaleTemps, DamagedOrMisleadingRecordsTouchNothing)
{
    CTempDir dir;
    const std::string d = dir.Path();
    ASSERT_EQ(::mkdir((d + "/w").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((d + "/data").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((d + "/data/Pending").c_str(), 0700), 0);
    for (const char* name : {"keep", "victim", ".gone.hvtmp-1-Ab12Cd34Ef56"}) {
        WriteFile(d + "/w/" + name, Pattern(100));
    }
    struct stat st = {};
    ASSERT_EQ(::stat((d + "/w").c_str(), &st), 0);
    const auto hex = [](const std::string& s) {
        std::string out;
        for (const unsigned char c : s) {
            out += "0123456789abcdef"[c >> 4];
            out += "0123456789abcdef"[c & 15];
        }
        return out;
    };
    const std::string folder = " " + std::to_string(st.st_dev) + " " + std::to_string(st.st_ino) + " 0 ";
    const std::string lines[] = {
        "T 0" + folder + hex(d + "/w") + " " + hex("../w/victim"),                           // a path, not a name
        "T 0" + folder + hex("w") + " " + hex("victim"),                                     // a relative folder
        "T 0 " + std::to_string(st.st_dev) + " 1 0 " + hex(d + "/w") + " " + hex("victim"),  // other inode
        "T 0" + folder + hex(d + "/w") + " zz",                                              // not hexadecimal
        std::string(5000, 'T'),                                                              // garbage
        "W 2" + folder + hex(d + "/w") + " " + hex("keep"),                        // a wipe: not for this sweep
        "T 0" + folder + hex(d + "/w") + " " + hex(".gone.hvtmp-1-Ab12Cd34Ef56"),  // the one to go
    };
    std::string strRecord;
    for (const auto& line : lines) {
        strRecord += line + "\n";
    }
    ASSERT_TRUE(hvtest::WriteText(d + "/data/Pending/1-Ab12Cd34Ef56.rec", strRecord));
    EXPECT_EQ(CEncryptManager::RemoveStaleTemporaries(d + "/data"), 1);
    HVPendingRecords::SetDataFolder({});
    EXPECT_EQ(List(d + "/w"), (std::vector<std::string>{"keep", "victim"}));
    EXPECT_EQ(ReadFile(d + "/w/victim"), Pattern(100));
    EXPECT_EQ(ReadFile(d + "/w/keep"), Pattern(100));
    // What is left for the other sweep is the wipe entry alone.
    EXPECT_EQ(hvtest::ReadText(d + "/data/Pending/1-Ab12Cd34Ef56.rec"), lines[5] + "\n");
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
