// Encryption and wipe runs over many small files: the work of a window of files at once.
//
// Every encrypted file and every wipe is made durable, so a run over small files waits on the
// disk far more than it computes. A window shares the encryption's syncs (one engine batch) and
// overlaps the wipes, while every decision is still taken in list order: the attribute
// questions are asked file by file, the encryption results are applied file by file before the
// wipe of each file is decided, and the wipe states are applied file by file. Counters, states,
// and which files are wiped, come out as when the files are taken one by one.
#include "engines/HVWipeFile.h"
#include "engines/HvncResult.h"
#include "logging/CHVLog.h"
#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/HVItemStates.h"
#include "security/HVRunAct.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <unordered_set>

namespace {

enum class EWipe
{
    None,     // no wipe planned
    Failed,   // counted as a failed wipe without wiping (refused, not encrypted, ...)
    Pending,  // to be wiped
    Done,     // settled without the engine (only a name removed, or failed before it)
};

struct SSlot
{
    std::size_t nIndex = 0;
    CItemData* pEntry = nullptr;
    SRunFile* pFile = nullptr;
    std::shared_ptr<HVUniqueFd> pFd;  // the file's folder, open while the window works
    bool bAccepted = false;
    std::string strRefused;
    int nEncrypt = HVNC_OK;
    std::string strWhy;
    EWipe eWipe = EWipe::None;
    int nWipe = HVNC_OK;
    std::string strWipeWhy;
    std::string strWeak;
};

}  // namespace

std::size_t CProgrssManagerWork::WindowEnd(std::size_t nBegin) const
{
    std::uint64_t nBytes = 0;
    std::unordered_set<QString> seen;
    std::size_t i = nBegin;
    while (i < m_arrFiles.size() && i - nBegin < m_nWindowFiles) {
        const CItemData& entry = *m_arrFiles[i];
        if (m_arrRunFiles[i].bLink) {
            return i == nBegin ? i + 1 : i;  // a selected link goes alone (its output is not beside its target)
        }
        if (entry.m_nSize > kWindowBytes - nBytes) {
            break;  // a large file goes alone, so a cancel can end it early
        }
        if (!seen.insert(QString::fromStdString(std::to_string(m_arrRunFiles[i].nDev) + ":"
                                                + std::to_string(m_arrRunFiles[i].nIno)))
                 .second) {
            break;  // the same file twice: the second must see what the first did
        }
        nBytes += entry.m_nSize;
        ++i;
    }
    return i;
}

