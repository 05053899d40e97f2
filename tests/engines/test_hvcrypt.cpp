// End-to-end tests of the hvcrypt tool: real binary, real files in a temporary folder.
#include "engines/HVTempNames.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>

#include "EncTestSupport.h"
#include "support/Programs.h"

using namespace enctest;

namespace {

std::string Tool()
{
    return hvtest::ProgramPath("hvcrypt");
}

class Hvcrypt : public ::testing::Test
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

TEST_F(Hvcrypt, EncryptVerifyDecryptManyFiles)
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

TEST_F(Hvcrypt, WrongPasswordExitsTwoAndWritesNothing)
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

TEST_F(Hvcrypt, FailuresAndBadUsageExitOne)
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

TEST_F(Hvcrypt, OutputOptionAndWipe)
{
    WriteFile(W("cfg.xml"), Pattern(3000));
    ASSERT_EQ(Run(std::string("encrypt") + kCheap + Q("cfg.xml") + " --output " + Q("Config.hvnc")), 0);
    ASSERT_EQ(Run("decrypt " + Q("Config.hvnc") + " --output " + Q("plain.xml")), 0);
    EXPECT_EQ(ReadFile(W("plain.xml")), Pattern(3000));
    EXPECT_EQ(Run("wipe --method 0 " + Q("plain.xml") + " " + Q("cfg.xml")), 0);
    EXPECT_TRUE(List(m_dir / "w").empty());
}

// A hard-linked file is refused (its other name keeps its content) unless only the name is to go.
TEST_F(Hvcrypt, WipeRefusesHardLinksUnlessUnlinkOnly)
{
    WriteFile(W("a"), Pattern(5000));
    ASSERT_EQ(::link(W("a").c_str(), W("b").c_str()), 0);
    EXPECT_EQ(Run("wipe " + Q("a")), 1);
    EXPECT_EQ(ReadFile(W("a")), Pattern(5000));
    EXPECT_EQ(Run("encrypt --unlink-only" + std::string(kCheap) + Q("a")), 1) << "wipe only";
    EXPECT_EQ(Run("wipe --unlink-only " + Q("a")), 0);
    EXPECT_FALSE(Exists(W("a")));
    EXPECT_EQ(ReadFile(W("b")), Pattern(5000));
}

// Bytes of the temporary outputs the process pid holds open in dir, named or not.
std::uint64_t TempBytes(pid_t pid, const std::string& dir)
{
    std::uint64_t n = 0;
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto& fd : List(fds)) {
        char target[4096];
        const ssize_t len = ::readlink((fds + "/" + fd).c_str(), target, sizeof target - 1);
        const std::string t(target, len > 0 ? static_cast<std::size_t>(len) : 0);
        struct stat st = {};
        if (t.rfind(dir + "/", 0) == 0 && (t.find("/#") != std::string::npos || t.find(".hvtmp-") != std::string::npos)
            && ::stat((fds + "/" + fd).c_str(), &st) == 0) {
            n += static_cast<std::uint64_t>(st.st_size);
        }
    }
    return n;
}

// Runs "hvcrypt <command> <file>" and kills it with SIGKILL once its temporary output holds more
// than 8 MiB; bNamed makes it write named temporaries. Returns false when the tool ended before it
// could be killed.
bool RunAndKill(
    const std::string& tool, const std::string& pw, const std::string& command, const std::string& file, bool bNamed)
{
    const pid_t pid = ::fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        if (bNamed) {
            ::setenv("HV_ENGINE_NAMED_TEMPS", "1", 1);
        }
        ::execl(tool.c_str(),
                "hvcrypt",
                command.c_str(),
                "--quiet",
                "--kdf-mem-kib",
                "64",
                "--kdf-passes",
                "1",
                "--password-file",
                pw.c_str(),
                file.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const std::string dir = file.substr(0, file.find_last_of('/'));
    bool bKilled = false;
    for (int i = 0; i < 20000 && !bKilled; ++i) {
        if (TempBytes(pid, dir) > (8u << 20)) {
            bKilled = ::kill(pid, SIGKILL) == 0;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status);
}

// 384 MiB of a known pattern, written and checked block by block.
constexpr int kBigBlocks = 384;

void WriteBig(const std::string& path)
{
    const auto block = Pattern(1 << 20, 9);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    for (int i = 0; i < kBigBlocks; ++i) {
        ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), f), block.size());
    }
    std::fclose(f);
}

