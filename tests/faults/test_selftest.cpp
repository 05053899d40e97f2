// The ciphers' known-answer self-test: every vector passes, a wrong answer of any one is caught
// and named, the result is kept for the process, and both programs refuse to work (status 1,
// their message, no file touched) when the key derivation of the library they load is broken.
#include "engines/CHvncSelfTest.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

#include "FaultProcess.h"
#include "FaultSupport.h"

using namespace faults;

namespace {

class SelfTest : public ::testing::Test
{
protected:
    void TearDown() override { CHvncSelfTest::SetBrokenVectorForTest(""); }
};

TEST_F(SelfTest, EveryKnownAnswerPasses)
{
    std::string strFailure = "unset";
    EXPECT_TRUE(CHvncSelfTest::RunAll(strFailure)) << strFailure;
    EXPECT_TRUE(strFailure.empty());
    EXPECT_TRUE(CHvncSelfTest::Run(strFailure)) << strFailure;
    EXPECT_TRUE(CHvncSelfTest::Run(strFailure)) << strFailure;
}

class SelfTestBroken : public SelfTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(SelfTestBroken, AWrongAnswerIsCaughtAndNamed)
{
    CHvncSelfTest::SetBrokenVectorForTest(GetParam());
    std::string strFailure;
    EXPECT_FALSE(CHvncSelfTest::RunAll(strFailure));
    EXPECT_EQ(strFailure.rfind(GetParam(), 0), 0u) << strFailure;
    EXPECT_NE(strFailure.find("known answer"), std::string::npos) << strFailure;
}

INSTANTIATE_TEST_SUITE_P(Vectors,
                         SelfTestBroken,
                         ::testing::Values("AES-128-GCM #1",
                                           "AES-128-GCM #2",
                                           "AES-128-GCM #3",
                                           "AES-192-GCM #1",
                                           "AES-192-GCM #2",
                                           "AES-192-GCM #3",
                                           "AES-256-GCM #1",
                                           "AES-256-GCM #2",
                                           "AES-256-GCM #3",
                                           "Argon2id",
                                           "HMAC-SHA-256",
                                           "HKDF-SHA-256",
                                           "SHA-256 #1",
                                           "SHA-256 #2",
                                           "SHA-256 #3"));

// Run() answers from its first run until the seam changes.
TEST_F(SelfTest, TheFirstResultIsKeptForTheProcess)
{
    CHvncSelfTest::SetBrokenVectorForTest("AES-192-GCM #3");
    std::string strFailure;
    EXPECT_FALSE(CHvncSelfTest::Run(strFailure));
    EXPECT_EQ(strFailure, "AES-192-GCM #3 does not give its known answer");
    strFailure.clear();
    EXPECT_FALSE(CHvncSelfTest::Run(strFailure));
    EXPECT_EQ(strFailure, "AES-192-GCM #3 does not give its known answer");
    CHvncSelfTest::SetBrokenVectorForTest("");
    EXPECT_TRUE(CHvncSelfTest::Run(strFailure));
    EXPECT_TRUE(strFailure.empty());
}

class BrokenLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (SanitizerBuild()) {
            GTEST_SKIP() << "a preloaded library does not mix with the sanitizer runtime";
        }
        ASSERT_FALSE(m_home.Path().empty());
        ASSERT_TRUE(WriteFile(m_home / "pw", {'p', 'w', '-', '1', '\n'}));
        ASSERT_TRUE(WriteFile(m_home / "doc.txt", Pattern(5000, 40)));
    }
    [[nodiscard]] std::vector<std::string> Env(bool bBroken) const
    {
        return bBroken ? std::vector<std::string>{std::string("LD_PRELOAD=") + HV_BROKEN_KDF}
                       : std::vector<std::string>{};
    }
    CTempDir m_home{"/tmp"};
};

TEST_F(BrokenLibrary, HvcryptRefusesToWork)
{
    const std::vector<std::string> args =
        hvtest::Words("%1 encrypt --quiet --kdf-mem-kib 64 --kdf-passes 1 --password-file %2 %3",
                      {ProgramPath("hvcrypt"), m_home / "pw", m_home / "doc.txt"});
    CProgram broken(m_home.Path(), args, Env(true));
    ASSERT_TRUE(broken.Started());
    EXPECT_EQ(broken.Wait(), 1);
    EXPECT_NE(broken.Err().find("cipher self-test failed: Argon2id"), std::string::npos) << broken.Err();
    EXPECT_FALSE(Exists(m_home / "doc.txt.hvnc"));
    EXPECT_EQ(ReadFile(m_home / "doc.txt"), Pattern(5000, 40));

    CProgram sound(m_home.Path(), args, Env(false));
    EXPECT_EQ(sound.Wait(), 0) << sound.Err();
    EXPECT_TRUE(Exists(m_home / "doc.txt.hvnc"));
}

TEST_F(BrokenLibrary, HnvRefusesToStart)
{
    const std::string hnv = ProgramPath("hnv");
    struct stat st = {};
    if (::stat(hnv.c_str(), &st) != 0) {
        GTEST_SKIP() << "hnv is not built";
    }
    CProgram broken(m_home.Path(),
                    hvtest::Words("%1 --master-password-file %2 --password-file %2 -e -pt new -p %3 -f doc.txt",
                                  {hnv, m_home / "pw", m_home.Path()}),
                    Env(true));
    ASSERT_TRUE(broken.Started());
    const int nStatus = broken.Wait();
    EXPECT_NE(nStatus, 0);
    EXPECT_NE(nStatus, -1) << "ended by itself, not by a crash";
    EXPECT_NE(broken.Err().find("Cipher self-test failed: Argon2id"), std::string::npos) << broken.Err();
    EXPECT_FALSE(Exists(m_home / "doc.txt.hvnc"));
    EXPECT_EQ(ReadFile(m_home / "doc.txt"), Pattern(5000, 40));
    EXPECT_FALSE(Exists(m_home / ".local/share/Halvo-Soft/vault")) << "no master password was set either";
}

}  // namespace
