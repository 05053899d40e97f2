#include "security/CDlg_HideProgrss.h"

#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "security/CGuiProgressLayout.h"
#include "ui/CHProgressCtrlX.h"

CDlg_HideProgrss::CDlg_HideProgrss(QWidget* pParent)
    : CRunProgressDlg(pParent, QStringLiteral("CDlg_HideProgrss"), HVLoadString(IDS_PROGRESS_HIDE_TITLE))
{
    m_pBar = CGuiProgressLayout::AddBar(this, Body(), 1017, HVLoadString(IDS_PROGRESS_OVERALL));
    AddCancel();
}

CDlg_HideProgrss::~CDlg_HideProgrss()
{
    EndWorker();
}

void CDlg_HideProgrss::RunModal(const SHideRunOptions& options)
{
    CGuiProgressLayout::SetTitle(
        this, options.m_bUnhide != 0 ? HVLoadString(IDS_PROGRESS_UNHIDE_TITLE) : HVLoadString(IDS_PROGRESS_HIDE_TITLE));
    m_work.Initialise(options, this);
    m_pBar->SetRange(0, qMax(1, m_work.ProgressRange()));
    m_pBar->SetPos(0);
    ExecRun();
}

void CDlg_HideProgrss::Joined()
{
    if (!m_work.Details().strRefusal.empty()) {
        // Refused before it began (another run of this user): say why.
        CGuiMessageBox::ShowText(parentWidget(), QString::fromStdString(m_work.Details().strRefusal));
    }
}

int CDlg_HideProgrss::BarPos() const
{
    return m_pBar->GetPos();
}

int CDlg_HideProgrss::BarRange() const
{
    return m_pBar->GetUpper();
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
