// The application object and the hiding engine: a list that cannot be read, and the clean-up's
// full restore.
#include "app/CHalvoDataSecurityApp.h"
#include "app/IAppFrontEnd.h"
#include "hiding/IHidingEngine.h"
#include "logging/CHVLog.h"
#include "resources/CResourceModule.h"
#include "security/IDataSecurityUi.h"

// A list of hidden items that cannot be read is an error, never a first start: the list may
// hold the master-password file. The user is told (the list is named) and may have it repaired;
// otherwise the start ends with nothing asked and nothing changed.
bool CHalvoDataSecurityApp::CheckHiding()
{
    CDataSecurityMngr& mngr = *m_pDataSecurityMngr;
    if (mngr.m_strHideFailure.isEmpty()) {
        return true;
    }
    IDataSecurityUi& ui = m_frontEnd.Ui();
    LOGGER::g_HVLog.Log("Error: the hidden list cannot be read: %s", mngr.m_strHideFailure.toUtf8().constData());
    ui.ShowMessage(kIdsHiddenListUnreadable, {mngr.m_strHideFailure});
    if (!mngr.m_pHideControl || !ui.AskYesNo(kIdsAskRepairHiddenList, kIdsAppTitle)) {
        return End(EEnd::HidingUnreadable, kExitHidingUnreadable);
    }
    std::string strReport;
    if (!mngr.m_pHideControl->RepairList(strReport)) {
        LOGGER::g_HVLog.Log("Error: the hidden list was not repaired");
        ui.ShowMessage(kIdsHiddenListNotRepaired, {QString::fromStdString(strReport)});
        return End(EEnd::HidingUnreadable, kExitHidingUnreadable);
    }
    LOGGER::g_HVLog.Log("Hidden list repaired");
    ui.ShowMessage(kIdsHiddenListRepaired, {QString::fromStdString(strReport)});
    // The set-up again, now over the repaired list (it shows the master-password file).
    mngr.m_bHideDisabled = 0;
    if (mngr.InitManager() != 1 || !mngr.m_strHideFailure.isEmpty()) {
        ui.ShowMessage(kIdsHiddenListUnreadable, {mngr.m_strHideFailure});
        return End(EEnd::HidingUnreadable, kExitHidingUnreadable);
    }
    return true;
}

bool CHalvoDataSecurityApp::RestoreHiddenItems()
{
    CDataSecurityMngr* pMngr = m_pDataSecurityMngr;
    if (pMngr == nullptr || pMngr->m_bHideDisabled == 1 || !pMngr->m_pHideControl) {
        DisableHideEngine();
        return true;
    }
    std::vector<SRestoreFailure>& failures = m_stillHidden;
    const bool bAll = pMngr->m_pHideControl->RestoreAll(failures);
    LOGGER::g_HVLog.Log("Disable Hiding");
    IDataSecurityUi& ui = m_frontEnd.Ui();
    for (const SRestoreFailure& failure : failures) {
        QString strWhy;
        switch (failure.eWhy) {
        case SRestoreFailure::EWhy::PathOccupied:
            strWhy = CResourceModule::Instance().String(kIdsRestorePathOccupied);
            break;
        case SRestoreFailure::EWhy::ParentMissing:
            strWhy = CResourceModule::Instance().String(kIdsRestoreParentMissing);
            break;
        case SRestoreFailure::EWhy::VolumeAbsent:
            strWhy = CResourceModule::Instance().String(kIdsRestoreVolumeAbsent);
            break;
        case SRestoreFailure::EWhy::Permission:
            strWhy = CResourceModule::Instance().String(kIdsRestorePermission);
            break;
        case SRestoreFailure::EWhy::Other:
            break;
        }
        if (!failure.strDetail.empty()) {
            strWhy += (strWhy.isEmpty() ? QString() : QStringLiteral(" (")) + QString::fromStdString(failure.strDetail)
                      + (strWhy.isEmpty() ? QString() : QStringLiteral(")"));
        }
        LOGGER::g_HVLog.Log("Still hidden: %s", failure.strPath.c_str());
        ui.ShowMessage(kIdsItemNotRestored, {QString::fromStdString(failure.strPath), strWhy});
    }
    LOGGER::g_HVLog.Log("DisableHideEngine ");
    return bAll && failures.empty();
}
