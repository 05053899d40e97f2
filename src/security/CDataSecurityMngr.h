#pragma once

#include "engines/CSecureBuffer.h"
#include "security/CItemData.h"
#include "security/CProtectedPaths.h"
#include "security/SRunDetails.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CReportComposer;
struct SHideCounters;
struct SRunCounters;
class IDataSecurityUi;
class IProgrssRun;
class IRunnerHost;
struct SRunOptions;
class QObject;
class IHidingEngine;
class IPageSwitcher;

// The one object through which every data-security task runs: the items of the next run, the
// options of the interactive pages, the request of a command line, the master password of the
// running program and the hiding engine.
//
// It knows no window: the main window installs a page switcher (SetPageSwitcher) while it
// exists. Fields are reached directly by the application object, the main window, the pages and
// the runners. The request fields and the interactive option set share their codes:
//   mode      CmdModeSecure .. CmdModeSelectWindow
//   action    HideNone, Hide, HideWipe (m_iHidenType, m_iCmdHidenType)
//   password  PasswordMaster, PasswordUser (m_iPasswordType, m_iCmdPasswordType)
class CDataSecurityMngr
{
public:
    // m_iCmdMode
    static constexpr int CmdModeSecure = 0;        // encrypt and/or hide or wipe
    static constexpr int CmdModeDecrypt = 1;       // decrypt
    static constexpr int CmdModeHideWindow = 2;    // main window on hide management
    static constexpr int CmdModeCleanup = 3;       // uninstall clean-up
    static constexpr int CmdModeSelectWindow = 4;  // main window on the selection with the items
    // m_iHidenType, m_iCmdHidenType
    static constexpr int HideNone = 0;
    static constexpr int Hide = 1;
    static constexpr int HideWipe = 2;
    // m_iPasswordType, m_iCmdPasswordType
    static constexpr int PasswordMaster = 0;
    static constexpr int PasswordUser = 1;

    // Why the last ParseCommandLine returned what it did. Validation stops at the first rule
    // that fails, in this order.
    enum class ECmdLineCheck
    {
        Accepted,      // 1 was returned
        NothingToDo,   // mode 0 with neither encryption nor an after-encryption action
        NoBaseFolder,  // no folder given with "-p" or "-fp"
        NoNames,       // no item named: "-p" without a non-empty "-f"
    };

    CDataSecurityMngr();
    // Releases the hiding engine if it is still held.
    ~CDataSecurityMngr();

    CDataSecurityMngr(const CDataSecurityMngr&) = delete;
    CDataSecurityMngr& operator=(const CDataSecurityMngr&) = delete;

    // Reads the command line (m_lstCmdArgs, else m_strCmdLine, else the process's own argument
    // vector) into the request fields. Returns 1 when it is accepted, 0 when it is invalid.
    // An accepted secure, decrypt or selection request sets m_bCmdLine and appends one new
    // item per name to m_arrItems.
    [[nodiscard]] int ParseCommandLine();

    // Start-up set-up, once after construction: the interactive options from the settings of
    // the global data (g_HDGlobalData.m_RegData), the
    // hiding engine (m_bHideDisabled when it cannot be set up), the .hvnc association, the
    // master-password file's path, the protected paths, and the master-password file shown
    // again. Returns 1.
    int InitManager();
    // Finishes the wipes and removes the temporary outputs that killed runs left (the engines'
    // records in the data folder). Failures are logged; the start goes on.
    static void FinishEnginesWork(const QString& strDataFolder);
    // The secure flow (encrypt and/or wipe, then hide, then report, then e-mail) over
    // m_arrItems. 1 when it ran; 0 when it did not, because the user refused a password prompt,
    // the master password could not be had, or no runner could be made (m_eLastFlowEnd says).
    [[nodiscard]] int SecureData();
    // The decrypt flow (decrypt, then report) over m_arrItems. Always 1.
    int DecryptData();
    // Hides one path through the hiding engine unless it is protected: 1 when the engine hid
    // it, else 0. The engine gets the path exactly as given. Protected: m_lstProtectedPaths in
    // any spelling of the path (relative, with "." or "..", through links), and whatever
    // IsProtectedPath refuses for hiding.
    [[nodiscard]] int HidePath(const QString& strPath);
    // Whether an item may not be hidden, wiped or encrypted: the program folder, its data
    // folder, the hiding store and vaults and the settings folder, what contains them (and what
    // is inside them, but for the program folder), and for hiding the paths that are never
    // hidden. Set up by InitManager.
    [[nodiscard]] bool IsProtectedPath(const QString& strPath, CProtectedPaths::EOperation eOperation) const;
    // Adds the items the last secure flow refused (m_lstRefusedPaths) to a report's counters,
    // as failures of the operations that flow asked for.
    void CountRefused(SRunCounters& run, SHideCounters& hide, int bEncrypt, int iAction) const;
    // Hands the files to the desktop's mail program (xdg-email, one --attach per file, no
    // recipients) and waits until it returns. False, quietly, when the list is empty, the mail
    // program is missing or cannot be started, or it reports a failure. pOwner is not used.
    [[nodiscard]] bool
    SendFilesByMail(QObject* pOwner, const QStringList& lstFiles, const QString& strSubject, const QString& strBody);
    // At exit: the options back into the settings (when InitManager ran), the master password
    // wiped, the master-password file hidden again, the hiding engine released, the
    // command-line items let go. Returns 1.
    int SaveAndClose();

