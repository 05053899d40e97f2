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

// A caller's path as a job: its folder opened, the output beside it or at pszDest.
SHvncResult PathJob(const std::string& strPath, const char* pszDest, SHvncJob& job)
{
    auto openParent = [](const std::string& strFile, SHvncDir& dir, std::string& strName) -> SHvncResult {
        HvncIo::CFd fd;
        if (const int nErr = HvncIo::OpenParent(strFile, fd, strName); nErr != 0) {
            return {HvncOfErrno(nErr),
                    "cannot open the folder of " + strFile + ": " + std::string(std::strerror(nErr))};
        }
        const std::string strShown = strFile.find('/') == std::string::npos ? std::string() : HvncIo::DirOf(strFile);
        dir = SHvncDir{fd.Get(), std::make_shared<HvncIo::CFd>(std::move(fd)), strShown};
        return {};
    };
    job.src = SHVFileRef{};
    job.src.strDisplay = strPath;
    job.bFollow = true;
    job.strDestName.clear();
    SHvncResult r = openParent(strPath, job.srcDir, job.src.strName);
    job.src.nDirFd = job.srcDir.nFd;
    job.destDir = job.srcDir;
    if (r.Ok() && pszDest != nullptr && *pszDest != 0) {
        r = openParent(pszDest, job.destDir, job.strDestName);
    }
    return r;
}

// The jobs of a batch of paths, and of files named by folder and name.
auto PathJobs(const std::vector<std::string>& files)
{
    return [&files](std::size_t i, SHvncJob& job) { return PathJob(files[i], nullptr, job); };
}

auto RefJobs(const std::vector<SHVFileRef>& files)
{
    return [&files](std::size_t i, SHvncJob& job) {
        job = JobAt(files[i], -1, {});
        return SHvncResult();
    };
}

}  // namespace

SHvncResult CEncryptManager::RunOne(bool bEncrypt, SHvncJob& job)
{
    m_strLastOutput.clear();
    m_strLastWarning.clear();
    SHvncPending pending;
    SHvncResult r = bEncrypt ? EncryptOne(job, pending) : DecryptOne(job, &pending, nullptr);
    if (r.Ok()) {
        r = HvncCommit::CommitOne(pending);
    }
    if (!pending.strPlaced.empty()) {
        m_strLastOutput = pending.strPlaced;
        m_strLastWarning = pending.strWarning;
    }
    Record(r);
    if (r.Ok()) {
        r.strReason = m_strLastWarning;
    }
    return r;
}

SHvncResult CEncryptManager::Encrypt(const std::string& strSource, const std::string& strDest)
{
    m_strLastOutput.clear();
    SHvncJob job;
    SHvncResult r = PathJob(strSource, strDest.c_str(), job);
    r = r.Ok() ? RunOne(true, job) : Recorded(std::move(r));
    if (r.Ok()) {
        m_strLastOutput = HvncIo::JoinPath(job.destDir.strShown, m_strLastOutput);
    }
    return r;
}

SHvncResult CEncryptManager::Decrypt(const std::string& strEncrypted, const std::string& strDest)
{
    m_strLastOutput.clear();
    SHvncJob job;
    SHvncResult r = PathJob(strEncrypted, strDest.c_str(), job);
    r = r.Ok() ? RunOne(false, job) : Recorded(std::move(r));
    if (!m_strLastOutput.empty()) {
        m_strLastOutput = HvncIo::JoinPath(job.destDir.strShown, m_strLastOutput);
    }
    return r;
}

SHvncResult CEncryptManager::Decrypt(const std::string& strEncrypted, std::vector<std::uint8_t>& memOut)
{
    m_strLastOutput.clear();
    m_strLastWarning.clear();
    SHvncJob job;
    SHvncResult r = PathJob(strEncrypted, nullptr, job);
    if (r.Ok()) {
        r = DecryptOne(job, nullptr, &memOut);
    }
    if (!r.Ok()) {
        sodium_memzero(memOut.data(), memOut.size());
        memOut.clear();
    }
    return Recorded(std::move(r));
}

int CEncryptManager::EncryptFileW(const std::string& strSource, const char* pszDest, std::uint64_t, int)
{
    return Encrypt(strSource, pszDest != nullptr ? std::string(pszDest) : std::string()).Ok() ? 1 : 0;
}

