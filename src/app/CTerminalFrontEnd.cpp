#include "app/CTerminalFrontEnd.h"

#include "globalfuncs/HVPathText.h"
#include "security/CItemData.h"
#include "security/CReportComposer.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>
#include <unistd.h>

namespace {

QString StateName(quint16 nState)
{
    switch (nState) {
    case CItemData::StateNotProcessed:
        return QStringLiteral("not processed");
    case CItemData::StateSucceeded:
        return QStringLiteral("succeeded");
    case CItemData::StatePartlyFailed:
        return QStringLiteral("partly failed");
    default:
        return QStringLiteral("failed");
    }
}

const char* WhyName(SRestoreFailure::EWhy eWhy)
{
    switch (eWhy) {
    case SRestoreFailure::EWhy::PathOccupied:
        return "path-occupied";
    case SRestoreFailure::EWhy::ParentMissing:
        return "parent-missing";
    case SRestoreFailure::EWhy::VolumeAbsent:
        return "volume-absent";
    case SRestoreFailure::EWhy::Permission:
        return "permission";
    case SRestoreFailure::EWhy::Other:
        break;
    }
    return "other";
}

}  // namespace

CTerminalFrontEnd::CTerminalFrontEnd(const STerminalOptions& options)
    : m_ui(m_terminal, options.strPasswordFile, options.strMasterPasswordFile, options.nAnswer)
    , m_host(m_terminal, m_ui, m_pMngr)
    , m_options(options)
{
    m_terminal.SetProgressEnabled(!options.bQuiet && ::isatty(STDERR_FILENO) == 1);
}

void CTerminalFrontEnd::ShowText(const QString& strText)
{
    m_terminal.Message(strText);
}

void CTerminalFrontEnd::ManagerCreated(CDataSecurityMngr& mngr)
{
    m_pMngr = &mngr;
}

bool CTerminalFrontEnd::ShowMainWindow(int nStartPage, CDataSecurityMngr& mngr)
{
    (void)nStartPage;
    (void)mngr;
    return false;
}

int CTerminalFrontEnd::FlowStatus(int nResult, CDataSecurityMngr::EFlowEnd eEnd) const
{
    if (nResult == 0 || eEnd != CDataSecurityMngr::EFlowEnd::Ran) {
        if (m_ui.PasswordUnavailable()) {
            return StatusNoPassword;
        }
        switch (eEnd) {
        case CDataSecurityMngr::EFlowEnd::MasterPasswordRefused:
            return StatusMasterPasswordRefused;
        case CDataSecurityMngr::EFlowEnd::NoMasterPassword:
            return StatusNoPassword;
        case CDataSecurityMngr::EFlowEnd::NoRunner:
            return StatusStartupFailed;
        default:
            return StatusCancelled;
        }
    }
    const SRunCounters& run = m_host.m_counters;
    const SHideCounters& hide = m_host.m_hideCounters;
    if (m_host.m_bLocked) {
        return StatusStartupFailed;  // another run of this user: nothing was done
    }
    if (m_host.m_bCancelled) {
        return StatusCancelled;
    }
    const bool bRefused = m_pMngr != nullptr && !m_pMngr->m_lstRefusedPaths.isEmpty();
    if (run.m_nFailed > 0 || run.m_nWipeFailed > 0 || hide.m_nFailed > 0 || m_host.m_bNoSpace || bRefused) {
        return StatusItemsFailed;
    }
    if (run.m_nProcessed == 0 && run.m_nWipeAttempted == 0 && hide.m_nProcessed == 0) {
        return StatusNothingToDo;
    }
    return StatusOk;
}

