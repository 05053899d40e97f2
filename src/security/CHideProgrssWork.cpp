#include "security/CHideProgrssWork.h"

#include "globalfuncs/HVPathText.h"
#include "hiding/IHidingEngine.h"
#include "logging/CHVLog.h"
#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"
#include "security/HVItemStates.h"

#include <string>
#include <sys/stat.h>

namespace {

// Keeps the busy signal's promise on every way out of the worker.
class CBusyGuard
{
public:
    explicit CBusyGuard(CSignal& sigBusy)
        : m_sigBusy(sigBusy)
    {
    }
    ~CBusyGuard() { m_sigBusy.Reset(); }
    CBusyGuard(const CBusyGuard&) = delete;
    CBusyGuard& operator=(const CBusyGuard&) = delete;

private:
    CSignal& m_sigBusy;
};

}  // namespace

CHideProgrssWork::CHideProgrssWork() = default;

CHideProgrssWork::~CHideProgrssWork()
{
    StopAndJoin();
}

void CHideProgrssWork::Initialise(int bUnhide, int bPageFlag, int bEncrypt, IHideProgrssUi* pUi)
{
    m_pUi = pUi;
    m_bUnhide = bUnhide == 1 ? 1 : 0;
    // Only the follow-up of a Secure Data run hides encrypted files.
    m_bEncryptFlag = (bPageFlag == 0 && bEncrypt != 0) ? 1 : 0;
    m_counters = SHideCounters{};
    m_nPosition = 0;
    m_bCancelled = false;
    m_sigBusy.Set();
    m_sigStop.Reset();
}

int CHideProgrssWork::Run()
{
    CBusyGuard busy(m_sigBusy);
    bool bCancelled = false;
    m_details = SRunDetails{};
    std::string strWhy;
    if (!m_lock.TryAcquire(m_strRunLock, strWhy)) {
        m_details.strRefusal = strWhy;
        LOGGER::g_HVLog.Log("Hide run refused: %s", strWhy.c_str());
        Finish(false);
        return 0;
    }
    // What each item is now: an item swapped for something else later is not hidden.
    m_arrIdentity.assign(m_arrItems.size(), {0, 0});
    for (std::size_t i = 0; i < m_arrItems.size(); ++i) {
        struct stat st
        {
        };
        if (m_arrItems[i] != nullptr && ::lstat(HVGlobalMFC::HVPathToStd(m_arrItems[i]->m_strPath).c_str(), &st) == 0) {
            m_arrIdentity[i] = {st.st_dev, st.st_ino};
        }
    }
    try {
        m_arrFolders.clear();
        m_mapFolderIndex.clear();
        LOGGER::g_HVLog.Log("Start Hide");
        Progress();

        for (std::size_t i = 0; i < m_arrItems.size(); ++i) {
            // Stop is looked at before the item is counted, so that the count of items taken
            // holds only items that were worked on.
            if (m_sigStop.IsSet()) {
                bCancelled = true;
                m_details.nNotStarted = static_cast<int>(m_arrItems.size() - i);
                break;
            }
            CItemData* pItem = m_arrItems[i];
            if (pItem != nullptr && m_beforeItem) {
                m_beforeItem(i, *pItem);
            }
            if (pItem != nullptr && m_bUnhide != 1 && !SameAsListed(i, *pItem)) {
                ++m_counters.m_nProcessed;
                HVItemStates::SetHideState(*pItem, CItemData::StateFailed);
                Count(false);
                Problem(*pItem,
                        pItem->m_strPath,
                        "it is no longer what was there when the run began (replaced or moved); not hidden");
            } else if (pItem != nullptr) {
                ++m_counters.m_nProcessed;
                if (m_bUnhide == 1) {
                    UnhideOne(*pItem);
                } else {
                    HideOne(*pItem);
                }
            }
            m_nPosition = static_cast<int>(i + 1);
            Progress();
            if (m_itemDone && pItem != nullptr) {
                m_itemDone(i, *pItem);
            }
            if (m_sigStop.IsSet()) {
                bCancelled = true;
                m_details.nNotStarted = static_cast<int>(m_arrItems.size() - i - 1);
                break;
            }
        }
    } catch (...) {
        // Nothing below throws on purpose; whatever did ends the run as it stands.
        LOGGER::g_HVLog.Log("Hide run ended by an unexpected failure");
    }
    // The folders recorded so far are refreshed also after a cancel.
    RefreshFolders();
    m_lock.Release();
    Finish(bCancelled);
    return 0;
}

