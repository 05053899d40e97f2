// The real programs killed (SIGKILL) at several points of a run over many files, then started
// again. Whatever the point: every source is as it was, every output under a final name opens to
// its source, no file is lost, and the next start completes the work and leaves no temporary
// file behind (the killed run's temporaries are wiped by it).
#include "engines/CEncryptManager.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <thread>

#include "FaultProcess.h"
#include "FaultSupport.h"

using namespace faults;

namespace {

constexpr int kFiles = 6;
constexpr std::size_t kFileSize = (3u << 20) + 4321u;

using Elapsed = std::chrono::steady_clock::duration;

// When to kill: from the files in the folder, or from the time since the start.
struct STrigger
{
    const char* pszName;
    std::function<bool(const std::string& dir, Elapsed elapsed)> fn;
};

// Starts the program, polls until the trigger holds on dir or the program ends, and kills it.
void KillAt(const std::string& home,
            std::vector<std::string> args,
            const std::string& dir,
            const STrigger& trigger,
            std::vector<std::string> env = {})
{
    CProgram program(home, std::move(args), std::move(env));
    ASSERT_TRUE(program.Started());
    const auto start = std::chrono::steady_clock::now();
    while (program.Running() && std::chrono::steady_clock::now() < start + std::chrono::seconds(60)) {
        if (trigger.fn(dir, std::chrono::steady_clock::now() - start)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!program.Kill()) {
        std::cout << "[ note     ] the run ended before the kill (" << trigger.pszName << ")\n";
    }
}

std::uint64_t TempBytes(const std::string& dir)
{
    std::uint64_t n = 0;
    for (const auto& name : Temps(dir)) {
        struct stat st = {};
        if (::stat((dir + "/" + name).c_str(), &st) == 0) {
            n += static_cast<std::uint64_t>(st.st_size);
        }
    }
    return n;
}

class KilledRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (SanitizerBuild()) {
            GTEST_SKIP() << "killing the programs of a sanitizer build tells nothing more";
        }
        ASSERT_FALSE(m_home.Path().empty());
        ASSERT_EQ(::mkdir((m_home / "w").c_str(), 0700), 0);
        for (int i = 0; i < kFiles; ++i) {
            m_names.push_back("f" + std::to_string(i) + ".dat");
            m_plain.push_back(Pattern(kFileSize, 50 + static_cast<std::uint32_t>(i)));
            ASSERT_TRUE(WriteFile(W(m_names.back()), m_plain.back()));
        }
    }
    [[nodiscard]] std::string W(const std::string& name) const { return m_home / ("w/" + name); }

    // Sources untouched, outputs complete, nothing lost (decryption: the plain file or the
    // encrypted one is there for every file).
    void ExpectConsistent(std::u16string_view password, bool bSourcesKept)
    {
        if (!m_checker) {
            m_checker = std::make_unique<CEncryptManager>();
            EXPECT_NE(m_checker->EnablerEncryptionType(32, password), 0);
        }
        for (int i = 0; i < kFiles; ++i) {
            SCOPED_TRACE(m_names[i]);
            const std::string plain = W(m_names[i]);
            const std::string enc = plain + ".hvnc";
            if (bSourcesKept) {
                EXPECT_EQ(ReadFile(plain), m_plain[i]) << "the source is untouched";
            }
            if (Exists(enc)) {
                EXPECT_TRUE(OpensTo(*m_checker, enc, m_plain[i])) << "an encrypted file under its name is complete";
            }
            if (Exists(plain)) {
                EXPECT_EQ(ReadFile(plain), m_plain[i]) << "a plain file under its name is complete";
            }
            EXPECT_TRUE(Exists(enc) || Exists(plain)) << "nothing is lost";
        }
    }

    // Runs again over every file without its output yet; expects success and no temporary left.
    void Restart(bool bEncrypt, const std::function<std::vector<std::string>(const std::vector<std::string>&)>& args)
    {
        // The new run starts after the killed one's last change, also by the file clock's ticks.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        std::vector<std::string> todo;
        for (const auto& n : m_names) {
            if (bEncrypt ? !Exists(W(n + ".hvnc")) : !Exists(W(n))) {
                todo.push_back(bEncrypt ? n : n + ".hvnc");
            }
        }
        if (!todo.empty()) {
            CProgram again(m_home.Path(), args(todo));
            EXPECT_EQ(again.Wait(), 0) << again.Err();
        }
        EXPECT_TRUE(Temps(m_home / "w").empty()) << "the killed run's temporary files are gone";
    }