CProgrssManagerWork::EStep CProgrssManagerWork::SecureWindow(std::size_t nBegin, std::size_t nEnd)
{
    std::vector<SSlot> window;
    window.reserve(nEnd - nBegin);
    bool bStopped = false;
    for (std::size_t i = nBegin; i < nEnd; ++i) {
        SSlot slot;
        if (!StartWindowFile(i, slot.pFd, slot.strRefused)) {
            bStopped = true;
            break;
        }
        slot.nIndex = i;
        slot.pEntry = m_arrFiles[i].get();
        slot.pFile = &m_arrRunFiles[i];
        if (slot.pFd) {
            slot.bAccepted = CheckAttributes(*slot.pEntry, slot.pFd->Get(), *slot.pFile, slot.strRefused);
        }
        window.push_back(std::move(slot));
    }

    // A stop that came while the questions of this window were asked: its accepted files are
    // not started (no encryption and no wipe begins after a stop).
    const bool bStopBeforeWork = StopSignal().IsSet();
    if (m_bEncryptFlag && !bStopBeforeWork) {
        std::vector<SHVFileRef> refs;
        std::vector<std::size_t> index;
        for (std::size_t k = 0; k < window.size(); ++k) {
            SSlot& slot = window[k];
            if (!slot.bAccepted) {
                continue;
            }
            slot.nEncrypt = HVRunAct::CheckListed(slot.pFd->Get(), *slot.pFile, false, nullptr, slot.strWhy);
            if (slot.nEncrypt == HVNC_OK) {
                HVRunAct::TakeState(slot.pFd->Get(), *slot.pFile);
                refs.push_back(HVRunAct::Ref(slot.pFd->Get(), *slot.pFile, true));
                index.push_back(k);
            }
        }
        if (!refs.empty()) {
            std::uint64_t nBytes = 0;
            for (const std::size_t k : index) {
                nBytes += window[k].pEntry->m_nSize;
            }
            StartFile(nBytes);  // the current-file bar follows the whole window
            Status(HVFormatString(IDS_STATUS_ENCRYPTING, window[index.front()].pEntry->m_strPath));
            std::vector<int> results;
            (void)m_encrypt.EncryptFilesAt(refs, results);
            const std::vector<std::string>& whys = m_encrypt.GetBatchReasons();
            for (std::size_t n = 0; n < index.size(); ++n) {
                SSlot& slot = window[index[n]];
                slot.nEncrypt = n < results.size() ? results[n] : HVNC_FAILED;
                const std::string strEngine = n < whys.size() ? whys[n] : std::string();
                slot.strWhy = strEngine.empty() ? std::string(HvncResultText(slot.nEncrypt)) : strEngine;
            }
        }
    }

    // The encryption results in list order, and the wipe decided for each file.
    std::size_t nUsed = 0;
    for (SSlot& slot : window) {
        CItemData& owner = slot.pEntry->m_pOwner != nullptr ? *slot.pEntry->m_pOwner : *slot.pEntry;
        if (!slot.bAccepted) {
            if (m_bEncryptFlag) {
                ++m_counters.m_nFailed;
                HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
            }
            Problem(owner, *slot.pFile, m_bEncryptFlag ? "encrypt" : "wipe", slot.strRefused);
            slot.eWipe = m_bWipeFlag ? EWipe::Failed : EWipe::None;
            slot.strWipeWhy.clear();
            AddOverall(slot.pEntry->m_nSize);
            ++nUsed;
            continue;
        }
        if (bStopBeforeWork) {
            bStopped = true;
            break;
        }
        // The file being encrypted when the stop came counts as a failure; the ones after it
        // were never started.
        const bool bLast = m_bEncryptFlag && slot.nEncrypt == HVNC_CANCELLED && StopSignal().IsSet();
        if (bLast) {
            bStopped = true;
        }
        if (m_bEncryptFlag) {
            ++m_counters.m_nProcessed;
            LOGGER::g_HVLog.Log("Start Encrypt %s", slot.pFile->strPath.c_str());
            if (slot.nEncrypt == HVNC_OK) {
                ++m_counters.m_nSucceeded;
                HVItemStates::SetEncryptState(owner, CItemData::StateSucceeded);
            } else {
                Problem(owner, *slot.pFile, "encrypt", slot.strWhy);
                ++m_counters.m_nFailed;
                HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
                slot.eWipe = m_bWipeFlag ? EWipe::Failed : EWipe::None;
                ++nUsed;
                if (bLast) {
                    break;
                }
                continue;
            }
        }
        if (m_bWipeFlag) {
            ++m_counters.m_nWipeAttempted;
            if (m_bEncryptFlag && !HVItemStates::IsSucceeded(owner.m_nEncryptState)) {
                slot.eWipe = EWipe::Done;
                slot.nWipe = HVNC_FAILED;
                slot.strWipeWhy = "not wiped: another part of its item failed, so its sources are kept";
            } else {
                // Decided here, in list order: a question about a hard link comes in turn.
                if (m_beforeWipe) {
                    m_beforeWipe(slot.nIndex, *slot.pEntry);
                }
                switch (DecideWipe(slot.pFd->Get(), *slot.pFile, *slot.pEntry, slot.nWipe, slot.strWipeWhy)) {
                case EWipeHow::Wipe:
                    slot.eWipe = EWipe::Pending;
                    break;
                case EWipeHow::RemoveName:
                    slot.eWipe = EWipe::Done;
                    slot.nWipe = RemoveName(slot.pFd->Get(), *slot.pFile, slot.strWipeWhy);
                    break;
                case EWipeHow::Refused:
                    slot.eWipe = EWipe::Done;
                    break;
                }
            }
        }
        ++nUsed;
    }
    window.resize(nUsed);

    std::vector<SHVFileRef> wipeRefs;
    std::vector<std::size_t> wipeIndex;
    for (std::size_t k = 0; k < window.size(); ++k) {
        if (window[k].eWipe == EWipe::Pending) {
            wipeRefs.push_back(HVRunAct::Ref(window[k].pFd->Get(), *window[k].pFile, true));
            wipeIndex.push_back(k);
            LOGGER::g_HVLog.Log("Start Wipe %s", window[k].pFile->strPath.c_str());
        }
    }
    if (!wipeRefs.empty()) {
        std::uint64_t nBytes = 0;
        for (const std::size_t k : wipeIndex) {
            nBytes += window[k].pEntry->m_nSize;
        }
        StartFile(nBytes);
        Status(HVFormatString(IDS_STATUS_WIPING, window[wipeIndex.front()].pEntry->m_strPath));
        std::vector<int> results;
        std::vector<std::string> whys;
        std::vector<std::string> weak;
        WipeInParallel(wipeRefs, results, whys, weak);
        for (std::size_t n = 0; n < wipeIndex.size(); ++n) {
            SSlot& slot = window[wipeIndex[n]];
            slot.nWipe = results[n];
            slot.strWipeWhy = whys[n];
            slot.strWeak = weak[n];
        }
    }

    // The wipe states in list order.
    for (const SSlot& slot : window) {
        CItemData& owner = slot.pEntry->m_pOwner != nullptr ? *slot.pEntry->m_pOwner : *slot.pEntry;
        if (slot.eWipe == EWipe::None) {
            continue;
        }
        if (slot.eWipe == EWipe::Failed) {
            // Refused before encryption, or its encryption failed: already named as such.
            ++m_counters.m_nWipeFailed;
            HVItemStates::SetWipeState(owner, CItemData::StateFailed);
            continue;
        }
        CountWipe(owner, *slot.pFile, slot.nWipe, slot.strWipeWhy, slot.strWeak);
    }
    m_dCurrentPercent = 100.0;
    Report();
    return bStopped || StopSignal().IsSet() ? EStep::Cancelled : EStep::Next;
}