void CHideProgrssWork::HideOne(CItemData& item)
{
    Status(HVFormatString(IDS_STATUS_HIDING, item.m_strPath));
    RecordFolder(item.m_strPath);
    LOGGER::g_HVLog.Log("Start Hide %s", item.m_strPath.toUtf8().constData());

    bool bOk = false;
    std::string strWhy;
    QString strTarget = item.m_strPath;
    if (item.m_nKind == CItemData::KindFile) {
        if (m_bEncryptFlag == 0) {
            bOk = CallHidePath(item.m_strPath, strWhy);
        } else if (HVItemStates::IsSucceeded(item.m_nEncryptState)) {
            // The plain file was wiped; its encrypted copy is what is hidden.
            strTarget = item.m_strPath + QStringLiteral(".hvnc");
            bOk = CallHidePath(strTarget, strWhy);
        } else {
            // Not encrypted: hiding the plain file would pass it off as protected.
            strWhy = "not hidden: its encryption did not succeed";
        }
    } else if (item.m_nKind == CItemData::KindFolder) {
        struct stat st
        {
        };
        if (::lstat(HVGlobalMFC::HVPathToStd(item.m_strPath).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            strWhy = "is a symbolic link to a folder; links are not followed";
        } else {
            bOk = CallHidePath(item.m_strPath, strWhy);
        }
    } else {
        return;  // unknown kind: passed over
    }
    if (!bOk) {
        Problem(item, strTarget, strWhy);
    }
    HVItemStates::SetHideState(item, bOk ? CItemData::StateSucceeded : CItemData::StateFailed);
    Count(bOk);
}

void CHideProgrssWork::UnhideOne(const CItemData& item)
{
    Status(HVFormatString(IDS_STATUS_UNHIDING, item.m_strPath));
    LOGGER::g_HVLog.Log("Start UnHide %s", item.m_strPath.toUtf8().constData());
    RecordFolder(item.m_strPath);
    // The path as given: its own case, and the protected list is not consulted.
    const bool bOk = CallUnhide(item.m_strPath);
    if (!bOk) {
        Problem(item, item.m_strPath, "could not be shown again");
    }
    Count(bOk);
}

bool CHideProgrssWork::CallHidePath(const QString& strPath, std::string& strWhy)
{
    bool bOk = false;
    if (m_fnHidePath) {
        try {
            bOk = m_fnHidePath(strPath) != 0;
        } catch (...) {
            bOk = false;
        }
    }
    if (!bOk) {
        struct stat st
        {
        };
        strWhy = ::lstat(HVGlobalMFC::HVPathToStd(strPath).c_str(), &st) != 0
                     ? "not found"
                     : "could not be hidden (a protected path, or the hiding engine refused it)";
    }
    return bOk;
}

bool CHideProgrssWork::SameAsListed(std::size_t nIndex, const CItemData& item) const
{
    struct stat st
    {
    };
    const auto& id = m_arrIdentity[nIndex];
    if (id.first == 0 && id.second == 0) {
        return true;  // not there when the run began: the hide itself says what became of it
    }
    return ::lstat(HVGlobalMFC::HVPathToStd(item.m_strPath).c_str(), &st) == 0 && st.st_dev == id.first
           && st.st_ino == id.second;
}

void CHideProgrssWork::Problem(const CItemData& item, const QString& strPath, const std::string& strWhy)
{
    const std::string strNative = HVGlobalMFC::HVPathToStd(strPath);
    LOGGER::g_HVLog.Log("Hide failed for %s: %s", strNative.c_str(), strWhy.c_str());
    m_details.Add(&item, strNative, m_bUnhide == 1 ? "unhide" : "hide", strWhy);
}

bool CHideProgrssWork::CallUnhide(const QString& strPath)
{
    bool bOk = false;
    if (m_pHideControl) {
        try {
            bOk = m_pHideControl->UnhideItem(HVGlobalMFC::HVPathToStd(strPath));
        } catch (...) {
            bOk = false;
        }
    }
    if (!bOk) {
        LOGGER::g_HVLog.Log("UnHide failed: %s", strPath.toUtf8().constData());
    }
    return bOk;
}

void CHideProgrssWork::Count(bool bOk)
{
    if (bOk) {
        ++m_counters.m_nSucceeded;
    } else {
        ++m_counters.m_nFailed;
    }
}

void CHideProgrssWork::Finish(bool bCancelled)
{
    m_bCancelled = bCancelled;
    m_details.bCancelled = bCancelled;
    if (m_pUi != nullptr) {
        try {
            m_pUi->RunEnded(bCancelled ? IHideProgrssUi::EEnd::Cancelled : IHideProgrssUi::EEnd::Finished);
        } catch (...) {
            LOGGER::g_HVLog.Log("Hide run: the front end failed at the end of the run");
        }
    }
    // The busy guard clears busy as the worker's last act.
}

void CHideProgrssWork::Status(const QString& strText)
{
    if (m_pUi != nullptr) {
        m_pUi->SetStatusText(HVGlobalMFC::HVPathDisplay(strText));  // a label: names shown, not kept
    }
}

void CHideProgrssWork::Progress()
{
    if (m_pUi != nullptr) {
        m_pUi->SetProgress(m_nPosition, ProgressRange());
    }
}
