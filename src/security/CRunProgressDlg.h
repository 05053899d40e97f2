#pragma once

#include "security/IProgrssManagerUi.h"

#include <QDialog>

class CRunWorker;
class QLabel;
class QPushButton;
class QVBoxLayout;

// What the two runners' modal progress dialogs share: the status text (1016), Cancel, the worker
// started when the dialog is shown, and the ending. Cancel and Close set the worker's stop signal
// and wait, still serving the worker's calls, until it has cleared busy. The worker's texts come
// over queued calls; its RunEnded posts the close.
//
// A derived dialog adds its bars to Body() between the status text and Cancel, then calls
// AddCancel(); its destructor calls EndWorker() while its worker is still alive.
class CRunProgressDlg : public QDialog
{
    Q_OBJECT

public:
    [[nodiscard]] QString StatusText() const;

public slots:
    // The Cancel button: stop, wait for the worker (serving its calls), close with Cancel.
    void OnCancel();

protected:
    CRunProgressDlg(QWidget* pParent, const QString& strObjectName, const QString& strTitle);

    [[nodiscard]] virtual CRunWorker& Worker() = 0;
    // After the worker was joined at the end of ExecRun or in the destructor.
    virtual void Joined() {}

    [[nodiscard]] QVBoxLayout* Body() const { return m_pBody; }
    void AddCancel();
    // Shows the dialog modally; the worker starts when it is shown. Returns after the worker
    // has ended and been joined.
    void ExecRun();
    // Stops a worker that still runs (events flowing), joins it, then Joined().
    void EndWorker();

    // On the worker thread.
    void PostStatusText(const QString& strText);
    void PostRunEnded(IProgrssManagerUi::EEnd eEnd);

    void showEvent(QShowEvent* pEvent) override;
    void reject() override { OnCancel(); }

private:
    void StopAndWait();

    QVBoxLayout* m_pBody = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pCancel = nullptr;
    bool m_bInitialised = false;
    bool m_bStarted = false;
    bool m_bClosing = false;
};
