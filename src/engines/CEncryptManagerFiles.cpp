// CEncryptManager: encrypting and decrypting files (the class's set-up is in CEncryptManager.cpp).
#include "engines/CEncryptManager.h"
#include "engines/CHvncCipher.h"
#include "engines/CHvncCommit.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyCache.h"
#include "engines/CHvncStream.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxName = NAME_MAX;

// Opens a job's source: only a regular file, a link only when the job follows links (a path given
// by a caller), and, where the caller asks, only the file it listed, unchanged. named gets what the
// name itself is (the link, when one was followed).
int OpenSource(const SHvncJob& job, HvncIo::CFd& fd, struct stat& st, struct stat& named, std::string& strWhy)
{
    const SHVFileRef& ref = job.src;
    const std::string strShown = ref.strDisplay.empty() ? ref.strName : ref.strDisplay;
    if (!HvncIo::IsPlainName(ref.strName)) {
        strWhy = strShown + " does not name a file";
        return HVNC_NOT_REGULAR;
    }
    const int nFollow = job.bFollow ? 0 : O_NOFOLLOW;
    fd = HvncIo::CFd(::openat(ref.nDirFd, ref.strName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | nFollow));
    if (!fd.Valid()) {
        const int nErr = errno;
        if (nErr == ELOOP) {
            strWhy = strShown + " is a symbolic link; it was not followed";
            return HVNC_NOT_REGULAR;
        }
        strWhy = "cannot open " + strShown + ": " + std::strerror(nErr);
        return nErr == ENOENT && ref.bCheckIdentity ? HVNC_CHANGED : HvncIo::ResultOfOpenErrno(nErr);
    }
    if (::fstat(fd.Get(), &st) != 0) {
        strWhy = "cannot examine " + strShown + ": " + std::strerror(errno);
        return HVNC_IO_ERROR;
    }
    if (!S_ISREG(st.st_mode)) {
        strWhy = strShown + " is not a regular file";
        return HVNC_NOT_REGULAR;
    }
    named = st;
    if (job.bFollow && ::fstatat(ref.nDirFd, ref.strName.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
        named = st;
    }
    if (ref.bCheckIdentity && (st.st_dev != ref.nDev || st.st_ino != ref.nIno)) {
        strWhy = strShown + " is no longer the file that was listed";
        return HVNC_CHANGED;
    }
    if (ref.bCheckIdentity && ref.bCheckUnchanged
        && (static_cast<std::uint64_t>(st.st_size) != ref.nSize || HvncIo::NsOf(st.st_mtim) != ref.nMtimeNs
            || HvncIo::NsOf(st.st_ctim) != ref.nCtimeNs)) {
        strWhy = strShown + " changed after it was listed";
        return HVNC_CHANGED;
    }
    return HVNC_OK;  // O_NONBLOCK (against FIFOs) does not affect regular files
}

// The source as it is now, against what was read. The encrypted file must hold the whole file
// as it stands, or the caller (who may wipe the source next) would lose what changed: a file
// that grew, shrank or was written to after it was read, or a name that now holds another file,
// fails the encryption. A source removed meanwhile is no change: what was read is complete.
int SourceUnchanged(const SHvncJob& job, int fd, const struct stat& before, std::string& strWhy)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) != 0 || now.st_size != before.st_size || now.st_mtim.tv_sec != before.st_mtim.tv_sec
        || now.st_mtim.tv_nsec != before.st_mtim.tv_nsec) {
        strWhy = "the source changed while it was being encrypted";
        return HVNC_CHANGED;
    }
    struct stat named
    {
    };
    const int nFlags = job.bFollow ? 0 : AT_SYMLINK_NOFOLLOW;
    if (::fstatat(job.src.nDirFd, job.src.strName.c_str(), &named, nFlags) == 0
        && (named.st_dev != now.st_dev || named.st_ino != now.st_ino)) {
        strWhy = "the source was replaced while it was being encrypted";
        return HVNC_CHANGED;
    }
    return HVNC_OK;
}

std::string PlainNameOf(const std::string& strName)
{
    if (strName.size() > 5 && strcasecmp(strName.c_str() + strName.size() - 5, ".hvnc") == 0) {
        return strName.substr(0, strName.size() - 5);
    }
    return strName;  // taken by the encrypted file itself: the free-name rule gives "name(1)"
}