int CEncryptManager::DecryptFileW(const std::string& strEncrypted, const std::string& strDest)
{
    return HvncCode(Decrypt(strEncrypted, strDest).eCode);
}

int CEncryptManager::DecryptFileW(const std::string& strEncrypted, std::vector<std::uint8_t>& memOut)
{
    return HvncCode(Decrypt(strEncrypted, memOut).eCode);
}

int CEncryptManager::VerifyFileW(const std::string& strEncrypted)
{
    m_strLastOutput.clear();
    SHvncJob job;
    SHvncResult r = PathJob(strEncrypted, nullptr, job);
    if (r.Ok()) {
        r = DecryptOne(job, nullptr, nullptr);
    }
    return Record(r);
}

int CEncryptManager::EncryptFileAt(const SHVFileRef& source, int nDestDirFd, const std::string& strDestName)
{
    SHvncJob job = JobAt(source, nDestDirFd, strDestName);
    return HvncCode(RunOne(true, job).eCode);
}

int CEncryptManager::DecryptFileAt(const SHVFileRef& encrypted, int nDestDirFd, const std::string& strDestName)
{
    SHvncJob job = JobAt(encrypted, nDestDirFd, strDestName);
    return HvncCode(RunOne(false, job).eCode);
}

int CEncryptManager::EncryptFilesW(const std::vector<std::string>& files, std::vector<int>& results)
{
    return RunBatch(true, files.size(), PathJobs(files), results);
}

int CEncryptManager::DecryptFilesW(const std::vector<std::string>& files, std::vector<int>& results)
{
    return RunBatch(false, files.size(), PathJobs(files), results);
}

int CEncryptManager::EncryptFilesAt(const std::vector<SHVFileRef>& files, std::vector<int>& results)
{
    return RunBatch(true, files.size(), RefJobs(files), results);
}

int CEncryptManager::DecryptFilesAt(const std::vector<SHVFileRef>& files, std::vector<int>& results)
{
    return RunBatch(false, files.size(), RefJobs(files), results);
}

int CEncryptManager::RunBatch(bool bEncrypt, std::size_t nCount, const JobMaker& makeJob, std::vector<int>& results)
{
    m_strLastOutput.clear();
    results.assign(nCount, HVNC_FAILED);
    m_batchReasons.assign(nCount, std::string());
    m_batchWarnings.assign(nCount, std::string());
    const std::size_t nBatch = BatchSize();
    bool bAllOk = true;
    auto note = [&](std::size_t i, const SHvncResult& r) {
        results[i] = HvncCode(r.eCode);
        if (!r.Ok()) {
            m_batchReasons[i] = r.strReason;
            Record(r);
        }
        bAllOk = bAllOk && r.Ok();
    };
    for (std::size_t nStart = 0; nStart < nCount; nStart += nBatch) {
        const std::size_t nEnd = std::min(nCount, nStart + nBatch);
        std::vector<SHvncPending> pending;
        std::vector<std::size_t> index;
        pending.reserve(nEnd - nStart);
        for (std::size_t i = nStart; i < nEnd; ++i) {
            SHvncJob job;
            SHvncPending p;
            SHvncResult r = m_sigStop.IsSet() ? SHvncResult{EHvnc::Cancelled, "cancelled"} : makeJob(i, job);
            if (r.Ok()) {
                r = bEncrypt ? EncryptOne(job, p) : DecryptOne(job, &p, nullptr);
            }
            if (r.Ok() && !p.bUnnamed && p.fd.Close() != 0) {
                HvncCommit::Abandon(p);  // the shared sync needs no open descriptor; a failed close is a failure
                r = {EHvnc::IoError, "cannot close the output"};
            }
            if (r.Ok()) {
                pending.push_back(std::move(p));
                index.push_back(i);
            } else {
                note(i, r);
            }
        }
        const std::vector<SHvncResult> committed = HvncCommit::CommitBatch(pending);
        for (std::size_t k = 0; k < index.size(); ++k) {
            note(index[k], committed[k]);
            m_batchWarnings[index[k]] = pending[k].strWarning;
        }
    }
    if (bAllOk) {
        Record({});
    }
    return bAllOk ? 1 : 0;
}
