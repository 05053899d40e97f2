#pragma once

#include "engines/CEncryptManager.h"
#include "engines/CWipeManager.h"
#include "security/CRunFolder.h"
#include "security/CRunLock.h"
#include "security/CRunWorker.h"
#include "security/IProgrssManagerUi.h"
#include "security/SRunCounters.h"
#include "security/SRunDetails.h"
#include "security/SRunFile.h"
#include "security/SRunOptions.h"

#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class CItemData;

// The work of the encrypt, wipe and decrypt runner, without any widget: the progress dialog
// (or a terminal) shows what it reports and answers its questions through IProgrssManagerUi.
//
// Use:
//   CProgrssManagerWork work;               // fresh engines for every run
//   work.SetSelectedItems(items);           // not owned; must outlive the run
//   work.SetPassword(password);             // the run's password (master or user-defined)
//   work.SetMasterPassword(master);         // for the silent retry of a decryption
//   work.Initialise(options, &ui);          // engines configured, busy set, stop cleared
//   work.Start();                           // the worker thread (or Run() on this thread)
//   ... Cancel(), or wait until ui.RunEnded() and Join()
//   work.Counters(), the items' states, work.Files(); ClearFileList() when done.
//
// The busy and stop signals of the run are the encryption engine's pair (BusySignal(),
// StopSignal()); the thread, the join and the cancel are CRunWorker's.
// The wipe engines have stop signals of their own: RequestStop() and Cancel() set them at once
// (the run's wipe engine and those of a window's parallel wipes), and a stop set straight on
// StopSignal() reaches a running wipe at its next write, so a long wipe ends early either way.
class CProgrssManagerWork : public CRunWorker
{
public:
    using FileList = std::vector<std::unique_ptr<CItemData>>;
    // Test seams.
    using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::string& strFolder)>;
    using FileHook = std::function<void(std::size_t nIndex, const CItemData& entry)>;
    using NameObserver = std::function<void(const std::string& strPath)>;

    CProgrssManagerWork();
    ~CProgrssManagerWork() override;  // stops and joins a worker that still runs

    CProgrssManagerWork(const CProgrssManagerWork&) = delete;
    CProgrssManagerWork& operator=(const CProgrssManagerWork&) = delete;

    // Inputs, before Initialise.
    void SetSelectedItems(const std::vector<CItemData*>& items) { m_arrSelected = items; }
    // The passwords as UTF-16 code units; the work keeps copies of its own.
    void SetPassword(const CSecureBuffer& utf16);
    void SetMasterPassword(const CSecureBuffer& utf16);

    // Configures the engines for the run, sets busy, clears stop, clears the password copy and
    // zeroes the counters. ui may be null: questions are then answered no and prompts refused.
    void Initialise(const SRunOptions& options, IProgrssManagerUi* pUi);

    // The work on the calling thread; returns 0 on every path.
    int Run() override;

    // Sets stop (the wipe engines' first, then the run's); Cancel clears every stop.
    void RequestStop() override;

    [[nodiscard]] CSignal& BusySignal() override { return m_encrypt.m_sigBusy; }
    [[nodiscard]] CSignal& StopSignal() override { return m_encrypt.m_sigStop; }

    [[nodiscard]] const SRunCounters& Counters() const { return m_counters; }
    [[nodiscard]] const FileList& Files() const { return m_arrFiles; }
    // Beside each entry of Files(): its folder (by descriptor), name bytes and identity.
    [[nodiscard]] const std::vector<SRunFile>& RunFiles() const { return m_arrRunFiles; }
    [[nodiscard]] const SRunDetails& Details() const { return m_details; }
    void ClearFileList()
    {
        m_arrFiles.clear();
        m_arrRunFiles.clear();
        m_folders.Clear();
    }
    [[nodiscard]] bool WasCancelled() const { return m_bCancelled; }
    [[nodiscard]] bool WasNoSpace() const { return m_bNoSpace; }
    // The run was refused before it began (another run holds the run lock).
    [[nodiscard]] bool WasLocked() const { return m_bLocked; }
    [[nodiscard]] bool HasPasswordCopy() const { return !m_strPassword.empty(); }
    [[nodiscard]] int GetEncryptFlag() const { return m_bEncryptFlag; }
    [[nodiscard]] int GetWipeFlag() const { return m_bWipeFlag; }
    [[nodiscard]] int GetHideAfterFlag() const { return m_bHideAfterFlag; }

    // The engines, for a caller that must reach them (test seams of the wipe engine).
    [[nodiscard]] CEncryptManager& EncryptEngine() { return m_encrypt; }
    [[nodiscard]] CWipeManager& WipeEngine() { return m_wipe; }

    void SetFreeSpaceQuery(FreeSpaceQuery fn) { m_freeSpace = std::move(fn); }
    // Between listing and acting on each file (index in Files()).
    void SetBeforeFileHook(FileHook fn) { m_beforeFile = std::move(fn); }
    // After a file's encryption, right before its wipe is decided.
    void SetBeforeWipeHook(FileHook fn) { m_beforeWipe = std::move(fn); }
    void SetListingObserver(NameObserver fn) { m_listingObserver = std::move(fn); }
    // Given to every wipe engine of the run (also the parallel ones of a window), from any thread.
    void SetWipePassObserver(CWipeManager::PassObserver fn) { m_wipePassObserver = std::move(fn); }
    // Files per window (1: every file on its own).
    void SetWindowFiles(std::size_t nFiles) { m_nWindowFiles = nFiles == 0 ? 1 : nFiles; }

    static constexpr std::size_t kWindowFiles = 64;          // files per window at most
    static constexpr std::uint64_t kWindowBytes = 4u << 20;  // bytes per window at most
    static constexpr unsigned kWipeThreads = 8;              // parallel wipes of a window