    // The text under which a path is looked up in m_lstProtectedPaths: upper-cased, with
    // repeated and trailing slashes and "." and ".." components resolved in the text.
    [[nodiscard]] static QString ProtectedPathKey(const QString& strPath);
    // The protected paths of this system, before upper-casing: "/", the system folders, the
    // program folder, the home folder and the desktop folder (empty ones left out).
    [[nodiscard]] static QStringList SystemProtectedPaths(const QString& strProgramFolder);

    // The item path for a name under a base folder: joined by "/" unless the folder already
    // ends with one (the root "/" included).
    [[nodiscard]] static QString BuildItemPath(const QString& strBaseFolder, const QString& strName);

    // The page switcher of the main window (not owned), installed while the window exists;
    // null when there is none.
    void SetPageSwitcher(IPageSwitcher* pSwitcher) { m_pPageSwitcher = pSwitcher; }
    // Removes the switcher if it is still pSwitcher (a later window may have replaced it).
    void RemovePageSwitcher(const IPageSwitcher* pSwitcher);
    [[nodiscard]] IPageSwitcher* PageSwitcher() const { return m_pPageSwitcher; }
    // Asks the installed switcher for the page; false when there is none.
    bool SwitchPage(int nPageId) const;

    QString m_strCmdLine;  // command-line text to parse (blank-separated, with quotes)
    // Argument vector to parse, without the program path: each argument is one token, taken
    // verbatim. Used in place of m_strCmdLine when not empty.
    QStringList m_lstCmdArgs;
    int m_bCmdLine = 0;  // 1 while the manager works on a command-line request
    int m_iCmdMode = CmdModeSecure;
    CItemDataList m_arrItems;     // the items of the next run
    CSecureBuffer m_strPassword;  // user-defined password for encryption (UTF-16 code units)

    // Interactive option set.
    int m_bEncrypt = 1;
    int m_iPasswordType = PasswordMaster;
    CSecureBuffer m_strMasterPassword;  // master password of the running program (UTF-16 code units)
    int m_iHidenType = HideNone;
    int m_nPriority = 0;  // priority of the runners' worker threads (0 normal)

    int m_iCmdEncryptType = 0;  // number given with "-et"; stored only
    int m_iCmdWipeType = 0;     // number given with "-wt"; stored only

    std::shared_ptr<IHidingEngine> m_pHideControl;  // the hiding engine; empty when not created

    // Command-line option set.
    int m_bCmdEncrypt = 0;
    int m_bCmdEmail = 0;
    int m_iCmdHidenType = HideNone;
    int m_iCmdPasswordType = PasswordMaster;

    int m_bHideDecrypt = 0;                          // 1 while the hide management page runs a decryption
    QStringList m_lstProtectedPaths;                 // upper-cased paths that are never hidden
    QString m_strConfigFile = QStringLiteral("  ");  // path of the master-password file
    int m_bHideDisabled = 0;                         // 1 when the hiding engine is not usable
    QString m_strHideFailure;  // why the hiding engine's list could not be read at set-up ("" if it could)

    ECmdLineCheck m_eCmdLineCheck = ECmdLineCheck::Accepted;  // outcome of ParseCommandLine

    // The items the last flow refused before any work, because of kRefusedProtected.
    QStringList m_lstRefusedPaths;
    static constexpr const char* kRefusedProtected = CProtectedPaths::kRefusedReason;

    // How the last SecureData or DecryptData ended.
    enum class EFlowEnd
    {
        Ran,                    // the flow ran
        PasswordCancelled,      // the set-password dialog was refused
        MasterPasswordRefused,  // the master password was cancelled or wrong four times
        NoMasterPassword,       // encryption under the master password before one was set
        NoRunner,               // no runner host, or it made no runner
    };
    EFlowEnd m_eLastFlowEnd = EFlowEnd::Ran;

    // Attempts at the master password when a flow has to ask for it.
    static constexpr int kMasterPasswordAttempts = 4;
    // Message when an encryption under the master password is asked for before a master
    // password was set.
    static constexpr unsigned kMsgNoMasterPassword = 190;

    // What the program gives the manager before its flows run (neither is owned):
    IRunnerHost* m_pRunnerHost = nullptr;  // makes the runners of the flows
    IDataSecurityUi* m_pUi = nullptr;      // messages, password dialogs, the report
    // Makes the hiding engine at set-up; a null result: it cannot be created. Empty: the
    // hiding engine of this system with its default folders.
    std::function<std::shared_ptr<IHidingEngine>()> m_fnCreateHideControl;

private:
    void FillRunOptions(SRunOptions& options) const;

public:
    // The run lock in the user's data folder (empty when there is no data folder).
    [[nodiscard]] static std::string RunLockFile();
    // The items the last secure flow refused before any work, as report details.
    [[nodiscard]] SRunDetails RefusedDetails() const;

private:
    [[nodiscard]] bool AskMasterPasswordForRun();
    void SendEncryptedByMail(const IProgrssRun& run);
    void ShowReportOrNothing(const CReportComposer& report);
    // The items of m_arrItems a secure flow may work on; the others are marked failed for the
    // flow's operations and noted in m_lstRefusedPaths.
    [[nodiscard]] std::vector<CItemData*> AdmitItems(int bEncrypt, int iAction);
    void SetUpProtectedPaths();
    [[nodiscard]] static QString ProgramFolder();

    bool m_bInitDone = false;  // InitManager ran
    IPageSwitcher* m_pPageSwitcher = nullptr;
    CProtectedPaths m_protected;
};
