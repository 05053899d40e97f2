#pragma once

#include "ui/CXListCtrl.h"

#include <QStyledItemDelegate>
#include <QTreeWidgetItem>

#include <memory>

// One row of CXListCtrl: its record (null once the records were freed), check value and image.
class CXListCtrl::CRow : public QTreeWidgetItem
{
public:
    explicit CRow(const QString& strText)
        : m_pRecord(std::make_unique<SXListItemData>())
    {
        m_pRecord->texts.append(strText);
        setText(0, strText);
    }

    std::unique_ptr<SXListItemData> m_pRecord;
    int m_nCheck = 0;
    int m_nImage = -1;
};

// Gives every row room for the 16-pixel state and small images.
class CXListRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(qMax(size.height(), qMax(20, option.fontMetrics.height() + 4)));
        return size;
    }
};
