#pragma once

#include "engines/CSecureBuffer.h"

#include <QString>

#include <string>

// What the encrypt, wipe and decrypt worker asks of its front end: the progress dialog on the
// GUI thread, a terminal, or a test script.
//
// Every call comes from the worker thread. A GUI front end forwards the status text and the
// progress values to its widgets (queued is enough), and answers the questions on the GUI thread
// with a blocking queued call while that thread keeps its events flowing (CSignal::Wait). The
// worker waits for each answer; a question may take as long as the user needs.
class IProgrssManagerUi
{
public:
    enum class EAttribute
    {
        Hidden,    // string 133
        ReadOnly,  // string 134
        System,    // string 135
        HardLink,  // a file with other names: remove only this name? (kHardLinkQuestion)
    };
    enum class EEnd
    {
        Finished,   // the run came to its end: the dialog closes with OK
        Cancelled,  // the stop signal ended it: the dialog closes the way it was cancelled
    };

    // The question for a file with other names (hard links); %1 is the path.
    static constexpr const char* kHardLinkQuestion =
        "%1 has other names (hard links). Overwriting it would empty the file under every other "
        "name too, so it is not overwritten. Remove only this name and leave the content to the "
        "other names?";

    virtual ~IProgrssManagerUi() = default;

    virtual void SetStatusText(const QString& strText) = 0;
    // Percentages of the current file and of the whole run, 0 to 100 (the bars show them
    // truncated toward zero).
    virtual void SetProgress(double dCurrentPercent, double dOverallPercent) = 0;

    // The message box with an apply-to-all box: true means yes (OK). bApplyToAll comes in false;
    // set it when the box was ticked.
    [[nodiscard]] virtual bool AskAttribute(EAttribute eKind, const QString& strMessage, bool& bApplyToAll) = 0;
    // The enter-password dialog for an encrypted file: true (OK) with the password in utf16
    // (UTF-16 code units in secure memory), false when the user refused.
    [[nodiscard]] virtual bool EnterPassword(const QString& strPath, CSecureBuffer& utf16) = 0;
    // After EnterPassword refused: true when only that file is to be skipped (a password given in
    // advance does not open it) and the run goes on; false ends the run.
    [[nodiscard]] virtual bool RefusalSkipsFile() { return false; }
    // A message box with an OK button and the application title (string 57344) as caption.
    virtual void ShowMessage(const QString& strText) = 0;

    // The worker's last call before it clears the busy signal. Must not wait for the GUI thread
    // (post the close instead): the GUI thread may be waiting for the busy signal.
    virtual void RunEnded(EEnd eEnd) = 0;
};
