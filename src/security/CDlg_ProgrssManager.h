#pragma once

#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/CRunProgressDlg.h"
#include "security/IProgrssManagerUi.h"
#include "security/IRunnerHost.h"

class CHProgressCtrlX;

// The encrypt, wipe and decrypt runner's modal progress dialog: status text (1016), the overall
// bar (1017) and the current file's bar (1018), Cancel. The work runs on the worker thread of
// CProgrssManagerWork (see CRunProgressDlg); its questions and password prompts are shown on
// this thread while the worker waits for the answer (blocking queued calls).
class CDlg_ProgrssManager : public CRunProgressDlg, public IProgrssRun, private IProgrssManagerUi
{
    Q_OBJECT

public:
    explicit CDlg_ProgrssManager(QWidget* pParent = nullptr);
    ~CDlg_ProgrssManager() override;

    // IProgrssRun
    void SetSelectedItems(const std::vector<CItemData*>& items) override { m_work.SetSelectedItems(items); }
    void SetPassword(const CSecureBuffer& utf16) override { m_work.SetPassword(utf16); }
    void SetMasterPassword(const CSecureBuffer& utf16) override { m_work.SetMasterPassword(utf16); }
    void RunModal(const SRunOptions& options) override;
    [[nodiscard]] const SRunCounters& Counters() const override { return m_work.Counters(); }
    [[nodiscard]] const FileList& Files() const override { return m_work.Files(); }
    [[nodiscard]] const SRunDetails& Details() const override { return m_work.Details(); }
    void ClearFileList() override { m_work.ClearFileList(); }

    [[nodiscard]] CProgrssManagerWork& Work() { return m_work; }
    [[nodiscard]] bool WasCancelled() const { return m_work.WasCancelled(); }
    [[nodiscard]] int OverallPos() const;
    [[nodiscard]] int CurrentPos() const;

protected:
    [[nodiscard]] CRunWorker& Worker() override { return m_work; }

private:
    // IProgrssManagerUi, called on the worker thread.
    void SetStatusText(const QString& strText) override { PostStatusText(strText); }
    void SetProgress(double dCurrentPercent, double dOverallPercent) override;
    [[nodiscard]] bool AskAttribute(EAttribute eKind, const QString& strMessage, bool& bApplyToAll) override;
    [[nodiscard]] bool EnterPassword(const QString& strPath, CSecureBuffer& utf16) override;
    void ShowMessage(const QString& strText) override;
    void RunEnded(EEnd eEnd) override { PostRunEnded(eEnd); }

    CProgrssManagerWork m_work;
    CHProgressCtrlX* m_pOverall = nullptr;
    CHProgressCtrlX* m_pCurrent = nullptr;
};
