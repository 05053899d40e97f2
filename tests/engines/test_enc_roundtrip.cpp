// Round trips through CEncryptManager: sizes around the chunk boundaries, each key length,
// metadata, names on decryption, symbolic links, one key derivation per run, cancellation.
#include "engines/CEncryptManager.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyCache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

#include "EncTestSupport.h"

using namespace enctest;

namespace {

constexpr std::size_t kChunk = 65536;

class EncRoundTrip : public ::testing::TestWithParam<std::tuple<std::size_t, int>>
{
};

TEST_P(EncRoundTrip, EncryptsAndDecryptsBackWithMetadata)
{
    const auto [size, keyLen] = GetParam();
    CTempDir dir;
    const std::string src = dir / "data.bin";
    const auto plain = Pattern(size, static_cast<std::uint32_t>(size + keyLen));
    WriteFile(src, plain);
    ASSERT_EQ(::chmod(src.c_str(), 0640), 0);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {1234567890, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, src.c_str(), times, 0), 0);

    CCheapEngine em(u"p\u00e4ssw\u00f6rd \U0001F511", keyLen);
    std::uint64_t progress = 0;
    em.SetParent([&](std::uint32_t n) { progress += n; });
    ASSERT_NE(em.EncryptFileW(src, nullptr, size, 1), 0) << em.GetLastError();
    EXPECT_EQ(em.GetLastOutputPath(), src + ".hvnc");
    EXPECT_EQ(ReadFile(src), plain) << "encryption keeps the source";
    EXPECT_EQ(progress, size);
    const auto enc = ReadFile(src + ".hvnc");
    const std::size_t chunks = size == 0 ? 1 : (size + kChunk - 1) / kChunk;
    EXPECT_EQ(enc.size(), CHvncHeader::kSizeV2 + size + 16 * chunks);

