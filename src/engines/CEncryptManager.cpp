#include "engines/CEncryptManager.h"

#include "engines/CHvncCommit.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyCache.h"
#include "engines/CHvncStaleTemps.h"
#include "engines/HVPendingRecords.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <sodium.h>

namespace {

std::atomic<std::uint32_t> g_nDefaultMemKiB{CEncryptManager::kDefaultKdfMemKiB};
std::atomic<std::uint32_t> g_nDefaultPasses{CEncryptManager::kDefaultKdfPasses};

// The signature's salt: fixed, so the signature depends on the password alone.
constexpr std::uint8_t kSignatureSalt[16] = {
    'H', 'a', 'l', 'v', 'o', 'N', 'o', 'r', 'v', 'a', 'n', 'e', '/', 's', 'i', 'g'};

std::uint32_t ClampMem(std::uint32_t n)
{
    return std::clamp(n, CHvncHeader::kMinMemKiB, CHvncHeader::kMaxMemKiB);
}

std::uint32_t ClampPasses(std::uint32_t n)
{
    return std::clamp(n, CHvncHeader::kMinPasses, CHvncHeader::kMaxPasses);
}

}  // namespace

CEncryptManager::CEncryptManager()
    : m_nKdfMemKiB(g_nDefaultMemKiB.load())
    , m_nKdfPasses(g_nDefaultPasses.load())
    , m_nWriteVersion(CHvncHeader::kVersion)
    , m_keys(std::make_unique<CHvncKeyCache>())
    , m_keyBlock(CHvncHeader::kKeyBlockSize)
{
    m_bReady = sodium_init() >= 0 && m_keyBlock.size() == CHvncHeader::kKeyBlockSize;
}

CEncryptManager::~CEncryptManager() = default;

void CEncryptManager::SetParent(HVProgressSink sink)
{
    m_sink = std::move(sink);
}

int CEncryptManager::EnablerEncryptionType(int nKeyLen, std::u16string_view password)
{
    if (nKeyLen != 16 && nKeyLen != 24 && nKeyLen != 32) {
        return 0;
    }
    m_nKeyLen = nKeyLen;
    SetPassword(password);
    return 1;
}

void CEncryptManager::SetPassword(std::u16string_view password)
{
    m_password = CSecureBuffer::FromUtf16(password);
    m_bHavePassword = password.empty() || !m_password.empty();
    m_keys->Clear();
}

int CEncryptManager::RemoveStaleTemporaries(const std::string& strDataFolder)
{
    if (!strDataFolder.empty()) {
        HVPendingRecords::SetDataFolder(strDataFolder);
    }
    return HvncStaleTemps::SweepRecorded();
}

void CEncryptManager::SetKdfCost(std::uint32_t nMemKiB, std::uint32_t nPasses)
{
    m_nKdfMemKiB = ClampMem(nMemKiB);
    m_nKdfPasses = ClampPasses(nPasses);
}

void CEncryptManager::SetDefaultKdfCost(std::uint32_t nMemKiB, std::uint32_t nPasses)
{
    g_nDefaultMemKiB = ClampMem(nMemKiB);
    g_nDefaultPasses = ClampPasses(nPasses);
}

bool CEncryptManager::SetWriteVersion(std::uint16_t nVersion)
{
    if (CHvncHeader::SizeOfVersion(nVersion) == 0) {
        return false;
    }
    m_nWriteVersion = nVersion;
    return true;
}

int CEncryptManager::Record(const SHvncResult& r)
{
    m_nLastResult = HvncCode(r.eCode);
    m_strLastError = r.Ok() ? std::string() : r.strReason;
    return m_nLastResult;
}

SHvncResult CEncryptManager::Recorded(SHvncResult r)
{
    Record(r);
    return r;
}

int CEncryptManager::GetEncryptionSignature(std::u16string_view password, std::uint8_t* pOut, std::size_t nSize)
{
    if (pOut == nullptr) {
        return 0;
    }
    CSecureBuffer pw = CSecureBuffer::FromUtf16(password);
    CSecureBuffer sig(32);
    if (sig.size() != 32 || !CHvncKeyCache::Derive(pw, kSignatureSalt, kDefaultKdfMemKiB, kDefaultKdfPasses, sig)) {
        return 0;
    }
    std::memcpy(pOut, sig.data(), std::min<std::size_t>(nSize, 32));
    return 1;
}

int CEncryptManager::GetEncryptionSignature(std::u16string_view password,
                                            const std::uint8_t* pSalt,
                                            std::size_t nSaltSize,
                                            std::uint8_t* pOut,
                                            std::size_t nSize)
{
    constexpr std::size_t kSalt = sizeof kSignatureSalt;
    if (pOut == nullptr || pSalt == nullptr || nSaltSize != kSalt) {
        return 0;
    }
    CSecureBuffer pw = CSecureBuffer::FromUtf16(password);
    CSecureBuffer sig(32);
    if (sig.size() != 32 || !CHvncKeyCache::Derive(pw, pSalt, kDefaultKdfMemKiB, kDefaultKdfPasses, sig)) {
        return 0;
    }
    // Salt first, then as much of the hash as fills the 32 bytes.
    std::memmove(sig.data() + kSalt, sig.data(), 32 - kSalt);
    std::memcpy(sig.data(), pSalt, kSalt);
    std::memcpy(pOut, sig.data(), std::min<std::size_t>(nSize, 32));
    return 1;
}

int CEncryptManager::CompareEncryptionPasswords(std::u16string_view password,
                                                const std::uint8_t* pSig,
                                                std::size_t nSize)
{
    if (pSig == nullptr || nSize != 32) {
        return 0;
    }
    std::uint8_t computed[32] = {};
    if (GetEncryptionSignature(password, computed, sizeof computed) == 0) {
        return 0;
    }
    const bool bMatch = sodium_memcmp(computed, pSig, sizeof computed) == 0;
    sodium_memzero(computed, sizeof computed);
    return bMatch ? 1 : 0;
}
