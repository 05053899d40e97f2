// End-to-end tests of the hvcrypt tool: real binary, real files in a temporary folder.
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>

#include "test_enc_util.h"

using namespace enctest;

namespace {

std::string Tool()
{
    const char* bin = std::getenv("HV_BUILD_BIN");
    return std::string(bin != nullptr ? bin : "build/bin") + "/hvcrypt";
}

class HvcryptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.Path().empty());
        ::setenv("HOME", m_dir.Path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_dir / ".config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_dir / ".local").c_str(), 1);
        ASSERT_EQ(::mkdir((m_dir / "w").c_str(), 0700), 0);
        WriteFile(m_dir / "pw", {'s', 'e', 'c', 'r', 'e', 't', '\n'});
        WriteFile(m_dir / "bad", {'n', 'o', 'p', 'e'});
    }

    // Runs the tool with a cheap key derivation; returns its exit status.
    int Run(const std::string& args, const std::string& pwFile = "pw")
    {
        const std::string cmd = "'" + Tool() + "' " + args + " --quiet --password-file '" + (m_dir / pwFile) + "' 2>'"
                                + (m_dir / "stderr") + "' >'" + (m_dir / "stdout") + "'";
        const int st = std::system(cmd.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    std::string W(const std::string& name) const { return m_dir / ("w/" + name); }
    std::string Q(const std::string& name) const { return "'" + W(name) + "'"; }

    CTempDir m_dir;
};

constexpr const char* kCheap = " --kdf-mem-kib 64 --kdf-passes 1 ";

TEST_F(HvcryptTest, EncryptVerifyDecryptManyFiles)
{
    WriteFile(W("a b.txt"), Pattern(70000, 1));
    WriteFile(W("c"), Pattern(0, 2));
    ASSERT_EQ(Run(std::string("encrypt") + kCheap + "--key-bits 128 " + Q("a b.txt") + " " + Q("c")), 0);
    EXPECT_TRUE(Exists(W("a b.txt.hvnc")));
    EXPECT_TRUE(Exists(W("c.hvnc")));
    EXPECT_EQ(ReadFile(W("a b.txt")), Pattern(70000, 1)) << "encryption keeps the source";
    const auto enc = ReadFile(W("c.hvnc"));
    ASSERT_GT(enc.size(), 21u);
    EXPECT_EQ(enc[12], 1) << "AES-128-GCM";
    EXPECT_EQ(enc[16], 64);

    EXPECT_EQ(Run("verify " + Q("a b.txt.hvnc") + " " + Q("c.hvnc")), 0);
    ::unlink(W("a b.txt").c_str());
    ::unlink(W("c").c_str());
    ASSERT_EQ(Run("decrypt " + Q("a b.txt.hvnc") + " " + Q("c.hvnc")), 0);
    EXPECT_EQ(ReadFile(W("a b.txt")), Pattern(70000, 1));
    EXPECT_TRUE(Exists(W("c")));
    EXPECT_EQ(List(m_dir / "w").size(), 2u);
}

TEST_F(HvcryptTest, WrongPasswordExitsTwoAndWritesNothing)
{
    WriteFile(W("a"), Pattern(1000));
    ASSERT_EQ(Run(std::string("encrypt") + kCheap + Q("a")), 0);
    const std::vector<std::uint8_t> mine = {'m', 'i', 'n', 'e'};
    WriteFile(W("a"), mine);
    EXPECT_EQ(Run("decrypt " + Q("a.hvnc"), "bad"), 2);
    EXPECT_EQ(Run("verify " + Q("a.hvnc"), "bad"), 2);
    EXPECT_EQ(ReadFile(W("a")), mine);
    EXPECT_EQ(List(m_dir / "w").size(), 2u);
    // A wrong password together with another failure is a plain failure.
    EXPECT_EQ(Run("decrypt " + Q("a.hvnc") + " " + Q("missing.hvnc"), "bad"), 1);
    EXPECT_EQ(Run("decrypt " + Q("a.hvnc")), 0);
    EXPECT_EQ(ReadFile(W("a(1)")), Pattern(1000));
}

TEST_F(HvcryptTest, FailuresAndBadUsageExitOne)
{
    WriteFile(W("a"), Pattern(10));
    WriteFile(W("a.hvnc"), {'x'});
    EXPECT_EQ(Run(std::string("encrypt") + kCheap + Q("a")), 1) << "an existing output is never replaced";
    EXPECT_EQ(ReadFile(W("a.hvnc")), std::vector<std::uint8_t>{'x'});
    EXPECT_EQ(Run("decrypt " + Q("a.hvnc")), 1) << "not an encrypted file";
    EXPECT_EQ(Run("frobnicate " + Q("a")), 1);
    EXPECT_EQ(Run("encrypt --key-bits 100 " + Q("a")), 1);
    EXPECT_EQ(Run("encrypt"), 1);
    EXPECT_EQ(Run("wipe --method 7 " + Q("a")), 1);
}

TEST_F(HvcryptTest, OutputOptionAndWipe)
{
    WriteFile(W("cfg.xml"), Pattern(3000));
    ASSERT_EQ(Run(std::string("encrypt") + kCheap + Q("cfg.xml") + " --output " + Q("Config.hvnc")), 0);
    ASSERT_EQ(Run("decrypt " + Q("Config.hvnc") + " --output " + Q("plain.xml")), 0);
    EXPECT_EQ(ReadFile(W("plain.xml")), Pattern(3000));
    EXPECT_EQ(Run("wipe --method 0 " + Q("plain.xml") + " " + Q("cfg.xml")), 0);
    EXPECT_TRUE(List(m_dir / "w").empty());
}

TEST_F(HvcryptTest, KillDuringEncryptionLeavesSourceAndNoOutput)
{
    const std::string src = W("big");
    {
        const auto block = Pattern(1 << 20, 9);
        std::FILE* f = std::fopen(src.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        for (int i = 0; i < 384; ++i) {
            ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), f), block.size());
        }
        std::fclose(f);
    }
    const std::string tool = Tool();
    const std::string pw = m_dir / "pw";
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::execl(tool.c_str(),
                "hvcrypt",
                "encrypt",
                "--quiet",
                "--kdf-mem-kib",
                "64",
                "--kdf-passes",
                "1",
                "--password-file",
                pw.c_str(),
                src.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Wait until the temporary output has real content, then kill.
    bool bKilled = false;
    for (int i = 0; i < 20000 && !bKilled; ++i) {
        for (const auto& name : List(m_dir / "w")) {
            struct stat st
            {
            };
            if (name.find(".hvtmp-") != std::string::npos && ::stat(W(name).c_str(), &st) == 0
                && st.st_size > (8 << 20)) {
                bKilled = ::kill(pid, SIGKILL) == 0;
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSIGNALED(status)) {
        GTEST_SKIP() << "the tool finished before it could be killed";
    }
    EXPECT_FALSE(Exists(src + ".hvnc")) << "no output under the final name";
    for (const auto& name : List(m_dir / "w")) {
        EXPECT_TRUE(name == "big" || name.rfind(".big.hvnc.hvtmp-", 0) == 0) << name;
    }
    std::FILE* f = std::fopen(src.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    const auto block = Pattern(1 << 20, 9);
    std::vector<std::uint8_t> got(block.size());
    int nBlocks = 0;
    while (std::fread(got.data(), 1, got.size(), f) == got.size()) {
        EXPECT_EQ(got, block) << "block " << nBlocks;
        ++nBlocks;
    }
    std::fclose(f);
    EXPECT_EQ(nBlocks, 384) << "the source is intact";
}

}  // namespace
