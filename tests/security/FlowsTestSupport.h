#pragma once

// Shared by the flow tests: a temporary home, a recording runner host, a scripted user and a
// recording hiding engine. Every fake writes what happens to one event list, so a test can check
// the order of the whole flow.
#include "engines/CSecureBuffer.h"
#include "hiding/IHidingEngine.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "security/CReportComposer.h"
#include "security/IDataSecurityUi.h"
#include "security/IRunnerHost.h"
#include "settings/CHDGlobalData.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "support/Answers.h"
#include "support/FakeHidingEngine.h"
#include "support/TempHome.h"

namespace flowtest {

using Events = std::vector<std::string>;

// A temporary home (HOME and the XDG folders), with the global data as a loaded configuration
// leaves it, with default settings.
class CTempHome : public hvtest::CTempHome
{
public:
    CTempHome()
    {
        g_HDGlobalData.DataCompanyName = QStringLiteral("Halvo-Soft");
        g_HDGlobalData.DataProductName = QStringLiteral("HalvoNorvane");
        g_HDGlobalData.m_RegData = CMRegistryData();
        g_HDGlobalData.m_RegData.m_nAsscExtension = 0;
        g_HDGlobalData.m_RegData.m_strModulePath = Path() + QStringLiteral("/Program Files/HalvoNorvane");
        g_HDGlobalData.m_RegData.m_strModuleEXEPath =
            Path() + QStringLiteral("/Program Files/HalvoNorvane/HalvoNorvane");
    }
    static void Set(const char* pszName, const QString& strValue) { hvtest::SetEnv(pszName, strValue); }
};

// The encrypt, wipe and decrypt runner: records its inputs; at RunModal the test's script may
// fill the file list, set item states and counters (as a run, finished or cancelled, would).
class CFakeRun final : public IProgrssRun
{
public:
    using Script = std::function<void(CFakeRun& run, const SRunOptions& options)>;

    CFakeRun(Events& events, Script script)
        : m_events(events)
        , m_script(std::move(script))
    {
        m_events.push_back("run.create");
    }
    ~CFakeRun() override { m_events.push_back("run.destroy files=" + std::to_string(m_files.size())); }

    void SetSelectedItems(const std::vector<CItemData*>& items) override
    {
        m_items = items;
        m_events.push_back("run.items " + std::to_string(items.size()));
    }
    void SetPassword(const CSecureBuffer& utf16) override
    {
        m_events.push_back("run.password " + QStringView(utf16.Utf16Units()).toString().toStdString());
    }
    void SetMasterPassword(const CSecureBuffer& utf16) override
    {
        m_events.push_back("run.master " + QStringView(utf16.Utf16Units()).toString().toStdString());
    }
    void RunModal(const SRunOptions& options) override
    {
        m_options = options;
        m_events.push_back("run.modal decrypt=" + std::to_string(options.m_nDecrypt) + " encrypt="
                           + std::to_string(options.m_bEncrypt) + " action=" + std::to_string(options.m_iHidenType));
        if (m_script) {
            m_script(*this, options);
        }
    }
    [[nodiscard]] const SRunCounters& Counters() const override { return m_counters; }
    [[nodiscard]] const FileList& Files() const override { return m_files; }
    void ClearFileList() override
    {
        m_events.push_back("run.clear " + std::to_string(m_files.size()));
        m_files.clear();
    }

    // For scripts: one entry of the file list, owned by the selected item.
    void AddFile(const QString& strPath, CItemData* pOwner)
    {
        auto pEntry = std::make_unique<CItemData>(strPath, 1, CItemData::KindFile);
        pEntry->m_pOwner = pOwner;
        m_files.push_back(std::move(pEntry));
    }

