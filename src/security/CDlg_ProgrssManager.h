#pragma once

#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/IProgrssManagerUi.h"
#include "security/IRunnerHost.h"

#include <QDialog>

class CHProgressCtrlX;
class QLabel;
class QPushButton;

// The encrypt, wipe and decrypt runner's modal progress dialog: status text (1016), the overall
// bar (1017) and the current file's bar (1018), Cancel. The work runs on the worker thread of
// CProgrssManagerWork, which the dialog starts when it is shown. The worker's texts and bars
// come over queued calls; its questions and password prompts are shown on this thread while
// the worker waits for the answer (blocking queued calls). Cancel and Close set the stop signal
// and wait, still serving the worker's calls, until it has cleared the busy signal.
class CDlg_ProgrssManager : public QDialog, public IProgrssRun, private IProgrssManagerUi
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
    [[nodiscard]] QString StatusText() const;
    [[nodiscard]] int OverallPos() const;
    [[nodiscard]] int CurrentPos() const;

public slots:
    // The Cancel button: stop, wait for the worker (serving its calls), close with Cancel.
    void OnCancel();

protected:
    void showEvent(QShowEvent* pEvent) override;
    void reject() override { OnCancel(); }

private:
    // IProgrssManagerUi, called on the worker thread.
    void SetStatusText(const QString& strText) override;
    void SetProgress(double dCurrentPercent, double dOverallPercent) override;
    [[nodiscard]] bool AskAttribute(EAttribute eKind, const QString& strMessage, bool& bApplyToAll) override;
    [[nodiscard]] bool EnterPassword(const QString& strPath, CSecureBuffer& utf16) override;
    void ShowMessage(const QString& strText) override;
    void RunEnded(EEnd eEnd) override;

    void StopAndWait();

    CProgrssManagerWork m_work;
    QLabel* m_pStatus = nullptr;
    CHProgressCtrlX* m_pOverall = nullptr;
    CHProgressCtrlX* m_pCurrent = nullptr;
    QPushButton* m_pCancel = nullptr;
    bool m_bInitialised = false;
    bool m_bStarted = false;
    bool m_bClosing = false;
};
