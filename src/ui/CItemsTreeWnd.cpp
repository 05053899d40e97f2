#include "ui/CItemsTreeWnd.h"

#include <QHeaderView>

CItemsTreeWnd::CItemsTreeWnd(QWidget* pParent)
    : QTreeWidget(pParent)
{
    setObjectName(QStringLiteral("CItemsTreeWnd"));
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* pItem) {
        if (pItem != nullptr) {
            emit ItemDataSelected(pItem->data(0, Qt::UserRole).toInt());
        }
    });
}

bool CItemsTreeWnd::Intilize()
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIndentation(14);
    header()->setStretchLastSection(true);
    return true;
}

int CItemsTreeWnd::AddRootItem(const QString& strText, int nData)
{
    auto* pItem = new QTreeWidgetItem(QStringList{strText});
    pItem->setData(0, Qt::UserRole, nData);
    addTopLevelItem(pItem);
    return indexOfTopLevelItem(pItem);
}

int CItemsTreeWnd::GetItemData(int nIndex) const
{
    const QTreeWidgetItem* pItem = topLevelItem(nIndex);
    return pItem != nullptr ? pItem->data(0, Qt::UserRole).toInt() : -1;
}

bool CItemsTreeWnd::SelectByData(int nData)
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (GetItemData(i) == nData) {
            setCurrentItem(topLevelItem(i));
            return true;
        }
    }
    return false;
}

int CItemsTreeWnd::SelectedData() const
{
    const QTreeWidgetItem* pItem = currentItem();
    return pItem != nullptr && pItem->isSelected() ? pItem->data(0, Qt::UserRole).toInt() : -1;
}
