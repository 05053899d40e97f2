// CXListCtrl: row drawing, the empty-list text and the mouse.
#include "resources/HVResourceStrings.h"
#include "ui/CXListCtrl.h"
#include "ui/CXListCtrlRow.h"

#include <QBitmap>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kImage = 16;     // state and small images are 16 pixels square
constexpr int kMargin = 2;     // left of each image and the text of the first column
constexpr int kTextInset = 6;  // left and right of the other columns' texts
constexpr unsigned kCheckBitmapId = 4012;

void DrawDefaultCheck(QPainter& p, const QRect& rc, int nValue)
{
    const bool bSecond = nValue == 3 || nValue == 4;
    const QRectF box = QRectF(rc).adjusted(1.5, 1.5, -1.5, -1.5);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(nValue == 5 ? QColor(0x9a, 0xa4, 0xb1) : QColor(0x7a, 0x84, 0x94), 1.0));
    p.setBrush(bSecond ? QColor(0xe4, 0xe8, 0xee) : nValue == 5 ? QColor(0xd5, 0xdb, 0xe4) : QColor(Qt::white));
    p.drawRoundedRect(box, 2.0, 2.0);
    if (nValue == 2 || nValue == 4) {
        QPainterPath tick;
        tick.moveTo(box.left() + 2.5, box.center().y() + 0.2);
        tick.lineTo(box.left() + 5.2, box.bottom() - 2.8);
        tick.lineTo(box.right() - 2.3, box.top() + 2.8);
        p.setPen(QPen(bSecond ? QColor(0x6b, 0x72, 0x80) : QColor(0x1f, 0x5f, 0xb0),
                      1.8,
                      Qt::SolidLine,
                      Qt::RoundCap,
                      Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    } else if (nValue == 5) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8a, 0x94, 0xa3));
        p.drawRect(box.adjusted(3.0, 3.0, -3.0, -3.0));
    }
    p.restore();
}
}  // namespace

void CXListCtrl::LoadCheckImages()
{
    m_checkImages.clear();
    const QString strPath = HVImagePath(HVImageKind::Bitmap, kCheckBitmapId);
    const QImage strip = strPath.isEmpty() ? QImage() : QImage(strPath);
    if (strip.isNull() || strip.width() < 6 * kImage) {
        return;  // drawn by the control itself
    }
    QPixmap all = QPixmap::fromImage(strip);
    all.setMask(QBitmap::fromImage(strip.createMaskFromColor(qRgb(255, 0, 255), Qt::MaskOutColor)));
    for (int x = 0; x + kImage <= all.width(); x += kImage) {
        m_checkImages.append(all.copy(x, 0, kImage, qMin(kImage, all.height())));
    }
}

void CXListCtrl::EnableCheckBoxes(bool bEnable)
{
    m_bCheckBoxes = bEnable;
    if (bEnable) {
        LoadCheckImages();
    } else {
        m_checkImages.clear();
    }
    viewport()->update();
}

void CXListCtrl::DrawStateImage(QPainter& p, const QRect& rc, int nValue) const
{
    if (nValue >= 0 && nValue < m_checkImages.size()) {
        p.drawPixmap(rc.topLeft(), m_checkImages[nValue]);
    } else if (nValue > 0) {
        DrawDefaultCheck(p, rc, nValue);
    }
}

QRect CXListCtrl::CheckBoxRect(int nRow) const
{
    const CRow* pRow = Row(nRow);
    if (pRow == nullptr || !m_bCheckBoxes) {
        return QRect();
    }
    const QRect rcRow = visualItemRect(pRow);
    const int x = header()->sectionViewportPosition(0) + kMargin;
    return QRect(x, rcRow.top() + (rcRow.height() - kImage) / 2, kImage, kImage);
}

