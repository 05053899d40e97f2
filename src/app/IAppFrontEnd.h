#pragma once

#include <QString>

class CDataSecurityMngr;
class IDataSecurityUi;
class IRunnerHost;

// What the application object asks of the program around it: the GUI program answers with
// message boxes, dialogs and the main window, the terminal program in the terminal, tests from
// a script. Every call comes from the thread that runs start-up.
class IAppFrontEnd
{
public:
    virtual ~IAppFrontEnd() = default;

    // A message box with the application title as caption and an OK button, for the texts that
    // start-up shows before or without the resource module ("Invalid command", 57345, 57346).
    virtual void ShowText(const QString& strText) = 0;

    // The dialogs of the master-password dialogue and of the manager's flows.
    [[nodiscard]] virtual IDataSecurityUi& Ui() = 0;
    // Makes the runners of the manager's flows.
    [[nodiscard]] virtual IRunnerHost& RunnerHost() = 0;

    // The look: colours, fonts and pictures of the theme. Nothing to do without a display.
    virtual void InitTheme() {}

    // Called once the manager exists and before its set-up, to give it what the front end
    // provides beyond the dialogs and the runners (a hiding-engine factory in the tests).
    virtual void ManagerCreated(CDataSecurityMngr& mngr) { (void)mngr; }

    // Shows the main window modally on the page nStartPage (0 welcome, 1 secure-data
    // selection, 3 hide management) and returns when it has been closed and destroyed. False
    // when this program has no main window; the caller then says so and ends normally.
    [[nodiscard]] virtual bool ShowMainWindow(int nStartPage, CDataSecurityMngr& mngr) = 0;

    // Called after a command-line secure (mode 0) or decrypt (mode 1) flow returned, while the
    // manager and its items still exist. Command-line runs show no report of their own; a
    // terminal prints its summary here.
    virtual void FlowEnded(int nMode, int nResult, CDataSecurityMngr& mngr)
    {
        (void)nMode;
        (void)nResult;
        (void)mngr;
    }
};
