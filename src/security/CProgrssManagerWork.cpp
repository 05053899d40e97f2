#include "security/CProgrssManagerWork.h"

#include "engines/HVWipeFile.h"
#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"
#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"
#include "security/CRunFileLister.h"
#include "security/HVItemStates.h"
#include "security/HVRunAct.h"
#include "security/HVRunFiles.h"

#include <QFile>

#include <algorithm>
#include <limits>

namespace {

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b)
{
    return b > std::numeric_limits<std::uint64_t>::max() - a ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

}  // namespace

int CProgrssManagerWork::Run()
{
    m_details = SRunDetails{};
    m_bLocked = false;
    std::string strWhy;
    if (!m_lock.TryAcquire(m_options.m_strRunLock, strWhy)) {
        // Another run of this user writes now: nothing is listed or touched.
        m_bLocked = true;
        m_details.strRefusal = strWhy;
        LOGGER::g_HVLog.Log("Run refused: %s", strWhy.c_str());
        if (m_pUi != nullptr) {
            m_pUi->ShowMessage(QString::fromStdString(strWhy));
        }
        Finish(false);
        return 0;
    }
    Status(HVLoadString(IDS_STATUS_LISTING));
    BuildFileList();
    if (StopSignal().IsSet()) {
        ClearFileList();  // cancelled while listing: nothing is processed
    }
    if (m_arrFiles.empty()) {
        Finish(StopSignal().IsSet());
        return 0;
    }

    std::uint64_t nSum = 0;
    for (const auto& entry : m_arrFiles) {
        nSum = SaturatingAdd(nSum, entry->m_nSize);
    }
    m_dOverallPercent = 0.0;
    m_nOverallTotal = 0;
    Report();
    if (!CheckFreeSpace(nSum)) {
        m_bNoSpace = true;
        m_details.strRefusal = HVLoadString(IDS_ERR_DISK_SPACE).toStdString();
        if (m_pUi != nullptr) {
            m_pUi->ShowMessage(HVLoadString(IDS_ERR_DISK_SPACE));
        }
        Finish(false);
        return 0;
    }
    if (m_nDecrypt == 1) {
        m_nOverallTotal = nSum;
    } else {
        m_nOverallTotal = SaturatingAdd(m_bEncryptFlag ? nSum : 0, m_bWipeFlag ? nSum : 0);
    }

    bool bCancelled = false;
    std::size_t i = 0;
    for (; i < m_arrFiles.size(); ++i) {
        if (std::size_t nEnd = WindowEnd(i); nEnd - i > 1) {
            const EStep step = m_nDecrypt == 1 ? DecryptWindow(i, nEnd) : SecureWindow(i, nEnd);
            bCancelled = step == EStep::Cancelled;
            i = nEnd - 1;
            if (step != EStep::Next) {
                ++i;
                break;
            }
            continue;
        }
        if (!StartListedFile(i)) {
            bCancelled = true;
            break;
        }
        const EStep step = m_nDecrypt == 1 ? DecryptOne(i) : SecureOne(i);
        if (step == EStep::Cancelled) {
            bCancelled = true;
            ++i;
            break;
        }
        if (step == EStep::EndRun) {
            ++i;
            break;
        }
    }
    Finish(bCancelled, i);
    return 0;
}

void CProgrssManagerWork::BuildFileList()
{
    ClearFileList();
    HVRaiseOpenFileLimit();
    CRunFileLister lister(StopSignal(), m_nDecrypt == 1, m_bEncryptFlag != 0, m_arrFiles, m_arrRunFiles);
    lister.SetNameObserver(m_listingObserver);
    lister.SetDetails(&m_details);
    lister.SetFailureSink([this](CItemData& owner, const std::string&, const std::string&) {
        // A part of the item that cannot be read fails the item: it never counts as succeeded.
        if (m_nDecrypt == 1 || m_bEncryptFlag) {
            ++m_counters.m_nFailed;
            HVItemStates::SetEncryptState(owner, CItemData::StateFailed);
        }
        if (m_nDecrypt != 1 && m_bWipeFlag) {
            ++m_counters.m_nWipeFailed;
            HVItemStates::SetWipeState(owner, CItemData::StateFailed);
        }
    });
    for (CItemData* pItem : m_arrSelected) {
        if (StopSignal().IsSet()) {
            ClearFileList();
            return;
        }
        if (pItem == nullptr) {
            continue;
        }
        pItem->m_nWipeState = CItemData::StateNotProcessed;
        if (pItem->m_nKind == CItemData::KindFile) {
            lister.AddSelectedFile(*pItem);
        } else if (pItem->m_nKind == CItemData::KindFolder) {
            lister.AddSelectedFolder(*pItem);
        }
    }
}

