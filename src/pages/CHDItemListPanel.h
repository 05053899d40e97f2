#pragma once

#include "security/CItemData.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <map>

class CXListCtrl;
class QMenu;
class QWidget;

// The item list of the selection and decryption pages: a CXListCtrl with one CItemData per row,
// the duplicate test, adding paths, removing and clearing rows, and the context menu. Column 0 is
// the full path, column 1 "File" or "Folder". A row carries the number of its item; the panel
// holds the items by number, jointly with whoever they were handed to (the manager for a run).
class CHDItemListPanel : public QObject
{
    Q_OBJECT

public:
    // Context-menu commands (menu 135).
    static constexpr int ID_ADD_FILES = 32780;
    static constexpr int ID_ADD_FOLDER = 32781;
    static constexpr int ID_REMOVE = 32782;
    static constexpr int ID_CLEAR = 32783;
    static constexpr int ID_HELP = 32784;
    // Row icons of the theme's small image list.
    static constexpr int kIconFile = 2;
    static constexpr int kIconFolder = 4;

    // Creates the list on pParent at rc with control identifier nId (also its object name).
    CHDItemListPanel(QWidget* pParent, const QRect& rc, int nId);
    ~CHDItemListPanel() override;

    [[nodiscard]] CXListCtrl* List() const { return m_pList; }
    [[nodiscard]] int Count() const;
    // The record of a row; null outside the list.
    [[nodiscard]] CItemData* Item(int nRow) const;
    // The records in row order.
    [[nodiscard]] CItemDataList Items() const;

    // True when a row's column-0 text equals the path without regard to case.
    [[nodiscard]] bool IsInList(const QString& strPath) const;
    // A folder row (size 0, kind 1) unless the path is empty or already listed; true when added.
    bool AddFolderRow(const QString& strPath);
    // A file row (its size on disk, kind 0) unless already listed; true when added.
    bool AddFileRow(const QString& strPath);
    // Add a path as a drop or a command-line item: a directory as a folder row, anything else as
    // a file row, except a file whose extension is exactly ".lnk".
    bool AddPath(const QString& strPath);
    // Removes the selected rows (records let go) and selects the row at the lowest removed index,
    // the last row when that is past the end, row 0 when nothing was removed. The number removed.
    int RemoveSelected();
    // Removes the rows whose file or folder no longer exists (wiped, say); returns how many.
    int RemoveMissing();
    // Deletes every row and lets its record go.
    void Clear();

    // Fills menu with the five commands (each action's data is its command), the remove entry
    // greyed without a selected row and the clear entry greyed with an empty list.
    void BuildContextMenu(QMenu& menu) const;
    // Shows that menu at globalPos; the chosen command, 0 for none.
    [[nodiscard]] int TrackContextMenu(const QPoint& globalPos) const;

signals:
    // A right click in the list (at globalPos).
    void ContextMenuRequested(const QPoint& globalPos);

private:
    int AppendRow(const QString& strPath, int nIcon, std::shared_ptr<CItemData> pItem, unsigned nTypeText);
    void DeleteRow(int nRow);

    CXListCtrl* m_pList = nullptr;
    std::map<quintptr, std::shared_ptr<CItemData>> m_items;  // by the number a row carries
    quintptr m_nLastId = 0;
};
