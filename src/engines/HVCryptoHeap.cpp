#include "engines/HVCryptoHeap.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <openssl/crypto.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define HV_CRYPTO_HEAP_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define HV_CRYPTO_HEAP_OFF 1
#endif
#endif

namespace {

// Every block starts with a header holding its whole size; the caller's bytes follow, aligned
// for any type.
constexpr std::size_t kHeader = 16;
// Small blocks: power-of-two sizes carved from slabs and kept on a free list per size once
// freed. Larger blocks get pages of their own, unmapped when freed.
constexpr std::size_t kSmallest = 32;
constexpr std::size_t kLargestSmall = 4096;
constexpr std::size_t kClasses = 8;  // 32 .. 4096
constexpr std::size_t kSlabSize = std::size_t{1} << 20;

struct SFreeBlock
{
    SFreeBlock* pNext;
};

// Constant-initialised: usable by the constructor below before any other initialisation.
std::mutex g_lock;
std::array<SFreeBlock*, kClasses> g_free{};
std::uint8_t* g_pSlab = nullptr;
std::size_t g_nSlabLeft = 0;
bool g_bInstalled = false;

// Anonymous pages kept out of core dumps, locked in memory where the limit allows (without the
// lock they stay out of dumps; they may then be swapped like the rest of the process).
void* MapPrivate(std::size_t nSize)
{
    void* p = ::mmap(nullptr, nSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        return nullptr;
    }
    (void)::madvise(p, nSize, MADV_DONTDUMP);
    (void)::mlock(p, nSize);
    return p;
}

std::size_t PageRound(std::size_t n)
{
    const auto nPage = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (n + nPage - 1) / nPage * nPage;
}

std::size_t ClassOf(std::size_t nTotal)
{
    std::size_t nClass = 0;
    for (std::size_t n = kSmallest; n < nTotal; n <<= 1) {
        ++nClass;
    }
    return nClass;
}

std::uint8_t* TakeSmall(std::size_t nClass)
{
    const std::size_t nBlock = kSmallest << nClass;
    const std::lock_guard<std::mutex> guard(g_lock);
    if (SFreeBlock* pBlock = g_free[nClass]) {
        g_free[nClass] = pBlock->pNext;
        pBlock->pNext = nullptr;
        return reinterpret_cast<std::uint8_t*>(pBlock);
    }
    if (g_nSlabLeft < nBlock) {
        // The rest of the old slab is left unused: blocks are never split or merged.
        g_pSlab = static_cast<std::uint8_t*>(MapPrivate(kSlabSize));
        g_nSlabLeft = g_pSlab != nullptr ? kSlabSize : 0;
        if (g_pSlab == nullptr) {
            return nullptr;
        }
    }
    std::uint8_t* pBlock = g_pSlab;
    g_pSlab += nBlock;
    g_nSlabLeft -= nBlock;
    return pBlock;
}

std::size_t WholeSize(const void* p)
{
    std::size_t nWhole = 0;
    std::memcpy(&nWhole, static_cast<const std::uint8_t*>(p) - kHeader, sizeof nWhole);
    return nWhole;
}

#if !defined(HV_CRYPTO_HEAP_OFF)
void* HookAlloc(std::size_t nSize, const char*, int)
{
    return HVCryptoHeap::Allocate(nSize);
}

void* HookRealloc(void* p, std::size_t nSize, const char*, int)
{
    return HVCryptoHeap::Reallocate(p, nSize);
}

void HookFree(void* p, const char*, int)
{
    HVCryptoHeap::Free(p);
}

// Before main and before any library initialiser of this program can reach libcrypto.
[[gnu::constructor(101)]] void InstallCryptoHeap()
{
    g_bInstalled = CRYPTO_set_mem_functions(HookAlloc, HookRealloc, HookFree) == 1;
}
#endif

}  // namespace

namespace HVCryptoHeap {

bool Installed()
{
    return g_bInstalled;
}

void* Allocate(std::size_t nSize)
{
    if (nSize > SIZE_MAX / 2) {
        return nullptr;
    }
    const std::size_t nTotal = nSize + kHeader;
    std::uint8_t* pBlock = nullptr;
    std::size_t nWhole = 0;
    if (nTotal <= kLargestSmall) {
        const std::size_t nClass = ClassOf(nTotal);
        pBlock = TakeSmall(nClass);
        nWhole = kSmallest << nClass;
    } else {
        nWhole = PageRound(nTotal);
        pBlock = static_cast<std::uint8_t*>(MapPrivate(nWhole));
    }
    if (pBlock == nullptr) {
        return nullptr;
    }
    std::memcpy(pBlock, &nWhole, sizeof nWhole);
    return pBlock + kHeader;
}

std::size_t Capacity(const void* p)
{
    return p != nullptr ? WholeSize(p) - kHeader : 0;
}

void Free(void* p)
{
    if (p == nullptr) {
        return;
    }
    const std::size_t nWhole = WholeSize(p);
    ::explicit_bzero(p, nWhole - kHeader);
    std::uint8_t* pBlock = static_cast<std::uint8_t*>(p) - kHeader;
    if (nWhole > kLargestSmall) {
        (void)::munlock(pBlock, nWhole);
        (void)::munmap(pBlock, nWhole);
        return;
    }
    const std::size_t nClass = ClassOf(nWhole);
    const std::lock_guard<std::mutex> guard(g_lock);
    auto* pFree = reinterpret_cast<SFreeBlock*>(pBlock);
    pFree->pNext = g_free[nClass];
    g_free[nClass] = pFree;
}

void* Reallocate(void* p, std::size_t nSize)
{
    if (p == nullptr) {
        return Allocate(nSize);
    }
    if (nSize == 0) {
        Free(p);
        return nullptr;
    }
    const std::size_t nHeld = Capacity(p);
    if (nSize <= nHeld) {
        return p;  // stays where it is: no copy left behind
    }
    void* pNew = Allocate(nSize);
    if (pNew == nullptr) {
        return nullptr;  // the old block stays valid, as realloc leaves it
    }
    std::memcpy(pNew, p, nHeld);
    Free(p);
    return pNew;
}

}  // namespace HVCryptoHeap