// Creates the temporary output in the job's destination folder.
int CreateOutput(const SHvncJob& job, const std::string& strFinal, SHvncPending& pending, std::string& strWhy)
{
    pending.dir = job.destDir;
    pending.strFinal = strFinal;
    if (!HvncIo::IsPlainName(strFinal)) {
        strWhy = "\"" + strFinal + "\" is not a file name";
        return HVNC_FAILED;
    }
    if (strFinal.size() > kMaxName) {
        strWhy = "the output name " + HvncIo::JoinPath(job.destDir.strShown, strFinal) + " is too long";
        return HVNC_NAME_TOO_LONG;
    }
    std::string strFailure;
    pending.fd = HvncIo::CFd(HvncIo::MakeTempAt(job.destDir.nFd, strFinal, pending.strTemp, strFailure));
    if (!pending.fd.Valid()) {
        const int nErr = errno;
        const std::string strDir = job.destDir.strShown.empty() ? std::string(".") : job.destDir.strShown;
        strWhy = "cannot create a file in " + strDir + ": " + strFailure;
        return HvncIo::ResultOfOpenErrno(nErr);
    }
    pending.bUnnamed = pending.strTemp.empty();
    return HVNC_OK;
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

int CEncryptManager::EncryptOne(const SHvncJob& job, SHvncPending& pending)
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
    struct stat named
    {
    };
    int nRet = OpenSource(job, in, st, named, strWhy);
    if (nRet != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    const std::string strDest = job.strDestName.empty() ? job.src.strName + ".hvnc" : job.strDestName;
    if (HvncIo::ExistsAt(job.destDir.nFd, strDest)) {
        return Fail(HVNC_EXISTS,
                    "the output file " + HvncIo::JoinPath(job.destDir.strShown, strDest) + " already exists");
    }

    CHvncHeader hdr;
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
    // The mode as the user had it, before the caller made the file writable for processing.
    meta.nMode = (job.src.nOriginalMode >= 0 ? static_cast<std::uint32_t>(job.src.nOriginalMode) : st.st_mode) & 07777u;
    meta.nMtimeSec = st.st_mtim.tv_sec;
    meta.nMtimeNsec = static_cast<std::uint32_t>(st.st_mtim.tv_nsec);
    meta.Write(block.data() + 32);

    std::uint8_t bytes[CHvncHeader::kSize];
    hdr.WriteAad(bytes);
    CHvncCipher wrap;
    CHvncCipher content;
    if (!wrap.Init(pKek->data(), pKek->size())
        || !wrap.Seal(hdr.wrapNonce.data(),
                      bytes,
                      CHvncHeader::kAadSize,
                      block.data(),
                      block.size(),
                      hdr.sealedKeys.data(),
                      hdr.sealedKeys.data() + CHvncHeader::kKeyBlockSize)
        || !content.Init(block.data(), static_cast<std::size_t>(m_nKeyLen))) {
        return Fail(HVNC_FAILED, "cipher set-up failed");
    }
    hdr.Write(bytes);

    if ((nRet = CreateOutput(job, strDest, pending, strWhy)) != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    {
        SHvncStreamJob stream;
        stream.bEncrypt = true;
        stream.pPrefix = bytes;
        stream.nPrefix = sizeof bytes;
        stream.fdIn = in.Get();
        stream.fdOut = pending.fd.Get();
        stream.nPlainSize = meta.nSize;
        stream.pCipher = &content;
        stream.pStop = &m_sigStop;
        stream.pSink = &m_sink;
        nRet = HvncRunStream(stream, strWhy);
    }
    if (nRet == HVNC_OK) {
        nRet = SourceUnchanged(job, in.Get(), st, strWhy);
    }
    if (nRet == HVNC_OK && ::fchmod(pending.fd.Get(), meta.nMode & 0666u) != 0) {
        pending.strWarning =
            "the file system cannot keep the permissions of the output (" + std::string(std::strerror(errno)) + ")";
    }
    if (nRet != HVNC_OK) {
        HvncCommit::Abandon(pending);
        return Fail(nRet, strWhy);
    }
    return HVNC_OK;
}

int CEncryptManager::DecryptOne(const SHvncJob& job, SHvncPending* pPending, std::vector<std::uint8_t>* pMem)
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
    struct stat named
    {
    };
    int nRet = OpenSource(job, in, st, named, strWhy);
    if (nRet != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    std::uint8_t bytes[CHvncHeader::kSize];
    const ssize_t nRead = HvncIo::ReadFull(in.Get(), bytes, sizeof bytes);
    if (nRead < 0) {
        return Fail(HVNC_IO_ERROR,
                    "cannot read " + (job.src.strDisplay.empty() ? job.src.strName : job.src.strDisplay));
    }
    CHvncHeader hdr;
    if ((nRet = hdr.Parse(bytes, static_cast<std::size_t>(nRead), strWhy)) != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    const CSecureBuffer* pKek = nullptr;
    if ((nRet = KeyFor(hdr.salt.data(), hdr.nMemKiB, hdr.nPasses, pKek)) != HVNC_OK) {
        return nRet;
    }
    CScratchWiper wiper(m_keyBlock);
    CSecureBuffer& block = m_keyBlock;
    CHvncCipher wrap;
    if (block.size() != CHvncHeader::kKeyBlockSize || !wrap.Init(pKek->data(), pKek->size())) {
        return Fail(HVNC_FAILED, "cipher set-up failed");
    }
    if (!wrap.Open(hdr.wrapNonce.data(),
                   bytes,
                   CHvncHeader::kAadSize,
                   hdr.sealedKeys.data(),
                   CHvncHeader::kKeyBlockSize,
                   block.data(),
                   hdr.sealedKeys.data() + CHvncHeader::kKeyBlockSize)) {
        return Fail(HVNC_WRONG_PASSWORD, "wrong password");
    }
    SHvncMeta meta;
    if (!meta.Read(block.data() + 32)) {
        return Fail(HVNC_CORRUPT, "the file's metadata is invalid");
    }
    const std::uint64_t nExpected = CHvncHeader::kSize + CHvncHeader::ContentSize(meta.nSize);
    if (static_cast<std::uint64_t>(st.st_size) != nExpected) {
        return Fail(HVNC_CORRUPT,
                    static_cast<std::uint64_t>(st.st_size) < nExpected ? "the encrypted file is truncated"
                                                                       : "the encrypted file has extra bytes");
    }
    CHvncCipher content;
    if (!content.Init(block.data(), static_cast<std::size_t>(CHvncHeader::KeyLenOfCipher(hdr.nCipher)))) {
        return Fail(HVNC_FAILED, "cipher set-up failed");
    }
    SHvncStreamJob stream;
    stream.bEncrypt = false;
    stream.fdIn = in.Get();
    stream.nPlainSize = meta.nSize;
    stream.pCipher = &content;
    stream.pStop = &m_sigStop;
    stream.pSink = &m_sink;
    if (pMem != nullptr) {
        if (meta.nSize > kMaxMemoryPlain) {
            return Fail(HVNC_FAILED, "the file is too large to be decrypted into memory");
        }
        pMem->clear();
        pMem->reserve(static_cast<std::size_t>(meta.nSize));
        stream.pMem = pMem;
        if ((nRet = HvncRunStream(stream, strWhy)) != HVNC_OK) {
            sodium_memzero(pMem->data(), pMem->size());
            pMem->clear();
            return Fail(nRet, strWhy);
        }
        return HVNC_OK;
    }

    if (pPending == nullptr) {  // verification
        stream.bDiscard = true;
        nRet = HvncRunStream(stream, strWhy);
        return nRet == HVNC_OK ? HVNC_OK : Fail(nRet, strWhy);
    }
    SHvncPending& pending = *pPending;
    if ((nRet = CreateOutput(
             job, job.strDestName.empty() ? PlainNameOf(job.src.strName) : job.strDestName, pending, strWhy))
        != HVNC_OK) {
        return Fail(nRet, strWhy);
    }
    pending.bFreeName = true;
    pending.removeDir = job.srcDir;
    pending.strRemove = job.src.strName;
    pending.nRemoveDev = named.st_dev;
    pending.nRemoveIno = named.st_ino;
    stream.fdOut = pending.fd.Get();
    stream.bSparse = true;
    nRet = HvncRunStream(stream, strWhy);
    // Runs of zeros were skipped as holes: the size is set once at the end.
    if (nRet == HVNC_OK && ::ftruncate(pending.fd.Get(), static_cast<off_t>(meta.nSize)) != 0) {
        nRet = errno == ENOSPC || errno == EDQUOT ? HVNC_NO_SPACE : HVNC_IO_ERROR;
        strWhy = "cannot set the size of the output: " + std::string(std::strerror(errno));
    }
    if (nRet == HVNC_OK) {
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
    if (nRet != HVNC_OK) {
        HvncCommit::Abandon(pending);
        return Fail(nRet, strWhy);
    }
    return HVNC_OK;
}