private:
    enum class EStep
    {
        Next,       // on to the next file
        Cancelled,  // the stop signal ended the run
        EndRun,     // the run ends here, not cancelled
    };

    void BuildFileList();
    [[nodiscard]] bool CheckFreeSpace(std::uint64_t nTotal);
    // How the wipe of a listed file is to be done, decided in list order on the worker thread.
    enum class EWipeHow
    {
        Wipe,        // overwrite and remove (the engine)
        RemoveName,  // remove only this name: a selected link, or a name the user gave up
        Refused,     // not to be wiped; the reason is given
    };

    [[nodiscard]] EStep DecryptOne(std::size_t nIndex);
    // How the prompts of a decryption ended: no password given (the run ends), or the file
    // skipped because no given password opened it (the run goes on).
    struct SDecryptEnd
    {
        bool bRefused = false;
        bool bSkipped = false;
    };
    // After a wrong password: the silent retry under the master password, then the prompts.
    // Returns the last result.
    [[nodiscard]] int RetryDecrypt(const CItemData& entry, const SHVFileRef& ref, int nResult, SDecryptEnd& end);
    // A decryption's counters, state and reason, in list order.
    [[nodiscard]] EStep CountDecrypt(
        std::size_t nIndex, int nResult, const SDecryptEnd& end, std::string strWhy, const std::string& strEngine);
    // Small encrypted files decrypted in windows (one engine batch, its syncs shared); the results
    // are applied in list order, and a wrong password takes the one-by-one retry in its turn.
    // When the run ends in the window, nEnd becomes the first file not started.
    [[nodiscard]] EStep DecryptWindow(std::size_t nBegin, std::size_t& nEnd);
    [[nodiscard]] EStep SecureOne(std::size_t nIndex);
    [[nodiscard]] int EncryptListed(int nDirFd, SRunFile& file, std::string& strWhy);
    // Removes only this name of a listed file (a selected link, or one name of several).
    [[nodiscard]] int RemoveName(int nDirFd, const SRunFile& file, std::string& strWhy);
    [[nodiscard]] EWipeHow
    DecideWipe(int nDirFd, const SRunFile& file, const CItemData& entry, int& nResult, std::string& strWhy);
    void CountWipe(
        CItemData& owner, const SRunFile& file, int nResult, const std::string& strWhy, const std::string& strWeak);
    void Problem(const CItemData& owner, const SRunFile& file, const char* pszStep, const std::string& strWhy);
    // Small files go through in windows: attribute checks in list order, one encryption batch
    // whose syncs are shared, the wipe decisions replayed in list order, the wipes in parallel,
    // the wipe states applied in list order. Counters and states come out as file by file.
    [[nodiscard]] std::size_t WindowEnd(std::size_t nBegin) const;
    [[nodiscard]] EStep SecureWindow(std::size_t nBegin, std::size_t nEnd);
    void WipeInParallel(const std::vector<SHVFileRef>& files,
                        std::vector<int>& results,
                        std::vector<std::string>& whys,
                        std::vector<std::string>& weak);
    void ConfigureWipe(CWipeManager& wipe, HVProgressSink sink) const;
    // A stop set on StopSignal() alone reaches the wipe engine here (before a wipe, and at each
    // of its progress notices).
    void ForwardStop(CWipeManager& wipe) const;
    void ClearStop() override;
    void AddWipeEngine(CWipeManager* pWipe);
    void RemoveWipeEngine(CWipeManager* pWipe);
    [[nodiscard]] bool CheckAttributes(const CItemData& entry, int nDirFd, const SRunFile& file, std::string& strWhy);
    [[nodiscard]] bool Ask(int nSetting, int& nRunAnswer, IProgrssManagerUi::EAttribute eKind, const QString& strText);
    void Finish(bool bCancelled, std::size_t nNextFile = 0);

    // The start of listed file nIndex: its bar at 0, the stop looked at, the before-file hook.
    // False when the stop is set: the file is not started.
    [[nodiscard]] bool StartListedFile(std::size_t nIndex);
    // The same for a file of a window, whose folder is then opened (pFd null and strWhy set when
    // it cannot be).
    [[nodiscard]] bool StartWindowFile(std::size_t nIndex, std::shared_ptr<HVUniqueFd>& pFd, std::string& strWhy);
    void StartFile(std::uint64_t nSize);
    void OnEngineProgress(std::uint32_t nBytes);
    void AddOverall(std::uint64_t nBytes);
    void Report();
    void Status(const QString& strText);

    CEncryptManager m_encrypt;
    CWipeManager m_wipe;
    std::vector<CItemData*> m_arrSelected;
    FileList m_arrFiles;
    std::vector<SRunFile> m_arrRunFiles;  // beside m_arrFiles, index for index
    CRunFolderCache m_folders;
    SRunDetails m_details;
    CRunLock m_lock;
    IProgrssManagerUi* m_pUi = nullptr;

    int m_nDecrypt = -1;
    int m_bEncryptFlag = 0;
    int m_bWipeFlag = 0;
    int m_bHideAfterFlag = 0;
    SRunOptions m_options;
    CSecureBuffer m_strPassword;        // the run's password until Initialise hands it over
    CSecureBuffer m_strMasterPassword;  // for the silent retry of a decryption

    // Progress: written on the worker thread only.
    std::uint64_t m_nCurrentSize = 0;
    std::uint64_t m_nOverallTotal = 0;
    double m_dCurrentPercent = 0.0;
    double m_dOverallPercent = 0.0;
    int m_nShownCurrent = -1;
    int m_nShownOverall = -1;

    SRunCounters m_counters;
    int m_nAnswerHidden = 0;
    int m_nAnswerSystem = 0;
    int m_nAnswerReadOnly = 0;
    int m_nAnswerHardLink = 0;
    bool m_bCancelled = false;
    bool m_bNoSpace = false;
    bool m_bLocked = false;

    FreeSpaceQuery m_freeSpace;
    FileHook m_beforeFile;
    FileHook m_beforeWipe;
    NameObserver m_listingObserver;
    CWipeManager::PassObserver m_wipePassObserver;
    std::mutex m_wipeEnginesMutex;
    std::vector<CWipeManager*> m_arrWipeEngines;  // the parallel wipes' engines while they run
    std::size_t m_nWindowFiles = kWindowFiles;
};
