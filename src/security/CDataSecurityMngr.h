#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class CItemData;
class CHalvoDataSecurityDlg;
class CHDPageDataBrows;
class CHDPageSecurityOptions;
class CHDPageHideData;
class CPage_Decryption;
class IHidingEngine;

// The one object through which every data-security task runs: the items of the next run, the
// options of the interactive pages, the request of a command line, the master password of the
// running program and the hiding engine.
//
// Fields are reached directly by the application object, the main window, the pages and the
// runners. The request fields and the interactive option set share their codes:
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
    // Releases the hiding engine if it is still held. Deletes no item.
    ~CDataSecurityMngr();

    CDataSecurityMngr(const CDataSecurityMngr&) = delete;
    CDataSecurityMngr& operator=(const CDataSecurityMngr&) = delete;

    // Reads the command line (m_lstCmdArgs, else m_strCmdLine, else the process's own argument
    // vector) into the request fields. Returns 1 when it is accepted, 0 when it is invalid.
    // An accepted secure, decrypt or selection request sets m_bCmdLine and appends one new
    // item per name to m_arrItems; the manager owns those items while m_bCmdLine is 1.
    [[nodiscard]] int ParseCommandLine();

    // The item path for a name under a base folder: joined by "/" unless the folder already
    // ends with one (the root "/" included).
    [[nodiscard]] static QString BuildItemPath(const QString& strBaseFolder, const QString& strName);

    CHalvoDataSecurityDlg* m_pMainDlg = nullptr;       // the main window, while it exists
    CHDPageDataBrows* m_pPageBrowse = nullptr;         // the secure-data selection page
    CHDPageSecurityOptions* m_pPageOptions = nullptr;  // the security options page
    CHDPageHideData* m_pPageHide = nullptr;            // the hide management page
    CPage_Decryption* m_pPageDecrypt = nullptr;        // the decryption page

    QString m_strCmdLine;  // command-line text to parse (blank-separated, with quotes)
    // Argument vector to parse, without the program path: each argument is one token, taken
    // verbatim. Used in place of m_strCmdLine when not empty.
    QStringList m_lstCmdArgs;
    int m_bCmdLine = 0;  // 1 while the manager works on a command-line request
    int m_iCmdMode = CmdModeSecure;
    QList<CItemData*> m_arrItems;  // the items of the next run
    QString m_strPassword;         // user-defined password for encryption

    // Interactive option set.
    int m_bEncrypt = 1;
    int m_iPasswordType = PasswordMaster;
    QString m_strMasterPassword;  // master password of the running program
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

    ECmdLineCheck m_eCmdLineCheck = ECmdLineCheck::Accepted;  // outcome of ParseCommandLine
};