void CTerminalFrontEnd::FlowEnded(int nMode, int nResult, CDataSecurityMngr& mngr)
{
    m_nFlowStatus = FlowStatus(nResult, mngr.m_eLastFlowEnd);
    if (nResult == 0 || mngr.m_eLastFlowEnd != CDataSecurityMngr::EFlowEnd::Ran) {
        return;
    }
    SRunCounters run = m_host.m_counters;
    SHideCounters hide = m_host.m_hideCounters;
    if (nMode != CDataSecurityMngr::CmdModeDecrypt) {
        mngr.CountRefused(run, hide, mngr.m_bCmdEncrypt, mngr.m_iCmdHidenType);
    }
    const CReportComposer report =
        nMode == CDataSecurityMngr::CmdModeDecrypt
            ? CReportComposer::ForDecryption(run, false)
            : CReportComposer::ForSecureData(mngr.m_bCmdEncrypt != 0, mngr.m_iCmdHidenType, run, hide);
    CReportComposer full = report;
    full.AddDetails(m_host.m_details);
    full.AddDetails(m_host.m_hideDetails);
    if (nMode != CDataSecurityMngr::CmdModeDecrypt) {
        full.AddDetails(mngr.RefusedDetails());
    }
    QJsonArray items;
    for (const auto& pShared : mngr.m_arrItems) {
        const CItemData* pItem = pShared.get();
        QStringList reasons;
        for (const SRunDetails* pDetails : {&m_host.m_details, &m_host.m_hideDetails}) {
            for (const SRunProblem& p : pDetails->problems) {
                if (p.pOwner == pItem) {
                    reasons << QString::fromUtf8(p.strPath.data(), static_cast<qsizetype>(p.strPath.size()))
                                   + QStringLiteral(": ") + QString::fromStdString(p.strStep) + QStringLiteral(": ")
                                   + QString::fromUtf8(p.strReason.data(), static_cast<qsizetype>(p.strReason.size()));
                }
            }
        }
        QJsonObject item;
        item.insert(QStringLiteral("reason"), reasons.isEmpty() ? QJsonValue() : QJsonValue(reasons.join(u'\n')));
        item.insert(QStringLiteral("reasons"), QJsonArray::fromStringList(reasons));
        item.insert(QStringLiteral("path"), pItem->m_strPath);
        item.insert(QStringLiteral("kind"),
                    pItem->m_nKind == CItemData::KindFolder ? QStringLiteral("folder") : QStringLiteral("file"));
        item.insert(nMode == CDataSecurityMngr::CmdModeDecrypt ? QStringLiteral("decryption")
                                                               : QStringLiteral("encryption"),
                    StateName(pItem->m_nEncryptState));
        item.insert(QStringLiteral("wipe"), StateName(pItem->m_nWipeState));
        item.insert(QStringLiteral("hide"), StateName(pItem->m_nHideState));
        if (mngr.m_lstRefusedPaths.contains(pItem->m_strPath)) {
            item.insert(QStringLiteral("reason"), QString::fromLatin1(CDataSecurityMngr::kRefusedProtected));
        }
        items.append(item);
    }
    m_jsonFlow.insert(QStringLiteral("report"), QJsonDocument::fromJson(full.Json().toUtf8()).object());
    m_jsonFlow.insert(QStringLiteral("items"), items);
    m_jsonFlow.insert(QStringLiteral("cancelled"), m_host.m_bCancelled);

    if (m_options.bJson || m_options.bQuiet) {
        return;
    }
    for (const QString& strPath : mngr.m_lstRefusedPaths) {
        m_terminal.Message(
            QStringLiteral("Refused: %1 (%2)")
                .arg(HVGlobalMFC::HVPathDisplay(strPath), QString::fromLatin1(CDataSecurityMngr::kRefusedProtected)));
    }
    if (full.ShowsNothingMessage()) {
        m_terminal.Message(full.NothingMessage());
    }
    if (full.HasReport()) {
        m_ui.ShowReport(full);
    }
}

int CTerminalFrontEnd::ExitStatus(const CHalvoDataSecurityApp& app) const
{
    using EEnd = CHalvoDataSecurityApp::EEnd;
    switch (app.m_eEnd) {
    case EEnd::InvalidCommand:
        return StatusInvalidCommand;
    case EEnd::NotStarted:
    case EEnd::ConfigMissing:
    case EEnd::SettingsNotLoaded:
    case EEnd::ResourceMissing:
    case EEnd::InitFailed:
        return StatusStartupFailed;
    case EEnd::MasterPasswordRefused:
    case EEnd::MasterPasswordNotSet:
        return m_ui.PasswordUnavailable() ? StatusNoPassword
                                          : (app.m_nExitCode != 0 ? StatusMasterPasswordRefused : StatusCancelled);
    case EEnd::CleanupDeclined:
        return StatusMasterPasswordRefused;
    case EEnd::HidingUnreadable:
        return StatusStartupFailed;
    case EEnd::CleanupIncomplete:
        return StatusItemsFailed;
    case EEnd::FlowRan:
        return m_nFlowStatus;
    case EEnd::CleanupDone:
    case EEnd::MainWindowShown:
    case EEnd::NoMainWindow:
        return StatusOk;
    }
    return StatusOk;
}

const char* CTerminalFrontEnd::EndName(CHalvoDataSecurityApp::EEnd eEnd)
{
    using EEnd = CHalvoDataSecurityApp::EEnd;
    switch (eEnd) {
    case EEnd::NotStarted:
        return "not-started";
    case EEnd::ConfigMissing:
        return "configuration-missing";
    case EEnd::SettingsNotLoaded:
        return "settings-not-loaded";
    case EEnd::ResourceMissing:
        return "resource-module-missing";
    case EEnd::InvalidCommand:
        return "invalid-command";
    case EEnd::InitFailed:
        return "set-up-failed";
    case EEnd::MasterPasswordRefused:
        return "master-password-refused";
    case EEnd::MasterPasswordNotSet:
        return "master-password-not-set";
    case EEnd::FlowRan:
        return "ran";
    case EEnd::CleanupDone:
        return "clean-up-done";
    case EEnd::CleanupIncomplete:
        return "clean-up-incomplete";
    case EEnd::HidingUnreadable:
        return "hidden-list-unreadable";
    case EEnd::CleanupDeclined:
        return "clean-up-declined";
    case EEnd::MainWindowShown:
        return "main-window-closed";
    case EEnd::NoMainWindow:
        return "no-main-window";
    }
    return "unknown";
}

QByteArray CTerminalFrontEnd::JsonSummary(const CHalvoDataSecurityApp& app) const
{
    QJsonObject root = m_jsonFlow;
    root.insert(QStringLiteral("status"), ExitStatus(app));
    root.insert(QStringLiteral("end"), QString::fromLatin1(EndName(app.m_eEnd)));
    root.insert(QStringLiteral("exitCode"), app.m_nExitCode);
    if (!app.m_stillHidden.empty()) {
        QJsonArray items;
        for (const SRestoreFailure& failure : app.m_stillHidden) {
            QJsonObject item;
            item.insert(QStringLiteral("path"), QString::fromStdString(failure.strPath));
            item.insert(QStringLiteral("reason"), QString::fromLatin1(WhyName(failure.eWhy)));
            item.insert(QStringLiteral("detail"), QString::fromStdString(failure.strDetail));
            items.append(item);
        }
        root.insert(QStringLiteral("stillHidden"), items);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}
