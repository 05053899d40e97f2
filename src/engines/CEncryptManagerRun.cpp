// CEncryptManager: the operations on files by path or by folder descriptor and name, one at a time
// or in batches that share their syncs (encrypting and decrypting one file is in
// CEncryptManagerFiles.cpp).
#include "engines/CEncryptManager.h"
#include "engines/CHvncCommit.h"
#include "engines/CHvncJob.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sodium.h>
#include <sys/resource.h>

namespace {

// Outputs per shared sync: up to 1024, fewer when the process may not hold open that many
// folders and outputs at once.
std::size_t BatchSize()
{
    struct rlimit lim
    {
    };
    if (::getrlimit(RLIMIT_NOFILE, &lim) != 0 || lim.rlim_cur == RLIM_INFINITY) {
        return 1024;
    }
    return std::clamp<std::size_t>(
        (static_cast<std::size_t>(lim.rlim_cur) - std::min<std::size_t>(lim.rlim_cur, 128)) / 2, 16, 1024);
}

// A caller's file in its folder; the output goes into nDestDirFd (-1: the same folder).
SHvncJob JobAt(const SHVFileRef& ref, int nDestDirFd, const std::string& strDestName)
{
    SHvncJob job;
    job.src = ref;
    const std::string strShown =
        ref.strDisplay.find('/') == std::string::npos ? std::string() : HvncIo::DirOf(ref.strDisplay);
    job.srcDir = SHvncDir{ref.nDirFd, nullptr, strShown};
    job.destDir = nDestDirFd < 0 ? job.srcDir : SHvncDir{nDestDirFd, nullptr, HvncIo::PathOfFd(nDestDirFd)};
    job.strDestName = strDestName;
    return job;
}

}  // namespace

int CEncryptManager::PathJob(const std::string& strPath, const char* pszDest, SHvncJob& job)
{
    HvncIo::CFd dir;
    std::string strName;
    int nErr = HvncIo::OpenParent(strPath, dir, strName);
    const std::string strShown = strPath.find('/') == std::string::npos ? std::string() : HvncIo::DirOf(strPath);
    if (nErr != 0) {
        return Fail(HvncResultOfErrno(nErr),
                    "cannot open the folder of " + strPath + ": " + std::string(std::strerror(nErr)));
    }
    job.src = SHVFileRef{};
    job.src.nDirFd = dir.Get();
    job.src.strName = strName;
    job.src.strDisplay = strPath;
    job.srcDir = SHvncDir{dir.Get(), std::make_shared<HvncIo::CFd>(std::move(dir)), strShown};
    job.bFollow = true;
    job.destDir = job.srcDir;
    job.strDestName.clear();
    if (pszDest != nullptr && *pszDest != 0) {
        const std::string strDest = pszDest;
        if ((nErr = HvncIo::OpenParent(strDest, dir, job.strDestName)) != 0) {
            return Fail(HvncResultOfErrno(nErr),
                        "cannot open the folder of " + strDest + ": " + std::string(std::strerror(nErr)));
        }
        const std::string strDestShown =
            strDest.find('/') == std::string::npos ? std::string() : HvncIo::DirOf(strDest);
        job.destDir = SHvncDir{dir.Get(), std::make_shared<HvncIo::CFd>(std::move(dir)), strDestShown};
    }
    return HVNC_OK;
}

int CEncryptManager::RunOne(bool bEncrypt, SHvncJob& job)
{
    m_strLastOutput.clear();
    m_strLastWarning.clear();
    SHvncPending pending;
    int nRet = bEncrypt ? EncryptOne(job, pending) : DecryptOne(job, &pending, nullptr);
    std::string strWhy;
    if (nRet == HVNC_OK && (nRet = HvncCommit::CommitOne(pending, strWhy)) != HVNC_OK) {
        Fail(nRet, strWhy);
    }
    if (!pending.strPlaced.empty()) {
        m_strLastOutput = pending.strPlaced;
        m_strLastWarning = pending.strWarning;
    }
    return nRet == HVNC_OK ? Succeed() : nRet;
}

SHvncResult CEncryptManager::Outcome(int nResult) const
{
    return SHvncResult{static_cast<EHvnc>(nResult), nResult == HVNC_OK ? m_strLastWarning : m_strLastError};
}

SHvncResult CEncryptManager::Encrypt(const std::string& strSource, const std::string& strDest)
{
    m_strLastOutput.clear();
    SHvncJob job;
    int nRet = PathJob(strSource, strDest.c_str(), job);
    if (nRet == HVNC_OK) {
        nRet = RunOne(true, job);
    }
    if (nRet == HVNC_OK) {
        m_strLastOutput = HvncIo::JoinPath(job.destDir.strShown, m_strLastOutput);
    }
    return Outcome(nRet);
}

