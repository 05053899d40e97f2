#pragma once

#include "engines/CSecureBuffer.h"
#include "engines/HVFileRef.h"
#include "engines/HVProgress.h"
#include "engines/HvncResult.h"
#include "signal/CSignal.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CHvncKeyCache;
struct SHvncJob;
struct SHvncPending;
struct SHvncSource;

// The encryption engine: turns files into ".hvnc" files and back (format in docs/hvnc-format.md).
//
// One object per run. The password-derived key is computed once per object for each salt and
// cost, so a run over many files pays for the key derivation once. Output is written through a
// temporary file in the destination folder, made durable, and renamed into place without ever
// replacing an existing file; on failure, cancellation or a crash nothing appears under the
// final name and the source is left untouched.
class CEncryptManager
{
public:
    CSignal m_sigBusy;  // set by the runner while its worker uses this engine
    CSignal m_sigStop;  // set to make the running operation end early (result HVNC_CANCELLED)

    CEncryptManager();
    virtual ~CEncryptManager();
    CEncryptManager(const CEncryptManager&) = delete;
    CEncryptManager& operator=(const CEncryptManager&) = delete;

    void SetParent(HVProgressSink sink);

    // Key length in bytes: 16, 24 or 32 (AES-128/192/256-GCM); another length keeps the
    // current one. The engine keeps its own copy of the password. Returns 1 when the key length
    // was taken, 0 otherwise.
    int EnablerEncryptionType(int nKeyLen, std::u16string_view password);

    // Encrypts strSource into strDest ("": strSource + ".hvnc"). The reason is the failure's, or
    // the warning of a success.
    [[nodiscard]] SHvncResult Encrypt(const std::string& strSource, const std::string& strDest = {});
    // Decrypts into strDest ("": the name without ".hvnc", or a free "name(1).ext"), then removes
    // the encrypted file.
    [[nodiscard]] SHvncResult Decrypt(const std::string& strEncrypted, const std::string& strDest = {});
    // Decrypts into memory (at most kMaxMemoryPlain bytes of plain text); the file stays.
    [[nodiscard]] SHvncResult Decrypt(const std::string& strEncrypted, std::vector<std::uint8_t>& memOut);

    // The integer interface over the three above. EncryptFileW: non-zero = success (nSize and
    // nFlag are accepted for the callers' sake; the engine reads the file's real size).
    // DecryptFileW: the EHvnc code, 0 = success, 2 = wrong password.
    [[nodiscard]] int
    EncryptFileW(const std::string& strSource, const char* pszDest = nullptr, std::uint64_t nSize = 0, int nFlag = 1);
    [[nodiscard]] int DecryptFileW(const std::string& strEncrypted, const std::string& strDest = std::string());
    [[nodiscard]] int DecryptFileW(const std::string& strEncrypted, std::vector<std::uint8_t>& memOut);

    // The same for files named by folder descriptor and name (see SHVFileRef); each returns an
    // EHvnc code (HVNC_OK = 0 on success) and records it as GetLastResult(). The output goes into
    // the folder nDestDirFd (-1: the source's folder) under strDestName ("": the default name as
    // above); GetLastOutputPath() then holds the output's name in that folder. DecryptFileAt removes
    // the encrypted file (unlinkat in its folder, after checking it is still the listed file).
    [[nodiscard]] int EncryptFileAt(const SHVFileRef& source, int nDestDirFd = -1, const std::string& strDestName = {});
    [[nodiscard]] int
    DecryptFileAt(const SHVFileRef& encrypted, int nDestDirFd = -1, const std::string& strDestName = {});
    // Batches of the above into each file's own folder, syncs shared as in EncryptFilesW.
    // results[i] gets the EHvnc code of files[i]; returns non-zero when every file succeeded.
    [[nodiscard]] int EncryptFilesAt(const std::vector<SHVFileRef>& files, std::vector<int>& results);
    [[nodiscard]] int DecryptFilesAt(const std::vector<SHVFileRef>& files, std::vector<int>& results);

    // Checks that the password opens the file and every chunk is intact; writes nothing.
    [[nodiscard]] int VerifyFileW(const std::string& strEncrypted);

    void SetPassword(std::u16string_view password);

    // 32 bytes that depend only on the password (Argon2id at the built-in default cost with a
    // fixed salt of this program). Writes min(nSize, 32) bytes. Returns 1 on success, 0 otherwise.
    static int GetEncryptionSignature(std::u16string_view password, std::uint8_t* pOut, std::size_t nSize = 32);
    // Non-zero when the password yields that signature (constant-time comparison).
    [[nodiscard]] static int
    CompareEncryptionPasswords(std::u16string_view password, const std::uint8_t* pSig, std::size_t nSize = 32);
    // The salted signature: the 16-byte salt followed by the first 16 bytes of Argon2id(password,
    // salt) at the built-in default cost. nSaltSize must be 16; writes min(nSize, 32) bytes.
    // Returns 1 on success, 0 otherwise.
    static int GetEncryptionSignature(std::u16string_view password,
                                      const std::uint8_t* pSalt,
                                      std::size_t nSaltSize,
                                      std::uint8_t* pOut,
                                      std::size_t nSize);

