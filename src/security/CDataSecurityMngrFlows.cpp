// The secure flow and the decrypt flow of the data-security manager.
#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"
#include "passwords/CMasterPasswordStartup.h"
#include "passwords/CMasterPasswordStore.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "security/CReportComposer.h"
#include "security/CRunLock.h"
#include "security/IDataSecurityUi.h"
#include "security/IRunnerHost.h"
#include "settings/CHDGlobalData.h"

#include <QFileInfo>

#include <utility>
#include <vector>

namespace {

// The runners of one flow. Whatever way the flow ends, the runner's file list is emptied
// first, then the hide runner and the runner are destroyed, in that order.
struct SFlowRunners
{
    std::unique_ptr<IProgrssRun> pRun;
    std::unique_ptr<IHideRun> pHide;

    SFlowRunners() = default;
    SFlowRunners(const SFlowRunners&) = delete;
    SFlowRunners& operator=(const SFlowRunners&) = delete;
    ~SFlowRunners()
    {
        if (pRun) {
            pRun->ClearFileList();
        }
        pHide.reset();
        pRun.reset();
    }
};

// The start of a flow: no refusals yet, the flow's runner made by the host and, with one made,
// the flow lock taken for the whole flow, so that no other run comes between its runners; they
// take it again (counted) and report a refusal themselves. False, logged, when the host makes no
// runner: the flow ends as NoRunner.
bool OpenFlow(CDataSecurityMngr& mngr, SFlowRunners& runners, CRunLock& flowLock, const char* pszFlow)
{
    LOGGER::g_HVLog.Log("Start %s", pszFlow);
    mngr.m_eLastFlowEnd = CDataSecurityMngr::EFlowEnd::Ran;
    mngr.m_lstRefusedPaths.clear();
    if (mngr.m_pRunnerHost != nullptr) {
        runners.pRun = mngr.m_pRunnerHost->CreateProgrssManager();
    }
    if (!runners.pRun) {
        LOGGER::g_HVLog.Log("Error: no runner for %s", pszFlow);
        mngr.m_eLastFlowEnd = CDataSecurityMngr::EFlowEnd::NoRunner;
        return false;
    }
    std::string strLockWhy;
    (void)flowLock.TryAcquire(CDataSecurityMngr::RunLockFile(), strLockWhy);
    return true;
}

}  // namespace

void CDataSecurityMngr::FillRunOptions(SRunOptions& options) const
{
    options.TakeSettings(g_HDGlobalData.m_RegData);
    options.m_strRunLock = RunLockFile();
}

SRunDetails CDataSecurityMngr::RefusedDetails() const
{
    SRunDetails details;
    for (const QString& strPath : m_lstRefusedPaths) {
        const CItemData* pOwner = nullptr;
        for (const auto& pItem : m_arrItems) {
            if (pItem != nullptr && pItem->m_strPath == strPath) {
                pOwner = pItem.get();
            }
        }
        details.Add(pOwner, HVGlobalMFC::HVPathToStd(strPath), "refused", kRefusedProtected);
    }
    return details;
}

std::string CDataSecurityMngr::RunLockFile()
{
    const QString strFolder = g_HDGlobalData.m_strCommonDataFolder;
    if (strFolder.isEmpty()) {
        return std::string();
    }
    return HVGlobalMFC::HVPathToStd(QString(strFolder + QLatin1Char('/') + QString::fromLatin1(CRunLock::kFileName)));
}

void CDataSecurityMngr::ShowReportOrNothing(const CReportComposer& report)
{
    if (m_pUi == nullptr) {
        return;
    }
    if (report.ShowsNothingMessage()) {
        m_pUi->ShowMessage(HVStr(129));  // not after a refusal: the runner said why already
    }
    if (report.HasReport()) {
        m_pUi->ShowReport(report);
    }
}