    ASSERT_EQ(::unlink(src.c_str()), 0);
    CCheapEngine dm(u"p\u00e4ssw\u00f6rd \U0001F511", 16);  // the key length comes from the file
    ASSERT_EQ(dm.DecryptFileW(src + ".hvnc", std::string()), HVNC_OK) << dm.GetLastError();
    EXPECT_EQ(dm.GetLastOutputPath(), src);
    EXPECT_EQ(ReadFile(src), plain);
    EXPECT_FALSE(Exists(src + ".hvnc")) << "the encrypted file is removed after success";
    struct stat st = {};
    ASSERT_EQ(::stat(src.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(List(dir.Path()).size(), 1u) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(Sizes,
                         EncRoundTrip,
                         ::testing::Combine(::testing::Values(std::size_t{0},
                                                              std::size_t{1},
                                                              kChunk - 1,
                                                              kChunk,
                                                              kChunk + 1,
                                                              3 * kChunk + 7,
                                                              40 * kChunk + 5),
                                            ::testing::Values(16, 24, 32)));

// Modes and sparse files come back as they were: a read-only file stays read-only (also when the
// caller had made it writable for processing and gives its original mode), and runs of zeros come
// back as holes.
TEST(EncMetadata, ModesAndHolesRoundTrip)
{
    struct SCase
    {
        const char* pszName;
        mode_t nMode;       // the file's mode when it is encrypted
        int nOriginalMode;  // what the caller says it was (-1: not said)
        bool bSparse;       // 64 MiB with 8 KiB of data at the start and in the middle
    };
    const SCase cases[] = {
        {"read-only", 0444, -1, false},
        {"executable", 0750, -1, false},
        {"made writable for processing", 0644, 0444, false},
        {"sparse", 0600, -1, true},
    };
    constexpr off_t kSparseSize = 64 << 20;
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        const std::string src = dir / "f";
        const auto data = Pattern(8192, 4);
        if (c.bSparse) {
            const int fd = ::open(src.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::pwrite(fd, data.data(), data.size(), 0), 8192);
            ASSERT_EQ(::pwrite(fd, data.data(), data.size(), kSparseSize / 2 + 100), 8192);
            ASSERT_EQ(::ftruncate(fd, kSparseSize), 0);
            ::close(fd);
        } else {
            WriteFile(src, data);
        }
        ASSERT_EQ(::chmod(src.c_str(), c.nMode), 0);
        const auto before = ReadFile(src);
        CCheapEngine em;
        const int dirFd = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        SHVFileRef ref;
        ref.nDirFd = dirFd;
        ref.strName = "f";
        ref.nOriginalMode = c.nOriginalMode;
        ASSERT_EQ(em.EncryptFileAt(ref), HVNC_OK) << em.GetLastError();
        ASSERT_EQ(::unlink(src.c_str()), 0);
        ref.strName = "f.hvnc";
        ASSERT_EQ(em.DecryptFileAt(ref), HVNC_OK) << em.GetLastError();
        EXPECT_TRUE(em.GetLastWarning().empty()) << em.GetLastWarning();
        ::close(dirFd);
        EXPECT_EQ(ReadFile(src), before);
        struct stat st = {};
        ASSERT_EQ(::stat(src.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.nOriginalMode >= 0 ? static_cast<mode_t>(c.nOriginalMode) : c.nMode);
        if (c.bSparse) {
            EXPECT_EQ(st.st_size, kSparseSize);
            EXPECT_LT(st.st_blocks * 512, 1 << 20) << "the holes stay holes";
        }
    }
}

TEST(EncMemory, DecryptsIntoMemoryAndKeepsTheFile)
{
    CTempDir dir;
    const auto plain = Pattern(5000);
    WriteFile(dir / "cfg.xml", plain);
    CCheapEngine em;
    ASSERT_NE(em.EncryptFileW(dir / "cfg.xml"), 0);
    std::vector<std::uint8_t> mem;
    ASSERT_EQ(em.DecryptFileW(dir / "cfg.xml.hvnc", mem), HVNC_OK);
    EXPECT_EQ(mem, plain);
    EXPECT_TRUE(Exists(dir / "cfg.xml.hvnc"));
    EXPECT_EQ(em.VerifyFileW(dir / "cfg.xml.hvnc"), HVNC_OK);

    CCheapEngine wrong(u"nope");
    mem.assign(3, 7);
    EXPECT_EQ(wrong.DecryptFileW(dir / "cfg.xml.hvnc", mem), HVNC_WRONG_PASSWORD);
    EXPECT_TRUE(mem.empty());
}

TEST(EncMemory, RefusesContentAboveTheCap)
{
    CTempDir dir;
    WriteFile(dir / "big", Pattern(CEncryptManager::kMaxMemoryPlain + 1));
    CCheapEngine em;
    ASSERT_NE(em.EncryptFileW(dir / "big"), 0);
    std::vector<std::uint8_t> mem;
    EXPECT_NE(em.DecryptFileW(dir / "big.hvnc", mem), HVNC_OK);
    EXPECT_TRUE(mem.empty());
}

TEST(EncNames, DecryptionNeverOverwritesAndPicksNumberedNames)
{
    CTempDir dir;
    const auto plain = Pattern(100);
    WriteFile(dir / "a.txt", plain);
    CCheapEngine em;
    ASSERT_NE(em.EncryptFileW(dir / "a.txt"), 0);
    const std::vector<std::uint8_t> other = {'k', 'e', 'e', 'p'};
    WriteFile(dir / "a.txt", other);
    WriteFile(dir / "a(1).txt", other);
    ASSERT_EQ(em.DecryptFileW(dir / "a.txt.hvnc", std::string()), HVNC_OK);
    EXPECT_EQ(em.GetLastOutputPath(), dir / "a(2).txt");
    EXPECT_EQ(ReadFile(dir / "a(2).txt"), plain);
    EXPECT_EQ(ReadFile(dir / "a.txt"), other);
    EXPECT_EQ(ReadFile(dir / "a(1).txt"), other);

    // No ".hvnc" suffix: the plain name is the encrypted file's own, so "(1)" is added.
    WriteFile(dir / ".rc", plain);
    ASSERT_NE(em.EncryptFileW(dir / ".rc", (dir / "sealed").c_str()), 0);
    ASSERT_EQ(em.DecryptFileW(dir / "sealed", std::string()), HVNC_OK);
    EXPECT_EQ(em.GetLastOutputPath(), dir / "sealed(1)");
    EXPECT_EQ(ReadFile(dir / "sealed(1)"), plain);
}

TEST(EncNames, EncryptionRefusesAnExistingOutput)
{
    CTempDir dir;
    WriteFile(dir / "a", Pattern(10));
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    WriteFile(dir / "a.hvnc", old);
    CCheapEngine em;
    EXPECT_EQ(em.EncryptFileW(dir / "a"), 0);
    EXPECT_EQ(em.GetLastResult(), HVNC_EXISTS);
    EXPECT_EQ(ReadFile(dir / "a.hvnc"), old);
    EXPECT_EQ(List(dir.Path()).size(), 2u);
}

TEST(EncLinks, LinkToRegularFileIsEncryptedOthersRefused)
{
    CTempDir dir;
    const auto plain = Pattern(70000);
    WriteFile(dir / "target", plain);
    ASSERT_EQ(::symlink((dir / "target").c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0700), 0);
    ASSERT_EQ(::symlink((dir / "sub").c_str(), (dir / "dirlink").c_str()), 0);
    CCheapEngine em;
    ASSERT_NE(em.EncryptFileW(dir / "link"), 0);
    EXPECT_TRUE(Exists(dir / "link.hvnc"));
    std::vector<std::uint8_t> mem;
    ASSERT_EQ(em.DecryptFileW(dir / "link.hvnc", mem), HVNC_OK);
    EXPECT_EQ(mem, plain);
    EXPECT_EQ(em.EncryptFileW(dir / "dirlink"), 0);
    EXPECT_EQ(em.GetLastResult(), HVNC_NOT_REGULAR);
    EXPECT_EQ(em.EncryptFileW(dir / "sub"), 0);
    EXPECT_EQ(em.GetLastResult(), HVNC_NOT_REGULAR);
    EXPECT_FALSE(Exists(dir / "dirlink.hvnc"));
    EXPECT_FALSE(Exists(dir / "sub.hvnc"));
}

TEST(EncKdf, OneDerivationPerRunForManyFiles)
{
    CTempDir dir;
    std::vector<std::string> files;
    for (int i = 0; i < 12; ++i) {
        files.push_back(dir / ("f" + std::to_string(i)));
        WriteFile(files.back(), Pattern(100 + i, i));
    }
    CCheapEngine em;
    const auto before = CHvncKeyCache::GetRunCount();
    for (const auto& f : files) {
        ASSERT_NE(em.EncryptFileW(f), 0);
    }
    EXPECT_EQ(CHvncKeyCache::GetRunCount() - before, 1u);

    CCheapEngine dm;  // a new run: one derivation again, for all files
    const auto before2 = CHvncKeyCache::GetRunCount();
    for (const auto& f : files) {
        ::unlink(f.c_str());
        ASSERT_EQ(dm.DecryptFileW(f + ".hvnc", std::string()), HVNC_OK);
    }
    EXPECT_EQ(CHvncKeyCache::GetRunCount() - before2, 1u);

    // A new password (SetPassword) forgets the derived keys.
    dm.SetPassword(u"other");
    const auto before3 = CHvncKeyCache::GetRunCount();
    ASSERT_NE(dm.EncryptFileW(files[0]), 0);
    EXPECT_EQ(CHvncKeyCache::GetRunCount() - before3, 1u);
    CCheapEngine old;
    EXPECT_EQ(old.VerifyFileW(files[0] + ".hvnc"), HVNC_WRONG_PASSWORD);
}

TEST(EncKdf, CostIsRecordedInTheHeader)
{
    CTempDir dir;
    WriteFile(dir / "a", Pattern(10));
    CCheapEngine em;
    em.SetKdfCost(96, 2);
    ASSERT_NE(em.EncryptFileW(dir / "a"), 0);
    const auto enc = ReadFile(dir / "a.hvnc");
    ASSERT_GE(enc.size(), 24u);
    EXPECT_EQ(enc[16] | enc[17] << 8 | enc[18] << 16 | enc[19] << 24, 96);
    EXPECT_EQ(enc[20], 2);
    CCheapEngine dm;  // its own cost does not matter for reading
    EXPECT_EQ(dm.VerifyFileW(dir / "a.hvnc"), HVNC_OK);
}

TEST(EncCancel, StopSignalEndsEarlyLeavingNothing)
{
    CTempDir dir;
    const auto plain = Pattern(8 << 20);
    WriteFile(dir / "big", plain);
    CCheapEngine em;
    em.SetParent([&](std::uint32_t) { em.m_sigStop.Set(); });
    EXPECT_EQ(em.EncryptFileW(dir / "big"), 0);
    EXPECT_EQ(em.GetLastResult(), HVNC_CANCELLED);
    EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"big"});
    EXPECT_EQ(ReadFile(dir / "big"), plain);

    em.m_sigStop.Reset();
    em.SetParent(nullptr);
    ASSERT_NE(em.EncryptFileW(dir / "big"), 0);
    em.SetParent([&](std::uint32_t) { em.m_sigStop.Set(); });
    EXPECT_EQ(em.DecryptFileW(dir / "big.hvnc", std::string()), HVNC_CANCELLED);
    EXPECT_EQ(List(dir.Path()).size(), 2u) << "no partial plain file";
    EXPECT_TRUE(Exists(dir / "big.hvnc"));
}

TEST(EncBatch, ManyFilesShareOneDerivationAndReportEachResult)
{
    CTempDir dir("/dev/shm");
    std::vector<std::string> files;
    constexpr int kFiles = 1030;
    for (int i = 0; i < kFiles; ++i) {  // more than one commit group of 1,024
        files.push_back(dir / ("f" + std::to_string(i) + ".txt"));
        WriteFile(files.back(), Pattern((i % 50) * 37, i));
    }
    files.push_back(dir / "missing");
    WriteFile(dir / "f7.txt.hvnc", {'x'});
    CCheapEngine em;
    const auto before = CHvncKeyCache::GetRunCount();
    std::vector<int> results;
    EXPECT_EQ(em.EncryptFilesW(files, results), 0);
    EXPECT_EQ(CHvncKeyCache::GetRunCount() - before, 1u);
    ASSERT_EQ(results.size(), files.size());
    EXPECT_EQ(results[7], HVNC_EXISTS);
    EXPECT_NE(results.back(), HVNC_OK);
    EXPECT_FALSE(em.GetBatchReasons().back().empty());
    ::unlink((dir / "f7.txt.hvnc").c_str());

    std::vector<std::string> encrypted;
    for (int i = 0; i < kFiles; ++i) {
        if (i != 7) {
            EXPECT_EQ(results[i], HVNC_OK) << i;
            encrypted.push_back(files[i] + ".hvnc");
            ::unlink(files[i].c_str());
        }
    }
    CCheapEngine dm;
    EXPECT_NE(dm.DecryptFilesW(encrypted, results), 0);
    for (int i = 0; i < kFiles; ++i) {
        if (i != 7) {
            EXPECT_EQ(ReadFile(files[i]), Pattern((i % 50) * 37, i)) << i;
            EXPECT_FALSE(Exists(files[i] + ".hvnc"));
        }
    }
}

}  // namespace

