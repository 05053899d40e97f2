// The per-file steps of the encrypt, wipe and decrypt runner.
#include "engines/HvncResult.h"
#include "logging/CHVLog.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/HVItemStates.h"
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

std::string NativePath(const CItemData& entry)
{
    return QFile::encodeName(entry.m_strPath).toStdString();
}

void LogFailure(const char* pszWhat, const std::string& strPath, const std::string& strWhy)
{
    LOGGER::g_HVLog.Log("%s failed for %s: %s", pszWhat, strPath.c_str(), strWhy.c_str());
}

}  // namespace

CProgrssManagerWork::EStep CProgrssManagerWork::DecryptOne(CItemData& entry)
{
    CItemData& owner = entry.m_pOwner != nullptr ? *entry.m_pOwner : entry;
    const std::string strPath = NativePath(entry);
    ++m_counters.m_nProcessed;
    Status(HVFormatString(IDS_STATUS_DECRYPTING, entry.m_strPath));
    LOGGER::g_HVLog.Log("Start Decrypt %s", strPath.c_str());

    int nAttempt = 0;
    bool bRefused = false;
    int nResult = m_encrypt.DecryptFileW(strPath, std::string());
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
        nResult = m_encrypt.DecryptFileW(strPath, std::string());
    }

    if (!bRefused && nResult == HVNC_OK) {
        ++m_counters.m_nSucceeded;
        HVItemStates::SetEncryptState(owner, CItemData::StateSucceeded);
    } else {
        ++m_counters.m_nFailed;
        HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
        LogFailure("Decrypt", strPath, bRefused ? std::string("no password was given") : m_encrypt.GetLastError());
        if (bRefused) {
            return EStep::EndRun;
        }
    }
    return StopSignal().IsSet() ? EStep::Cancelled : EStep::Next;
}

CProgrssManagerWork::EStep CProgrssManagerWork::SecureOne(CItemData& entry)
{
    CItemData& owner = entry.m_pOwner != nullptr ? *entry.m_pOwner : entry;
    const std::string strPath = NativePath(entry);

    if (!CheckAttributes(entry)) {
        if (m_bEncryptFlag) {
            ++m_counters.m_nFailed;
            HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
        }
        if (m_bWipeFlag) {
            ++m_counters.m_nWipeFailed;
            HVItemStates::SetWipeState(owner, CItemData::StateFailed);
        }
        AddOverall(entry.m_nSize);  // its share of the run is done
        return EStep::Next;
    }

    if (m_bEncryptFlag) {
        ++m_counters.m_nProcessed;
        Status(HVFormatString(IDS_STATUS_ENCRYPTING, entry.m_strPath));
        LOGGER::g_HVLog.Log("Start Encrypt %s", strPath.c_str());
        if (m_encrypt.EncryptFileW(strPath, nullptr, entry.m_nSize, 1) != 0) {
            ++m_counters.m_nSucceeded;
            HVItemStates::SetEncryptState(owner, CItemData::StateSucceeded);
        } else {
            LogFailure("Encrypt", strPath, m_encrypt.GetLastError());
            ++m_counters.m_nFailed;
            HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
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
            ++m_counters.m_nWipeFailed;
            HVItemStates::SetWipeState(owner, CItemData::StateFailed);
            LOGGER::g_HVLog.Log("Not wiped, the encryption of its item did not succeed: %s", strPath.c_str());
            return EStep::Next;
        }
        Status(HVFormatString(IDS_STATUS_WIPING, entry.m_strPath));
        LOGGER::g_HVLog.Log("Start Wipe %s", strPath.c_str());
        ForwardStop(m_wipe);
        if (m_wipe.WipeFile(strPath, entry.m_nSize) != 0) {
            ++m_counters.m_nWipeSucceeded;
            HVItemStates::SetWipeState(owner, CItemData::StateSucceeded);
        } else {
            LogFailure("Wipe", strPath, m_wipe.GetLastError());
            ++m_counters.m_nWipeFailed;
            HVItemStates::SetWipeState(owner, CItemData::StateFailed);
        }
    }
    if (entry.m_nSize == 0) {
        m_dCurrentPercent = 100.0;  // nothing to count in bytes: the file is done
        Report();
    }
    return StopSignal().IsSet() ? EStep::Cancelled : EStep::Next;
}

bool CProgrssManagerWork::CheckAttributes(const CItemData& entry)
{
    const std::string strPath = NativePath(entry);
    HVRunFiles::SAttributes attrs;
    std::string strWhy;
    if (!HVRunFiles::ReadAttributes(strPath, attrs, strWhy)) {
        LogFailure("Attribute check", strPath, strWhy);
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
            LOGGER::g_HVLog.Log("Refused (attributes): %s", strPath.c_str());
            return false;
        }
        // Yes clears all three: a file that is hidden and read-only is asked about once.
        if (!HVRunFiles::ClearAttributes(strPath, strWhy)) {
            LogFailure("Clearing the attributes", strPath, strWhy);
        }
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
