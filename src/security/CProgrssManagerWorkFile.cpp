// The per-file steps of the encrypt, wipe and decrypt runner.
#include "engines/HVWipeFile.h"
#include "engines/HvncResult.h"
#include "logging/CHVLog.h"
#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/HVItemStates.h"
#include "security/HVRunAct.h"
#include "security/HVRunFiles.h"

#include <QFile>

namespace {

// The engine's reason, or the text of its result when it gave none.
std::string EngineWhy(int nResult, const std::string& strEngine)
{
    return strEngine.empty() ? std::string(HvncResultText(nResult)) : strEngine;
}

void LogFailure(const char* pszWhat, const std::string& strPath, const std::string& strWhy)
{
    LOGGER::g_HVLog.Log("%s failed for %s: %s", pszWhat, strPath.c_str(), strWhy.c_str());
}

}  // namespace

void CProgrssManagerWork::Problem(const CItemData& owner,
                                  const SRunFile& file,
                                  const char* pszStep,
                                  const std::string& strWhy)
{
    LogFailure(pszStep, file.strPath, strWhy);
    m_details.Add(&owner, file.strPath, pszStep, strWhy);
}

CProgrssManagerWork::EStep CProgrssManagerWork::DecryptOne(std::size_t nIndex)
{
    CItemData& entry = *m_arrFiles[nIndex];
    SRunFile& file = m_arrRunFiles[nIndex];
    ++m_counters.m_nProcessed;
    Status(HVFormatString(IDS_STATUS_DECRYPTING, entry.m_strPath));
    LOGGER::g_HVLog.Log("Start Decrypt %s", file.strPath.c_str());

    std::string strWhy;
    const std::shared_ptr<HVUniqueFd> pFd = m_folders.Open(file.pFolder, strWhy);
    const SHVFileRef ref = pFd ? HVRunAct::Ref(pFd->Get(), file, false) : SHVFileRef{};
    SDecryptEnd end;
    int nResult = pFd ? m_encrypt.DecryptFileAt(ref) : HVNC_CHANGED;
    if (nResult == HVNC_WRONG_PASSWORD) {
        nResult = RetryDecrypt(entry, ref, nResult, end);
    }
    return CountDecrypt(nIndex, nResult, end, std::move(strWhy), m_encrypt.GetLastError());
}

int CProgrssManagerWork::RetryDecrypt(const CItemData& entry, const SHVFileRef& ref, int nResult, SDecryptEnd& end)
{
    int nAttempt = 0;
    end = SDecryptEnd{};
    while (nResult == HVNC_WRONG_PASSWORD) {
        if (nAttempt == 0) {
            // The run's password did not open it: the master password may.
            nAttempt = 1;
            m_encrypt.SetPassword(m_strMasterPassword.Utf16Units());
        } else {
            if (nAttempt > 1 && m_pUi != nullptr) {
                m_pUi->ShowMessage(HVLoadString(IDS_WRONG_PASSWORD));
            }
            ++nAttempt;
            CSecureBuffer typed;
            const bool bOk = m_pUi != nullptr && m_pUi->EnterPassword(entry.m_strPath, typed);
            if (!bOk) {
                end.bRefused = true;
                end.bSkipped = m_pUi != nullptr && m_pUi->RefusalSkipsFile();
                break;
            }
            m_encrypt.SetPassword(typed.Utf16Units());
        }
        nResult = m_encrypt.DecryptFileAt(ref);
    }
    return nResult;
}

CProgrssManagerWork::EStep CProgrssManagerWork::CountDecrypt(
    std::size_t nIndex, int nResult, const SDecryptEnd& end, std::string strWhy, const std::string& strEngine)
{
    CItemData& entry = *m_arrFiles[nIndex];
    CItemData& owner = entry.m_pOwner != nullptr ? *entry.m_pOwner : entry;
    if (!end.bRefused && nResult == HVNC_OK) {
        ++m_counters.m_nSucceeded;
        HVItemStates::SetEncryptState(owner, CItemData::StateSucceeded);
    } else {
        ++m_counters.m_nFailed;
        HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
        if (end.bRefused) {
            strWhy = end.bSkipped ? "no given password opened it" : "no password was given";
        } else if (strWhy.empty()) {
            strWhy = EngineWhy(nResult, strEngine);
        }
        Problem(owner, m_arrRunFiles[nIndex], "decrypt", strWhy);
        if (end.bRefused && !end.bSkipped) {
            return EStep::EndRun;
        }
    }
    return StopSignal().IsSet() ? EStep::Cancelled : EStep::Next;
}