// An encryption under the master password while none is known (a command-line run that did
// not ask for it): ask for it now, checked against the master-password file, with the
// attempts of start-up. Without that file there is no master password yet: the run stops.
// An empty entry is never taken, so nothing is encrypted under an empty password.
bool CDataSecurityMngr::AskMasterPasswordForRun()
{
    if (!QFileInfo::exists(m_strConfigFile)) {
        LOGGER::g_HVLog.Log("Pass Config File Not Found");
        if (m_pUi != nullptr) {
            m_pUi->ShowMessage(kMsgNoMasterPassword);
        }
        m_eLastFlowEnd = EFlowEnd::NoMasterPassword;
        return false;
    }
    LOGGER::g_HVLog.Log("Pass Config File Founded");
    CMasterPasswordStore store(m_strConfigFile);
    bool bSaveReported = false;
    for (int nAttempt = 1; nAttempt <= kMasterPasswordAttempts && m_pUi != nullptr; ++nAttempt) {
        CSecureBuffer typed;
        if (!m_pUi->AskMasterPassword(nAttempt, typed)) {
            break;
        }
        m_strMasterPassword = std::move(typed);
        if (!m_strMasterPassword.empty()) {
            const bool bMatch = store.VerifyMasterPassword(m_strMasterPassword.Utf16Units());
            if (store.LastSaveFailed() && !bSaveReported) {
                bSaveReported = true;
                m_pUi->ShowMessage(CMasterPasswordStartup::kIdsMasterFileNotSaved,
                                   {store.GetFile(), store.GetLastError()});
            }
            if (bMatch) {
                return true;
            }
        }
        m_strMasterPassword.clear();
        m_pUi->ShowMessage(HVStr(130));
    }
    m_strMasterPassword.clear();
    m_eLastFlowEnd = EFlowEnd::MasterPasswordRefused;
    return false;
}

int CDataSecurityMngr::SecureData()
{
    m_nPriority = 0;
    SFlowRunners runners;
    CRunLock flowLock;
    if (!OpenFlow(*this, runners, flowLock, "Secure Data")) {
        return 0;
    }

    int bEncrypt = 0;
    int iPasswordType = PasswordMaster;
    int iAction = HideNone;
    if (m_bCmdLine == 1) {
        bEncrypt = m_bCmdEncrypt;
        iPasswordType = m_iCmdPasswordType;
        iAction = m_iCmdHidenType;
        LOGGER::g_HVLog.Log("m_iCmdPasswordType = %d", m_iCmdPasswordType);
        LOGGER::g_HVLog.Log("m_bCmdEncrypt = %d", m_bCmdEncrypt);
    } else {
        bEncrypt = m_bEncrypt;
        iPasswordType = m_iPasswordType;
        iAction = m_iHidenType;
        LOGGER::g_HVLog.Log("m_iPasswordType = %d", m_iPasswordType);
        LOGGER::g_HVLog.Log("m_bEncrypt = %d", m_bEncrypt);
    }
    LOGGER::g_HVLog.Log("m_iHidenType = %d", m_iHidenType);
    const std::vector<CItemData*> admitted = AdmitItems(bEncrypt, iAction);
    runners.pRun->SetSelectedItems(admitted);

    if (bEncrypt != 0 && iPasswordType == PasswordUser) {
        if (m_strPassword.empty()) {
            CSecureBuffer chosen;
            // An empty answer is refused too: nothing is encrypted under an empty password.
            if (m_pUi == nullptr || !m_pUi->AskNewPassword(chosen) || chosen.empty()) {
                m_strPassword.clear();
                m_eLastFlowEnd = EFlowEnd::PasswordCancelled;
                return 0;
            }
            m_strPassword = std::move(chosen);
        }
        runners.pRun->SetPassword(m_strPassword);
    } else {
        if (bEncrypt != 0 && m_strMasterPassword.empty() && !AskMasterPasswordForRun()) {
            return 0;
        }
        runners.pRun->SetPassword(m_strMasterPassword);
    }

    SRunOptions options;
    options.m_nDecrypt = 0;
    options.m_bEncrypt = bEncrypt;
    options.m_iHidenType = iAction;
    FillRunOptions(options);
    // With every item refused there is nothing to run: the refusals are the run's report.
    const bool bAnyAdmitted = !admitted.empty() || m_lstRefusedPaths.isEmpty();
    if ((bEncrypt != 0 || iAction == HideWipe) && bAnyAdmitted) {
        LOGGER::g_HVLog.Log("Encrypt or Wipe");
        runners.pRun->RunModal(options);
    }

    // The mail step attaches the encrypted files where the run left them. Hiding moves them out
    // of reach, so with hiding after the run the mail step comes first.
    const bool bMailBeforeHide = m_bCmdEmail == 1 && iAction == Hide;
    if (bMailBeforeHide) {
        SendEncryptedByMail(*runners.pRun);
    }

    SHideCounters hideCounters;
    runners.pHide = m_pRunnerHost->CreateHideProgrss();
    if (iAction == Hide && bAnyAdmitted) {
        if (runners.pHide) {
            runners.pHide->SetItems(admitted);
            SHideRunOptions hideOptions;
            hideOptions.m_bUnhide = 0;
            hideOptions.m_bPageFlag = 0;
            hideOptions.m_bEncrypt = bEncrypt;
            runners.pHide->RunModal(hideOptions);
            hideCounters = runners.pHide->Counters();
        } else {
            LOGGER::g_HVLog.Log("Error: no hide runner for Secure Data");
        }
    }

    if (m_bCmdLine != 1) {
        SRunCounters runCounters = runners.pRun->Counters();
        CountRefused(runCounters, hideCounters, bEncrypt, iAction);
        CReportComposer report = CReportComposer::ForSecureData(bEncrypt != 0, iAction, runCounters, hideCounters);
        report.AddDetails(runners.pRun->Details());
        if (runners.pHide && iAction == Hide) {
            report.AddDetails(runners.pHide->Details());
        }
        report.AddDetails(RefusedDetails());
        ShowReportOrNothing(report);
    }
    if (m_bCmdEmail == 1 && !bMailBeforeHide) {
        SendEncryptedByMail(*runners.pRun);
    }
    return 1;
}

