#pragma once

#include "hiding/IHidingEngine.h"
#include "security/CDataSecurityMngr.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class IAppFrontEnd;

// The application object: one per process. InitInstance prepares the settings, the
// configuration, the log, the theme, the resource module and the data-security manager, reads
// the command line, makes sure of the master password, and then runs one command-line request
// or shows the main window. It always returns false (there is no message loop of its own);
// ExitInstance then saves and releases what start-up took and returns the exit code.
//
// Exit codes (m_nExitCode): 0 for every normal end and for the failure ends of start-up; 3000
// when the master password is not given (cancelled, or four wrong entries) and when the
// clean-up question is answered No. A POSIX exit status keeps only 8 bits, so a shell sees
// 3000 as 3000 & 0xFF = 184. How start-up ended in detail is in m_eEnd, for a front end that
// wants to say more (the terminal program maps it to its own exit codes).
class CHalvoDataSecurityApp
{
public:
    static constexpr int kExitNoMasterPassword = 3000;
    // The hidden items cannot be accounted for (their list cannot be read): nothing is asked or run.
    static constexpr int kExitHidingUnreadable = 5;
    // The clean-up brought back what it could, but items stay hidden.
    static constexpr int kExitItemsStillHidden = 1;
    // The status a shell sees for kExitNoMasterPassword.
    static constexpr int kShellExitNoMasterPassword = kExitNoMasterPassword & 0xFF;

    static constexpr const char* kAppName = "Halvo Norvane";
    static constexpr const char* kInvalidCommand = "Invalid command";
    static constexpr const char* kLogFileName = "HNV.log";
    static constexpr const char* kLogFolder = "Logs";

    // Numbered strings of start-up.
    static constexpr unsigned kIdsAppTitle = 57344;
    static constexpr unsigned kIdsConfigMissing = 57345;
    static constexpr unsigned kIdsResourceMissing = 57346;
    static constexpr unsigned kIdsSettingsNotLoaded = 141;
    static constexpr unsigned kIdsHiddenListUnreadable = 20322;  // reason
    static constexpr unsigned kIdsAskRepairHiddenList = 20323;
    static constexpr unsigned kIdsHiddenListRepaired = 20324;     // what was recovered
    static constexpr unsigned kIdsHiddenListNotRepaired = 20325;  // reason
    static constexpr unsigned kIdsItemNotRestored = 20327;        // path, reason
    static constexpr unsigned kIdsRestorePathOccupied = 20328;
    static constexpr unsigned kIdsRestoreParentMissing = 20329;
    static constexpr unsigned kIdsRestoreVolumeAbsent = 20330;
    static constexpr unsigned kIdsRestorePermission = 20331;

    // Start pages of the main window.
    static constexpr int kPageWelcome = 0;
    static constexpr int kPageSelection = 1;
    static constexpr int kPageHideManagement = 3;

    // How start-up ended.
    enum class EEnd
    {
        NotStarted,
        ConfigMissing,          // message 57345
        SettingsNotLoaded,      // message 141
        ResourceMissing,        // message 57346
        InvalidCommand,         // "Invalid command"
        InitFailed,             // the manager's set-up failed
        MasterPasswordRefused,  // cancelled or four wrong entries: 3000
        MasterPasswordNotSet,   // the first choice of a master password was cancelled: 0
        FlowRan,                // mode 0 or 1 ran its flow (m_nFlowResult, m_eFlowEnd say how)
        HidingUnreadable,       // the hidden list cannot be read (not repaired), or the signature
                                // file may be kept hidden: 5
        CleanupDone,            // mode 3 answered Yes
        CleanupIncomplete,      // mode 3 answered Yes, but items stay hidden: 1
        CleanupDeclined,        // mode 3 answered No: 3000
        MainWindowShown,        // the main window was shown and closed
        NoMainWindow,           // this program has no main window: said so, 0
    };

    // Steps of start-up that reach outside the process; tests replace them.
    struct SSteps
    {
        std::function<int()> fnLoadAppConfigFile;  // 1 on success (global data's LoadAppConfigFile)
        std::function<bool()> fnLoadSettings;      // registry settings' Load
        std::function<bool()> fnLoadResources;     // resource module of the configuration
    };

    // frontEnd must outlive the application object.
    explicit CHalvoDataSecurityApp(IAppFrontEnd& frontEnd);
    ~CHalvoDataSecurityApp();

    CHalvoDataSecurityApp(const CHalvoDataSecurityApp&) = delete;
    CHalvoDataSecurityApp& operator=(const CHalvoDataSecurityApp&) = delete;

    // The process's arguments, without the program path. Empty: a start without a command line.
    void SetArguments(const QStringList& lstArgs) { m_lstArgs = lstArgs; }
    void SetSteps(SSteps steps) { m_steps = std::move(steps); }

    // Start-up and the one run; false in every case.
    [[nodiscard]] bool InitInstance();
    // Shutdown; the exit code.
    [[nodiscard]] int ExitInstance();
    // InitInstance, then ExitInstance.
    [[nodiscard]] int Run();

    // Switches the hiding engine's hiding off. Always 1.
    int DisableHideEngine();
    // The clean-up's restore: hiding off, every item back and off the list; each item that stays
    // hidden is named with the reason. True when nothing stays hidden.
    bool RestoreHiddenItems();

    // The argument text for the log: the arguments joined by blanks, arguments with a blank in
    // double quotes, and the value of every "-pw" replaced by "********" (a password never
    // reaches the log).
    [[nodiscard]] static QString MaskedCommandLine(const QStringList& lstArgs);

    CDataSecurityMngr* m_pDataSecurityMngr = nullptr;
    bool m_bResourceLoaded = false;  // the resource module is loaded (freed at shutdown)
    int m_nExitCode = 0;

    EEnd m_eEnd = EEnd::NotStarted;
    bool m_bCmdLineRun = false;  // started with an accepted command line
    int m_nCmdMode = -1;         // its mode
    // Why the command line was refused, and how a flow ended (kept after the manager is gone).
    CDataSecurityMngr::ECmdLineCheck m_eCmdLineCheck = CDataSecurityMngr::ECmdLineCheck::Accepted;
    int m_nFlowResult = 0;
    std::vector<SRestoreFailure> m_stillHidden;  // what the clean-up had to leave hidden
    CDataSecurityMngr::EFlowEnd m_eFlowEnd = CDataSecurityMngr::EFlowEnd::Ran;

private:
    [[nodiscard]] bool Prepare();
    [[nodiscard]] bool ReadCommandLine();
    [[nodiscard]] bool CheckHiding();
    [[nodiscard]] bool AskMasterPassword();
    void RunRequest();
    void ShowWindow(int nStartPage, bool bLeaveCmdLine);
    void StartLog();
    bool End(EEnd eEnd, int nExitCode = 0);

    IAppFrontEnd& m_frontEnd;
    SSteps m_steps;
    QStringList m_lstArgs;
};
