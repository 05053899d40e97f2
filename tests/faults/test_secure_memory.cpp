// Secrets live in locked memory between guard pages: the pages of a secure buffer count as
// locked for the process, and a write just past its end stops the process instead of spilling.
// After an encryption and a decryption, no key of the file is left in memory a core dump holds.
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyBlock.h"
#include "engines/CHvncKeyCache.h"
#include "engines/CSecureBuffer.h"
#include "engines/HVCryptoHeap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sodium.h>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "DumpScan.h"
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

// The VmFlags line of the mapping that holds p ("" when none does).
std::string VmFlagsOf(const void* p)
{
    const auto nAddress = reinterpret_cast<std::uintptr_t>(p);
    for (const faults::SMapping& m : faults::Mappings()) {
        if (nAddress >= m.nStart && nAddress < m.nEnd) {
            return m.strFlags;
        }
    }
    return "";
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
    ::munlock(probe, nSize);
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

// The blocks libcrypto gets: out of core dumps, content kept across a move, the old block and
// a freed block wiped, small and page-sized blocks alike.
TEST(SecureMemory, CryptoHeapBlocksAreWipedAndNotDumped)
{
    if (faults::SanitizerBuild()) {
        GTEST_SKIP() << "the sanitizer's own allocator serves libcrypto there";
    }
    ASSERT_TRUE(HVCryptoHeap::Installed()) << "libcrypto allocated before the heap could be installed";
    const struct
    {
        std::size_t nFrom;
        std::size_t nTo;
    } cases[] = {{1, 1}, {10, 16}, {16, 17}, {100, 3000}, {3000, 5000}, {5000, 70000}, {70000, 20}, {40, 0}};
    for (const auto& c : cases) {
        auto* p = static_cast<std::uint8_t*>(HVCryptoHeap::Allocate(c.nFrom));
        ASSERT_NE(p, nullptr);
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t), 0u);
        std::memset(p, 0xA5, c.nFrom);
        const std::size_t nOldCapacity = HVCryptoHeap::Capacity(p);
        auto* q = static_cast<std::uint8_t*>(HVCryptoHeap::Reallocate(p, c.nTo));
        if (c.nTo == 0) {
            EXPECT_EQ(q, nullptr);
        } else {
            ASSERT_NE(q, nullptr) << c.nFrom << " -> " << c.nTo;
            EXPECT_GE(HVCryptoHeap::Capacity(q), c.nTo);
            EXPECT_EQ(std::count(q, q + std::min(c.nFrom, c.nTo), 0xA5), static_cast<long>(std::min(c.nFrom, c.nTo)));
        }
        if (q != p && nOldCapacity < 4096) {  // a small block stays mapped: it must read as zeros
            EXPECT_EQ(std::count(p, p + nOldCapacity, 0), static_cast<long>(nOldCapacity))
                << c.nFrom << " -> " << c.nTo;
        }
        if (q != nullptr && HVCryptoHeap::Capacity(q) < 4096) {
            const std::size_t nCapacity = HVCryptoHeap::Capacity(q);
            HVCryptoHeap::Free(q);
            EXPECT_EQ(std::count(q, q + nCapacity, 0), static_cast<long>(nCapacity)) << "freed block wiped";
        } else {
            HVCryptoHeap::Free(q);
        }
    }
    // Small and page-sized blocks sit in mappings a core dump leaves out.
    for (const std::size_t nSize : {std::size_t{64}, std::size_t{100000}}) {
        void* pBlock = HVCryptoHeap::Allocate(nSize);
        EXPECT_TRUE(VmFlagsOf(pBlock).find(" dd") != std::string::npos) << nSize << ": " << VmFlagsOf(pBlock);
        HVCryptoHeap::Free(pBlock);
    }
}

// Every key of a file, while the file is decrypted (the AES key schedule, which begins with the
// data key, lives in libcrypto's contexts then) and after both runs.
TEST(SecureMemory, NoKeyOfAFileStaysInDumpableMemory)
{
    if (faults::SanitizerBuild()) {
        GTEST_SKIP() << "the address sanitizer's terabytes of mappings are no process image to scan";
    }
    faults::CTempDir dir;
    const std::string src = dir.Path() + "/plain";
    // Past 32 chunks: the decryption reports progress more than once.
    enctest::WriteFile(src, faults::Pattern(40 * CHvncHeader::kChunkSize + 100));
    {
        faults::CCheapEngine em;
        ASSERT_NE(em.EncryptFileW(src), 0) << em.GetLastError();
        ASSERT_EQ(::unlink(src.c_str()), 0);
    }
    // The file's keys, recomputed into secure memory: password key, wrapping and commitment keys,
    // and the data key.
    const auto bytes = faults::ReadFile(src + ".hvnc");
    CHvncHeader hdr;
    SHvncResult parsed = hdr.Parse(bytes.data(), bytes.size());
    ASSERT_TRUE(parsed.Ok()) << parsed.strReason;
    const CSecureBuffer pw = CSecureBuffer::FromUtf16(faults::kPassword);
    CSecureBuffer keys[4] = {CSecureBuffer(32), {}, {}, CSecureBuffer(CHvncHeader::kKeyBlockSize)};
    SHvncMeta meta;
    ASSERT_TRUE(CHvncKeyCache::Derive(pw, hdr.salt.data(), hdr.nMemKiB, hdr.nPasses, keys[0]));
    ASSERT_TRUE(CHvncKeyBlock::DeriveSubkey(keys[0], CHvncKeyBlock::kWrapInfo, keys[1]));
    ASSERT_TRUE(CHvncKeyBlock::DeriveSubkey(keys[0], CHvncKeyBlock::kCommitInfo, keys[2]));
    const SHvncResult opened = CHvncKeyBlock::Open(hdr, keys[0], keys[3], meta);
    ASSERT_TRUE(opened.Ok()) << opened.strReason;
    ASSERT_TRUE(keys[3].resize(32));
    // A schedule without AES instructions holds the key as big-endian words.
    CSecureBuffer swapped = keys[3].Clone();
    for (std::size_t i = 0; i < swapped.size(); i += 4) {
        std::reverse(swapped.data() + i, swapped.data() + i + 4);
    }
    {
        CEncryptManager dm;
        ASSERT_NE(dm.EnablerEncryptionType(32, faults::kPassword), 0);
        int nScans = 0;
        dm.SetParent([&](std::uint32_t) {
            if (nScans++ == 0) {
                EXPECT_EQ(faults::InDumpableMemory(keys[3]), "") << "the key schedule is dumpable mid-file";
                EXPECT_EQ(faults::InDumpableMemory(swapped), "") << "the key schedule is dumpable mid-file";
            }
        });
        std::vector<std::uint8_t> plain;
        ASSERT_EQ(dm.DecryptFileW(src + ".hvnc", plain), HVNC_OK) << dm.GetLastError();
        EXPECT_GT(nScans, 1) << "scanned while chunks were still to come";
        std::fill(plain.begin(), plain.end(), 0);
    }

    // The scan finds a key that does sit in ordinary memory.
    std::vector<std::uint8_t> copy(keys[3].data(), keys[3].data() + 32);
    __asm__ __volatile__("" : : "r"(copy.data()) : "memory");
    ASSERT_NE(faults::InDumpableMemory(keys[3]), "") << "the scan sees the heap";
    sodium_memzero(copy.data(), copy.size());
    const char* names[4] = {"password key", "wrapping key", "commitment key", "data key"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(faults::InDumpableMemory(keys[i]), "") << "the " << names[i] << " is in memory a core dump holds";
    }
}

}  // namespace
