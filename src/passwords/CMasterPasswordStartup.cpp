#include "passwords/CMasterPasswordStartup.h"

#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"
#include "passwords/CMasterPasswordStore.h"
#include "passwords/IMasterPasswordUi.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kModeDecrypt = 1;
constexpr int kModeHideWindow = 2;
constexpr int kModeCleanup = 3;
constexpr int kModeSelectWindow = 4;

SMasterPasswordResult End(EMasterPasswordOutcome eOutcome, int nExitCode, CSecureBuffer& master)
{
    master.clear();
    return {eOutcome, false, nExitCode};
}

// Reports a failed save of the signature file once per run.
void ReportSaveFailure(const CMasterPasswordStore& store, IMasterPasswordUi& ui, bool& bReported)
{
    if (store.LastSaveFailed() && !bReported) {
        bReported = true;
        ui.ShowMessage(CMasterPasswordStartup::kIdsMasterFileNotSaved, {store.GetFile(), store.GetLastError()});
    }
}

}  // namespace

bool CMasterPasswordStartup::IsNeeded(const SMasterPasswordRequest& request)
{
    if (!request.bCmdLineRun) {
        return true;
    }
    switch (request.nCmdMode) {
    case kModeHideWindow:
    case kModeCleanup:
    case kModeSelectWindow:
        return true;
    case kModeDecrypt:
        return false;
    default:
        return request.nShlAskMaster != 0;
    }
}

SMasterPasswordResult
CMasterPasswordStartup::Run(const SMasterPasswordRequest& request, IMasterPasswordUi& ui, CSecureBuffer& master)
{
    master.clear();
    if (!IsNeeded(request)) {
        return {EMasterPasswordOutcome::NotNeeded, true, 0};
    }
    CMasterPasswordStore store(request.strConfigFile);
    bool bReported = false;
    if (!QFileInfo::exists(request.strConfigFile)) {
        if (request.bCmdLineRun && request.nCmdMode == kModeCleanup) {
            return {EMasterPasswordOutcome::SkippedNoFile, true, 0};
        }
        LOGGER::g_HVLog.Log("Pass Config File Not Found");
        if (!request.lstUnlistedHidden.isEmpty()) {
            // Not a first start: a new master password would silently replace the old one.
            LOGGER::g_HVLog.Log("Pass Config File may be hidden");
            ui.ShowMessage(kIdsMasterFileMayBeHidden,
                           {request.strConfigFile, request.lstUnlistedHidden.join(QLatin1Char('\n'))});
            return End(EMasterPasswordOutcome::MayBeHidden, kExitHidingUnreadable, master);
        }
        if (!ui.AskNewMasterPassword(master)) {
            return End(EMasterPasswordOutcome::SetCancelled, 0, master);
        }
        (void)store.WritePasswordSignature(true, master.Utf16Units());
        ReportSaveFailure(store, ui, bReported);
        return {EMasterPasswordOutcome::Created, true, 0};
    }

    LOGGER::g_HVLog.Log("Pass Config File Founded");
    for (int nAttempt = 1; nAttempt <= kMaxAttempts; ++nAttempt) {
        master.clear();
        if (!ui.AskMasterPassword(nAttempt, master)) {
            break;
        }
        const bool bMatch = store.VerifyMasterPassword(master.Utf16Units());
        ReportSaveFailure(store, ui, bReported);
        if (bMatch) {
            return {EMasterPasswordOutcome::Verified, true, 0};
        }
        ui.ShowMessage(kIdsWrongPassword);
    }
    return End(EMasterPasswordOutcome::Refused, kExitNoMasterPassword, master);
}

int CMasterPasswordStartup::RunCleanup(const QString& strConfigFile,
                                       IMasterPasswordUi& ui,
                                       const std::function<bool()>& restoreHiddenItems)
{
    if (!ui.AskYesNo(kIdsAskCleanup, kIdsAppTitle)) {
        return kExitNoMasterPassword;
    }
    const bool bAllBack = !restoreHiddenItems || restoreHiddenItems();
    const QByteArray path = HVGlobalMFC::HVPathToBytes(strConfigFile);
    if (!path.isEmpty() && ::unlink(path.constData()) != 0 && errno != ENOENT) {
        const QString strWhy = QString::fromLocal8Bit(std::strerror(errno));
        LOGGER::g_HVLog.LogText("Pass Config File not removed: " + strWhy.toStdString());
        ui.ShowMessage(kIdsMasterFileNotRemoved, {strConfigFile, strWhy});
    }
    return bAllBack ? 0 : kExitItemsStillHidden;
}