void CProgrssManagerWork::WipeInParallel(const std::vector<SHVFileRef>& files,
                                         std::vector<int>& results,
                                         std::vector<std::string>& whys,
                                         std::vector<std::string>& weak)
{
    results.assign(files.size(), HVNC_FAILED);
    whys.assign(files.size(), std::string());
    weak.assign(files.size(), std::string());
    std::atomic<std::size_t> nNext{0};
    std::atomic<std::uint64_t> nBytes{0};
    auto work = [&] {
        CWipeManager wipe;
        ConfigureWipe(wipe, [this, &wipe, &nBytes](std::uint32_t n) {
            ForwardStop(wipe);
            nBytes.fetch_add(n, std::memory_order_relaxed);
        });
        AddWipeEngine(&wipe);  // from here on RequestStop reaches it
        for (std::size_t i = nNext++; i < files.size(); i = nNext++) {
            ForwardStop(wipe);
            results[i] = wipe.WipeFileAt(files[i]);
            if (results[i] != HVNC_OK) {
                whys[i] = wipe.GetLastError();
            } else if (wipe.WasWeakMedium()) {
                weak[i] = wipe.GetWeakMediumReason();
            }
        }
        RemoveWipeEngine(&wipe);
        wipe.m_sigBusy.Reset();
    };
    const unsigned nThreads = static_cast<unsigned>(std::min<std::size_t>(kWipeThreads, files.size()));
    std::vector<std::thread> threads;
    threads.reserve(nThreads);
    for (unsigned t = 1; t < nThreads; ++t) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads) {
        t.join();
    }
    const std::uint64_t nDone = nBytes.load();
    if (m_nCurrentSize != 0) {
        m_dCurrentPercent = std::min(
            100.0, m_dCurrentPercent + 100.0 * static_cast<double>(nDone) / static_cast<double>(m_nCurrentSize));
    }
    AddOverall(nDone);
}
