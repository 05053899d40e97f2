#pragma once

#include "security/CHideProgrssWork.h"
#include "security/CHideProgrssWorkUi.h"
#include "security/CItemData.h"
#include "security/CRunProgressDlg.h"
#include "security/IRunnerHost.h"

class CHProgressCtrlX;

// The hide runner's modal progress dialog: status text (1016), one bar (1017) over the items,
// Cancel. The work runs on the worker thread of CHideProgrssWork (see CRunProgressDlg).
class CDlg_HideProgrss : public CRunProgressDlg, public IHideRun, private IHideProgrssUi
{
    Q_OBJECT

public:
    explicit CDlg_HideProgrss(QWidget* pParent = nullptr);
    ~CDlg_HideProgrss() override;

    // IHideRun
    void SetItems(const std::vector<CItemData*>& items) override { m_work.SetItems(items); }
    void RunModal(const SHideRunOptions& options) override;
    [[nodiscard]] const SHideCounters& Counters() const override { return m_work.Counters(); }
    [[nodiscard]] const SRunDetails& Details() const override { return m_work.Details(); }

    // The hiding function, the engine and the folder refresh are given here before RunModal.
    [[nodiscard]] CHideProgrssWork& Work() { return m_work; }
    [[nodiscard]] int BarPos() const;
    [[nodiscard]] int BarRange() const;

protected:
    [[nodiscard]] CRunWorker& Worker() override { return m_work; }
    void Joined() override;

private:
    void SetStatusText(const QString& strText) override { PostStatusText(strText); }
    void SetProgress(int nPosition, int nRange) override;
    void RunEnded(EEnd eEnd) override { PostRunEnded(eEnd); }

    CHideProgrssWork m_work;
    CHProgressCtrlX* m_pBar = nullptr;
};
