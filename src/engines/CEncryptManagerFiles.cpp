// CEncryptManager: encrypting and decrypting files (the class's set-up is in CEncryptManager.cpp).
#include "engines/CEncryptManager.h"
#include "engines/CHvncCipher.h"
#include "engines/CHvncCommit.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyBlock.h"
#include "engines/CHvncKeyCache.h"
#include "engines/CHvncStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenRegularFile(const std::string& strPath, HvncIo::CFd& fd, struct stat& st, std::string& strWhy)
{
    fd = HvncIo::CFd(::open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        strWhy = "cannot open " + strPath + ": " + std::strerror(errno);
        return HVNC_IO_ERROR;
    }
    if (!S_ISREG(st.st_mode)) {
        strWhy = strPath + " is not a regular file";
        return HVNC_NOT_REGULAR;
    }
    return HVNC_OK;  // O_NONBLOCK (against FIFOs) does not affect regular files
}

// The source as it is now, against what was read. The encrypted file must hold the whole file
// as it stands, or the caller (who may wipe the source next) would lose what changed: a file
// that grew, shrank or was written to after it was read, or a name that now holds another file,
// fails the encryption. A source removed meanwhile is no change: what was read is complete.
int SourceUnchanged(const std::string& strPath, int fd, const struct stat& before, std::string& strWhy)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) != 0 || now.st_size != before.st_size || now.st_mtim.tv_sec != before.st_mtim.tv_sec
        || now.st_mtim.tv_nsec != before.st_mtim.tv_nsec) {
        strWhy = "the source changed while it was being encrypted";
        return HVNC_IO_ERROR;
    }
    struct stat named
    {
    };
    if (::stat(strPath.c_str(), &named) == 0 && (named.st_dev != now.st_dev || named.st_ino != now.st_ino)) {
        strWhy = "the source was replaced while it was being encrypted";
        return HVNC_IO_ERROR;
    }
    return HVNC_OK;
}

std::string PlainNameOf(const std::string& strEncrypted)
{
    const std::string strName = HvncIo::NameOf(strEncrypted);
    if (strName.size() > 5 && strcasecmp(strName.c_str() + strName.size() - 5, ".hvnc") == 0) {
        return strEncrypted.substr(0, strEncrypted.size() - 5);
    }
    return strEncrypted;  // taken by the encrypted file itself: the free-name rule gives "name(1)"
}

// Wipes the engine's key-block scratch when the operation ends, however it ends.
class CScratchWiper
{
public:
    explicit CScratchWiper(CSecureBuffer& buf)
        : m_buf(buf)
    {
    }
    ~CScratchWiper() { sodium_memzero(m_buf.data(), m_buf.size()); }
    CScratchWiper(const CScratchWiper&) = delete;
    CScratchWiper& operator=(const CScratchWiper&) = delete;

private:
    CSecureBuffer& m_buf;
};

}  // namespace

int CEncryptManager::KeyFor(const std::uint8_t* pSalt,
                            std::uint32_t nMemKiB,
                            std::uint32_t nPasses,
                            const CSecureBuffer*& pKek)
{
    CHvncKeyCache::Salt salt{};
    std::memcpy(salt.data(), pSalt, salt.size());
    pKek = m_keys->Get(m_password, salt, nMemKiB, nPasses);
    if (pKek == nullptr) {
        return Fail(HVNC_FAILED, "key derivation failed (not enough memory?)");
    }
    return HVNC_OK;
}