int CProgrssManagerWork::EncryptListed(int nDirFd, SRunFile& file, std::string& strWhy)
{
    int nResult = HVRunAct::CheckListed(nDirFd, file, false, nullptr, strWhy);
    if (nResult != HVNC_OK) {
        return nResult;
    }
    HVRunAct::TakeState(nDirFd, file);  // what the wipe later finds must be what was read now
    if (file.bLink) {
        // The target's content, written beside the link under the link's name.
        int nTargetDirFd = -1;
        std::string strTargetName;
        nResult = HVRunAct::OpenLinkTarget(nDirFd, file, nTargetDirFd, strTargetName, strWhy);
        if (nResult != HVNC_OK) {
            return nResult;
        }
        SRunFile target = file;
        target.strName = strTargetName;
        target.bLink = false;
        nResult = m_encrypt.EncryptFileAt(HVRunAct::Ref(nTargetDirFd, target, true), nDirFd, file.strName + ".hvnc");
        ::close(nTargetDirFd);
    } else {
        nResult = m_encrypt.EncryptFileAt(HVRunAct::Ref(nDirFd, file, true));
    }
    if (nResult != HVNC_OK) {
        strWhy = EngineWhy(nResult, m_encrypt.GetLastError());
    }
    return nResult;
}

int CProgrssManagerWork::RemoveName(int nDirFd, const SRunFile& file, std::string& strWhy)
{
    if (file.bLink) {
        return HVRunAct::RemoveName(nDirFd, file, strWhy);  // the link itself; its target stays
    }
    const int nResult = m_wipe.WipeFileAt(HVRunAct::Ref(nDirFd, file, false), true);
    if (nResult != HVNC_OK) {
        strWhy = EngineWhy(nResult, m_wipe.GetLastError());
    }
    return nResult;
}

CProgrssManagerWork::EWipeHow CProgrssManagerWork::DecideWipe(
    int nDirFd, const SRunFile& file, const CItemData& entry, int& nResult, std::string& strWhy)
{
    std::uint64_t nLinks = 1;
    nResult = HVRunAct::CheckListed(nDirFd, file, false, &nLinks, strWhy);
    if (nResult != HVNC_OK) {
        return EWipeHow::Refused;
    }
    if (file.bLink) {
        return EWipeHow::RemoveName;  // the content is the target's, outside the selection
    }
    if (nLinks > 1) {
        // Only a name may go, the content stays: whether it changed does not matter (removing
        // another of its names changes its change time).
        const QString strText = QString::fromLatin1(IProgrssManagerUi::kHardLinkQuestion).arg(entry.m_strPath);
        if (Ask(0, m_nAnswerHardLink, IProgrssManagerUi::EAttribute::HardLink, strText)) {
            return EWipeHow::RemoveName;
        }
        nResult = HVNC_MULTIPLE_LINKS;
        strWhy = "the file has other names (hard links); it was not overwritten and stays in place";
        return EWipeHow::Refused;
    }
    nResult = HVRunAct::CheckListed(nDirFd, file, true, nullptr, strWhy);
    if (nResult != HVNC_OK) {
        return EWipeHow::Refused;
    }
    return EWipeHow::Wipe;
}

void CProgrssManagerWork::CountWipe(
    CItemData& owner, const SRunFile& file, int nResult, const std::string& strWhy, const std::string& strWeak)
{
    if (nResult == HVNC_OK) {
        ++m_counters.m_nWipeSucceeded;
        HVItemStates::SetWipeState(owner, CItemData::StateSucceeded);
        if (!strWeak.empty()) {
            ++m_details.nWeakMediumWipes;
            if (m_details.strWeakMedium.empty()) {
                m_details.strWeakMedium = strWeak;
            }
        }
        return;
    }
    ++m_counters.m_nWipeFailed;
    HVItemStates::SetWipeState(owner, CItemData::StateFailed);
    Problem(owner, file, "wipe", strWhy.empty() ? std::string(HvncResultText(nResult)) : strWhy);
}

