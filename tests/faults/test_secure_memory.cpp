// Secrets live in locked memory between guard pages: the pages of a secure buffer count as
// locked for the process, and a write just past its end stops the process instead of spilling.
// After an encryption and a decryption, no key of the file is left in memory a core dump holds.
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyBlock.h"
#include "engines/CHvncKeyCache.h"
#include "engines/CSecureBuffer.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sodium.h>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "FaultProcess.h"
#include "FaultSupport.h"

namespace {

// VmLck of this process in KiB (-1 when unknown).
long LockedKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmLck:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

TEST(SecureMemory, BufferPagesAreLocked)
{
    if (faults::SanitizerBuild()) {
        GTEST_SKIP() << "the address sanitizer's runtime makes mlock do nothing";
    }
    const long nPage = ::sysconf(_SC_PAGESIZE);
    const std::size_t nSize = 16 * static_cast<std::size_t>(nPage);
    // Whether this process may lock that much at all.
    void* probe = ::mmap(nullptr, nSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(probe, MAP_FAILED);
    const bool bMayLock = ::mlock(probe, nSize) == 0;
    (void)::munlock(probe, nSize);
    ::munmap(probe, nSize);
    const long nBefore = LockedKiB();
    if (!bMayLock || nBefore < 0) {
        GTEST_SKIP() << "this process may not lock memory (RLIMIT_MEMLOCK)";
    }
    CSecureBuffer secret(nSize);
    ASSERT_EQ(secret.size(), nSize);
    EXPECT_GE(LockedKiB() - nBefore, static_cast<long>(nSize / 1024)) << "the buffer's pages are locked";
    secret.clear();
    EXPECT_LT(LockedKiB() - nBefore, static_cast<long>(nSize / 1024)) << "and unlocked when it is freed";
}

TEST(SecureMemoryDeathTest, WritingPastTheEndHitsAGuardPage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            CSecureBuffer secret(100);
            volatile std::uint8_t* p = secret.data();
            p[secret.size()] = 1;
        },
        "");
}

TEST(SecureMemory, EqualsComparesContentAndSize)
{
    const CSecureBuffer a = CSecureBuffer::FromUtf16(u"p\u00e4ss");
    EXPECT_TRUE(a.Equals(CSecureBuffer::FromBytes("p\xc3\xa4ss", 5)));
    EXPECT_FALSE(a.Equals(CSecureBuffer::FromBytes("p\xc3\xa4sS", 5)));
    EXPECT_FALSE(a.Equals(CSecureBuffer::FromBytes("p\xc3\xa4s", 4)));
    EXPECT_TRUE(CSecureBuffer().Equals(CSecureBuffer()));
}

// Where memory a core dump would hold (readable, not marked "dd" = MADV_DONTDUMP) contains the
// bytes of key: the mapping's line, or "" when nowhere. Read through /proc/self/mem, so freed or guarded heap is read
// safely; the needle itself sits in a secure buffer, which is not dumped.
std::string InDumpableMemory(const CSecureBuffer& key)
{
    std::ifstream smaps("/proc/self/smaps");
    const int fd = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    std::vector<std::uint8_t> buf(1 << 20);
    std::string line;
    struct SRange
    {
        std::uintptr_t a;
        std::uintptr_t b;
        std::string strLine;
    };
    std::vector<SRange> ranges;
    std::string strMapping;
    std::uintptr_t nStart = 0;
    std::uintptr_t nEnd = 0;
    bool bReadable = false;
    while (std::getline(smaps, line)) {
        std::istringstream f(line);
        std::string first;
        std::string perms;
        f >> first >> perms;
        const auto dash = first.find('-');
        if (dash != std::string::npos && first.find(':') == std::string::npos && perms.size() == 4) {
            nStart = std::stoull(first.substr(0, dash), nullptr, 16);
            nEnd = std::stoull(first.substr(dash + 1), nullptr, 16);
            strMapping = line;
            bReadable = perms[0] == 'r' && line.find("[vvar") == std::string::npos
                        && line.find("[vsyscall]") == std::string::npos;
        } else if (first == "VmFlags:" && bReadable && line.find(" dd") == std::string::npos) {
            ranges.push_back({nStart, nEnd, strMapping});
        }
    }
    std::string strFound;
    for (const SRange& r : ranges) {
        for (std::uintptr_t p = r.a; p < r.b && strFound.empty(); p += buf.size() - key.size()) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uintptr_t>(buf.size(), r.b - p));
            const ssize_t got = ::pread(fd, buf.data(), n, static_cast<off_t>(p));
            for (ssize_t i = 0; i + static_cast<ssize_t>(key.size()) <= got && strFound.empty(); ++i) {
                if (std::equal(key.data(), key.data() + key.size(), buf.data() + i)) {
                    strFound = r.strLine;
                }
            }
        }
    }
    sodium_memzero(buf.data(), buf.size());
    ::close(fd);
    return strFound;
}

