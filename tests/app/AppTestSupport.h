#pragma once

// Shared by the application-object tests: a temporary home, a scripted front end that records
// every dialog, message and runner in one event list, and a recording hiding engine.
#include "app/CHalvoDataSecurityApp.h"
#include "app/IAppFrontEnd.h"
#include "hiding/IHidingEngine.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "security/IDataSecurityUi.h"
#include "security/IRunnerHost.h"
#include "settings/CHDGlobalData.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "support/Answers.h"
#include "support/FakeHidingEngine.h"
#include "support/TempHome.h"

namespace apptest {

using Events = std::vector<std::string>;

using CTempHome = hvtest::CTempHome;

class CRecordingRun final : public IProgrssRun
{
public:
    explicit CRecordingRun(Events& events)
        : m_events(events)
    {
    }
    void SetSelectedItems(const std::vector<CItemData*>& items) override
    {
        m_events.push_back("run.items " + std::to_string(items.size()));
    }
    void SetPassword(const CSecureBuffer& utf16) override
    {
        m_events.push_back("run.password " + QStringView(utf16.Utf16Units()).toString().toStdString());
    }
    void SetMasterPassword(const CSecureBuffer&) override {}
    void RunModal(const SRunOptions& options) override
    {
        m_events.push_back("run.modal decrypt=" + std::to_string(options.m_nDecrypt));
    }
    const SRunCounters& Counters() const override { return m_counters; }
    const FileList& Files() const override { return m_files; }
    void ClearFileList() override { m_files.clear(); }

private:
    Events& m_events;
    SRunCounters m_counters;
    FileList m_files;
};

// The front end: answers from a script, records what start-up shows and asks.
class CScriptedFrontEnd final : public IAppFrontEnd, public IDataSecurityUi, public IRunnerHost
{
public:
    // Answers, taken in order; a missing answer is Cancel / No.
    std::deque<QString> newMasterPasswords;  // an empty text cancels
    std::deque<QString> masterPasswords;     // an empty text cancels
    std::deque<bool> yesNo;
    bool bMainWindow = false;  // whether a main window can be shown
    bool bWithEngine = true;   // a recording hiding engine, else none can be created
    bool bHidingEnabled = true;

    Events events;
    int nCmdLineAtWindow = -1;

    // IAppFrontEnd
    void ShowText(const QString& strText) override { events.push_back("text " + strText.toStdString()); }
    IDataSecurityUi& Ui() override { return *this; }
    IRunnerHost& RunnerHost() override { return *this; }
    void InitTheme() override { events.push_back("theme"); }
    void ManagerCreated(CDataSecurityMngr& mngr) override
    {
        events.push_back("manager");
        Events* pEvents = &events;
        const bool bWith = bWithEngine;
        const bool bEnabled = bHidingEnabled;
        mngr.m_fnCreateHideControl = [pEvents, bWith, bEnabled]() -> std::shared_ptr<IHidingEngine> {
            if (!bWith) {
                return nullptr;
            }
            return std::make_shared<hvtest::CFakeHidingEngine>(*pEvents, bEnabled);
        };
    }
    bool ShowMainWindow(int nStartPage, CDataSecurityMngr& mngr) override
    {
        events.push_back("window " + std::to_string(nStartPage));
        nCmdLineAtWindow = mngr.m_bCmdLine;
        return bMainWindow;
    }
    void FlowEnded(int nMode, int nResult, CDataSecurityMngr&) override
    {
        events.push_back("flow " + std::to_string(nMode) + " " + std::to_string(nResult));
    }

    // IDataSecurityUi
    bool AskNewMasterPassword(CSecureBuffer& utf16) override
    {
        events.push_back("ask.new-master");
        return Take(newMasterPasswords, utf16);
    }
    bool AskMasterPassword(int nAttempt, CSecureBuffer& utf16) override
    {
        events.push_back("ask.master " + std::to_string(nAttempt));
        return Take(masterPasswords, utf16);
    }
    void ShowMessage(unsigned nStringId, const QStringList&) override
    {
        events.push_back("message " + std::to_string(nStringId));
    }
    bool AskYesNo(unsigned nTextId, unsigned nCaptionId) override
    {
        events.push_back("yesno " + std::to_string(nTextId) + " " + std::to_string(nCaptionId));
        return hvtest::Next(yesNo, false);
    }
    bool AskNewPassword(CSecureBuffer&) override
    {
        events.push_back("ask.new-password");
        return false;
    }
    void ShowReport(const CReportComposer&) override { events.push_back("report"); }

    // IRunnerHost
    std::unique_ptr<IProgrssRun> CreateProgrssManager() override { return std::make_unique<CRecordingRun>(events); }
    std::unique_ptr<IHideRun> CreateHideProgrss() override { return nullptr; }

    [[nodiscard]] int Count(const std::string& strPrefix) const
    {
        int n = 0;
        for (const auto& e : events) {
            n += e.rfind(strPrefix, 0) == 0 ? 1 : 0;
        }
        return n;
    }
    [[nodiscard]] bool Has(const std::string& strEvent) const { return Count(strEvent) > 0; }

private:
    static bool Take(std::deque<QString>& answers, CSecureBuffer& utf16)
    {
        const QString str = hvtest::Next(answers);
        if (!str.isEmpty()) {
            utf16 = CSecureBuffer::FromUtf16Units(str.toStdU16String());
        }
        return !str.isEmpty();
    }
};

// The steps that reach outside the process, replaced: the configuration gives the product
// folders, the settings are defaults with ShlAskMaster as given and no association, the
// resource module is taken for loaded (the compiled-in strings stand in).
inline CHalvoDataSecurityApp::SSteps TestSteps(int nShlAskMaster, int nEnableAdvLog = 0)
{
    CHalvoDataSecurityApp::SSteps steps;
    steps.fnLoadAppConfigFile = [] {
        g_HDGlobalData.DataCompanyName = QStringLiteral("Halvo-Soft");
        g_HDGlobalData.DataProductName = QStringLiteral("HalvoNorvane");
        return 1;
    };
    steps.fnLoadSettings = [nShlAskMaster, nEnableAdvLog] {
        CMRegistryData& reg = g_HDGlobalData.m_RegData;
        const QString strModule = reg.m_strModulePath;
        const QString strExe = reg.m_strModuleEXEPath;
        reg = CMRegistryData();
        reg.m_strModulePath = strModule;
        reg.m_strModuleEXEPath = strExe;
        reg.m_nAsscExtension = 0;
        reg.m_nShlAskMaster = nShlAskMaster;
        reg.m_nEnableAdvLog = nEnableAdvLog;
        return true;
    };
    steps.fnLoadResources = [] { return true; };
    return steps;
}

}  // namespace apptest
