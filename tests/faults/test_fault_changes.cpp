// A source that grows, shrinks, is written to, disappears or is replaced while it is being
// encrypted (changed from the progress notice, i.e. while the engine is at work). The encrypted
// file must hold the source exactly as it stands, or there must be none: a caller that wipes the
// source after a successful encryption would otherwise destroy what changed.
#include "engines/CEncryptManager.h"

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FaultSupport.h"

using namespace faults;

namespace {

constexpr std::size_t kLarge = (9u << 20) + 777u;  // more blocks than the engine reads ahead
constexpr std::size_t kSmall = 100000u;            // one block: read in full before the first notice

class SourceChanges : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(m_dir.Path().empty()); }

    // Encrypts "src" and calls change() at the first progress notice. Returns the result.
    int EncryptChanging(const Bytes& plain, const std::function<void()>& change)
    {
        EXPECT_TRUE(WriteFile(Src(), plain));
        // An old time stamp, so that any write afterwards changes it.
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        EXPECT_EQ(::utimensat(AT_FDCWD, Src().c_str(), old, 0), 0);
        CCheapEngine em;
        bool bChanged = false;
        em.SetParent([&](std::uint32_t) {
            if (!bChanged) {
                bChanged = true;
                change();
            }
        });
        const int nOk = em.EncryptFileW(Src());
        EXPECT_TRUE(bChanged) << "the progress notice came";
        m_strWhy = em.GetLastError();
        return nOk != 0 ? HVNC_OK : em.GetLastResult();
    }
    [[nodiscard]] std::string Src() const { return m_dir / "src.bin"; }
    void ExpectNoOutput() const
    {
        EXPECT_FALSE(Exists(Src() + ".hvnc")) << "no encrypted file of a source that changed";
        EXPECT_TRUE(Temps(m_dir.Path()).empty());
    }
    static void Append(const std::string& path, const Bytes& data)
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, data.data(), data.size()), static_cast<ssize_t>(data.size()));
        ::close(fd);
    }

    CTempDir m_dir;
    std::string m_strWhy;
};

TEST_F(SourceChanges, GrowingWhileReadFails)
{
    const Bytes plain = Pattern(kLarge, 1);
    const Bytes tail = Pattern(4096, 2);
    EXPECT_EQ(EncryptChanging(plain, [&] { Append(Src(), tail); }), HVNC_CHANGED);
    EXPECT_NE(m_strWhy.find("changed"), std::string::npos) << m_strWhy;
    ExpectNoOutput();
    Bytes grown = plain;
    grown.insert(grown.end(), tail.begin(), tail.end());
    EXPECT_EQ(ReadFile(Src()), grown) << "the source is left as the other writer made it";
}

TEST_F(SourceChanges, ShrinkingWhileReadFails)
{
    const Bytes plain = Pattern(kLarge, 3);
    EXPECT_EQ(EncryptChanging(plain, [&] { ASSERT_EQ(::truncate(Src().c_str(), 5 << 20), 0); }), HVNC_CHANGED);
    ExpectNoOutput();
    EXPECT_EQ(ReadFile(Src()), Bytes(plain.begin(), plain.begin() + (5 << 20)));
}

// The whole file was read before the change: the encrypted copy would miss it.
TEST_F(SourceChanges, GrowingAfterItWasReadFails)
{
    const Bytes plain = Pattern(kSmall, 4);
    EXPECT_EQ(EncryptChanging(plain, [&] { Append(Src(), Pattern(10, 5)); }), HVNC_CHANGED);
    ExpectNoOutput();
    EXPECT_EQ(ReadFile(Src()).size(), kSmall + 10);
}

TEST_F(SourceChanges, WrittenInPlaceAfterItWasReadFails)
{
    const Bytes plain = Pattern(kSmall, 6);
    Bytes changed = plain;
    changed[0] ^= 0xFF;
    EXPECT_EQ(EncryptChanging(plain,
                              [&] {
                                  const int fd = ::open(Src().c_str(), O_WRONLY | O_CLOEXEC);
                                  ASSERT_GE(fd, 0);
                                  ASSERT_EQ(::pwrite(fd, changed.data(), 1, 0), 1);
                                  ::close(fd);
                              }),
              HVNC_CHANGED);
    ExpectNoOutput();
    EXPECT_EQ(ReadFile(Src()), changed);
}

// Removed meanwhile: what was read is the whole file, and the encrypted copy is all that is
// left of it, so it is kept.
TEST_F(SourceChanges, DisappearingKeepsACompleteCopy)
{
    const Bytes plain = Pattern(kLarge, 7);
    EXPECT_EQ(EncryptChanging(plain, [&] { ASSERT_EQ(::unlink(Src().c_str()), 0); }), HVNC_OK) << m_strWhy;
    EXPECT_FALSE(Exists(Src()));
    EXPECT_TRUE(OpensTo(Src() + ".hvnc", plain));
    EXPECT_EQ(List(m_dir.Path()), std::vector<std::string>{"src.bin.hvnc"});
}

// Another file put under the name: a wipe of the name after "success" would destroy it.
TEST_F(SourceChanges, ReplacedByAnotherFileFails)
{
    const Bytes plain = Pattern(kLarge, 8);
    const Bytes other = Pattern(3000, 9);
    EXPECT_EQ(EncryptChanging(plain,
                              [&] {
                                  ASSERT_TRUE(WriteFile(m_dir / "new", other));
                                  ASSERT_EQ(::rename((m_dir / "new").c_str(), Src().c_str()), 0);
                              }),
              HVNC_CHANGED);
    EXPECT_NE(m_strWhy.find("replaced"), std::string::npos) << m_strWhy;
    ExpectNoOutput();
    EXPECT_EQ(ReadFile(Src()), other);
}

// In a batch only the file that changed fails; the others are encrypted.
TEST_F(SourceChanges, BatchFailsOnlyTheChangedFile)
{
    std::vector<std::string> files;
    for (int i = 0; i < 3; ++i) {
        files.push_back(m_dir / ("f" + std::to_string(i)));
        ASSERT_TRUE(WriteFile(files.back(), Pattern(kSmall, 20 + i)));
    }
    CCheapEngine em;
    int nNotice = 0;
    em.SetParent([&](std::uint32_t) {
        if (++nNotice == 2) {  // while the second file is in hand
            Append(files[1], {1, 2, 3});
        }
    });
    std::vector<int> results;
    EXPECT_EQ(em.EncryptFilesW(files, results), 0);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0], HVNC_OK);
    EXPECT_EQ(results[1], HVNC_CHANGED);
    EXPECT_EQ(results[2], HVNC_OK);
    EXPECT_FALSE(Exists(files[1] + ".hvnc"));
    EXPECT_TRUE(OpensTo(files[0] + ".hvnc", Pattern(kSmall, 20)));
    EXPECT_TRUE(OpensTo(files[2] + ".hvnc", Pattern(kSmall, 22)));
    EXPECT_TRUE(Temps(m_dir.Path()).empty());
}

}  // namespace