SHvncResult CEncryptManager::Decrypt(const std::string& strEncrypted, const std::string& strDest)
{
    m_strLastOutput.clear();
    SHvncJob job;
    int nRet = PathJob(strEncrypted, strDest.c_str(), job);
    if (nRet == HVNC_OK) {
        nRet = RunOne(false, job);
    }
    if (!m_strLastOutput.empty()) {
        m_strLastOutput = HvncIo::JoinPath(job.destDir.strShown, m_strLastOutput);
    }
    return Outcome(nRet);
}

SHvncResult CEncryptManager::Decrypt(const std::string& strEncrypted, std::vector<std::uint8_t>& memOut)
{
    m_strLastOutput.clear();
    m_strLastWarning.clear();
    SHvncJob job;
    int nRet = PathJob(strEncrypted, nullptr, job);
    if (nRet == HVNC_OK) {
        nRet = DecryptOne(job, nullptr, &memOut);
    }
    if (nRet != HVNC_OK) {
        sodium_memzero(memOut.data(), memOut.size());
        memOut.clear();
        return Outcome(nRet);
    }
    return Outcome(Succeed());
}

int CEncryptManager::EncryptFileW(const std::string& strSource, const char* pszDest, std::uint64_t, int)
{
    return Encrypt(strSource, pszDest != nullptr ? std::string(pszDest) : std::string()).Ok() ? 1 : 0;
}

int CEncryptManager::DecryptFileW(const std::string& strEncrypted, const std::string& strDest)
{
    return static_cast<int>(Decrypt(strEncrypted, strDest).eCode);
}

int CEncryptManager::DecryptFileW(const std::string& strEncrypted, std::vector<std::uint8_t>& memOut)
{
    return static_cast<int>(Decrypt(strEncrypted, memOut).eCode);
}

int CEncryptManager::VerifyFileW(const std::string& strEncrypted)
{
    m_strLastOutput.clear();
    SHvncJob job;
    int nRet = PathJob(strEncrypted, nullptr, job);
    if (nRet == HVNC_OK) {
        nRet = DecryptOne(job, nullptr, nullptr);
    }
    return nRet != HVNC_OK ? nRet : Succeed();
}

int CEncryptManager::EncryptFileAt(const SHVFileRef& source, int nDestDirFd, const std::string& strDestName)
{
    SHvncJob job = JobAt(source, nDestDirFd, strDestName);
    return RunOne(true, job);
}

int CEncryptManager::DecryptFileAt(const SHVFileRef& encrypted, int nDestDirFd, const std::string& strDestName)
{
    SHvncJob job = JobAt(encrypted, nDestDirFd, strDestName);
    return RunOne(false, job);
}

int CEncryptManager::EncryptFilesW(const std::vector<std::string>& files, std::vector<int>& results)
{
    return RunBatch(
        true, files.size(), [&](std::size_t i, SHvncJob& job) { return PathJob(files[i], nullptr, job); }, results);
}

int CEncryptManager::DecryptFilesW(const std::vector<std::string>& files, std::vector<int>& results)
{
    return RunBatch(
        false, files.size(), [&](std::size_t i, SHvncJob& job) { return PathJob(files[i], nullptr, job); }, results);
}

int CEncryptManager::EncryptFilesAt(const std::vector<SHVFileRef>& files, std::vector<int>& results)
{
    return RunBatch(
        true,
        files.size(),
        [&](std::size_t i, SHvncJob& job) {
            job = JobAt(files[i], -1, {});
            return HVNC_OK;
        },
        results);
}

int CEncryptManager::DecryptFilesAt(const std::vector<SHVFileRef>& files, std::vector<int>& results)
{
    return RunBatch(
        false,
        files.size(),
        [&](std::size_t i, SHvncJob& job) {
            job = JobAt(files[i], -1, {});
            return HVNC_OK;
        },
        results);
}

int CEncryptManager::RunBatch(bool bEncrypt, std::size_t nCount, const JobMaker& makeJob, std::vector<int>& results)
{
    m_strLastOutput.clear();
    results.assign(nCount, HVNC_FAILED);
    m_batchReasons.assign(nCount, std::string());
    m_batchWarnings.assign(nCount, std::string());
    const std::size_t nBatch = BatchSize();
    bool bAllOk = true;
    for (std::size_t nStart = 0; nStart < nCount; nStart += nBatch) {
        const std::size_t nEnd = std::min(nCount, nStart + nBatch);
        std::vector<SHvncPending> pending;
        std::vector<std::size_t> index;
        pending.reserve(nEnd - nStart);
        for (std::size_t i = nStart; i < nEnd; ++i) {
            SHvncJob job;
            if (m_sigStop.IsSet()) {
                results[i] = Fail(HVNC_CANCELLED, "cancelled");
            } else if ((results[i] = makeJob(i, job)) == HVNC_OK) {
                SHvncPending p;
                results[i] = bEncrypt ? EncryptOne(job, p) : DecryptOne(job, &p, nullptr);
                if (results[i] == HVNC_OK && !p.bUnnamed && p.fd.Close() != 0) {
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
            m_batchWarnings[index[k]] = pending[k].strWarning;
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
