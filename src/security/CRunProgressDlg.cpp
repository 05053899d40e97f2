#include "security/CRunProgressDlg.h"

#include "resources/HVResourceStrings.h"
#include "security/CGuiProgressLayout.h"
#include "security/CGuiRunNotice.h"
#include "security/CRunWorker.h"
#include "signal/CSignalPump.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

CRunProgressDlg::CRunProgressDlg(QWidget* pParent, const QString& strObjectName, const QString& strTitle)
    : QDialog(pParent)
{
    setObjectName(strObjectName);
    m_pBody = CGuiProgressLayout::Begin(this, strTitle);
    m_pStatus = CGuiProgressLayout::AddStatus(this, m_pBody);
}

void CRunProgressDlg::AddCancel()
{
    m_pCancel = CGuiProgressLayout::AddButton(this, m_pBody, HVLoadString(IDS_BTN_CANCEL));
    connect(m_pCancel, &QPushButton::clicked, this, &CRunProgressDlg::OnCancel);
    CGuiProgressLayout::ApplyColors(this);
}

void CRunProgressDlg::ExecRun()
{
    m_bInitialised = true;
    m_bClosing = false;
    const CGuiRunNotice notice;
    exec();
    EndWorker();
    notice.Finished(windowTitle());
}

void CRunProgressDlg::EndWorker()
{
    // The worker must be gone before the widgets it posts to.
    if (m_bStarted && Worker().BusySignal().IsSet()) {
        StopAndWait();
    }
    Worker().Join();
    Joined();
}

void CRunProgressDlg::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    if (m_bInitialised && !m_bStarted) {
        m_bStarted = true;
        Worker().Start();
    }
}

void CRunProgressDlg::StopAndWait()
{
    CRunWorker& work = Worker();
    work.StopSignal().Set();
    // Keeps this thread's events flowing: the worker may be waiting for an answer from it.
    while (work.BusySignal().IsSet()) {
        (void)Wait(work.BusySignal(), 200);
    }
    work.StopSignal().Reset();
}

void CRunProgressDlg::OnCancel()
{
    if (m_bClosing) {
        return;
    }
    m_bClosing = true;
    m_pCancel->setEnabled(false);
    if (m_bStarted && Worker().BusySignal().IsSet()) {
        StopAndWait();
    }
    QDialog::reject();
}

QString CRunProgressDlg::StatusText() const
{
    return m_pStatus->text();
}

void CRunProgressDlg::PostStatusText(const QString& strText)
{
    QMetaObject::invokeMethod(
        this, [this, strText] { m_pStatus->setText(strText); }, Qt::QueuedConnection);
}

void CRunProgressDlg::PostRunEnded(IProgrssManagerUi::EEnd eEnd)
{
    if (eEnd != IProgrssManagerUi::EEnd::Finished) {
        return;  // the Cancel that stopped the run closes the dialog itself
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_bClosing) {
                m_bClosing = true;
                QDialog::accept();
            }
        },
        Qt::QueuedConnection);
}