// Attaches the encrypted file of every listed file whose selected item's encryption still
// stands as succeeded. The state is judged by its number: two state texts may read alike.
void CDataSecurityMngr::SendEncryptedByMail(const IProgrssRun& run)
{
    QStringList lstAttachments;
    for (const auto& pEntry : run.Files()) {
        if (pEntry->m_pOwner != nullptr && pEntry->m_pOwner->m_nEncryptState == CItemData::StateSucceeded) {
            lstAttachments.append(pEntry->m_strPath + QStringLiteral(".hvnc"));
        }
    }
    (void)SendFilesByMail(nullptr, lstAttachments, QString(), QString());
}

int CDataSecurityMngr::DecryptData()
{
    SFlowRunners runners;
    CRunLock flowLock;
    if (!OpenFlow(*this, runners, flowLock, "Decrypt Data")) {
        return 1;
    }
    runners.pRun->SetSelectedItems(ItemPointers(m_arrItems));
    runners.pRun->SetPassword(m_strMasterPassword);
    runners.pRun->SetMasterPassword(m_strMasterPassword);

    SRunOptions options;
    options.m_nDecrypt = 1;
    options.m_bEncrypt = m_bCmdLine == 1 ? m_bCmdEncrypt : m_bEncrypt;
    options.m_iHidenType = m_bCmdLine == 1 ? m_iCmdHidenType : m_iHidenType;
    FillRunOptions(options);
    runners.pRun->RunModal(options);

    if (m_bCmdLine != 1) {
        CReportComposer report = CReportComposer::ForDecryption(runners.pRun->Counters(), m_bHideDecrypt == 1);
        report.AddDetails(runners.pRun->Details());
        ShowReportOrNothing(report);
    }
    return 1;
}