CProgrssManagerWork::EStep CProgrssManagerWork::SecureOne(std::size_t nIndex)
{
    CItemData& entry = *m_arrFiles[nIndex];
    SRunFile& file = m_arrRunFiles[nIndex];
    CItemData& owner = entry.m_pOwner != nullptr ? *entry.m_pOwner : entry;

    std::string strWhy;
    const std::shared_ptr<HVUniqueFd> pFd = m_folders.Open(file.pFolder, strWhy);
    const int nDirFd = pFd ? pFd->Get() : -1;
    if (!pFd || !CheckAttributes(entry, nDirFd, file, strWhy)) {
        if (m_bEncryptFlag) {
            ++m_counters.m_nFailed;
            HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
        }
        if (m_bWipeFlag) {
            ++m_counters.m_nWipeFailed;
            HVItemStates::SetWipeState(owner, CItemData::StateFailed);
        }
        Problem(owner, file, m_bEncryptFlag ? "encrypt" : "wipe", strWhy);
        AddOverall(entry.m_nSize);  // its share of the run is done
        return EStep::Next;
    }

    if (m_bEncryptFlag) {
        ++m_counters.m_nProcessed;
        Status(HVFormatString(IDS_STATUS_ENCRYPTING, entry.m_strPath));
        LOGGER::g_HVLog.Log("Start Encrypt %s", file.strPath.c_str());
        const int nResult = EncryptListed(nDirFd, file, strWhy);
        if (nResult == HVNC_OK) {
            ++m_counters.m_nSucceeded;
            HVItemStates::SetEncryptState(owner, CItemData::StateSucceeded);
        } else {
            ++m_counters.m_nFailed;
            HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
            Problem(owner, file, "encrypt", strWhy);
            if (m_bWipeFlag) {
                ++m_counters.m_nWipeFailed;
                HVItemStates::SetWipeState(owner, CItemData::StateFailed);
            }
            return EStep::Next;
        }
    }

    StartFile(entry.m_nSize);
    if (m_bWipeFlag) {
        ++m_counters.m_nWipeAttempted;
        if (m_bEncryptFlag && !HVItemStates::IsSucceeded(owner.m_nEncryptState)) {
            // A file of a folder whose encryption partly failed keeps its source.
            CountWipe(
                owner, file, HVNC_FAILED, "not wiped: another part of its item failed, so its sources are kept", {});
            return EStep::Next;
        }
        Status(HVFormatString(IDS_STATUS_WIPING, entry.m_strPath));
        LOGGER::g_HVLog.Log("Start Wipe %s", file.strPath.c_str());
        if (m_beforeWipe) {
            m_beforeWipe(nIndex, entry);
        }
        int nResult = HVNC_OK;
        std::string strWeak;
        switch (DecideWipe(nDirFd, file, entry, nResult, strWhy)) {
        case EWipeHow::Wipe:
            ForwardStop(m_wipe);
            nResult = m_wipe.WipeFileAt(HVRunAct::Ref(nDirFd, file, true));
            if (nResult == HVNC_OK) {
                strWeak = m_wipe.WasWeakMedium() ? m_wipe.GetWeakMediumReason() : std::string();
            } else {
                strWhy = EngineWhy(nResult, m_wipe.GetLastError());
            }
            break;
        case EWipeHow::RemoveName:
            nResult = RemoveName(nDirFd, file, strWhy);
            break;
        case EWipeHow::Refused:
            break;
        }
        CountWipe(owner, file, nResult, strWhy, strWeak);
    }
    if (entry.m_nSize == 0) {
        m_dCurrentPercent = 100.0;  // nothing to count in bytes: the file is done
        Report();
    }
    return StopSignal().IsSet() ? EStep::Cancelled : EStep::Next;
}