// FNV-1a over the file, 64 bits at a time.
std::uint64_t Digest(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::uint64_t h = 1469598103934665603ull;
    if (f == nullptr) {
        return 0;
    }
    std::vector<std::uint64_t> buf(1 << 17);
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 8, buf.size(), f)) > 0) {
        for (std::size_t i = 0; i < n; ++i) {
            h = (h ^ buf[i]) * 1099511628211ull;
        }
    }
    std::fclose(f);
    return h;
}

// Killed half-way, with unnamed and with named temporaries: the input is intact, nothing is under
// a final name, and only a named temporary of the engine's own naming may be left (swept later).
TEST_F(Hvcrypt, KillLeavesTheInputAndNoOutput)
{
    const std::string src = W("big");
    WriteBig(src);
    const auto plain = Digest(src);
    ASSERT_EQ(Run(std::string("encrypt") + kCheap + Q("big")), 0);
    const auto encrypted = Digest(src + ".hvnc");
    for (const bool bNamed : {false, true}) {
        for (const bool bEncrypt : {true, false}) {
            SCOPED_TRACE(std::string(bEncrypt ? "encryption" : "decryption") + (bNamed ? ", named" : ", unnamed"));
            const std::string input = bEncrypt ? "big" : "big.hvnc";
            const std::string output = bEncrypt ? "big.hvnc" : "big";
            ASSERT_TRUE(Exists(W(input)));
            ASSERT_EQ(::rename(W(output).c_str(), (m_dir / "kept").c_str()), 0);
            if (!RunAndKill(Tool(), m_dir / "pw", bEncrypt ? "encrypt" : "decrypt", W(input), bNamed)) {
                GTEST_SKIP() << "the tool finished before it could be killed";
            }
            EXPECT_FALSE(Exists(W(output))) << "no output under the final name";
            for (const auto& name : List(m_dir / "w")) {
                EXPECT_TRUE(name == input || (bNamed && HVIsOwnTemporaryName(name))) << name;
            }
            EXPECT_EQ(Digest(W(input)), bEncrypt ? plain : encrypted) << "the input is intact";
            ASSERT_EQ(::rename((m_dir / "kept").c_str(), W(output).c_str()), 0);
        }
    }
}

// A decryption killed half-way with a named temporary leaves its plaintext there; the next run
// finds the killed process's record, wipes that temporary and writes the correct output. Files
// that only look like temporaries are the user's and stay.
TEST_F(Hvcrypt, NextRunRemovesOnlyTheRecordedTemporaryOfAKilledOne)
{
    const std::string src = W("big");
    WriteBig(src);
    const auto plain = Digest(src);
    ASSERT_EQ(Run(std::string("encrypt") + kCheap + Q("big")), 0);
    ASSERT_EQ(::unlink(src.c_str()), 0);
    if (!RunAndKill(Tool(), m_dir / "pw", "decrypt", src + ".hvnc", true)) {
        GTEST_SKIP() << "the tool finished before it could be killed";
    }
    std::vector<std::string> stale;
    for (const auto& name : List(m_dir / "w")) {
        if (HVIsOwnTemporaryName(name)) {
            stale.push_back(name);
        }
    }
    ASSERT_EQ(stale.size(), 1u);
    const std::vector<std::string> users = {".big.hvtmp-99999-ABCDEF", ".big.hvtmp-99999-ABCDEFGHIJKL"};
    for (const auto& name : users) {
        WriteFile(W(name), Pattern(10));
    }
    ASSERT_EQ(Run("decrypt " + Q("big.hvnc")), 0);
    EXPECT_EQ(Digest(src), plain);
    EXPECT_FALSE(Exists(W(stale[0])));
    EXPECT_EQ(List(m_dir / "w"), (std::vector<std::string>{users[0], users[1], "big"}));
    for (const auto& name : users) {
        EXPECT_EQ(ReadFile(W(name)), Pattern(10)) << name;
    }
}

}  // namespace
