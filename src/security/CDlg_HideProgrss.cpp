#include "security/CDlg_HideProgrss.h"

#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "security/CGuiProgressLayout.h"
#include "security/CGuiRunNotice.h"
#include "signal/CSignalPump.h"
#include "ui/CHProgressCtrlX.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

CDlg_HideProgrss::CDlg_HideProgrss(QWidget* pParent)
    : QDialog(pParent)
{
    setObjectName(QStringLiteral("CDlg_HideProgrss"));
    QVBoxLayout* pBody = CGuiProgressLayout::Begin(this, HVLoadString(IDS_PROGRESS_HIDE_TITLE));
    m_pStatus = CGuiProgressLayout::AddStatus(this, pBody);
    m_pBar = CGuiProgressLayout::AddBar(this, pBody, 1017, HVLoadString(IDS_PROGRESS_OVERALL));
    m_pCancel = CGuiProgressLayout::AddButton(this, pBody, HVLoadString(IDS_BTN_CANCEL));
    connect(m_pCancel, &QPushButton::clicked, this, &CDlg_HideProgrss::OnCancel);
    CGuiProgressLayout::ApplyColors(this);
}

CDlg_HideProgrss::~CDlg_HideProgrss()
{
    if (m_bStarted && m_work.BusySignal().IsSet()) {
        StopAndWait();
    }
    m_work.Join();
    if (!m_work.Details().strRefusal.empty()) {
        // Refused before it began (another run of this user): say why.
        CGuiMessageBox::ShowText(parentWidget(), QString::fromStdString(m_work.Details().strRefusal));
    }
}

void CDlg_HideProgrss::RunModal(const SHideRunOptions& options)
{
    CGuiProgressLayout::SetTitle(
        this, options.m_bUnhide != 0 ? HVLoadString(IDS_PROGRESS_UNHIDE_TITLE) : HVLoadString(IDS_PROGRESS_HIDE_TITLE));
    m_work.Initialise(options, this);
    m_pBar->SetRange(0, qMax(1, m_work.ProgressRange()));
    m_pBar->SetPos(0);
    m_bInitialised = true;
    m_bClosing = false;
    const CGuiRunNotice notice;
    exec();
    if (m_bStarted && m_work.BusySignal().IsSet()) {
        StopAndWait();
    }
    m_work.Join();
    if (!m_work.Details().strRefusal.empty()) {
        // Refused before it began (another run of this user): say why.
        CGuiMessageBox::ShowText(parentWidget(), QString::fromStdString(m_work.Details().strRefusal));
    }
    (void)notice.Finished(windowTitle());
}

void CDlg_HideProgrss::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    if (m_bInitialised && !m_bStarted) {
        m_bStarted = true;
        m_work.Start();
    }
}

void CDlg_HideProgrss::StopAndWait()
{
    m_work.StopSignal().Set();
    while (m_work.BusySignal().IsSet()) {
        (void)Wait(m_work.BusySignal(), 200);
    }
    m_work.StopSignal().Reset();
}

void CDlg_HideProgrss::OnCancel()
{
    if (m_bClosing) {
        return;
    }
    m_bClosing = true;
    m_pCancel->setEnabled(false);
    if (m_bStarted && m_work.BusySignal().IsSet()) {
        StopAndWait();
    }
    QDialog::reject();
}

QString CDlg_HideProgrss::StatusText() const
{
    return m_pStatus->text();
}

int CDlg_HideProgrss::BarPos() const
{
    return m_pBar->GetPos();
}

int CDlg_HideProgrss::BarRange() const
{
    return m_pBar->GetUpper();
}

void CDlg_HideProgrss::SetStatusText(const QString& strText)
{
    QMetaObject::invokeMethod(
        this, [this, strText] { m_pStatus->setText(strText); }, Qt::QueuedConnection);
}

void CDlg_HideProgrss::SetProgress(int nPosition, int nRange)
{
    QMetaObject::invokeMethod(
        this,
        [this, nPosition, nRange] {
            // An empty run keeps a range of 1 so that the bar shows nothing done, not a fault.
            m_pBar->SetRange(0, qMax(1, nRange));
            m_pBar->SetPos(nPosition);
        },
        Qt::QueuedConnection);
}

void CDlg_HideProgrss::RunEnded(EEnd eEnd)
{
    if (eEnd != EEnd::Finished) {
        return;
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