    CTempDir m_home{"/tmp"};
    std::vector<std::string> m_names;
    std::vector<Bytes> m_plain;
    std::unique_ptr<CEncryptManager> m_checker;  // keeps the derived keys between checks
};

class HvcryptKilled : public KilledRun
{
protected:
    void SetUp() override
    {
        KilledRun::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_TRUE(WriteFile(m_home / "pw", {'p', 'w', '-', 'k', '\n'}));
    }
    [[nodiscard]] std::vector<std::string> Args(const std::string& command, const std::vector<std::string>& files) const
    {
        std::vector<std::string> args = {ProgramPath("hvcrypt"), command, "--quiet", "--password-file", m_home / "pw"};
        if (command == "encrypt") {
            args.insert(args.end(), {"--kdf-mem-kib", "64", "--kdf-passes", "1"});
        }
        for (const auto& f : files) {
            args.push_back(W(f));
        }
        return args;
    }
    void Restart(const std::string& command)
    {
        KilledRun::Restart(command == "encrypt", [&](const auto& todo) { return Args(command, todo); });
    }
};

// The encryption and decryption runs below write named temporaries (as on file systems without
// unnamed files), so that a kill can leave one behind for the next run to find in its records.
const std::vector<std::string> kNamedTemps = {"HV_ENGINE_NAMED_TEMPS=1"};

// Files of the user's that only look like the engines' temporaries: never deleted, never taken for
// leftovers. Dated in the past, like stale leftovers. In the order of a folder's sorted listing.
const std::vector<std::string> kLookalikes = {
    ".f0.dat.hvtmp-99999-ABCDEF", ".f1.dat.hvtmp-99999-ABCDEFGHIJKL", ".hvwipe-ABCDEFGHIJKL"};

void PlantLookalikes(const std::string& dir)
{
    for (const auto& name : kLookalikes) {
        ASSERT_TRUE(WriteFile(dir + "/" + name, Pattern(77, 7)));
        const struct timespec old[2] = {{1000, 0}, {1000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir + "/" + name).c_str(), old, 0), 0);
    }
}

void ExpectLookalikesKept(const std::string& dir)
{
    for (const auto& name : kLookalikes) {
        EXPECT_EQ(ReadFile(dir + "/" + name), Pattern(77, 7)) << name << " is the user's";
        EXPECT_FALSE(Exists(dir + "/" + name + ".hvnc")) << name;
    }
}

// Files set aside for wiping, other than the user's look-alikes.
std::size_t SetAside(const std::string& dir)
{
    std::size_t n = 0;
    for (const auto& name : List(dir)) {
        n += name.rfind(".hvwipe-", 0) == 0 && name != kLookalikes[2] ? 1 : 0;
    }
    return n;
}

// Own temporaries left in a folder, other than the user's look-alikes.
std::vector<std::string> OwnLeftovers(const std::string& dir)
{
    std::vector<std::string> out;
    for (const auto& name : Temps(dir)) {
        if (std::find(kLookalikes.begin(), kLookalikes.end(), name) == kLookalikes.end()) {
            out.push_back(name);
        }
    }
    return out;
}

const STrigger kEncryptTriggers[] = {
    {"first temporary file", [](const std::string& d, Elapsed) { return !Temps(d).empty(); }},
    {"8 MiB written", [](const std::string& d, Elapsed) { return TempBytes(d) > (8u << 20); }},
    {"first output in place",
     [](const std::string& d, Elapsed) {
         for (const auto& n : List(d)) {
             if (n.size() > 5 && n.compare(n.size() - 5, 5, ".hvnc") == 0 && n[0] != '.') {
                 return true;
             }
         }
         return false;
     }},
};

TEST_F(HvcryptKilled, EncryptionAtSeveralPoints)
{
    for (const STrigger& t : kEncryptTriggers) {
        SCOPED_TRACE(std::string("killed at: ") + t.pszName);
        for (const auto& n : m_names) {
            ::unlink(W(n + ".hvnc").c_str());
        }
        KillAt(m_home.Path(), Args("encrypt", m_names), m_home / "w", t, kNamedTemps);
        ExpectConsistent(u"pw-k", true);
        Restart("encrypt");
        ExpectConsistent(u"pw-k", true);
        for (const auto& n : m_names) {
            EXPECT_TRUE(Exists(W(n + ".hvnc"))) << n;
        }
    }
}

