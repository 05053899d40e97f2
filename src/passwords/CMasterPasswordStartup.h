#pragma once

#include "engines/CSecureBuffer.h"

#include <QString>
#include <QStringList>

#include <functional>

class IMasterPasswordUi;

// What start-up knows when it comes to the master password.
struct SMasterPasswordRequest
{
    bool bCmdLineRun = false;  // the process was started with an accepted command line
    int nCmdMode = 0;          // its mode: 0 secure, 1 decrypt, 2 hide window, 3 clean-up, 4 selection
    int nShlAskMaster = 1;     // the setting ShlAskMaster
    QString strConfigFile;     // path of the password-signature file
    // Items the hiding engine keeps that no entry of its list names: a missing signature file
    // may be among them, so its absence does not make this a first start.
    QStringList lstUnlistedHidden;
};

enum class EMasterPasswordOutcome
{
    NotNeeded,      // this start does not ask for the master password
    SkippedNoFile,  // clean-up start without a signature file
    Created,        // first start: the password was chosen and its signature written
    Verified,       // the typed password matched
    SetCancelled,   // the first choice of a master password was cancelled
    Refused,        // cancelled or four wrong entries
    MayBeHidden,    // no signature file, but it may be kept hidden: nothing asked, start-up ends
};

struct SMasterPasswordResult
{
    EMasterPasswordOutcome eOutcome = EMasterPasswordOutcome::NotNeeded;
    bool bContinue = true;  // start-up goes on; otherwise it ends with nExitCode
    int nExitCode = 0;
};

// The start-up dialogue around the master password and the clean-up start, over an abstract
// front end (IMasterPasswordUi).
class CMasterPasswordStartup
{
public:
    static constexpr int kExitNoMasterPassword = 3000;  // also: clean-up declined
    static constexpr int kExitItemsStillHidden = 1;     // clean-up done, but items stay hidden
    static constexpr int kExitHidingUnreadable = 5;     // the hidden items cannot be accounted for
    static constexpr int kMaxAttempts = 4;

    // Numbered strings the dialogue shows.
    static constexpr unsigned kIdsAppTitle = 57344;
    static constexpr unsigned kIdsWrongPassword = 130;
    static constexpr unsigned kIdsAskCleanup = 168;
    // "The master password could not be saved in %s:\n%s" (path, reason).
    static constexpr unsigned kIdsMasterFileNotSaved = 20320;
    // "The master password file %s could not be removed:\n%s" (path, reason).
    static constexpr unsigned kIdsMasterFileNotRemoved = 20321;
    // "The master password file %s is missing, but hidden items are kept that no list names: ..."
    static constexpr unsigned kIdsMasterFileMayBeHidden = 20326;

    // Without a command line always; with one: hide window, selection and clean-up always,
    // decrypt never, secure only when ShlAskMaster is set.
    [[nodiscard]] static bool IsNeeded(const SMasterPasswordRequest& request);

    // Runs the dialogue. On success the accepted master password is in master (UTF-16 code units);
    // on every other end master is emptied. A signature file that could not be written is
    // reported with message kIdsMasterFileNotSaved (once per run); start-up still goes on.
    [[nodiscard]] static SMasterPasswordResult
    Run(const SMasterPasswordRequest& request, IMasterPasswordUi& ui, CSecureBuffer& master);

    // The clean-up start's question (string 168, caption 57344). Yes: restoreHiddenItems (true when
    // nothing stays hidden), then the signature file is removed (a failure to remove it is
    // reported); exit code 0, or kExitItemsStillHidden when items stay hidden. No: 3000.
    [[nodiscard]] static int
    RunCleanup(const QString& strConfigFile, IMasterPasswordUi& ui, const std::function<bool()>& restoreHiddenItems);
};
