// CXListCtrl: check values and sorting.
#include "ui/CXListCtrl.h"
#include "ui/CXListCtrlRow.h"

#include <QHeaderView>

#include <algorithm>

int CXListCtrl::NextCheckValue(int nValue, int nMode)
{
    switch (nMode) {
    case CheckOn:
        return nValue == 1 ? 2 : nValue == 3 ? 4 : nValue;
    case CheckOff:
        return nValue == 2 ? 1 : nValue == 4 ? 3 : nValue;
    case CheckToggle:
        switch (nValue) {
        case 1:
            return 2;
        case 2:
            return 1;
        case 3:
            return 4;
        case 4:
            return 3;
        default:
            return nValue;
        }
    default:
        return nValue;
    }
}

bool CXListCtrl::SetCheckValue(int nRow, int nValue)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr || nValue < 0 || nValue > 5) {
        return false;
    }
    pRow->m_nCheck = nValue;
    viewport()->update();
    return true;
}

bool CXListCtrl::SetCheck(int nRow, int nMode)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr) {
        return false;
    }
    const int nNext = NextCheckValue(pRow->m_nCheck, nMode);
    if (nNext != pRow->m_nCheck) {
        pRow->m_nCheck = nNext;
        viewport()->update();
    }
    return true;
}

void CXListCtrl::SetCheckAll(int nMode)
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        SetCheck(i, nMode);
    }
}

int CXListCtrl::GetCheck(int nRow) const
{
    const CRow* pRow = Row(nRow);
    return pRow != nullptr ? pRow->m_nCheck : -1;
}

int CXListCtrl::GetCheckedCount() const
{
    int n = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        n += Row(i)->m_nCheck == 2 ? 1 : 0;
    }
    return n;
}

void CXListCtrl::OnColumnClick(int nColumn)
{
    if (!m_bSortEnabled || nColumn < 0 || nColumn >= std::max(1, m_nColumns)) {
        return;
    }
    m_bAscending = !m_bAscending;  // the first click after creation sorts descending
    SortItems(nColumn, m_bAscending);
}

int CXListCtrl::Compare(const CRow& a, const CRow& b, int nColumn) const
{
    if (!a.m_pRecord || !b.m_pRecord) {
        return 0;
    }
    if (m_compare) {
        return m_compare(*a.m_pRecord, *b.m_pRecord, nColumn);
    }
    const QStringList& ta = a.m_pRecord->texts;
    const QStringList& tb = b.m_pRecord->texts;
    if (nColumn >= ta.size() || nColumn >= tb.size()) {
        return 0;
    }
    return QString::compare(ta[nColumn], tb[nColumn], Qt::CaseInsensitive);
}

void CXListCtrl::SortItems(int nColumn, bool bAscending)
{
    QTreeWidgetItem* pCurrent = currentItem();
    std::vector<CRow*> rows;
    std::vector<CRow*> selected;
    rows.reserve(static_cast<size_t>(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        rows.push_back(Row(i));
        if (rows.back()->isSelected()) {
            selected.push_back(rows.back());
        }
    }
    // A merge sort of our own: rows without the column compare equal to every row, which is no
    // strict weak order, and the standard sorts do not promise anything for such a comparison.
    std::vector<CRow*> buffer(rows.size());
    for (size_t width = 1; width < rows.size(); width *= 2) {
        for (size_t lo = 0; lo < rows.size(); lo += 2 * width) {
            const size_t mid = std::min(lo + width, rows.size());
            const size_t hi = std::min(lo + 2 * width, rows.size());
            size_t i = lo;
            size_t j = mid;
            size_t k = lo;
            while (i < mid && j < hi) {
                const int n = Compare(*rows[j], *rows[i], nColumn);
                buffer[k++] = (bAscending ? n < 0 : n > 0) ? rows[j++] : rows[i++];
            }
            while (i < mid) {
                buffer[k++] = rows[i++];
            }
            while (j < hi) {
                buffer[k++] = rows[j++];
            }
        }
        rows.swap(buffer);
    }
    const QSignalBlocker block(this);
    while (topLevelItemCount() > 0) {
        takeTopLevelItem(topLevelItemCount() - 1);
    }
    for (CRow* pRow : rows) {
        addTopLevelItem(pRow);
    }
    if (pCurrent != nullptr) {
        setCurrentItem(pCurrent, 0, QItemSelectionModel::NoUpdate);
    }
    for (CRow* pRow : selected) {
        pRow->setSelected(true);
    }
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(nColumn, bAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    viewport()->update();
}
