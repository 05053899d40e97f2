#pragma once

#include "app/CHalvoDataSecurityApp.h"
#include "app/CTerminal.h"
#include "app/CTerminalOptions.h"
#include "app/CTerminalRunnerHost.h"
#include "app/CTerminalUi.h"
#include "app/IAppFrontEnd.h"

#include <QJsonObject>

// The terminal program's side of the application object: dialogs in the terminal, runners with
// a progress line, no main window, and after a command-line flow a summary (text, or JSON with
// --json) and an exit status that says what happened.
class CTerminalFrontEnd : public IAppFrontEnd
{
public:
    // The terminal program's exit statuses.
    enum EStatus : int
    {
        StatusOk = 0,
        StatusItemsFailed = 1,
        StatusInvalidCommand = 2,
        StatusNothingToDo = 3,
        StatusCancelled = 4,
        StatusStartupFailed = 5,
        StatusNoPassword = 6,
        StatusMasterPasswordRefused = CHalvoDataSecurityApp::kShellExitNoMasterPassword,  // 184
    };

    explicit CTerminalFrontEnd(const STerminalOptions& options);

    void ShowText(const QString& strText) override;
    [[nodiscard]] IDataSecurityUi& Ui() override { return m_ui; }
    [[nodiscard]] IRunnerHost& RunnerHost() override { return m_host; }
    void ManagerCreated(CDataSecurityMngr& mngr) override;
    [[nodiscard]] bool ShowMainWindow(int nStartPage, CDataSecurityMngr& mngr) override;
    void FlowEnded(int nMode, int nResult, CDataSecurityMngr& mngr) override;

    // The exit status for how the application object's start-up and run ended.
    [[nodiscard]] int ExitStatus(const CHalvoDataSecurityApp& app) const;
    // The JSON summary of the whole start (--json): {"status", "end", "exitCode", ...}.
    [[nodiscard]] QByteArray JsonSummary(const CHalvoDataSecurityApp& app) const;

    [[nodiscard]] static const char* EndName(CHalvoDataSecurityApp::EEnd eEnd);

    CTerminal m_terminal;
    CTerminalUi m_ui;
    CTerminalRunnerHost m_host;

private:
    [[nodiscard]] int FlowStatus(int nResult, CDataSecurityMngr::EFlowEnd eEnd) const;

    const STerminalOptions& m_options;
    CDataSecurityMngr* m_pMngr = nullptr;  // while it exists
    int m_nFlowStatus = StatusOk;
    QJsonObject m_jsonFlow;  // report and items of the flow
};
