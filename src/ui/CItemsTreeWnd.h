#pragma once

#include <QTreeWidget>

// The page tree of the preferences dialog: root items with a text and a number each; choosing an
// item reports its number.
class CItemsTreeWnd : public QTreeWidget
{
    Q_OBJECT
public:
    explicit CItemsTreeWnd(QWidget* pParent = nullptr);

    // Lines, buttons and an always visible selection; no header.
    bool Intilize();
    int AddRootItem(const QString& strText, int nData);
    [[nodiscard]] int GetItemData(int nIndex) const;
    // Selects the first root item carrying nData; false when there is none.
    bool SelectByData(int nData);
    [[nodiscard]] int SelectedData() const;  // -1 without a selection

signals:
    void ItemDataSelected(int nData);
};
