#pragma once

#include "ui/CXListCtrl.h"

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
