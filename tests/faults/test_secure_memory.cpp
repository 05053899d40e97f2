// Secrets live in locked memory between guard pages: the pages of a secure buffer count as
// locked for the process, and a write just past its end stops the process instead of spilling.
#include "engines/CSecureBuffer.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "FaultProcess.h"

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

}  // namespace
