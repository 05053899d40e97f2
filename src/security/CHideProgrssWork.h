#pragma once

#include "security/CHideProgrssWorkUi.h"
#include "security/CRunLock.h"
#include "security/CRunWorker.h"
#include "security/SRunCounters.h"
#include "security/SRunDetails.h"
#include "signal/CSignal.h"

#include <QHash>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CItemData;
class IHidingEngine;

// The work of the hide runner, without any widget: it hides or shows again a list of files and
// folders, one item after the other on a worker thread, records each item's hide state and the
// three counters, and asks for a refresh of the folders it touched. The hide progress dialog (or
// a terminal) shows what it reports through IHideProgrssUi.
//
// Use:
//   CHideProgrssWork work;
//   work.SetHidePath(fn);              // the manager's HidePath: hides unless protected
//   work.SetHideControl(engine);       // the hiding engine, for the unhide
//   work.SetRefreshFolderView(fn);     // tells the desktop that a folder's contents changed
//   work.SetItems(items);              // not owned; must outlive the run
//   work.Initialise(bUnhide, bPageFlag, bEncrypt, &ui);  // busy set, stop cleared, counters 0
//   work.Start();                      // the worker thread (or Run() on this thread)
//   ... Cancel(), or wait until ui.RunEnded() and Join()
//   work.Counters() and the items' hide states.
//
// The runner has its own busy and stop signals (lifecycle in CRunWorker). The worker looks at
// the stop signal before and after each item, so an item once begun is always finished.
class CHideProgrssWork : public CRunWorker
{
public:
    // Returns 1 when the path is now hidden, 0 when it was refused or could not be hidden.
    using HidePathFn = std::function<int(const QString& strPath)>;
    using RefreshFn = std::function<void(const QString& strFolder)>;
    // Test seam: called after an item's work and the bar's update, before the stop test.
    using ItemHook = std::function<void(std::size_t nIndex, const CItemData& item)>;

    CHideProgrssWork();
    ~CHideProgrssWork() override;  // stops and joins a worker that still runs

    CHideProgrssWork(const CHideProgrssWork&) = delete;
    CHideProgrssWork& operator=(const CHideProgrssWork&) = delete;

    // Inputs, before Initialise.
    void SetItems(const std::vector<CItemData*>& items) { m_arrItems = items; }
    void SetHidePath(HidePathFn fn) { m_fnHidePath = std::move(fn); }
    void SetHideControl(std::shared_ptr<IHidingEngine> pEngine) { m_pHideControl = std::move(pEngine); }
    void SetRefreshFolderView(RefreshFn fn) { m_fnRefresh = std::move(fn); }
    void SetItemDoneHook(ItemHook fn) { m_itemDone = std::move(fn); }
    // Test seam: called before an item is hidden, after its identity was taken.
    void SetBeforeItemHook(ItemHook fn) { m_beforeItem = std::move(fn); }
    // The run lock (see CRunLock); empty: no lock is taken.
    void SetRunLock(std::string strFile) { m_strRunLock = std::move(strFile); }

    // bUnhide: 0 hides the items, 1 shows them again. bPageFlag: 1 when the hide management
    // page runs it, 0 when it follows a Secure Data run; only then is bEncrypt (the encrypt
    // option of that run) taken, and a file item is then hidden under its encrypted name, and
    // only when its encryption succeeded. Sets busy, clears stop, zeroes the counters.
    // pUi may be null.
    void Initialise(int bUnhide, int bPageFlag, int bEncrypt, IHideProgrssUi* pUi);
    // The same from any options record with the fields m_bUnhide, m_bPageFlag and m_bEncrypt.
    template <typename TOptions>
    void Initialise(const TOptions& options, IHideProgrssUi* pUi)
    {
        Initialise(options.m_bUnhide, options.m_bPageFlag, options.m_bEncrypt, pUi);
    }

    // The work on the calling thread; returns 0 on every path.
    int Run() override;

    [[nodiscard]] CSignal& BusySignal() override { return m_sigBusy; }
    [[nodiscard]] CSignal& StopSignal() override { return m_sigStop; }

    [[nodiscard]] const SHideCounters& Counters() const { return m_counters; }
    [[nodiscard]] const SRunDetails& Details() const { return m_details; }
    [[nodiscard]] bool WasCancelled() const { return m_bCancelled; }
    [[nodiscard]] int GetUnhideFlag() const { return m_bUnhide; }
    [[nodiscard]] int GetEncryptFlag() const { return m_bEncryptFlag; }
    [[nodiscard]] int ProgressPosition() const { return m_nPosition; }
    [[nodiscard]] int ProgressRange() const { return static_cast<int>(m_arrItems.size()); }

    // The folder whose view changes when strPath is hidden or shown again: the path itself for a
    // folder, else the path with its last component removed ("/" for a name in the root, empty
    // for a bare name).
    [[nodiscard]] static QString ParentFolder(const QString& strPath);

private:
    void HideOne(CItemData& item);
    void UnhideOne(const CItemData& item);
    [[nodiscard]] bool CallHidePath(const QString& strPath, std::string& strWhy);
    [[nodiscard]] bool SameAsListed(std::size_t nIndex, const CItemData& item) const;
    void Problem(const CItemData& item, const QString& strPath, const std::string& strWhy);
    [[nodiscard]] bool CallUnhide(const QString& strPath);
    void Count(bool bOk);
    void RecordFolder(const QString& strPath);
    void RefreshFolders();
    void Finish(bool bCancelled);
    void Status(const QString& strText);
    void Progress();

    CSignal m_sigBusy;
    CSignal m_sigStop;
    std::vector<CItemData*> m_arrItems;
    IHideProgrssUi* m_pUi = nullptr;
    HidePathFn m_fnHidePath;
    std::shared_ptr<IHidingEngine> m_pHideControl;
    RefreshFn m_fnRefresh;
    ItemHook m_itemDone;
    ItemHook m_beforeItem;
    std::string m_strRunLock;
    CRunLock m_lock;
    SRunDetails m_details;
    // Each item's identity when the run began (device, inode; 0 when it could not be read).
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_arrIdentity;

    int m_bUnhide = 0;
    int m_bEncryptFlag = 0;
    SHideCounters m_counters;
    int m_nPosition = 0;
    bool m_bCancelled = false;

    // Item path -> folder to refresh, in the order the items were taken.
    std::vector<std::pair<QString, QString>> m_arrFolders;
    QHash<QString, std::size_t> m_mapFolderIndex;
};
