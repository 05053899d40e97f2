#include "ui/CXListCtrl.h"

#include "globalfuncs/HVPathText.h"
#include "ui/CXListCtrlRow.h"
#include "ui/HVUiTheme.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

CXListCtrl::CXListCtrl(QWidget* pParent)
    : QTreeWidget(pParent)
    , m_clrHighlightText(HVUi::SystemColor(HVUi::SysColor::HighlightText))
    , m_clrHighlight(HVUi::SystemColor(HVUi::SysColor::Highlight))
{
    setObjectName(QStringLiteral("CXListCtrl"));
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setIconSize(QSize(16, 16));
    setItemDelegate(new CXListRowDelegate(this));
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header(), &QHeaderView::sectionClicked, this, &CXListCtrl::OnColumnClick);
}

CXListCtrl::~CXListCtrl() = default;

bool CXListCtrl::Create(QWidget* pParent, const QRect& rc, int nId)
{
    setParent(pParent);
    setGeometry(rc);
    setProperty("controlId", nId);
    show();
    return true;
}

int CXListCtrl::InsertColumn(const QString& strText, int nWidth)
{
    const int nColumn = m_nColumns++;
    setColumnCount(m_nColumns);
    headerItem()->setText(nColumn, strText);
    if (nWidth > 0) {
        setColumnWidth(nColumn, nWidth);
    }
    return nColumn;
}

CXListCtrl::CRow* CXListCtrl::Row(int nRow) const
{
    if (nRow < 0 || nRow >= topLevelItemCount()) {
        return nullptr;
    }
    return static_cast<CRow*>(topLevelItem(nRow));
}

void CXListCtrl::SetPathColumn(int nColumn)
{
    m_nPathColumn = nColumn;
    for (int i = 0; i < header()->count(); ++i) {
        header()->setSectionResizeMode(i, i == nColumn ? QHeaderView::Stretch : QHeaderView::Interactive);
    }
    header()->setStretchLastSection(nColumn < 0);
    viewport()->update();
}

QString CXListCtrl::ShownText(int nRow, int nColumn, int nWidth) const
{
    const QString strText = DisplayText(nRow, nColumn);
    return QFontMetrics(font()).elidedText(
        strText, nColumn == m_nPathColumn ? Qt::ElideMiddle : Qt::ElideRight, std::max(0, nWidth));
}

bool CXListCtrl::viewportEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::ToolTip && m_nPathColumn >= 0) {
        const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
        const QModelIndex index = indexAt(pHelp->pos());
        if (index.isValid() && index.column() == m_nPathColumn) {
            QToolTip::showText(
                pHelp->globalPos(), HVGlobalMFC::HVPathDisplay(GetItemText(index.row(), m_nPathColumn)), viewport());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QTreeWidget::viewportEvent(pEvent);
}

int CXListCtrl::InsertItem(int nRow, const QString& strText, int nImage)
{
    const int nAt = std::clamp(nRow, 0, topLevelItemCount());
    if (nRow < 0) {
        return -1;
    }
    auto* pRow = new CRow(strText);
    pRow->m_nImage = nImage;
    insertTopLevelItem(nAt, pRow);
    viewport()->update();
    return nAt;
}

bool CXListCtrl::DeleteItem(int nRow)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr) {
        return false;
    }
    delete pRow;  // takes itself out of the list
    viewport()->update();
    return true;
}

void CXListCtrl::DeleteAllItems()
{
    clear();
    viewport()->update();
}

void CXListCtrl::DeleteAllItemData()
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        Row(i)->m_pRecord.reset();
    }
}

bool CXListCtrl::SetItemText(int nRow, int nColumn, const QString& strText)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr || nColumn < 0 || nColumn >= std::max(1, m_nColumns)) {
        return false;
    }
    pRow->setText(nColumn, strText);
    if (pRow->m_pRecord) {
        QStringList& texts = pRow->m_pRecord->texts;
        while (texts.size() <= nColumn) {
            texts.append(QString());
        }
        texts[nColumn] = strText;
    }
    viewport()->update();
    return true;
}