// Whether the stack just below the caller (where the callee frames of its last call were) holds key.
[[gnu::noinline]] bool OnDeadStack(const CSecureBuffer& key)
{
    unsigned char pad[32768];
    __asm__ __volatile__("" : : "r"(pad) : "memory");
    for (std::size_t i = 0; i + 32 <= sizeof pad; ++i) {
        if (std::equal(key.data(), key.data() + 32, pad + i)) {
            return true;
        }
    }
    return false;
}

// The password hash's last step leaves its output in a dead stack frame; the derivation wipes it.
TEST(SecureMemory, KeyDerivationLeavesNoCopyOnTheStack)
{
    if (faults::SanitizerBuild()) {
        GTEST_SKIP() << "the address sanitizer moves stack frames elsewhere";
    }
    const CSecureBuffer pw = CSecureBuffer::FromUtf16(faults::kPassword);
    const std::uint8_t salt[16] = {1, 2, 3};
    CSecureBuffer key(32);
    ASSERT_TRUE(CHvncKeyCache::Derive(pw, salt, faults::kCheapMemKiB, faults::kCheapPasses, key));
    EXPECT_FALSE(OnDeadStack(key));
}

TEST(SecureMemory, NoKeyOfAFileStaysInDumpableMemory)
{
    if (faults::SanitizerBuild()) {
        GTEST_SKIP() << "the address sanitizer's terabytes of mappings are no process image to scan";
    }
    faults::CTempDir dir;
    const std::string src = dir.Path() + "/plain";
    enctest::WriteFile(src, faults::Pattern(100000));
    {
        CEncryptManager em;
        em.SetKdfCost(faults::kCheapMemKiB, faults::kCheapPasses);
        (void)em.EnablerEncryptionType(32, faults::kPassword);
        ASSERT_NE(em.EncryptFileW(src), 0) << em.GetLastError();
        ASSERT_EQ(::unlink(src.c_str()), 0);
        CEncryptManager dm;
        (void)dm.EnablerEncryptionType(32, faults::kPassword);
        std::vector<std::uint8_t> plain;
        ASSERT_EQ(dm.DecryptFileW(src + ".hvnc", plain), HVNC_OK) << dm.GetLastError();
        std::fill(plain.begin(), plain.end(), 0);
    }
    // The file's keys, recomputed into secure memory: password key, wrapping and commitment keys,
    // and the data key (its first bytes also begin the AES key schedule).
    const auto bytes = faults::ReadFile(src + ".hvnc");
    CHvncHeader hdr;
    std::string why;
    ASSERT_EQ(hdr.Parse(bytes.data(), bytes.size(), why), HVNC_OK) << why;
    const CSecureBuffer pw = CSecureBuffer::FromUtf16(faults::kPassword);
    CSecureBuffer keys[4] = {CSecureBuffer(32), {}, {}, CSecureBuffer(CHvncHeader::kKeyBlockSize)};
    SHvncMeta meta;
    ASSERT_TRUE(CHvncKeyCache::Derive(pw, hdr.salt.data(), hdr.nMemKiB, hdr.nPasses, keys[0]));
    ASSERT_TRUE(CHvncKeyBlock::DeriveSubkey(keys[0], CHvncKeyBlock::kWrapInfo, keys[1]));
    ASSERT_TRUE(CHvncKeyBlock::DeriveSubkey(keys[0], CHvncKeyBlock::kCommitInfo, keys[2]));
    ASSERT_EQ(CHvncKeyBlock::Open(hdr, keys[0], keys[3], meta, why), HVNC_OK) << why;
    ASSERT_TRUE(keys[3].resize(32));

    // The scan finds a key that does sit in ordinary memory.
    std::vector<std::uint8_t> copy(keys[3].data(), keys[3].data() + 32);
    __asm__ __volatile__("" : : "r"(copy.data()) : "memory");
    ASSERT_NE(InDumpableMemory(keys[3]), "") << "the scan sees the heap";
    sodium_memzero(copy.data(), copy.size());
    const char* names[4] = {"password key", "wrapping key", "commitment key", "data key"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(InDumpableMemory(keys[i]), "") << "the " << names[i] << " is in memory a core dump holds";
    }
}

}  // namespace