int CEncryptManager::EncryptOne(const std::string& strSource, const char* pszDest, SHvncPending& pending)
{
    if (!m_bReady) {
        return Fail(HVNC_FAILED, "the cryptographic library could not be initialised");
    }
    if (!m_bHavePassword) {
        return Fail(HVNC_FAILED, "no password was given");
    }
    std::string strWhy;
    HvncIo::CFd in;
    struct stat st
    {
    };
    int nRet = OpenRegularFile(strSource, in, st, strWhy);
    if (nRet != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    const std::string strDest = pszDest != nullptr && *pszDest != 0 ? std::string(pszDest) : strSource + ".hvnc";
    if (HvncIo::PathExists(strDest)) {
        return Fail(HVNC_EXISTS, "the output file " + strDest + " already exists");
    }

    CHvncHeader hdr;
    hdr.nVersion = m_nWriteVersion;
    hdr.nCipher = CHvncHeader::CipherOfKeyLen(m_nKeyLen);
    hdr.nMemKiB = m_nKdfMemKiB;
    hdr.nPasses = m_nKdfPasses;
    hdr.salt = m_keys->EncryptionSalt(hdr.nMemKiB, hdr.nPasses);
    const CSecureBuffer* pKek = nullptr;
    if ((nRet = KeyFor(hdr.salt.data(), hdr.nMemKiB, hdr.nPasses, pKek)) != HVNC_OK) {
        return nRet;
    }
    // Key block: the random data key, then the metadata to restore.
    CScratchWiper wiper(m_keyBlock);
    CSecureBuffer& block = m_keyBlock;
    if (block.size() != CHvncHeader::kKeyBlockSize) {
        return Fail(HVNC_FAILED, "out of secure memory");
    }
    // One call for the data key (bytes 0..31) and the key-block nonce (32..43).
    randombytes_buf(block.data(), 32 + hdr.wrapNonce.size());
    std::memcpy(hdr.wrapNonce.data(), block.data() + 32, hdr.wrapNonce.size());
    SHvncMeta meta;
    meta.nSize = static_cast<std::uint64_t>(st.st_size);
    meta.nMode = st.st_mode & 07777u;
    meta.nMtimeSec = st.st_mtim.tv_sec;
    meta.nMtimeNsec = static_cast<std::uint32_t>(st.st_mtim.tv_nsec);
    meta.Write(block.data() + 32);

    std::uint8_t bytes[CHvncHeader::kMaxSize];
    CHvncCipher content;
    if (!CHvncKeyBlock::Seal(hdr, *pKek, block, bytes)
        || !content.Init(block.data(), static_cast<std::size_t>(m_nKeyLen))) {
        return Fail(HVNC_FAILED, "cipher set-up failed");
    }

    pending.strFinal = strDest;
    pending.fd = HvncIo::CFd(HvncIo::MakeTemp(HvncIo::DirOf(strDest), HvncIo::NameOf(strDest), pending.strTemp));
    if (!pending.fd.Valid()) {
        return Fail(errno == ENOSPC ? HVNC_NO_SPACE : HVNC_IO_ERROR,
                    "cannot create a file in " + HvncIo::DirOf(strDest) + ": " + std::strerror(errno));
    }
    {
        SHvncStreamJob job;
        job.bEncrypt = true;
        job.pPrefix = bytes;
        job.nPrefix = hdr.Size();
        job.fdIn = in.Get();
        job.fdOut = pending.fd.Get();
        job.nPlainSize = meta.nSize;
        job.pCipher = &content;
        job.pStop = &m_sigStop;
        job.pSink = &m_sink;
        nRet = HvncRunStream(job, strWhy);
    }
    if (nRet == HVNC_OK) {
        nRet = SourceUnchanged(strSource, in.Get(), st, strWhy);
    }
    if (nRet == HVNC_OK && ::fchmod(pending.fd.Get(), meta.nMode & 0666u) != 0) {
        nRet = HVNC_IO_ERROR;
        strWhy = "cannot set the permissions of the output";
    }
    if (nRet != HVNC_OK) {
        HvncCommit::Abandon(pending);
        return Fail(nRet, strWhy);
    }
    return HVNC_OK;
}

int CEncryptManager::DecryptOne(const std::string& strEncrypted,
                                const std::string& strDest,
                                SHvncPending* pPending,
                                std::vector<std::uint8_t>* pMem)
{
    if (!m_bReady) {
        return Fail(HVNC_FAILED, "the cryptographic library could not be initialised");
    }
    if (!m_bHavePassword) {
        return Fail(HVNC_FAILED, "no password was given");
    }
    std::string strWhy;
    HvncIo::CFd in;
    struct stat st
    {
    };
    int nRet = OpenRegularFile(strEncrypted, in, st, strWhy);
    if (nRet != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    std::uint8_t bytes[CHvncHeader::kMaxSize];
    CHvncHeader hdr;
    if ((nRet = hdr.ReadFrom(in.Get(), bytes, strWhy)) != HVNC_OK) {
        return Fail(nRet, nRet == HVNC_IO_ERROR ? "cannot read " + strEncrypted : strWhy);
    }
    const CSecureBuffer* pKek = nullptr;
    if ((nRet = KeyFor(hdr.salt.data(), hdr.nMemKiB, hdr.nPasses, pKek)) != HVNC_OK) {
        return nRet;
    }
    CScratchWiper wiper(m_keyBlock);
    CSecureBuffer& block = m_keyBlock;
    SHvncMeta meta;
    if ((nRet = CHvncKeyBlock::Open(hdr, *pKek, block, meta, strWhy)) != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    const std::uint64_t nExpected = hdr.Size() + CHvncHeader::ContentSize(meta.nSize);
    if (static_cast<std::uint64_t>(st.st_size) != nExpected) {
        return Fail(HVNC_CORRUPT,
                    static_cast<std::uint64_t>(st.st_size) < nExpected ? "the encrypted file is truncated"
                                                                       : "the encrypted file has extra bytes");
    }
    CHvncCipher content;
    if (!content.Init(block.data(), static_cast<std::size_t>(CHvncHeader::KeyLenOfCipher(hdr.nCipher)))) {
        return Fail(HVNC_FAILED, "cipher set-up failed");
    }
    SHvncStreamJob job;
    job.bEncrypt = false;
    job.fdIn = in.Get();
    job.nPlainSize = meta.nSize;
    job.pCipher = &content;
    job.pStop = &m_sigStop;
    job.pSink = &m_sink;
    if (pMem != nullptr) {
        if (meta.nSize > kMaxMemoryPlain) {
            return Fail(HVNC_FAILED, "the file is too large to be decrypted into memory");
        }
        pMem->clear();
        pMem->reserve(static_cast<std::size_t>(meta.nSize));
        job.pMem = pMem;
        if ((nRet = HvncRunStream(job, strWhy)) != HVNC_OK) {
            sodium_memzero(pMem->data(), pMem->size());
            pMem->clear();
            return Fail(nRet, strWhy);
        }
        return HVNC_OK;
    }

    if (pPending == nullptr) {  // verification
        job.bDiscard = true;
        nRet = HvncRunStream(job, strWhy);
        return nRet == HVNC_OK ? HVNC_OK : Fail(nRet, strWhy);
    }
    SHvncPending& pending = *pPending;
    pending.strFinal = strDest.empty() ? PlainNameOf(strEncrypted) : strDest;
    pending.bFreeName = true;
    pending.strRemove = strEncrypted;
    const std::string strDir = HvncIo::DirOf(pending.strFinal);
    pending.fd = HvncIo::CFd(HvncIo::MakeTemp(strDir, HvncIo::NameOf(pending.strFinal), pending.strTemp));
    if (!pending.fd.Valid()) {
        return Fail(errno == ENOSPC ? HVNC_NO_SPACE : HVNC_IO_ERROR,
                    "cannot create a file in " + strDir + ": " + std::strerror(errno));
    }
    job.fdOut = pending.fd.Get();
    nRet = HvncRunStream(job, strWhy);
    if (nRet == HVNC_OK) {
        const struct timespec times[2] = {{0, UTIME_OMIT},
                                          {static_cast<time_t>(meta.nMtimeSec), static_cast<long>(meta.nMtimeNsec)}};
        // Set-user and set-group bits are not given back to a file that came out of a container.
        if (::fchmod(pending.fd.Get(), meta.nMode & 01777u) != 0 || ::futimens(pending.fd.Get(), times) != 0) {
            nRet = HVNC_IO_ERROR;
            strWhy = "cannot restore the permissions and time of the output";
        }
    }
    if (nRet != HVNC_OK) {
        HvncCommit::Abandon(pending);
        return Fail(nRet, strWhy);
    }
    return HVNC_OK;
}
