#include "pages/CHDItemListPanel.h"

#include "globalfuncs/HVPathText.h"
#include "pages/HVPageUi.h"
#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"
#include "settings/CHDGlobalData.h"
#include "ui/CThemeImageList.h"
#include "ui/CXListCtrl.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>

#include <algorithm>

namespace {
constexpr int kWidthPath = 400;
constexpr int kWidthType = 70;
}  // namespace

CHDItemListPanel::CHDItemListPanel(QWidget* pParent, const QRect& rc, int nId)
    : QObject(pParent)
{
    m_pList = new CXListCtrl(pParent);
    m_pList->Create(pParent, rc, nId);
    m_pList->setObjectName(QString::number(nId));
    m_pList->SetShowSelectionAlways(true);
    m_pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pList->SetSmallImageList(g_MainImageList.Images());
    m_pList->InsertColumn(HVLoadString(IDS_COL_PATH), kWidthPath);
    m_pList->InsertColumn(HVLoadString(IDS_COL_TYPE), kWidthType);
    // The path column takes the width the list gains; long paths are shortened in the middle and
    // shown whole as the tooltip.
    m_pList->SetPathColumn(0);
    m_pList->setAccessibleName(HVLoadString(IDS_LIST_CHOSEN));
    m_pList->setAccessibleDescription(HVLoadString(IDS_SEL_HINT));
    connect(m_pList, &CXListCtrl::RowRightClicked, this, [this](qint32, int, const QPoint& globalPos) {
        emit ContextMenuRequested(globalPos);
    });
}

CHDItemListPanel::~CHDItemListPanel()
{
    // The list goes with its parent; its rows must not outlive their records.
    if (m_pList != nullptr) {
        Clear();
    }
}

int CHDItemListPanel::Count() const
{
    return m_pList->GetItemCount();
}

CItemData* CHDItemListPanel::Item(int nRow) const
{
    if (nRow < 0 || nRow >= Count()) {
        return nullptr;
    }
    const auto it = m_items.find(m_pList->GetItemData(nRow));
    return it == m_items.end() ? nullptr : it->second.get();
}

CItemDataList CHDItemListPanel::Items() const
{
    CItemDataList items;
    for (int i = 0; i < Count(); ++i) {
        const auto it = m_items.find(m_pList->GetItemData(i));
        if (it != m_items.end()) {
            items.push_back(it->second);
        }
    }
    return items;
}

bool CHDItemListPanel::IsInList(const QString& strPath) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_pList->GetItemText(i, 0).compare(strPath, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

int CHDItemListPanel::AppendRow(const QString& strPath, int nIcon, std::shared_ptr<CItemData> pItem, unsigned nTypeText)
{
    const int nRow = m_pList->InsertItem(Count(), strPath, nIcon);
    if (nRow < 0) {
        return -1;
    }
    m_items.emplace(++m_nLastId, std::move(pItem));
    m_pList->SetItemData(nRow, m_nLastId);
    m_pList->SetItemText(nRow, 1, HVLoadString(nTypeText));
    // The row's state image index 2: an unchecked box where boxes are shown.
    m_pList->SetCheckValue(nRow, 1);
    return nRow;
}

bool CHDItemListPanel::AddFolderRow(const QString& strPath)
{
    if (strPath.isEmpty() || IsInList(strPath)) {
        return false;
    }
    return AppendRow(
               strPath, kIconFolder, std::make_shared<CItemData>(strPath, 0, CItemData::KindFolder), IDS_TYPE_FOLDER)
           >= 0;
}

bool CHDItemListPanel::AddFileRow(const QString& strPath)
{
    if (strPath.isEmpty() || IsInList(strPath)) {
        return false;
    }
    auto pItem = std::make_shared<CItemData>(strPath, CHDGlobalData::GetFileSize64(strPath), CItemData::KindFile);
    return AppendRow(strPath, kIconFile, std::move(pItem), IDS_TYPE_FILE) >= 0;
}

bool CHDItemListPanel::AddPath(const QString& strPath)
{
    if (HVGlobalMFC::HVPathIsFolder(strPath)) {
        return AddFolderRow(strPath);
    }
    if (strPath.endsWith(QLatin1String(".lnk"), Qt::CaseSensitive)) {
        return false;
    }
    return AddFileRow(strPath);
}

int CHDItemListPanel::RemoveSelected()
{
    int nRemoved = 0;
    int nLowest = 0;
    for (int i = Count() - 1; i >= 0; --i) {
        if (m_pList->IsItemSelected(i)) {
            DeleteRow(i);
            nLowest = i;
            ++nRemoved;
        }
    }
    const int nCount = Count();
    if (nCount > 0) {
        m_pList->clearSelection();
        const int nSelect = std::min(nLowest, nCount - 1);
        m_pList->SelectItem(nSelect, true);
        m_pList->setCurrentItem(m_pList->topLevelItem(nSelect));
    }
    return nRemoved;
}

int CHDItemListPanel::RemoveMissing()
{
    int nRemoved = 0;
    for (int i = Count() - 1; i >= 0; --i) {
        if (!HVGlobalMFC::HVPathExists(m_pList->GetItemText(i, 0))) {
            DeleteRow(i);
            ++nRemoved;
        }
    }
    return nRemoved;
}

void CHDItemListPanel::DeleteRow(int nRow)
{
    m_items.erase(m_pList->GetItemData(nRow));
    m_pList->DeleteItem(nRow);
}

void CHDItemListPanel::Clear()
{
    m_items.clear();
    m_pList->DeleteAllItems();
}

void CHDItemListPanel::BuildContextMenu(QMenu& menu) const
{
    const struct
    {
        int nCommand;
        unsigned nText;
        bool bEnabled;
    } entries[] = {
        {ID_ADD_FILES, IDS_CTX_ADD_FILES, true},
        {ID_ADD_FOLDER, IDS_CTX_ADD_FOLDER, true},
        {ID_REMOVE, IDS_CTX_REMOVE, m_pList->GetSelectedItem() >= 0},
        {ID_CLEAR, IDS_CTX_CLEAR, Count() > 0},
        {ID_HELP, IDS_CTX_HELP, true},
    };
    for (const auto& entry : entries) {
        if (entry.nCommand == ID_HELP) {
            menu.addSeparator();
        }
        QAction* pAction = menu.addAction(HVLoadString(entry.nText));
        pAction->setObjectName(QString::number(entry.nCommand));
        pAction->setData(entry.nCommand);
        pAction->setEnabled(entry.bEnabled);
    }
}

int CHDItemListPanel::TrackContextMenu(const QPoint& globalPos) const
{
    QMenu menu(m_pList);
    BuildContextMenu(menu);
    return HVPageUi::ExecMenu(menu, globalPos);
}