    std::vector<CItemData*> m_items;
    SRunOptions m_options;
    SRunCounters m_counters;

private:
    Events& m_events;
    Script m_script;
    FileList m_files;
};

class CFakeHide final : public IHideRun
{
public:
    explicit CFakeHide(Events& events, SHideCounters counters, std::function<void()> onRun = {})
        : m_events(events)
        , m_counters(counters)
        , m_onRun(std::move(onRun))
    {
        m_events.push_back("hide.create");
    }
    ~CFakeHide() override { m_events.push_back("hide.destroy"); }
    void SetItems(const std::vector<CItemData*>& items) override
    {
        m_events.push_back("hide.items " + std::to_string(items.size()));
    }
    void RunModal(const SHideRunOptions& o) override
    {
        m_events.push_back("hide.modal unhide=" + std::to_string(o.m_bUnhide) + " page=" + std::to_string(o.m_bPageFlag)
                           + " encrypt=" + std::to_string(o.m_bEncrypt));
        if (m_onRun) {
            m_onRun();
        }
    }
    [[nodiscard]] const SHideCounters& Counters() const override { return m_counters; }

private:
    Events& m_events;
    SHideCounters m_counters;
    std::function<void()> m_onRun;
};

class CRecordingHost final : public IRunnerHost
{
public:
    explicit CRecordingHost(Events& events)
        : m_events(events)
    {
    }
    [[nodiscard]] std::unique_ptr<IProgrssRun> CreateProgrssManager() override
    {
        auto p = std::make_unique<CFakeRun>(m_events, m_script);
        m_pLastRun = p.get();
        return p;
    }
    [[nodiscard]] std::unique_ptr<IHideRun> CreateHideProgrss() override
    {
        return std::make_unique<CFakeHide>(m_events, m_hideCounters, m_onHide);
    }

    CFakeRun::Script m_script;
    SHideCounters m_hideCounters;
    std::function<void()> m_onHide;  // called when the hide runner runs
    CFakeRun* m_pLastRun = nullptr;  // dangles once the flow has ended

private:
    Events& m_events;
};

// The user, from a script: answers are taken in order; a missing answer is a refusal.
class CScriptedUi final : public IDataSecurityUi
{
public:
    explicit CScriptedUi(Events& events)
        : m_events(events)
    {
    }
    void ShowMessage(unsigned nId, const QStringList& = QStringList()) override
    {
        m_events.push_back("ui.message " + std::to_string(nId));
    }
    bool AskNewPassword(CSecureBuffer& utf16) override
    {
        m_events.push_back("ui.setpassword");
        return Take(m_setAnswers, utf16);
    }
    bool AskMasterPassword(int nAttempt, CSecureBuffer& utf16) override
    {
        m_events.push_back("ui.entermaster " + std::to_string(nAttempt));
        return Take(m_masterAnswers, utf16);
    }
    bool AskNewMasterPassword(CSecureBuffer&) override
    {
        m_events.push_back("ui.setmaster");
        return false;
    }
    bool AskYesNo(unsigned nTextId, unsigned) override
    {
        m_events.push_back("ui.yesno " + std::to_string(nTextId));
        return false;
    }
    void ShowReport(const CReportComposer& report) override
    {
        m_events.push_back("ui.report kind=" + std::to_string(report.Kind())
                           + " sections=" + std::to_string(report.Sections().size())
                           + " height=" + std::to_string(report.LabelHeight()));
    }

    // An answer: OK with that text, or nullptr for Cancel.
    std::deque<const char*> m_setAnswers;
    std::deque<const char*> m_masterAnswers;

private:
    static bool Take(std::deque<const char*>& answers, CSecureBuffer& utf16)
    {
        const char* psz = hvtest::Next<const char*>(answers, nullptr);
        if (psz != nullptr) {
            utf16 = CSecureBuffer::FromUtf16Units(QString::fromUtf8(psz).toStdU16String());
        }
        return psz != nullptr;
    }
    Events& m_events;
};

using CFakeHidingEngine = hvtest::CFakeHidingEngine;

// The events that begin with a prefix, in order.
inline Events Only(const Events& events, const std::string& strPrefix)
{
    Events out;
    for (const std::string& e : events) {
        if (e.rfind(strPrefix, 0) == 0) {
            out.push_back(e);
        }
    }
    return out;
}

}  // namespace flowtest