QString CXListCtrl::GetItemText(int nRow, int nColumn) const
{
    const CRow* pRow = Row(nRow);
    if (pRow == nullptr || nColumn < 0) {
        return QString();
    }
    return pRow->text(nColumn).left(kMaxItemText);
}

QString CXListCtrl::DisplayText(int nRow, int nColumn) const
{
    const CRow* pRow = Row(nRow);
    if (pRow == nullptr || nColumn < 0) {
        return QString();
    }
    // A stored path keeps the bytes of a name that is not UTF-8 as escapes; shown, they are U+FFFD.
    const QString strText = HVGlobalMFC::HVPathDisplay(pRow->text(nColumn));
    if (nColumn == 0 && m_bNumbering) {
        return QStringLiteral("%1. %2").arg(nRow + 1).arg(strText);
    }
    return strText;
}

bool CXListCtrl::SetItemValue(int nRow, qint32 nValue)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr || !pRow->m_pRecord) {
        return false;
    }
    pRow->m_pRecord->nItemValue = nValue;
    return true;
}

qint32 CXListCtrl::GetItemValue(int nRow) const
{
    const CRow* pRow = Row(nRow);
    return pRow != nullptr && pRow->m_pRecord ? pRow->m_pRecord->nItemValue : 0;
}

bool CXListCtrl::SetItemData(int nRow, quintptr nData)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr || !pRow->m_pRecord) {
        return false;
    }
    pRow->m_pRecord->nData = nData;
    return true;
}

quintptr CXListCtrl::GetItemData(int nRow) const
{
    const CRow* pRow = Row(nRow);
    return pRow != nullptr && pRow->m_pRecord ? pRow->m_pRecord->nData : 0;
}

const SXListItemData* CXListCtrl::GetItemRecord(int nRow) const
{
    const CRow* pRow = Row(nRow);
    return pRow != nullptr ? pRow->m_pRecord.get() : nullptr;
}

bool CXListCtrl::SetItemImage(int nRow, int nImage)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr) {
        return false;
    }
    pRow->m_nImage = nImage;
    viewport()->update();
    return true;
}

int CXListCtrl::GetItemImage(int nRow) const
{
    const CRow* pRow = Row(nRow);
    return pRow != nullptr ? pRow->m_nImage : -1;
}

void CXListCtrl::SetSmallImageList(const QList<QPixmap>& images)
{
    m_smallImages = images;
    viewport()->update();
}

int CXListCtrl::GetSelectedItem() const
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->isSelected()) {
            return i;
        }
    }
    return -1;
}

QList<int> CXListCtrl::GetSelectedItems() const
{
    QList<int> rows;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->isSelected()) {
            rows.append(i);
        }
    }
    return rows;
}

bool CXListCtrl::IsItemSelected(int nRow) const
{
    const CRow* pRow = Row(nRow);
    return pRow != nullptr && pRow->isSelected();
}

bool CXListCtrl::SelectItem(int nRow, bool bSelect)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr) {
        return false;
    }
    pRow->setSelected(bSelect);
    if (bSelect) {
        setCurrentItem(pRow, 0, QItemSelectionModel::NoUpdate);
    }
    return true;
}

void CXListCtrl::SetShowSelectionAlways(bool bAlways)
{
    m_bShowSelectionAlways = bAlways;
    viewport()->update();
}

void CXListCtrl::SetHighlightColors(const QColor& clrText, const QColor& clrBk)
{
    m_clrHighlightText = clrText;
    m_clrHighlight = clrBk;
    viewport()->update();
}

void CXListCtrl::SetNumbering(bool bNumbering)
{
    m_bNumbering = bNumbering;
    viewport()->update();
}

QString CXListCtrl::EmptyText()
{
    return tr("There are no items to show in this view.");
}
