// CEncryptManager: encrypting and decrypting files (the class's set-up is in CEncryptManager.cpp).
#include "engines/CEncryptManager.h"
#include "engines/CHvncCipher.h"
#include "engines/CHvncCommit.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncJob.h"
#include "engines/CHvncKeyBlock.h"
#include "engines/CHvncKeyCache.h"
#include "engines/CHvncStream.h"
#include "engines/HVTempNames.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

SHvncResult CEncryptManager::KeyFor(const std::uint8_t* pSalt,
                                    std::uint32_t nMemKiB,
                                    std::uint32_t nPasses,
                                    const CSecureBuffer*& pKek)
{
    CHvncKeyCache::Salt salt{};
    std::memcpy(salt.data(), pSalt, salt.size());
    pKek = m_keys->Get(m_password, salt, nMemKiB, nPasses);
    if (pKek == nullptr) {
        return {EHvnc::Failed, "key derivation failed (not enough memory?)"};
    }
    return {};
}

SHvncResult CEncryptManager::OpenInput(const SHvncJob& job, bool bEncrypt, SHvncSource& src) const
{
    if (!m_bReady) {
        return {EHvnc::Failed, "the cryptographic library could not be initialised"};
    }
    if (!m_bHavePassword) {
        return {EHvnc::Failed, "no password was given"};
    }
    // A temporary of the engines (an output being written, a file being wiped) is never user data.
    if (bEncrypt && HVIsOwnTemporaryName(job.src.strName)) {
        return {EHvnc::NotRegular, job.src.strName + " is a temporary file of this program, not user data"};
    }
    return HvncJob::OpenSource(job, src);
}

SHvncResult CEncryptManager::EncryptOne(const SHvncJob& job, SHvncPending& pending)
{
    SHvncSource input;
    SHvncResult r = OpenInput(job, true, input);
    if (!r.Ok()) {
        return r;
    }
    const std::string strDest = job.strDestName.empty() ? job.src.strName + ".hvnc" : job.strDestName;
    if (HvncIo::ExistsAt(job.destDir.nFd, strDest)) {
        return {EHvnc::Exists,
                "the output file " + HvncIo::JoinPath(job.destDir.strShown, strDest) + " already exists"};
    }

    CHvncHeader hdr;
    hdr.nVersion = m_nWriteVersion;
    hdr.nCipher = CHvncHeader::CipherOfKeyLen(m_nKeyLen);
    hdr.nMemKiB = m_nKdfMemKiB;
    hdr.nPasses = m_nKdfPasses;
    hdr.salt = m_keys->EncryptionSalt(hdr.nMemKiB, hdr.nPasses);
    const CSecureBuffer* pKek = nullptr;
    if (!(r = KeyFor(hdr.salt.data(), hdr.nMemKiB, hdr.nPasses, pKek)).Ok()) {
        return r;
    }
    // Key block: the random data key, then the metadata to restore.
    CScratchWiper wiper(m_keyBlock);
    CSecureBuffer& block = m_keyBlock;
    if (block.size() != CHvncHeader::kKeyBlockSize) {
        return {EHvnc::Failed, "out of secure memory"};
    }
    // One call for the data key (bytes 0..31) and the key-block nonce (32..43).
    randombytes_buf(block.data(), 32 + hdr.wrapNonce.size());
    std::memcpy(hdr.wrapNonce.data(), block.data() + 32, hdr.wrapNonce.size());
    SHvncMeta meta;
    meta.nSize = static_cast<std::uint64_t>(input.st.st_size);
    // The mode as the user had it, before the caller made the file writable for processing.
    meta.nMode =
        (job.src.nOriginalMode >= 0 ? static_cast<std::uint32_t>(job.src.nOriginalMode) : input.st.st_mode) & 07777u;
    meta.nMtimeSec = input.st.st_mtim.tv_sec;
    meta.nMtimeNsec = static_cast<std::uint32_t>(input.st.st_mtim.tv_nsec);
    meta.Write(block.data() + 32);

    std::uint8_t bytes[CHvncHeader::kMaxSize];
    CHvncCipher content;
    if (!CHvncKeyBlock::Seal(hdr, *pKek, block, bytes)
        || !content.Init(block.data(), static_cast<std::size_t>(m_nKeyLen))) {
        return {EHvnc::Failed, "cipher set-up failed"};
    }

    if (!(r = HvncJob::CreateOutput(job, strDest, pending)).Ok()) {
        return r;
    }
    {
        SHvncStreamJob stream;
        stream.bEncrypt = true;
        stream.pPrefix = bytes;
        stream.nPrefix = hdr.Size();
        stream.fdIn = input.fd.Get();
        stream.fdOut = pending.fd.Get();
        stream.nPlainSize = meta.nSize;
        stream.pCipher = &content;
        stream.pStop = &m_sigStop;
        stream.pSink = &m_sink;
        r = HvncRunStream(stream);
    }
    if (r.Ok()) {
        r = HvncJob::SourceUnchanged(job, input.fd.Get(), input.st);
    }
    if (r.Ok() && ::fchmod(pending.fd.Get(), meta.nMode & 0666u) != 0) {
        pending.strWarning =
            "the file system cannot keep the permissions of the output (" + std::string(std::strerror(errno)) + ")";
    }
    if (!r.Ok()) {
        HvncCommit::Abandon(pending);
    }
    return r;
}