// A wipe of 35 passes killed while files are set aside and half overwritten: no name of the
// user's ever shows damaged content; the next run finishes the killed run's wipes and removes
// nothing else.
TEST_F(HvcryptKilled, WipeAtSeveralPoints)
{
    const std::string dir = m_home / "w";
    const STrigger triggers[] = {
        {"first file set aside", [](const std::string& d, Elapsed) { return SetAside(d) >= 1; }},
        {"600 ms", [](const std::string&, Elapsed e) { return e > std::chrono::milliseconds(600); }},
    };
    for (const STrigger& t : triggers) {
        SCOPED_TRACE(std::string("killed at: ") + t.pszName);
        for (int i = 0; i < kFiles; ++i) {
            ASSERT_TRUE(WriteFile(W(m_names[i]), m_plain[i]));
        }
        ASSERT_TRUE(WriteFile(W("last.dat"), Pattern(5000, 3)));
        PlantLookalikes(dir);
        std::vector<std::string> args = {ProgramPath("hvcrypt"), "wipe", "--quiet", "--method", "2"};
        for (const auto& n : m_names) {
            args.push_back(W(n));
        }
        KillAt(m_home.Path(), args, dir, t);
        for (int i = 0; i < kFiles; ++i) {
            if (Exists(W(m_names[i]))) {
                EXPECT_EQ(ReadFile(W(m_names[i])), m_plain[i]) << m_names[i] << ": no damaged content under its name";
            }
        }
        // The next run wipes what is left and finishes the killed run's work.
        std::vector<std::string> again = {ProgramPath("hvcrypt"), "wipe", "--quiet", W("last.dat")};
        for (const auto& n : m_names) {
            if (Exists(W(n))) {
                again.push_back(W(n));
            }
        }
        CProgram rerun(m_home.Path(), again);
        EXPECT_EQ(rerun.Wait(), 0) << rerun.Err();
        EXPECT_EQ(List(dir), kLookalikes) << "everything wiped, nothing of the user's removed";
        ExpectLookalikesKept(dir);
    }
}

TEST_F(HvcryptKilled, DecryptionAtSeveralPoints)
{
    const STrigger triggers[] = {
        {"first temporary file", [](const std::string& d, Elapsed) { return !Temps(d).empty(); }},
        {"8 MiB written", [](const std::string& d, Elapsed) { return TempBytes(d) > (8u << 20); }},
        {"first plain file in place",
         [this](const std::string&, Elapsed) {
             for (const auto& n : m_names) {
                 if (Exists(W(n))) {
                     return true;
                 }
             }
             return false;
         }},
        {"first encrypted file removed",
         [this](const std::string&, Elapsed) {
             for (const auto& n : m_names) {
                 if (!Exists(W(n + ".hvnc"))) {
                     return true;
                 }
             }
             return false;
         }},
    };
    {
        CProgram enc(m_home.Path(), Args("encrypt", m_names));
        ASSERT_EQ(enc.Wait(), 0) << enc.Err();
    }
    std::vector<Bytes> encrypted;
    for (const auto& n : m_names) {
        encrypted.push_back(ReadFile(W(n + ".hvnc")));
    }
    for (const STrigger& t : triggers) {
        SCOPED_TRACE(std::string("killed at: ") + t.pszName);
        for (int i = 0; i < kFiles; ++i) {
            ::unlink(W(m_names[i]).c_str());
            ASSERT_TRUE(WriteFile(W(m_names[i] + ".hvnc"), encrypted[i]));
        }
        std::vector<std::string> files;
        for (const auto& n : m_names) {
            files.push_back(n + ".hvnc");
        }
        KillAt(m_home.Path(), Args("decrypt", files), m_home / "w", t, kNamedTemps);
        ExpectConsistent(u"pw-k", false);
        for (int i = 0; i < kFiles; ++i) {
            if (Exists(W(m_names[i] + ".hvnc"))) {
                EXPECT_EQ(ReadFile(W(m_names[i] + ".hvnc")), encrypted[i]) << "kept as it was";
            }
        }
        Restart("decrypt");
        ExpectConsistent(u"pw-k", false);
        for (int i = 0; i < kFiles; ++i) {
            EXPECT_EQ(ReadFile(W(m_names[i])), m_plain[i]);
        }
    }
}

