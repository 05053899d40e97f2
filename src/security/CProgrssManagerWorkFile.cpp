// The per-file steps of the encrypt, wipe and decrypt runner.
#include "engines/HVWipeFile.h"
#include "engines/HvncResult.h"
#include "logging/CHVLog.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/HVItemStates.h"
#include "security/HVRunAct.h"
#include "security/HVRunFiles.h"

#include <QFile>

#include "resources/HVResourceStrings.h"

namespace {

void WipeText(std::u16string& s)
{
    volatile char16_t* p = s.data();
    for (std::size_t i = 0; i < s.capacity(); ++i) {
        p[i] = u'\0';
    }
    s.clear();
}

// The engine's reason, with the descriptor path put back to the folder's own path.
std::string EngineWhy(int nResult, const std::string& strEngine, int nDirFd, const SRunFile& file)
{
    const std::string strText = HvncResultText(nResult);
    if (strEngine.empty()) {
        return strText;
    }
    return nDirFd >= 0 ? HVRunAct::Readable(strEngine, nDirFd, file.pFolder->strPath) : strEngine;
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
    CItemData& owner = entry.m_pOwner != nullptr ? *entry.m_pOwner : entry;
    ++m_counters.m_nProcessed;
    Status(HVFormatString(IDS_STATUS_DECRYPTING, entry.m_strPath));
    LOGGER::g_HVLog.Log("Start Decrypt %s", file.strPath.c_str());

    std::string strWhy;
    const std::shared_ptr<HVUniqueFd> pFd = m_folders.Open(file.pFolder, strWhy);
    int nResult = pFd ? HVRunAct::CheckListed(pFd->Get(), file, false, nullptr, strWhy) : HVNC_CHANGED;
    const std::string strPath = pFd ? HVRunAct::FdPath(pFd->Get(), file.strName) : std::string();
    int nAttempt = 0;
    bool bRefused = false;
    if (nResult == HVNC_OK) {
        nResult = m_encrypt.DecryptFileW(strPath, std::string());
    }
    while (nResult == HVNC_WRONG_PASSWORD) {
        if (nAttempt == 0) {
            // The run's password did not open it: the master password may.
            nAttempt = 1;
            m_encrypt.SetPassword(m_strMasterPassword);
        } else {
            if (nAttempt > 1 && m_pUi != nullptr) {
                m_pUi->ShowMessage(HVLoadString(IDS_WRONG_PASSWORD));
            }
            ++nAttempt;
            std::u16string strTyped;
            const bool bOk = m_pUi != nullptr && m_pUi->EnterPassword(entry.m_strPath, strTyped);
            if (!bOk) {
                WipeText(strTyped);
                bRefused = true;
                break;
            }
            m_encrypt.SetPassword(strTyped);
            WipeText(strTyped);
        }
        nResult = HVRunAct::CheckListed(pFd->Get(), file, false, nullptr, strWhy);
        if (nResult == HVNC_OK) {
            nResult = m_encrypt.DecryptFileW(strPath, std::string());
        }
    }

    if (!bRefused && nResult == HVNC_OK) {
        ++m_counters.m_nSucceeded;
        HVItemStates::SetEncryptState(owner, CItemData::StateSucceeded);
    } else {
        ++m_counters.m_nFailed;
        HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
        if (bRefused) {
            strWhy = "no password was given";
        } else if (strWhy.empty()) {
            strWhy = EngineWhy(nResult, m_encrypt.GetLastError(), pFd ? pFd->Get() : -1, file);
        }
        Problem(owner, file, "decrypt", strWhy);
        if (bRefused) {
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
    if (m_encrypt.EncryptFileW(HVRunAct::FdPath(nDirFd, file.strName), nullptr, file.nSize, 1) != 0) {
        return HVNC_OK;
    }
    nResult = m_encrypt.GetLastResult() != HVNC_OK ? m_encrypt.GetLastResult() : HVNC_FAILED;
    strWhy = EngineWhy(nResult, m_encrypt.GetLastError(), nDirFd, file);
    return nResult;
}

CProgrssManagerWork::EWipeHow CProgrssManagerWork::DecideWipe(
    int nDirFd, const SRunFile& file, const CItemData& entry, int& nResult, std::string& strWhy)
{
    std::uint64_t nLinks = 1;
    nResult = HVRunAct::CheckListed(nDirFd, file, true, &nLinks, strWhy);
    if (nResult != HVNC_OK) {
        return EWipeHow::Refused;
    }
    if (file.bLink) {
        return EWipeHow::RemoveName;  // the content is the target's, outside the selection
    }
    if (nLinks > 1) {
        const QString strText = QString::fromLatin1(IProgrssManagerUi::kHardLinkQuestion).arg(entry.m_strPath);
        if (Ask(0, m_nAnswerHardLink, IProgrssManagerUi::EAttribute::HardLink, strText)) {
            return EWipeHow::RemoveName;
        }
        nResult = HVNC_MULTIPLE_LINKS;
        strWhy = "the file has other names (hard links); it was not overwritten and stays in place";
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
            if (m_wipe.WipeFile(HVRunAct::FdPath(nDirFd, file.strName), entry.m_nSize) != 0) {
                nResult = HVNC_OK;
                strWeak = m_wipe.WasWeakMedium() ? m_wipe.GetWeakMediumReason() : std::string();
            } else {
                nResult = HVNC_FAILED;
                strWhy = HVRunAct::Readable(m_wipe.GetLastError(), nDirFd, file.pFolder->strPath);
            }
            break;
        case EWipeHow::RemoveName:
            nResult = HVRunAct::RemoveName(nDirFd, file, strWhy);
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

bool CProgrssManagerWork::CheckAttributes(const CItemData& entry, int nDirFd, const SRunFile& file, std::string& strWhy)
{
    HVRunFiles::SAttributes attrs;
    if (!HVRunFiles::ReadAttributesAt(nDirFd, file.strName, attrs, strWhy)) {
        return false;
    }
    struct SQuestion
    {
        bool bSet;
        int nSetting;
        int* pnAnswer;
        IProgrssManagerUi::EAttribute eKind;
        unsigned nTextId;
    };
    const SQuestion questions[] = {
        {attrs.bHidden,
         m_options.m_nActionHidden,
         &m_nAnswerHidden,
         IProgrssManagerUi::EAttribute::Hidden,
         IDS_ASK_HIDDEN_FILE},
        {attrs.bReadOnly,
         m_options.m_nActionReadOnly,
         &m_nAnswerReadOnly,
         IProgrssManagerUi::EAttribute::ReadOnly,
         IDS_ASK_READONLY_FILE},
        {attrs.bSystem,
         m_options.m_nActionSystem,
         &m_nAnswerSystem,
         IProgrssManagerUi::EAttribute::System,
         IDS_ASK_SYSTEM_FILE},
    };
    for (const SQuestion& q : questions) {
        if (!q.bSet) {
            continue;
        }
        if (!Ask(q.nSetting, *q.pnAnswer, q.eKind, HVFormatString(q.nTextId, entry.m_strPath))) {
            strWhy = q.eKind == IProgrssManagerUi::EAttribute::Hidden     ? "a hidden file; declined"
                     : q.eKind == IProgrssManagerUi::EAttribute::ReadOnly ? "a read-only file; declined"
                                                                          : "a file of another user; declined";
            return false;
        }
        // Yes covers all three, so a file that is hidden and read-only is asked about once.
        // Nothing is changed on the file: reading needs no write permission, the wipe engine
        // makes a read-only file of this user writable itself, and the encrypted file keeps the
        // original mode.
        break;
    }
    return true;
}

bool CProgrssManagerWork::Ask(int nSetting,
                              int& nRunAnswer,
                              IProgrssManagerUi::EAttribute eKind,
                              const QString& strText)
{
    if (nSetting == 1) {
        return true;
    }
    if (nSetting != 0) {
        return false;
    }
    if (nRunAnswer == 1) {
        return true;
    }
    if (nRunAnswer == 2) {
        return false;
    }
    bool bApplyToAll = false;
    const bool bYes = m_pUi != nullptr && m_pUi->AskAttribute(eKind, strText, bApplyToAll);
    if (bApplyToAll) {
        nRunAnswer = bYes ? 1 : 2;
    }
    return bYes;
}
