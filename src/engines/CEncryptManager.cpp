#include "engines/CEncryptManager.h"

#include "engines/CHvncCommit.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyCache.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <sodium.h>

namespace {

std::atomic<std::uint32_t> g_nDefaultMemKiB{CEncryptManager::kDefaultKdfMemKiB};
std::atomic<std::uint32_t> g_nDefaultPasses{CEncryptManager::kDefaultKdfPasses};

// The signature's salt: fixed, so the signature depends on the password alone.
constexpr std::uint8_t kSignatureSalt[16] = {
    'H', 'a', 'l', 'v', 'o', 'N', 'o', 'r', 'v', 'a', 'n', 'e', '/', 's', 'i', 'g'};

constexpr std::size_t kBatchSize = 1024;  // outputs per shared sync

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

int CEncryptManager::Fail(int nResult, std::string strWhy)
{
    m_nLastResult = nResult;
    m_strLastError = std::move(strWhy);
    return nResult;
}

int CEncryptManager::Succeed()
{
    m_nLastResult = HVNC_OK;
    m_strLastError.clear();
    return HVNC_OK;
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

int CEncryptManager::EncryptFileW(const std::string& strSource, const char* pszDest, std::uint64_t, int)
{
    m_strLastOutput.clear();
    SHvncPending pending;
    int nRet = EncryptOne(strSource, pszDest, pending);
    std::string strWhy;
    if (nRet == HVNC_OK && (nRet = HvncCommit::CommitOne(pending, strWhy)) != HVNC_OK) {
        Fail(nRet, strWhy);
    }
    if (nRet != HVNC_OK) {
        return 0;
    }
    m_strLastOutput = pending.strPlaced;
    Succeed();
    return 1;
}

int CEncryptManager::DecryptFileW(const std::string& strEncrypted, const std::string& strDest)
{
    m_strLastOutput.clear();
    SHvncPending pending;
    int nRet = DecryptOne(strEncrypted, strDest, &pending, nullptr);
    std::string strWhy;
    if (nRet == HVNC_OK && (nRet = HvncCommit::CommitOne(pending, strWhy)) != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    if (nRet != HVNC_OK) {
        return nRet;
    }
    m_strLastOutput = pending.strPlaced;
    return Succeed();
}

int CEncryptManager::DecryptFileW(const std::string& strEncrypted, std::vector<std::uint8_t>& memOut)
{
    m_strLastOutput.clear();
    const int nRet = DecryptOne(strEncrypted, std::string(), nullptr, &memOut);
    if (nRet != HVNC_OK) {
        sodium_memzero(memOut.data(), memOut.size());
        memOut.clear();
        return nRet;
    }
    return Succeed();
}

int CEncryptManager::VerifyFileW(const std::string& strEncrypted)
{
    m_strLastOutput.clear();
    const int nRet = DecryptOne(strEncrypted, std::string(), nullptr, nullptr);
    return nRet != HVNC_OK ? nRet : Succeed();
}

int CEncryptManager::EncryptFilesW(const std::vector<std::string>& files, std::vector<int>& results)
{
    return RunBatch(true, files, results);
}

int CEncryptManager::DecryptFilesW(const std::vector<std::string>& files, std::vector<int>& results)
{
    return RunBatch(false, files, results);
}

int CEncryptManager::RunBatch(bool bEncrypt, const std::vector<std::string>& files, std::vector<int>& results)
{
    m_strLastOutput.clear();
    results.assign(files.size(), HVNC_FAILED);
    m_batchReasons.assign(files.size(), std::string());
    bool bAllOk = true;
    for (std::size_t nStart = 0; nStart < files.size(); nStart += kBatchSize) {
        const std::size_t nEnd = std::min(files.size(), nStart + kBatchSize);
        std::vector<SHvncPending> pending;
        std::vector<std::size_t> index;
        pending.reserve(nEnd - nStart);
        for (std::size_t i = nStart; i < nEnd; ++i) {
            if (m_sigStop.IsSet()) {
                results[i] = Fail(HVNC_CANCELLED, "cancelled");
            } else {
                SHvncPending p;
                results[i] = bEncrypt ? EncryptOne(files[i], nullptr, p) : DecryptOne(files[i], {}, &p, nullptr);
                if (results[i] == HVNC_OK && p.fd.Close() != 0) {
                    HvncCommit::Abandon(p);  // the shared sync needs no open descriptor; a failed close is a failure
                    results[i] = Fail(HVNC_IO_ERROR, "cannot close the output");
                }
                if (results[i] == HVNC_OK) {
                    pending.push_back(std::move(p));
                    index.push_back(i);
                    continue;
                }
            }
            m_batchReasons[i] = m_strLastError;
        }
        std::vector<int> committed;
        std::vector<std::string> whys;
        HvncCommit::CommitBatch(pending, committed, whys);
        for (std::size_t k = 0; k < index.size(); ++k) {
            results[index[k]] = committed[k];
            m_batchReasons[index[k]] = whys[k];
            if (committed[k] != HVNC_OK) {
                Fail(committed[k], whys[k]);
            }
        }
        for (std::size_t i = nStart; i < nEnd; ++i) {
            bAllOk = bAllOk && results[i] == HVNC_OK;
        }
    }
    if (bAllOk) {
        Succeed();
    }
    return bAllOk ? 1 : 0;
}
