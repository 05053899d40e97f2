#include "security/CDlg_ProgrssManager.h"

#include "engines/CSecureBuffer.h"
#include "passwords/CDlg_Enterpassword.h"
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

#include <cstring>

CDlg_ProgrssManager::CDlg_ProgrssManager(QWidget* pParent)
    : QDialog(pParent)
{
    setObjectName(QStringLiteral("CDlg_ProgrssManager"));
    QVBoxLayout* pBody = CGuiProgressLayout::Begin(this, HVLoadString(IDS_PROGRESS_ENC_TITLE));
    m_pStatus = CGuiProgressLayout::AddStatus(this, pBody);
    m_pCurrent = CGuiProgressLayout::AddBar(this, pBody, 1018, HVLoadString(IDS_PROGRESS_CURRENT));
    m_pOverall = CGuiProgressLayout::AddBar(this, pBody, 1017, HVLoadString(IDS_PROGRESS_OVERALL));
    m_pCancel = CGuiProgressLayout::AddButton(this, pBody, HVLoadString(IDS_BTN_CANCEL));
    connect(m_pCancel, &QPushButton::clicked, this, &CDlg_ProgrssManager::OnCancel);
    CGuiProgressLayout::ApplyColors(this);
}

CDlg_ProgrssManager::~CDlg_ProgrssManager()
{
    // The worker must be gone before the widgets it posts to.
    if (m_bStarted && m_work.BusySignal().IsSet()) {
        StopAndWait();
    }
    m_work.Join();
}

void CDlg_ProgrssManager::RunModal(const SRunOptions& options)
{
    const unsigned nTitle = options.m_nDecrypt == 1   ? IDS_PROGRESS_DEC_TITLE
                            : options.m_bEncrypt != 0 ? IDS_PROGRESS_ENC_TITLE
                                                      : IDS_PROGRESS_WIPE_TITLE;
    CGuiProgressLayout::SetTitle(this, HVLoadString(nTitle));
    m_work.Initialise(options, this);
    m_bInitialised = true;
    m_bClosing = false;
    const CGuiRunNotice notice;
    exec();
    if (m_bStarted && m_work.BusySignal().IsSet()) {
        StopAndWait();
    }
    m_work.Join();
    (void)notice.Finished(windowTitle());
}

void CDlg_ProgrssManager::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    if (m_bInitialised && !m_bStarted) {
        m_bStarted = true;
        m_work.Start();
    }
}

void CDlg_ProgrssManager::StopAndWait()
{
    m_work.StopSignal().Set();
    // Keeps this thread's events flowing: the worker may be waiting for an answer from it.
    while (m_work.BusySignal().IsSet()) {
        (void)Wait(m_work.BusySignal(), 200);
    }
    m_work.StopSignal().Reset();
}

void CDlg_ProgrssManager::OnCancel()
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

QString CDlg_ProgrssManager::StatusText() const
{
    return m_pStatus->text();
}

int CDlg_ProgrssManager::OverallPos() const
{
    return m_pOverall->GetPos();
}

int CDlg_ProgrssManager::CurrentPos() const
{
    return m_pCurrent->GetPos();
}

void CDlg_ProgrssManager::SetStatusText(const QString& strText)
{
    QMetaObject::invokeMethod(
        this, [this, strText] { m_pStatus->setText(strText); }, Qt::QueuedConnection);
}

void CDlg_ProgrssManager::SetProgress(double dCurrentPercent, double dOverallPercent)
{
    const int nCurrent = static_cast<int>(dCurrentPercent);
    const int nOverall = static_cast<int>(dOverallPercent);
    QMetaObject::invokeMethod(
        this,
        [this, nCurrent, nOverall] {
            m_pCurrent->SetPos(nCurrent);
            m_pOverall->SetPos(nOverall);
        },
        Qt::QueuedConnection);
}

bool CDlg_ProgrssManager::AskAttribute(EAttribute eKind, const QString& strMessage, bool& bApplyToAll)
{
    (void)eKind;
    bool bYes = false;
    bool bAll = false;
    QMetaObject::invokeMethod(
        this,
        [this, &strMessage, &bYes, &bAll] { bYes = CGuiMessageBox::AskApplyToAll(this, strMessage, bAll); },
        Qt::BlockingQueuedConnection);
    bApplyToAll = bAll;
    return bYes;
}

bool CDlg_ProgrssManager::EnterPassword(const QString& strPath, CSecureBuffer& utf16)
{
    bool bOk = false;
    QMetaObject::invokeMethod(
        this,
        [this, &strPath, &bOk, &utf16] {
            CDlg_Enterpassword dlg(this);
            dlg.SetFilePath(strPath);
            bOk = dlg.exec() == QDialog::Accepted;
            if (bOk) {
                dlg.TakePassword(utf16);
            }
            dlg.ClearPassword();
        },
        Qt::BlockingQueuedConnection);
    if (!bOk) {
        utf16.clear();
    }
    return bOk;
}

void CDlg_ProgrssManager::ShowMessage(const QString& strText)
{
    QMetaObject::invokeMethod(
        this, [this, &strText] { CGuiMessageBox::ShowText(this, strText); }, Qt::BlockingQueuedConnection);
}

void CDlg_ProgrssManager::RunEnded(EEnd eEnd)
{
    if (eEnd != EEnd::Finished) {
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
