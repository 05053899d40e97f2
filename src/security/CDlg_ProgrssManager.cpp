#include "security/CDlg_ProgrssManager.h"

#include "engines/CSecureBuffer.h"
#include "passwords/CDlg_Enterpassword.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"
#include "security/CGuiProgressLayout.h"
#include "ui/CHProgressCtrlX.h"

CDlg_ProgrssManager::CDlg_ProgrssManager(QWidget* pParent)
    : CRunProgressDlg(pParent, QStringLiteral("CDlg_ProgrssManager"), HVLoadString(IDS_PROGRESS_ENC_TITLE))
{
    m_pCurrent = CGuiProgressLayout::AddBar(this, Body(), 1018, HVLoadString(IDS_PROGRESS_CURRENT));
    m_pOverall = CGuiProgressLayout::AddBar(this, Body(), 1017, HVLoadString(IDS_PROGRESS_OVERALL));
    AddCancel();
}

CDlg_ProgrssManager::~CDlg_ProgrssManager()
{
    EndWorker();
}

void CDlg_ProgrssManager::RunModal(const SRunOptions& options)
{
    const unsigned nTitle = options.m_nDecrypt == 1   ? IDS_PROGRESS_DEC_TITLE
                            : options.m_bEncrypt != 0 ? IDS_PROGRESS_ENC_TITLE
                                                      : IDS_PROGRESS_WIPE_TITLE;
    CGuiProgressLayout::SetTitle(this, HVLoadString(nTitle));
    m_work.Initialise(options, this);
    ExecRun();
}

int CDlg_ProgrssManager::OverallPos() const
{
    return m_pOverall->GetPos();
}

int CDlg_ProgrssManager::CurrentPos() const
{
    return m_pCurrent->GetPos();
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
