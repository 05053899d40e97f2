// Encryption and decryption of a file named by folder descriptor and name: whatever is swapped in
// under the names after the listing, the engine acts on the listed file in the held folder or
// fails that file, and nothing outside the selection changes.
#include "engines/CEncryptManager.h"

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#include "EncTestSupport.h"

using namespace enctest;

namespace {

// A selection "sel" with the file "f" and a folder "outside" next to it; "sel" is held open.
class CSel
{
public:
    CSel()
    {
        EXPECT_EQ(::mkdir((m_dir / "sel").c_str(), 0700), 0);
        EXPECT_EQ(::mkdir((m_dir / "outside").c_str(), 0700), 0);
        WriteFile(Sel("f"), m_plain);
        WriteFile(m_dir / "outside/secret", m_secret);
        m_fd = ::open((m_dir / "sel").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        EXPECT_GE(m_fd, 0);
    }
    ~CSel() { ::close(m_fd); }
    CSel(const CSel&) = delete;
    CSel& operator=(const CSel&) = delete;
    [[nodiscard]] std::string Sel(const std::string& name) const { return m_dir / ("sel/" + name); }
    // A file of the held folder as the runner lists it.
    [[nodiscard]] SHVFileRef Listed(const std::string& name = "f") const
    {
        struct stat st = {};
        EXPECT_EQ(::fstatat(m_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW), 0);
        SHVFileRef ref;
        ref.nDirFd = m_fd;
        ref.strName = name;
        ref.strDisplay = Sel(name);
        HVSetListed(ref, st, true);
        return ref;
    }

    CTempDir m_dir;
    int m_fd = -1;
    CCheapEngine m_em;
    const std::vector<std::uint8_t> m_plain = Pattern(200000, 5);
    const std::vector<std::uint8_t> m_secret = Pattern(3000, 9);
};

struct SSwap
{
    const char* pszName;
    std::function<void(const std::string& dir)> fn;  // after the listing, before the call
    int nExpected;
};

TEST(EncAt, EncryptionActsOnTheListedFileOrFails)
{
    const SSwap swaps[] = {
        {"nothing", [](const std::string&) {}, HVNC_OK},
        {"name is now a link to an outside file",
         [](const std::string& d) {
             ASSERT_EQ(::rename((d + "/sel/f").c_str(), (d + "/sel/f.old").c_str()), 0);
             ASSERT_EQ(::symlink((d + "/outside/secret").c_str(), (d + "/sel/f").c_str()), 0);
         },
         HVNC_NOT_REGULAR},
        {"name now holds another file",
         [](const std::string& d) {
             ASSERT_EQ(::rename((d + "/sel/f").c_str(), (d + "/sel/f.old").c_str()), 0);
             WriteFile(d + "/sel/f", Pattern(10, 1));
         },
         HVNC_CHANGED},
        {"file appended to",
         [](const std::string& d) { std::ofstream(d + "/sel/f", std::ios::app) << "x"; },
         HVNC_CHANGED},
        {"selected folder replaced by a link to the outside",
         [](const std::string& d) {
             ASSERT_EQ(::rename((d + "/sel").c_str(), (d + "/sel.moved").c_str()), 0);
             ASSERT_EQ(::symlink((d + "/outside").c_str(), (d + "/sel").c_str()), 0);
         },
         HVNC_OK},
    };
    for (const SSwap& s : swaps) {
        SCOPED_TRACE(s.pszName);
        CSel t;
        const SHVFileRef ref = t.Listed();
        s.fn(t.m_dir.Path());
        EXPECT_EQ(t.m_em.EncryptFileAt(ref), s.nExpected) << t.m_em.GetLastError();
        EXPECT_EQ(t.m_em.GetLastResult(), s.nExpected);
        EXPECT_EQ(List(t.m_dir / "outside"), std::vector<std::string>{"secret"}) << "nothing written outside";
        EXPECT_EQ(ReadFile(t.m_dir / "outside/secret"), t.m_secret);
        // The output, if any, sits in the held folder, wherever it is now, and holds the listed file.
        std::vector<std::uint8_t> mem;
        const std::string held = Exists(t.m_dir / "sel.moved") ? "sel.moved" : "sel";
        if (s.nExpected == HVNC_OK) {
            EXPECT_EQ(t.m_em.GetLastOutputPath(), "f.hvnc");
            ASSERT_EQ(t.m_em.DecryptFileW(t.m_dir / (held + "/f.hvnc"), mem), HVNC_OK);
            EXPECT_EQ(mem, t.m_plain);
        } else {
            EXPECT_FALSE(Exists(t.m_dir / (held + "/f.hvnc")));
        }
    }
}

// Decryption into another held folder; the encrypted file is removed only while its name still
// holds the file that was decrypted.
TEST(EncAt, DecryptionRemovesOnlyTheListedEncryptedFile)
{
    CSel t;
    ASSERT_EQ(t.m_em.EncryptFileAt(t.Listed()), HVNC_OK) << t.m_em.GetLastError();
    ASSERT_EQ(::unlink(t.Sel("f").c_str()), 0);
    const int outFd = ::open((t.m_dir / "outside").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(outFd, 0);
    EXPECT_EQ(t.m_em.DecryptFileAt(t.Listed("f.hvnc"), outFd), HVNC_OK) << t.m_em.GetLastError();
    EXPECT_EQ(t.m_em.GetLastOutputPath(), "f");
    EXPECT_EQ(ReadFile(t.m_dir / "outside/f"), t.m_plain);
    EXPECT_FALSE(Exists(t.Sel("f.hvnc")));

    // While the decryption runs, another file takes the encrypted file's name: it stays.
    ASSERT_EQ(::rename((t.m_dir / "outside/f").c_str(), t.Sel("f").c_str()), 0);
    ASSERT_EQ(t.m_em.EncryptFileAt(t.Listed()), HVNC_OK);
    ASSERT_EQ(::unlink(t.Sel("f").c_str()), 0);
    const SHVFileRef enc = t.Listed("f.hvnc");
    bool bSwapped = false;
    t.m_em.SetParent([&](std::uint32_t) {
        if (!bSwapped) {
            bSwapped = true;
            WriteFile(t.Sel("new.hvnc"), t.m_secret);
            ASSERT_EQ(::rename(t.Sel("new.hvnc").c_str(), t.Sel("f.hvnc").c_str()), 0);
        }
    });
    EXPECT_EQ(t.m_em.DecryptFileAt(enc), HVNC_CHANGED);
    EXPECT_NE(t.m_em.GetLastError().find("was kept"), std::string::npos) << t.m_em.GetLastError();
    EXPECT_EQ(ReadFile(t.Sel("f.hvnc")), t.m_secret);
    EXPECT_EQ(ReadFile(t.Sel("f")), t.m_plain);
    ::close(outFd);
}

TEST(EncAt, BatchReportsEachListedFile)
{
    CSel t;
    std::vector<SHVFileRef> refs;
    for (int i = 0; i < 4; ++i) {
        WriteFile(t.Sel("b" + std::to_string(i)), Pattern(1000 + i, i));
        refs.push_back(t.Listed("b" + std::to_string(i)));
    }
    refs[2].nIno += 1;                                                   // not what is there now
    WriteFile(t.Sel(".b0.hvnc.hvtmp-77-Ab12Cd34Ef56"), Pattern(10, 1));  // left by a killed run
    refs.push_back(t.Listed(".b0.hvnc.hvtmp-77-Ab12Cd34Ef56"));
    std::vector<int> results;
    EXPECT_EQ(t.m_em.EncryptFilesAt(refs, results), 0);
    EXPECT_EQ(results, (std::vector<int>{HVNC_OK, HVNC_OK, HVNC_CHANGED, HVNC_OK, HVNC_NOT_REGULAR}));
    EXPECT_FALSE(Exists(t.Sel(".b0.hvnc.hvtmp-77-Ab12Cd34Ef56.hvnc"))) << "a temporary is never encrypted";
    EXPECT_FALSE(Exists(t.Sel("b2.hvnc")));
    std::vector<SHVFileRef> encrypted;
    for (int i : {0, 1, 3}) {
        ASSERT_EQ(::unlink(t.Sel("b" + std::to_string(i)).c_str()), 0);
        encrypted.push_back(t.Listed("b" + std::to_string(i) + ".hvnc"));
    }
    EXPECT_NE(t.m_em.DecryptFilesAt(encrypted, results), 0);
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(ReadFile(t.Sel("b" + std::to_string(i))), Pattern(1000 + i, i));
        EXPECT_FALSE(Exists(t.Sel("b" + std::to_string(i) + ".hvnc")));
    }
}

}  // namespace