SHvncResult CEncryptManager::DecryptOne(const SHvncJob& job, SHvncPending* pPending, std::vector<std::uint8_t>* pMem)
{
    SHvncSource input;
    SHvncResult r = OpenInput(job, false, input);
    if (!r.Ok()) {
        return r;
    }
    std::uint8_t bytes[CHvncHeader::kMaxSize];
    CHvncHeader hdr;
    if (!(r = hdr.ReadFrom(input.fd.Get(), bytes)).Ok()) {
        if (r.eCode == EHvnc::IoError) {
            r.strReason = "cannot read " + (job.src.strDisplay.empty() ? job.src.strName : job.src.strDisplay);
        }
        return r;
    }
    const CSecureBuffer* pKek = nullptr;
    if (!(r = KeyFor(hdr.salt.data(), hdr.nMemKiB, hdr.nPasses, pKek)).Ok()) {
        return r;
    }
    CScratchWiper wiper(m_keyBlock);
    CSecureBuffer& block = m_keyBlock;
    SHvncMeta meta;
    if (!(r = CHvncKeyBlock::Open(hdr, *pKek, block, meta)).Ok()) {
        return r;
    }
    const std::uint64_t nExpected = hdr.Size() + CHvncHeader::ContentSize(meta.nSize);
    if (static_cast<std::uint64_t>(input.st.st_size) != nExpected) {
        return {EHvnc::Corrupt,
                static_cast<std::uint64_t>(input.st.st_size) < nExpected ? "the encrypted file is truncated"
                                                                         : "the encrypted file has extra bytes"};
    }
    CHvncCipher content;
    if (!content.Init(block.data(), static_cast<std::size_t>(CHvncHeader::KeyLenOfCipher(hdr.nCipher)))) {
        return {EHvnc::Failed, "cipher set-up failed"};
    }
    SHvncStreamJob stream;
    stream.bEncrypt = false;
    stream.fdIn = input.fd.Get();
    stream.nPlainSize = meta.nSize;
    stream.pCipher = &content;
    stream.pStop = &m_sigStop;
    stream.pSink = &m_sink;
    if (pMem != nullptr) {
        if (meta.nSize > kMaxMemoryPlain) {
            return {EHvnc::Failed, "the file is too large to be decrypted into memory"};
        }
        pMem->clear();
        pMem->reserve(static_cast<std::size_t>(meta.nSize));
        stream.pMem = pMem;
        if (!(r = HvncRunStream(stream)).Ok()) {
            sodium_memzero(pMem->data(), pMem->size());
            pMem->clear();
        }
        return r;
    }

    if (pPending == nullptr) {  // verification
        stream.bDiscard = true;
        return HvncRunStream(stream);
    }
    SHvncPending& pending = *pPending;
    const std::string strFinal = job.strDestName.empty() ? HvncJob::PlainNameOf(job.src.strName) : job.strDestName;
    if (!(r = HvncJob::CreateOutput(job, strFinal, pending)).Ok()) {
        return r;
    }
    pending.bFreeName = true;
    pending.removeDir = job.srcDir;
    pending.strRemove = job.src.strName;
    pending.nRemoveDev = input.named.st_dev;
    pending.nRemoveIno = input.named.st_ino;
    stream.fdOut = pending.fd.Get();
    stream.bSparse = true;
    r = HvncRunStream(stream);
    // Runs of zeros were skipped as holes: the size is set once at the end.
    if (r.Ok() && ::ftruncate(pending.fd.Get(), static_cast<off_t>(meta.nSize)) != 0) {
        r = {errno == ENOSPC || errno == EDQUOT ? EHvnc::NoSpace : EHvnc::IoError,
             "cannot set the size of the output: " + std::string(std::strerror(errno))};
    }
    if (r.Ok()) {
        const struct timespec times[2] = {{0, UTIME_OMIT},
                                          {static_cast<time_t>(meta.nMtimeSec), static_cast<long>(meta.nMtimeNsec)}};
        // Set-user and set-group bits are not given back to a file that came out of a container.
        // What the file system cannot keep (modes on vfat) is a warning: the content is complete.
        if (::fchmod(pending.fd.Get(), meta.nMode & 01777u) != 0) {
            pending.strWarning =
                "the file system cannot keep the permissions (" + std::string(std::strerror(errno)) + ")";
        }
        if (::futimens(pending.fd.Get(), times) != 0) {
            pending.strWarning += std::string(pending.strWarning.empty() ? "" : "; ")
                                  + "the file system cannot keep the modification time";
        }
    }
    if (!r.Ok()) {
        HvncCommit::Abandon(pending);
    }
    return r;
}