void CXListCtrl::drawRow(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int nRow = index.row();
    const CRow* pRow = Row(nRow);
    if (pRow == nullptr || index.parent().isValid()) {
        QTreeWidget::drawRow(pPainter, option, index);
        return;
    }
    QPainter& p = *pPainter;
    const QRect rc = option.rect;
    const bool bHighlight = pRow->isSelected() && (hasFocus() || m_bShowSelectionAlways);
    p.fillRect(rc, bHighlight ? m_clrHighlight : palette().color(QPalette::Base));
    const QColor clrText = !isEnabled() ? palette().color(QPalette::Disabled, QPalette::Text)
                           : bHighlight ? m_clrHighlightText
                                        : palette().color(QPalette::Text);
    p.setFont(font());
    const QFontMetrics fm(font());
    for (int nVisual = 0; nVisual < header()->count(); ++nVisual) {
        const int nColumn = header()->logicalIndex(nVisual);
        if (header()->isSectionHidden(nColumn)) {
            continue;
        }
        QRect cell(header()->sectionViewportPosition(nColumn), rc.top(), header()->sectionSize(nColumn), rc.height());
        p.save();
        p.setClipRect(cell);
        if (nColumn == 0) {
            int x = cell.left() + kMargin;
            const int y = cell.top() + (cell.height() - kImage) / 2;
            if (m_bCheckBoxes) {
                DrawStateImage(p, QRect(x, y, kImage, kImage), pRow->m_nCheck);
                x += kImage + kMargin;
            }
            if (!m_smallImages.isEmpty()) {
                if (pRow->m_nImage >= 0 && pRow->m_nImage < m_smallImages.size()) {
                    const QPixmap& icon = m_smallImages[pRow->m_nImage];
                    p.drawPixmap(QRect(x, y, kImage, kImage), icon);
                }
                x += kImage + kMargin;
            }
            cell.setLeft(x + kMargin);
            cell.setRight(cell.right() - kMargin);
        } else {
            cell.adjust(kTextInset, 0, -kTextInset, 0);
        }
        p.setPen(clrText);
        const QString strText = ShownText(nRow, nColumn, cell.width());
        p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, strText);
        p.restore();
    }
    if (hasFocus() && currentIndex().row() == nRow) {
        p.save();
        QPen pen(bHighlight ? m_clrHighlightText : palette().color(QPalette::Text), 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rc.adjusted(0, 0, -1, -1));
        p.restore();
    }
}

void CXListCtrl::paintEvent(QPaintEvent* pEvent)
{
    QTreeWidget::paintEvent(pEvent);
    if (topLevelItemCount() > 0) {
        return;
    }
    QPainter p(viewport());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    p.drawText(viewport()->rect().adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, EmptyText());
}

void CXListCtrl::mousePressEvent(QMouseEvent* pEvent)
{
    const QPoint pos = pEvent->position().toPoint();
    QTreeWidgetItem* pItem = itemAt(pos);
    const int nRow = pItem != nullptr ? indexOfTopLevelItem(pItem) : -1;
    if (pEvent->button() == Qt::LeftButton && nRow >= 0 && CheckBoxRect(nRow).contains(pos)) {
        setFocus(Qt::MouseFocusReason);
        setCurrentItem(pItem);
        ToggleByUser(nRow);
        pEvent->accept();
        return;
    }
    QTreeWidget::mousePressEvent(pEvent);
}

void CXListCtrl::ToggleByUser(int nRow)
{
    CRow* pRow = Row(nRow);
    if (pRow == nullptr) {
        return;
    }
    const int nNext = NextCheckValue(pRow->m_nCheck, CheckToggle);
    if (nNext != pRow->m_nCheck) {
        pRow->m_nCheck = nNext;
        viewport()->update();
        emit CheckChanged(nRow);
    }
}

void CXListCtrl::keyPressEvent(QKeyEvent* pEvent)
{
    // The space bar does for the keyboard what a click on the box does.
    if (m_bCheckBoxes && pEvent->key() == Qt::Key_Space && pEvent->modifiers() == Qt::NoModifier) {
        const int nRow = currentItem() != nullptr ? indexOfTopLevelItem(currentItem()) : -1;
        if (nRow >= 0) {
            ToggleByUser(nRow);
            pEvent->accept();
            return;
        }
    }
    QTreeWidget::keyPressEvent(pEvent);
}

void CXListCtrl::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    const QPoint pos = pEvent->position().toPoint();
    QTreeWidgetItem* pItem = itemAt(pos);
    const int nRow = pItem != nullptr ? indexOfTopLevelItem(pItem) : -1;
    if (pEvent->button() == Qt::LeftButton && nRow >= 0 && CheckBoxRect(nRow).contains(pos)) {
        mousePressEvent(pEvent);  // a quick second click on the box toggles it again
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(pEvent);
    if (pEvent->button() == Qt::LeftButton && nRow >= 0) {
        emit RowDoubleClicked(nRow);
    }
}

void CXListCtrl::contextMenuEvent(QContextMenuEvent* pEvent)
{
    QTreeWidgetItem* pItem = pEvent->reason() == QContextMenuEvent::Mouse ? itemAt(pEvent->pos()) : currentItem();
    const int nRow = pItem != nullptr ? indexOfTopLevelItem(pItem) : -1;
    emit RowRightClicked(nRow >= 0 ? GetItemValue(nRow) : -1, nRow, pEvent->globalPos());
    pEvent->accept();
}
