// Decryption runs over many small files: a window of files decrypted in one engine batch.
//
// The batch shares the syncs of its outputs; the results are then taken in list order exactly as
// file by file: counters, states and reasons, and for a file the run's password did not open, the
// silent retry under the master password and the prompts, in its turn. A wrong password writes
// nothing, so such a file is simply decrypted again there. Once a retry changed the engine's
// password, a later file of the window that the batch could not open is tried again with the new
// password first, as it would have been file by file.
#include "engines/HVWipeFile.h"
#include "engines/HvncResult.h"
#include "logging/CHVLog.h"
#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/HVRunAct.h"

namespace {

struct SDecryptSlot
{
    std::shared_ptr<HVUniqueFd> pFd;  // the file's folder, open while the window works
    std::string strWhy;               // why the folder could not be opened
    int nResult = HVNC_CHANGED;
    std::string strEngine;
};

// The engine acted on the file (a wrong password and a stop before it began leave it untouched).
bool WasActedOn(int nResult)
{
    return nResult != HVNC_WRONG_PASSWORD && nResult != HVNC_CANCELLED;
}

}  // namespace

CProgrssManagerWork::EStep CProgrssManagerWork::DecryptWindow(std::size_t nBegin, std::size_t& nEnd)
{
    std::vector<SDecryptSlot> window;
    window.reserve(nEnd - nBegin);
    bool bStopped = false;
    for (std::size_t i = nBegin; i < nEnd; ++i) {
        SDecryptSlot slot;
        if (!StartWindowFile(i, slot.pFd, slot.strWhy)) {
            bStopped = true;
            break;
        }
        window.push_back(std::move(slot));
    }

    std::vector<SHVFileRef> refs;
    std::vector<std::size_t> index;
    std::uint64_t nBytes = 0;
    for (std::size_t k = 0; k < window.size(); ++k) {
        if (window[k].pFd) {
            refs.push_back(HVRunAct::Ref(window[k].pFd->Get(), m_arrRunFiles[nBegin + k], false));
            index.push_back(k);
            nBytes += m_arrFiles[nBegin + k]->m_nSize;
        }
    }
    if (StopSignal().IsSet()) {
        bStopped = true;  // stopped before the batch: none of the window's files is started
        window.clear();
    } else if (!refs.empty()) {
        StartFile(nBytes);  // the current-file bar follows the whole window
        Status(HVFormatString(IDS_STATUS_DECRYPTING, m_arrFiles[nBegin + index.front()]->m_strPath));
        std::vector<int> results;
        (void)m_encrypt.DecryptFilesAt(refs, results);
        const std::vector<std::string>& whys = m_encrypt.GetBatchReasons();
        for (std::size_t n = 0; n < index.size(); ++n) {
            window[index[n]].nResult = n < results.size() ? results[n] : HVNC_FAILED;
            window[index[n]].strEngine = n < whys.size() ? whys[n] : std::string();
        }
    }

    // The results in list order. After the run's end inside the window, only the files the batch
    // did act on are still counted (what happened on disk is reported); the others never started.
    bool bRetried = false;
    EStep eEnd = EStep::Next;
    std::size_t nNext = nBegin + window.size();
    for (std::size_t k = 0; k < window.size(); ++k) {
        SDecryptSlot& slot = window[k];
        const std::size_t i = nBegin + k;
        if (eEnd != EStep::Next && (!slot.pFd || !WasActedOn(slot.nResult))) {
            continue;
        }
        CItemData& entry = *m_arrFiles[i];
        ++m_counters.m_nProcessed;
        Status(HVFormatString(IDS_STATUS_DECRYPTING, entry.m_strPath));
        LOGGER::g_HVLog.Log("Start Decrypt %s", m_arrRunFiles[i].strPath.c_str());
        SDecryptEnd end;
        if (slot.pFd && slot.nResult == HVNC_WRONG_PASSWORD) {
            const SHVFileRef ref = HVRunAct::Ref(slot.pFd->Get(), m_arrRunFiles[i], false);
            if (bRetried) {
                slot.nResult = m_encrypt.DecryptFileAt(ref);  // the password now in use comes first
            }
            if (slot.nResult == HVNC_WRONG_PASSWORD) {
                slot.nResult = RetryDecrypt(entry, ref, slot.nResult, end);
                bRetried = true;
            }
            slot.strEngine = m_encrypt.GetLastError();
        }
        const EStep step = CountDecrypt(i, slot.nResult, end, slot.strWhy, slot.strEngine);
        if (step != EStep::Next && eEnd == EStep::Next) {
            eEnd = step;
        }
        if (eEnd != EStep::Next) {
            nNext = i + 1;  // the files after the last one counted were not started
        }
    }
    m_dCurrentPercent = 100.0;
    Report();
    if (eEnd != EStep::Next) {
        nEnd = nNext;
        return eEnd;
    }
    if (bStopped) {
        nEnd = nBegin + window.size();
        return EStep::Cancelled;
    }
    return EStep::Next;
}
