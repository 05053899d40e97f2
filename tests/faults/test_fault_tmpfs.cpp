// A real, small file system that fills up: a 1 MiB tmpfs mounted for the test (where the
// machine allows mounting; otherwise the tests are skipped and say why).
#include "engines/CEncryptManager.h"
#include "engines/CWipeManager.h"
#include "hiding/CHidingEngine.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include "FaultSupport.h"

using namespace faults;

namespace {

class SmallDisk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.Path().empty());
        CEncryptManager::SetDefaultKdfCost(kCheapMemKiB, kCheapPasses);
        m_strMnt = m_dir / "mnt";
        ASSERT_EQ(::mkdir(m_strMnt.c_str(), 0700), 0);
        if (::mount("tmpfs", m_strMnt.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m,mode=0700") != 0) {
            const int nErr = errno;
            GTEST_SKIP() << "a tmpfs cannot be mounted here (" << std::strerror(nErr) << ")";
        }
        m_bMounted = true;
    }
    void TearDown() override
    {
        if (m_bMounted) {
            ::umount2(m_strMnt.c_str(), MNT_DETACH);
        }
    }
    [[nodiscard]] std::string M(const std::string& name) const { return m_strMnt + "/" + name; }

    // Fills the file system, leaving about nLeave bytes free.
    void Fill(std::size_t nLeave = 0)
    {
        const int fd = ::open(M("filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        const std::vector<char> block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
        struct stat st = {};
        ASSERT_EQ(::stat(M("filler").c_str(), &st), 0);
        if (nLeave > 0) {
            const off_t nSize = st.st_size > static_cast<off_t>(nLeave) ? st.st_size - static_cast<off_t>(nLeave) : 0;
            ASSERT_EQ(::truncate(M("filler").c_str(), nSize), 0);
        }
    }
    void Unfill() { ASSERT_EQ(::unlink(M("filler").c_str()), 0); }

    CTempDir m_dir;
    std::string m_strMnt;
    bool m_bMounted = false;
};

// From no room at all to nearly enough: the output never appears half-written.
TEST_F(SmallDisk, EncryptionWithLittleRoomLeavesNothing)
{
    const Bytes plain = Pattern(300000, 31);
    for (std::size_t nLeave : {0u, 4096u, 65536u, 200000u, 290000u}) {
        SCOPED_TRACE("free bytes " + std::to_string(nLeave));
        ASSERT_TRUE(WriteFile(M("a.bin"), plain));
        Fill(nLeave);
        CCheapEngine em;
        EXPECT_EQ(em.EncryptFileW(M("a.bin")), 0);
        EXPECT_EQ(em.GetLastResult(), HVNC_NO_SPACE) << em.GetLastError();
        EXPECT_FALSE(Exists(M("a.bin.hvnc")));
        EXPECT_TRUE(Temps(m_strMnt).empty());
        EXPECT_EQ(ReadFile(M("a.bin")), plain);
        Unfill();
        ASSERT_EQ(::unlink(M("a.bin").c_str()), 0);
    }
}

TEST_F(SmallDisk, DecryptionOnAFullDiskKeepsTheEncryptedFile)
{
    const Bytes plain = Pattern(300000, 32);
    ASSERT_TRUE(WriteFile(M("b.bin"), plain));
    CCheapEngine em;
    ASSERT_NE(em.EncryptFileW(M("b.bin")), 0);
    ASSERT_EQ(::unlink(M("b.bin").c_str()), 0);
    const Bytes enc = ReadFile(M("b.bin.hvnc"));
    for (std::size_t nLeave : {0u, 100000u, 290000u}) {
        SCOPED_TRACE("free bytes " + std::to_string(nLeave));
        Fill(nLeave);
        EXPECT_EQ(em.DecryptFileW(M("b.bin.hvnc")), HVNC_NO_SPACE) << em.GetLastError();
        EXPECT_EQ(ReadFile(M("b.bin.hvnc")), enc);
        EXPECT_FALSE(Exists(M("b.bin")));
        EXPECT_TRUE(Temps(m_strMnt).empty()) << "no plain text left behind";
        Unfill();
    }
    EXPECT_EQ(em.DecryptFileW(M("b.bin.hvnc")), HVNC_OK);
    EXPECT_EQ(ReadFile(M("b.bin")), plain);
    EXPECT_EQ(List(m_strMnt), std::vector<std::string>{"b.bin"});
}

// Overwriting in place takes no room: a full disk does not stop a wipe.
TEST_F(SmallDisk, WipeWorksOnAFullDisk)
{
    ASSERT_TRUE(WriteFile(M("c.bin"), Pattern(300000, 33)));
    Fill();
    const Bytes filler = ReadFile(M("filler"));
    for (int nMethod : {0, 1, 2}) {
        if (!Exists(M("c.bin"))) {
            ASSERT_TRUE(WriteFile(M("c.bin"), Pattern(3000, 34)));
        }
        CWipeManager wm;
        wm.SetMethod(nMethod);
        EXPECT_NE(wm.WipeFile(M("c.bin"), 0), 0) << "method " << nMethod << ": " << wm.GetLastError();
        EXPECT_EQ(List(m_strMnt), std::vector<std::string>{"filler"});
    }
    EXPECT_EQ(ReadFile(M("filler")), filler);
}

// Hiding moves by renaming, but the list grows: on a full disk either the item is hidden and
// listed, or it stays where it is; freed space lets the next start finish or redo it.
TEST_F(SmallDisk, HidingOnAFullDiskIsAllOrNothing)
{
    SHidingOptions options;
    options.strBaseDir = M("data");
    ASSERT_EQ(::mkdir(M("items").c_str(), 0700), 0);
    {
        CHidingEngine first(options);
        ASSERT_EQ(first.GetHiddenCount(), 0);
    }
    std::vector<std::string> items;
    for (int i = 0; i < 40; ++i) {
        items.push_back(M("items/f" + std::to_string(i) + std::string(150, 'n')));
        ASSERT_TRUE(WriteFile(items.back(), Pattern(10, i)));
    }
    Fill();
    std::vector<bool> hidden;
    {
        CHidingEngine engine(options);
        for (const auto& item : items) {
            hidden.push_back(engine.HideItem(item));
            EXPECT_NE(Exists(item), hidden.back()) << item;
        }
    }
    Unfill();
    CHidingEngine next(options);
    int nListed = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (Exists(items[i])) {
            EXPECT_EQ(ReadFile(items[i]), Pattern(10, static_cast<std::uint32_t>(i)));
            continue;
        }
        ++nListed;
        EXPECT_TRUE(next.UnhideItem(items[i])) << next.GetLastError();
        EXPECT_EQ(ReadFile(items[i]), Pattern(10, static_cast<std::uint32_t>(i)));
    }
    EXPECT_EQ(nListed, static_cast<int>(std::count(hidden.begin(), hidden.end(), true)));
    EXPECT_EQ(next.GetHiddenCount(), 0);
}

}  // namespace
