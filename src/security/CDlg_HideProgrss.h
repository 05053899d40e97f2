#pragma once

#include "security/CHideProgrssWork.h"
#include "security/CHideProgrssWorkUi.h"
#include "security/CItemData.h"
#include "security/IRunnerHost.h"

#include <QDialog>

class CHProgressCtrlX;
class QLabel;
class QPushButton;

// The hide runner's modal progress dialog: status text (1016), one bar (1017) over the items,
// Cancel. The work runs on the worker thread of CHideProgrssWork, started when the dialog is
// shown; Cancel and Close stop it and wait (events flowing) until it has cleared busy.
class CDlg_HideProgrss : public QDialog, public IHideRun, private IHideProgrssUi
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
    [[nodiscard]] QString StatusText() const;
    [[nodiscard]] int BarPos() const;
    [[nodiscard]] int BarRange() const;

public slots:
    void OnCancel();

protected:
    void showEvent(QShowEvent* pEvent) override;
    void reject() override { OnCancel(); }

private:
    void SetStatusText(const QString& strText) override;
    void SetProgress(int nPosition, int nRange) override;
    void RunEnded(EEnd eEnd) override;
    void StopAndWait();

    CHideProgrssWork m_work;
    QLabel* m_pStatus = nullptr;
    CHProgressCtrlX* m_pBar = nullptr;
    QPushButton* m_pCancel = nullptr;
    bool m_bInitialised = false;
    bool m_bStarted = false;
    bool m_bClosing = false;
};