// The integer interface reports what the result type says: encryption non-zero on success only,
// decryption the code itself; every failure comes with a reason.
TEST(EncResults, IntegerInterfaceFollowsTheResult)
{
    CTempDir dir;
    WriteFile(dir / "a.txt", Pattern(100));
    WriteFile(dir / "b.txt", Pattern(100));
    WriteFile(dir / "b.txt.hvnc", Pattern(10));   // the output name is taken
    WriteFile(dir / "plain.hvnc", Pattern(300));  // not an encrypted file
    CCheapEngine em;
    ASSERT_TRUE(em.Encrypt(dir / "a.txt").Ok());
    CCheapEngine wrong(u"nope");

    struct SCase
    {
        const char* pszName;
        CEncryptManager* pEngine;
        bool bEncrypt;
        std::string strPath;
        EHvnc eExpected;
    };
    for (const SCase& c : {SCase{"missing source", &em, true, dir / "none.txt", EHvnc::IoError},
                           SCase{"output exists", &em, true, dir / "b.txt", EHvnc::Exists},
                           SCase{"wrong password", &wrong, false, dir / "a.txt.hvnc", EHvnc::WrongPassword},
                           SCase{"not encrypted", &em, false, dir / "plain.hvnc", EHvnc::NotHvnc}}) {
        SCOPED_TRACE(c.pszName);
        const SHvncResult result = c.bEncrypt ? c.pEngine->Encrypt(c.strPath) : c.pEngine->Decrypt(c.strPath);
        EXPECT_EQ(result.eCode, c.eExpected) << result.strReason;
        EXPECT_FALSE(result.strReason.empty());
        if (c.bEncrypt) {
            EXPECT_EQ(c.pEngine->EncryptFileW(c.strPath), 0);
        } else {
            EXPECT_EQ(c.pEngine->DecryptFileW(c.strPath), static_cast<int>(c.eExpected));
        }
    }
    EXPECT_EQ(em.DecryptFileW(dir / "a.txt.hvnc"), HVNC_OK);
    EXPECT_EQ(ReadFile(em.GetLastOutputPath()), Pattern(100));
}
