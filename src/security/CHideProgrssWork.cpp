#include "security/CHideProgrssWork.h"

#include "hiding/IHidingEngine.h"
#include "logging/CHVLog.h"
#include "security/CItemData.h"
#include "security/HVItemStates.h"

#include <QFile>

#include <filesystem>
#include <string>

#include "resources/HVResourceStrings.h"

namespace {

std::string NativePath(const QString& strPath)
{
    return QFile::encodeName(strPath).toStdString();
}

// A folder as it stands (a link to a folder is hidden as the link, so it counts as a file).
bool IsFolder(const QString& strPath)
{
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::symlink_status(NativePath(strPath), ec));
}

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
    if (m_thread.joinable()) {
        RequestStop();
        m_thread.join();
    }
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

void CHideProgrssWork::Start()
{
    Join();  // a previous run's thread, if nobody joined it
    m_thread = std::thread([this] { (void)Run(); });
}

void CHideProgrssWork::Join()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CHideProgrssWork::RequestStop()
{
    m_sigStop.Set();
}

void CHideProgrssWork::Cancel()
{
    RequestStop();
    (void)m_sigBusy.WaitState(false, -1);
    m_sigStop.Reset();
    Join();
}

int CHideProgrssWork::Run()
{
    CBusyGuard busy(m_sigBusy);
    bool bCancelled = false;
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
                break;
            }
            CItemData* pItem = m_arrItems[i];
            if (pItem != nullptr) {
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
                break;
            }
        }
    } catch (...) {
        // Nothing below throws on purpose; whatever did ends the run as it stands.
        LOGGER::g_HVLog.Log("Hide run ended by an unexpected failure");
    }
    // The folders recorded so far are refreshed also after a cancel.
    RefreshFolders();
    Finish(bCancelled);
    return 0;
}

void CHideProgrssWork::HideOne(CItemData& item)
{
    Status(HVFormatString(IDS_STATUS_HIDING, item.m_strPath));
    RecordFolder(item.m_strPath);
    LOGGER::g_HVLog.Log("Start Hide %s", item.m_strPath.toUtf8().constData());

    bool bOk = false;
    if (item.m_nKind == CItemData::KindFile) {
        if (m_bEncryptFlag == 0) {
            bOk = CallHidePath(item.m_strPath);
        } else if (HVItemStates::IsSucceeded(item.m_nEncryptState)) {
            // The plain file was wiped; its encrypted copy is what is hidden.
            bOk = CallHidePath(item.m_strPath + QStringLiteral(".hvnc"));
        } else {
            // Not encrypted: hiding the plain file would pass it off as protected.
            LOGGER::g_HVLog.Log("Not hidden, not encrypted: %s", item.m_strPath.toUtf8().constData());
        }
    } else if (item.m_nKind == CItemData::KindFolder) {
        bOk = CallHidePath(item.m_strPath);
    } else {
        return;  // unknown kind: passed over
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
    Count(CallUnhide(item.m_strPath));
}

bool CHideProgrssWork::CallHidePath(const QString& strPath)
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
        LOGGER::g_HVLog.Log("Hide failed: %s", strPath.toUtf8().constData());
    }
    return bOk;
}

bool CHideProgrssWork::CallUnhide(const QString& strPath)
{
    bool bOk = false;
    if (m_pHideControl) {
        try {
            bOk = m_pHideControl->UnhideItem(NativePath(strPath));
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

QString CHideProgrssWork::ParentFolder(const QString& strPath)
{
    QString strClean = strPath;
    while (strClean.size() > 1 && strClean.endsWith(QLatin1Char('/'))) {
        strClean.chop(1);
    }
    const qsizetype nSlash = strClean.lastIndexOf(QLatin1Char('/'));
    if (nSlash < 0) {
        return QString();
    }
    return nSlash == 0 ? QStringLiteral("/") : strClean.left(nSlash);
}

void CHideProgrssWork::RecordFolder(const QString& strPath)
{
    const auto it = m_mapFolderIndex.constFind(strPath);
    if (IsFolder(strPath)) {
        if (it == m_mapFolderIndex.cend()) {
            m_mapFolderIndex.insert(strPath, m_arrFolders.size());
            m_arrFolders.emplace_back(strPath, strPath);
        }
        return;
    }
    const QString strFolder = ParentFolder(strPath);
    if (it != m_mapFolderIndex.cend()) {
        m_arrFolders[*it].second = strFolder;
    } else {
        m_mapFolderIndex.insert(strPath, m_arrFolders.size());
        m_arrFolders.emplace_back(strPath, strFolder);
    }
}

void CHideProgrssWork::RefreshFolders()
{
    // One refresh per item path recorded: an item listed twice is refreshed once.
    for (const auto& entry : m_arrFolders) {
        if (!m_fnRefresh || entry.second.isEmpty()) {
            continue;
        }
        try {
            m_fnRefresh(entry.second);
        } catch (...) {
            LOGGER::g_HVLog.Log("Folder refresh failed: %s", entry.second.toUtf8().constData());
        }
    }
    m_arrFolders.clear();
    m_mapFolderIndex.clear();
}

void CHideProgrssWork::Finish(bool bCancelled)
{
    m_bCancelled = bCancelled;
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
        m_pUi->SetStatusText(strText);
    }
}

void CHideProgrssWork::Progress()
{
    if (m_pUi != nullptr) {
        m_pUi->SetProgress(m_nPosition, ProgressRange());
    }
}
