#include "app/CTerminalRunnerHost.h"

#include "app/CTerminal.h"
#include "app/CTerminalUi.h"
#include "security/CDataSecurityMngr.h"
#include "security/CHideProgrssWork.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "settings/CHDGlobalData.h"

#include <cmath>
#include <cstring>

std::atomic<bool> CTerminalRunnerHost::s_bStop{false};

namespace {

constexpr int kPollMs = 100;

// Waits for the worker's end while passing an interrupt on as the stop signal.
template <typename TWork>
void WaitForWorker(TWork& work)
{
    bool bStopSent = false;
    while (!work.BusySignal().WaitState(false, kPollMs)) {
        if (!bStopSent && CTerminalRunnerHost::StopRequested()) {
            work.RequestStop();
            bStopSent = true;
        }
    }
    work.Join();
}

// The encrypt, wipe and decrypt runner in the terminal.
class CTerminalProgrssRun final : public IProgrssRun, private IProgrssManagerUi
{
public:
    explicit CTerminalProgrssRun(CTerminalRunnerHost& host)
        : m_host(host)
    {
    }

    void SetSelectedItems(const std::vector<CItemData*>& items) override { m_work.SetSelectedItems(items); }
    void SetPassword(const CSecureBuffer& utf16) override { m_work.SetPassword(utf16); }
    void SetMasterPassword(const CSecureBuffer& utf16) override { m_work.SetMasterPassword(utf16); }
    void RunModal(const SRunOptions& options) override
    {
        m_host.m_bRan = true;
        if (CTerminalRunnerHost::StopRequested()) {
            m_host.m_bCancelled = true;
            return;
        }
        m_work.Initialise(options, this);
        m_work.Start();
        WaitForWorker(m_work);
        m_host.m_terminal.EndProgress();
        m_host.m_counters = m_work.Counters();
        m_host.m_bCancelled = m_host.m_bCancelled || m_work.WasCancelled();
        m_host.m_bNoSpace = m_work.WasNoSpace();
        m_host.m_bLocked = m_host.m_bLocked || m_work.WasLocked();
        m_host.m_details = m_work.Details();
    }
    [[nodiscard]] const SRunCounters& Counters() const override { return m_work.Counters(); }
    [[nodiscard]] const SRunDetails& Details() const override { return m_work.Details(); }
    [[nodiscard]] const FileList& Files() const override { return m_work.Files(); }
    void ClearFileList() override { m_work.ClearFileList(); }

private:
    // IProgrssManagerUi, called on the worker thread.
    void SetStatusText(const QString& strText) override { m_strStatus = strText; }
    void SetProgress(double dCurrentPercent, double dOverallPercent) override
    {
        m_host.m_terminal.Progress(static_cast<int>(dCurrentPercent), static_cast<int>(dOverallPercent), m_strStatus);
    }
    [[nodiscard]] bool AskAttribute(EAttribute eKind, const QString& strMessage, bool& bApplyToAll) override
    {
        (void)eKind;
        return m_host.m_ui.AskQuestion(strMessage, bApplyToAll);
    }
    [[nodiscard]] bool EnterPassword(const QString& strPath, CSecureBuffer& utf16) override
    {
        return m_host.m_ui.AskFilePassword(strPath, utf16);
    }
    [[nodiscard]] bool RefusalSkipsFile() override { return m_host.m_ui.TakeSkipFile(); }
    void ShowMessage(const QString& strText) override { m_host.m_terminal.Message(strText); }
    void RunEnded(EEnd eEnd) override { (void)eEnd; }

    CTerminalRunnerHost& m_host;
    CProgrssManagerWork m_work;
    QString m_strStatus;  // worker thread only
};

// The hide runner in the terminal.
class CTerminalHideRun final : public IHideRun, private IHideProgrssUi
{
public:
    explicit CTerminalHideRun(CTerminalRunnerHost& host)
        : m_host(host)
    {
    }

    void SetItems(const std::vector<CItemData*>& items) override { m_work.SetItems(items); }
    void RunModal(const SHideRunOptions& options) override
    {
        m_host.m_bHideRan = true;
        if (CTerminalRunnerHost::StopRequested()) {
            m_host.m_bCancelled = true;
            return;
        }
        CDataSecurityMngr* pMngr = m_host.m_pMngr;
        if (pMngr != nullptr) {
            m_work.SetHidePath([pMngr](const QString& strPath) { return pMngr->HidePath(strPath); });
            m_work.SetHideControl(pMngr->m_pHideControl);
        }
        m_work.SetRefreshFolderView([](const QString& strFolder) { g_HDGlobalData.RefreshFolderView(strFolder); });
        m_work.SetRunLock(CDataSecurityMngr::RunLockFile());
        m_work.Initialise(options, this);
        m_work.Start();
        WaitForWorker(m_work);
        m_host.m_terminal.EndProgress();
        m_host.m_hideCounters = m_work.Counters();
        m_host.m_bCancelled = m_host.m_bCancelled || m_work.WasCancelled();
        m_host.m_hideDetails = m_work.Details();
        if (!m_work.Details().strRefusal.empty()) {
            m_host.m_bLocked = true;
            m_host.m_terminal.Message(QString::fromStdString(m_work.Details().strRefusal));
        }
    }
    [[nodiscard]] const SHideCounters& Counters() const override { return m_work.Counters(); }
    [[nodiscard]] const SRunDetails& Details() const override { return m_work.Details(); }

private:
    void SetStatusText(const QString& strText) override { m_strStatus = strText; }
    void SetProgress(int nPosition, int nRange) override
    {
        const int nPercent = nRange > 0 ? nPosition * 100 / nRange : 100;
        m_host.m_terminal.Progress(nPercent, nPercent, m_strStatus);
    }
    void RunEnded(EEnd eEnd) override { (void)eEnd; }

    CTerminalRunnerHost& m_host;
    CHideProgrssWork m_work;
    QString m_strStatus;
};

}  // namespace

CTerminalRunnerHost::CTerminalRunnerHost(CTerminal& terminal, CTerminalUi& ui, CDataSecurityMngr*& pMngr)
    : m_terminal(terminal)
    , m_ui(ui)
    , m_pMngr(pMngr)
{
}

std::unique_ptr<IProgrssRun> CTerminalRunnerHost::CreateProgrssManager()
{
    return std::make_unique<CTerminalProgrssRun>(*this);
}

std::unique_ptr<IHideRun> CTerminalRunnerHost::CreateHideProgrss()
{
    return std::make_unique<CTerminalHideRun>(*this);
}
