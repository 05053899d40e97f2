#pragma once

#include "engines/CSecureBuffer.h"
#include "security/SRunCounters.h"
#include "security/SRunDetails.h"
#include "security/SRunOptions.h"

#include <QStringView>

#include <memory>
#include <vector>

class CItemData;

// One encrypt, wipe or decrypt runner as the data-security manager drives it: the manager fills
// the inputs, runs it modally, reads the counters, the items' states and the file list, empties
// the file list and destroys the runner. The progress dialog and the terminal front end
// implement it over the runner's work class.
class IProgrssRun
{
public:
    using FileList = std::vector<std::unique_ptr<CItemData>>;

    virtual ~IProgrssRun() = default;

    // The selected items, in order; not owned, they outlive the run.
    virtual void SetSelectedItems(const std::vector<CItemData*>& items) = 0;
    // The run's password (the user-defined password or the master password) as UTF-16 code
    // units. The runner takes a copy, hands it to the encryption engine and then wipes it.
    virtual void SetPassword(const CSecureBuffer& utf16) = 0;
    // The master password, for the silent retry of a decryption after a wrong password.
    virtual void SetMasterPassword(const CSecureBuffer& utf16) = 0;
    // Opens the runner modally and returns when it has closed (finished or cancelled): its
    // worker has ended and no longer touches the items or the file list.
    virtual void RunModal(const SRunOptions& options) = 0;

    [[nodiscard]] virtual const SRunCounters& Counters() const = 0;
    // Every failure with its reason, weak-medium wipes, and how the run ended.
    [[nodiscard]] virtual const SRunDetails& Details() const
    {
        static const SRunDetails s_none;
        return s_none;
    }
    // One entry per file the worker took, each with the selected item it came from as owner.
    [[nodiscard]] virtual const FileList& Files() const = 0;
    // Deletes every entry of the file list.
    virtual void ClearFileList() = 0;
};

// What one hide or unhide run is asked to do.
struct SHideRunOptions
{
    int m_bUnhide = 0;    // 0 hide the items, 1 show them again
    int m_bPageFlag = 1;  // 1 opened by the hide management page, 0 the follow-up of a secure run
    // With the page flag 0: the encrypt option of the secure run, so that a file item is hidden
    // under its encrypted name (and only when its encryption succeeded). 0 otherwise.
    int m_bEncrypt = 0;
};

// One hide runner: hides through the manager's HidePath, unhides through the hiding engine.
class IHideRun
{
public:
    virtual ~IHideRun() = default;

    // The items, in order; not owned, they outlive the run.
    virtual void SetItems(const std::vector<CItemData*>& items) = 0;
    // Opens the runner modally and returns when it has closed.
    virtual void RunModal(const SHideRunOptions& options) = 0;
    [[nodiscard]] virtual const SHideCounters& Counters() const = 0;
    [[nodiscard]] virtual const SRunDetails& Details() const
    {
        static const SRunDetails s_none;
        return s_none;
    }
};

// Makes the runners of a flow: the GUI makes progress dialogs, the terminal front end its own
// progress display, tests a recording fake. Returns null when a runner cannot be made.
class IRunnerHost
{
public:
    virtual ~IRunnerHost() = default;

    [[nodiscard]] virtual std::unique_ptr<IProgrssRun> CreateProgrssManager() = 0;
    [[nodiscard]] virtual std::unique_ptr<IHideRun> CreateHideProgrss() = 0;
};