// The terminal program with its master password, over the same files: killed while it derives
// its keys and when the first output is in place.
class HnvKilled : public KilledRun
{
protected:
    void SetUp() override
    {
        KilledRun::SetUp();
        if (IsSkipped()) {
            return;
        }
        struct stat st = {};
        if (::stat(ProgramPath("hnv").c_str(), &st) != 0) {
            GTEST_SKIP() << "hnv is not built";
        }
        ASSERT_TRUE(WriteFile(m_home / "mp", {'m', 'a', 's', 't', 'e', 'r', '-', '1', '\n'}));
        ASSERT_TRUE(WriteFile(m_home / "fp", {'f', 'i', 'l', 'e', '-', '1', '\n'}));
        // The first start sets the master password.
        CProgram first(m_home.Path(), {ProgramPath("hnv"), "--master-password-file", m_home / "mp", "-rh"});
        ASSERT_EQ(first.Wait(), 0) << first.Err();
    }
    [[nodiscard]] std::vector<std::string> Args(const std::vector<std::string>& files, bool bWipe = false) const
    {
        std::vector<std::string> args =
            hvtest::Words(bWipe ? "%1 --master-password-file %2 --password-file %3 -e -w -pt new -p %4"
                                : "%1 --master-password-file %2 --password-file %3 -e -pt new -p %4",
                          {ProgramPath("hnv"), m_home / "mp", m_home / "fp", m_home / "w"});
        for (const auto& f : files) {
            args.insert(args.end(), {"-f", f});
        }
        return args;
    }
};

TEST_F(HnvKilled, EncryptionAtSeveralPoints)
{
    const STrigger triggers[] = {
        {"key derivation", [](const std::string&, Elapsed e) { return e > std::chrono::milliseconds(150); }},
        kEncryptTriggers[2],
    };
    for (const STrigger& t : triggers) {
        SCOPED_TRACE(std::string("killed at: ") + t.pszName);
        for (const auto& n : m_names) {
            ::unlink(W(n + ".hvnc").c_str());
        }
        KillAt(m_home.Path(), Args(m_names), m_home / "w", t);
        ExpectConsistent(u"file-1", true);
        Restart(true, [&](const auto& todo) { return Args(todo); });  // the next start encrypts what is left
        ExpectConsistent(u"file-1", true);
        for (const auto& n : m_names) {
            EXPECT_TRUE(Exists(W(n + ".hvnc"))) << n;
        }
    }
}

// Encryption with the wipe of the sources, killed while a source is set aside for wiping: the
// user's names hold either the untouched file or nothing (its encrypted twin is complete), and the
// next run leaves no temporary behind and encrypts none.
TEST_F(HnvKilled, EncryptionAndWipeKilledDuringTheWipe)
{
    const std::string dir = m_home / "w";
    PlantLookalikes(dir);
    KillAt(m_home.Path(), Args(m_names, true), dir, {"first file set aside", [](const std::string& d, Elapsed) {
                                                         return SetAside(d) >= 1;
                                                     }});
    ExpectConsistent(u"file-1", false);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ASSERT_TRUE(WriteFile(W("last.dat"), Pattern(5000, 3)));
    std::vector<std::string> todo = {"last.dat"};
    for (const auto& n : m_names) {
        if (Exists(W(n)) && !Exists(W(n + ".hvnc"))) {
            todo.push_back(n);
        }
    }
    CProgram again(m_home.Path(), Args(todo, true));
    EXPECT_EQ(again.Wait(), 0) << again.Err();
    ExpectConsistent(u"file-1", false);
    EXPECT_TRUE(OwnLeftovers(dir).empty()) << "the killed run's wipes were finished";
    for (const auto& name : List(dir)) {
        EXPECT_FALSE(name.size() > 5 && HVIsOwnTemporaryName(name.substr(0, name.size() - 5))) << name << " encrypted";
    }
    ExpectLookalikesKept(dir);
}

}  // namespace