    [[nodiscard]] int GetLastResult() const { return m_nLastResult; }
    [[nodiscard]] const std::string& GetLastError() const { return m_strLastError; }
    [[nodiscard]] const std::string& GetLastOutputPath() const { return m_strLastOutput; }
    // What the output's file system could not keep of the last success (its modes or time: a
    // warning, not a failure); "" when everything was kept.
    [[nodiscard]] const std::string& GetLastWarning() const { return m_strLastWarning; }

    // Removes the named temporary outputs of processes that are gone (recorded in the data folder,
    // see CHvncStaleTemps); the first output a process writes does this too. strDataFolder: the
    // data folder of the records ("" keeps the one set before, or the default). Returns the number
    // removed. The program calls this at start, with CWipeManager::FinishPendingWipes.
    static int RemoveStaleTemporaries(const std::string& strDataFolder);

    // Argon2id cost of this object's encryptions (clamped to what the reader accepts).
    void SetKdfCost(std::uint32_t nMemKiB, std::uint32_t nPasses);
    // Process-wide default cost for objects constructed afterwards.
    static void SetDefaultKdfCost(std::uint32_t nMemKiB, std::uint32_t nPasses);
    // Format version of new files: 2 (the default, key-committing); 1 only to make files for
    // tests of the version 1 reader. Returns false (version unchanged) for other versions.
    bool SetWriteVersion(std::uint16_t nVersion);

    // Many files at once: each output is made durable and put in place before the call returns,
    // but the syncs are shared by the whole batch. results[i] gets the EHvnc code of
    // files[i]; GetLastOutputPath is not meaningful afterwards. Returns non-zero when every
    // file succeeded.
    [[nodiscard]] int EncryptFilesW(const std::vector<std::string>& files, std::vector<int>& results);
    [[nodiscard]] int DecryptFilesW(const std::vector<std::string>& files, std::vector<int>& results);
    // Reason of each file's failure in the last EncryptFilesW / DecryptFilesW ("" for success).
    [[nodiscard]] const std::vector<std::string>& GetBatchReasons() const { return m_batchReasons; }
    // Warnings of each file's success in the last batch ("" for none).
    [[nodiscard]] const std::vector<std::string>& GetBatchWarnings() const { return m_batchWarnings; }

    static constexpr std::size_t kMaxMemoryPlain = 16u << 20;
    static constexpr std::uint32_t kDefaultKdfMemKiB = 256u * 1024u;
    static constexpr std::uint32_t kDefaultKdfPasses = 3;

private:
    // Makes r the last result (GetLastResult, GetLastError); returns its code.
    int Record(const SHvncResult& r);
    SHvncResult Recorded(SHvncResult r);
    // makeJob(i, job) sets up file i of nCount (a failure is that file's result).
    using JobMaker = std::function<SHvncResult(std::size_t, SHvncJob&)>;
    int RunBatch(bool bEncrypt, std::size_t nCount, const JobMaker& makeJob, std::vector<int>& results);
    // One file, its output put in place; the result is recorded (a success's reason is its warning).
    SHvncResult RunOne(bool bEncrypt, SHvncJob& job);
    // Checks the engine is ready and opens the job's source (never one of the engines' temporaries).
    SHvncResult OpenInput(const SHvncJob& job, bool bEncrypt, SHvncSource& src) const;
    SHvncResult EncryptOne(const SHvncJob& job, SHvncPending& pending);
    // Into pending (a temporary file), when pMem is given into memory, else only checked.
    SHvncResult DecryptOne(const SHvncJob& job, SHvncPending* pPending, std::vector<std::uint8_t>* pMem);
    // Password-derived key for (salt, cost), from the cache when it was derived before.
    SHvncResult
    KeyFor(const std::uint8_t* pSalt, std::uint32_t nMemKiB, std::uint32_t nPasses, const CSecureBuffer*& pKek);

    HVProgressSink m_sink;
    CSecureBuffer m_password;
    bool m_bHavePassword = false;
    bool m_bReady = false;  // libsodium initialised and secure memory available
    int m_nKeyLen = 32;
    std::uint32_t m_nKdfMemKiB;
    std::uint32_t m_nKdfPasses;
    std::uint16_t m_nWriteVersion;
    std::unique_ptr<CHvncKeyCache> m_keys;
    CSecureBuffer m_keyBlock;  // scratch for a file's data key and metadata, wiped after use
    int m_nLastResult = 0;
    std::string m_strLastError;
    std::string m_strLastOutput;
    std::vector<std::string> m_batchReasons;
    std::vector<std::string> m_batchWarnings;
    std::string m_strLastWarning;
};