bool CProgrssManagerWork::CheckFreeSpace(std::uint64_t nTotal)
{
    // Asked through the descriptor of the first file's selected folder (held open for the run):
    // its path may not be valid text, and may no longer lead there. Folders below it are not
    // opened before their files are acted on.
    const SRunFolder* pRoot = m_arrRunFiles.front().pFolder.get();
    while (pRoot->pParent) {
        pRoot = pRoot->pParent.get();
    }
    const std::optional<std::uint64_t> nFree = m_freeSpace ? m_freeSpace(m_arrRunFiles.front().pFolder->strPath)
                                                           : HVRunFiles::FreeBytesAt(pRoot->pPinned->Get());
    if (!nFree) {
        LOGGER::g_HVLog.Log("Free space query failed for %s", m_arrRunFiles.front().pFolder->strPath.c_str());
        return false;
    }
    return *nFree > nTotal;
}

void CProgrssManagerWork::Finish(bool bCancelled, std::size_t nNextFile)
{
    m_bCancelled = bCancelled;
    m_details.bCancelled = bCancelled;
    if (bCancelled && nNextFile < m_arrFiles.size()) {
        m_details.nNotStarted = static_cast<int>(m_arrFiles.size() - nNextFile);
    }
    m_strMasterPassword.clear();
    if (!bCancelled && m_nOverallTotal == 0 && !m_arrFiles.empty() && !m_bNoSpace) {
        m_dOverallPercent = 100.0;  // nothing to count in bytes: the run is all done
        Report();
    }
    m_lock.Release();
    if (m_pUi != nullptr) {
        m_pUi->RunEnded(bCancelled ? IProgrssManagerUi::EEnd::Cancelled : IProgrssManagerUi::EEnd::Finished);
    }
    BusySignal().Reset();  // the worker's last act
}

bool CProgrssManagerWork::StartListedFile(std::size_t nIndex)
{
    CItemData& entry = *m_arrFiles[nIndex];
    StartFile(entry.m_nSize);
    if (StopSignal().IsSet()) {
        return false;
    }
    if (m_beforeFile) {
        m_beforeFile(nIndex, entry);
    }
    return true;
}

bool CProgrssManagerWork::StartWindowFile(std::size_t nIndex, std::shared_ptr<HVUniqueFd>& pFd, std::string& strWhy)
{
    if (!StartListedFile(nIndex)) {
        return false;
    }
    pFd = m_folders.Open(m_arrRunFiles[nIndex].pFolder, strWhy);
    return true;
}

void CProgrssManagerWork::StartFile(std::uint64_t nSize)
{
    m_nCurrentSize = nSize;
    m_dCurrentPercent = 0.0;
    Report();
}

void CProgrssManagerWork::OnEngineProgress(std::uint32_t nBytes)
{
    if (m_nCurrentSize != 0) {
        m_dCurrentPercent = std::min(100.0, m_dCurrentPercent + 100.0 * nBytes / static_cast<double>(m_nCurrentSize));
    }
    AddOverall(nBytes);
}

void CProgrssManagerWork::AddOverall(std::uint64_t nBytes)
{
    if (m_nOverallTotal != 0) {
        m_dOverallPercent = std::min(
            100.0, m_dOverallPercent + 100.0 * static_cast<double>(nBytes) / static_cast<double>(m_nOverallTotal));
    }
    Report();
}

void CProgrssManagerWork::Report()
{
    const int nCurrent = static_cast<int>(m_dCurrentPercent);
    const int nOverall = static_cast<int>(m_dOverallPercent);
    if (nCurrent == m_nShownCurrent && nOverall == m_nShownOverall) {
        return;  // the bars would not move
    }
    m_nShownCurrent = nCurrent;
    m_nShownOverall = nOverall;
    if (m_pUi != nullptr) {
        m_pUi->SetProgress(m_dCurrentPercent, m_dOverallPercent);
    }
}

void CProgrssManagerWork::Status(const QString& strText)
{
    if (m_pUi != nullptr) {
        m_pUi->SetStatusText(HVGlobalMFC::HVPathDisplay(strText));  // a label: names shown, not kept
    }
}
