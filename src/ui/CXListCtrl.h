#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QTreeWidget>

#include <functional>

// The record a row of the list carries: the texts of its columns, a 32-bit item value and a
// pointer-sized slot for the caller's own data. It moves with its row when the list is sorted.
struct SXListItemData
{
    QStringList texts;
    qint32 nItemValue = 0;
    quintptr nData = 0;
    int nFlag = 1;
};

// A report-style list with one record per row, per-row check states, optional numbering of the
// first column, case-insensitive sorting on a header click and a text shown while it is empty.
//
// Check values (the row's state-image index less one): 0 no box, 1 unchecked, 2 checked,
// 3 unchecked and 4 checked in the second style, 5 fixed. Rows start at 0.
//
// Row operations with an index outside the list change nothing and return false, -1 or 0.
class CXListCtrl : public QTreeWidget
{
    Q_OBJECT
public:
    using CompareFunc = std::function<int(const SXListItemData& a, const SXListItemData& b, int nColumn)>;

    enum ECheckMode
    {
        CheckOn = 0,
        CheckOff = 1,
        CheckToggle = 2,
    };

    static constexpr int kMaxItemText = 260;

    explicit CXListCtrl(QWidget* pParent = nullptr);
    ~CXListCtrl() override;

    bool Create(QWidget* pParent, const QRect& rc, int nId);

    int InsertColumn(const QString& strText, int nWidth = -1);
    [[nodiscard]] int GetColumnCount() const { return m_nColumns; }
    // Inserts a row at nRow (appends when past the end); returns its index, or -1.
    int InsertItem(int nRow, const QString& strText, int nImage = -1);
    int InsertItem(const QString& strText) { return InsertItem(GetItemCount(), strText); }
    bool DeleteItem(int nRow);
    void DeleteAllItems();
    void DeleteAllItemData();  // frees the rows' records (the rows stay, without texts or values)
    [[nodiscard]] int GetItemCount() const { return topLevelItemCount(); }

    bool SetItemText(int nRow, int nColumn, const QString& strText);
    [[nodiscard]] QString GetItemText(int nRow, int nColumn) const;
    // The text as drawn: "N. text" in the first column while numbering is on.
    [[nodiscard]] QString DisplayText(int nRow, int nColumn) const;
    bool SetItemValue(int nRow, qint32 nValue);
    [[nodiscard]] qint32 GetItemValue(int nRow) const;
    bool SetItemData(int nRow, quintptr nData);
    [[nodiscard]] quintptr GetItemData(int nRow) const;
    [[nodiscard]] const SXListItemData* GetItemRecord(int nRow) const;
    bool SetItemImage(int nRow, int nImage);
    [[nodiscard]] int GetItemImage(int nRow) const;
    void SetSmallImageList(const QList<QPixmap>& images);
    // The column of paths: its texts are shortened in the middle (so that the file name and the
    // start of the path stay in sight), its full text is the cell's tooltip, and it takes the
    // width the list gains when it grows. -1 for none.
    void SetPathColumn(int nColumn);
    [[nodiscard]] int PathColumn() const { return m_nPathColumn; }
    // The text of a cell as it is drawn in a width of nWidth pixels.
    [[nodiscard]] QString ShownText(int nRow, int nColumn, int nWidth) const;

    [[nodiscard]] int GetSelectedItem() const;
    [[nodiscard]] QList<int> GetSelectedItems() const;
    [[nodiscard]] bool IsItemSelected(int nRow) const;
    bool SelectItem(int nRow, bool bSelect = true);
    void SetShowSelectionAlways(bool bAlways);

    void EnableCheckBoxes(bool bEnable);
    [[nodiscard]] bool IsCheckBoxesEnabled() const { return m_bCheckBoxes; }
    bool SetCheckValue(int nRow, int nValue);  // 0 to 5, as it is
    bool SetCheck(int nRow, int nMode);
    void SetCheckAll(int nMode);
    [[nodiscard]] int GetCheck(int nRow) const;  // -1 outside the list
    [[nodiscard]] int GetCheckedCount() const;
    [[nodiscard]] static int NextCheckValue(int nValue, int nMode);

    void SetNumbering(bool bNumbering);
    [[nodiscard]] bool IsNumbering() const { return m_bNumbering; }
    void EnableSort(bool bEnable) { m_bSortEnabled = bEnable; }
    [[nodiscard]] bool IsSortEnabled() const { return m_bSortEnabled; }
    void SetCompareFunction(CompareFunc func) { m_compare = std::move(func); }
    // What a click on the header does: reverse the direction, then sort by that column.
    void OnColumnClick(int nColumn);
    [[nodiscard]] bool IsSortAscending() const { return m_bAscending; }
    void SortItems(int nColumn, bool bAscending);

    void SetHighlightColors(const QColor& clrText, const QColor& clrBk);
    // The state-image area of a row, in viewport coordinates; empty without check boxes.
    [[nodiscard]] QRect CheckBoxRect(int nRow) const;
    [[nodiscard]] static QString EmptyText();

signals:
    void RowDoubleClicked(int nRow);
    // A right click: the row's item value, or -1 off the rows.
    void RowRightClicked(qint32 nItemValue, int nRow, const QPoint& globalPos);
    // A check box changed by the mouse.
    void CheckChanged(int nRow);

protected:
    void drawRow(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    bool viewportEvent(QEvent* pEvent) override;

private:
    class CRow;
    [[nodiscard]] CRow* Row(int nRow) const;
    [[nodiscard]] int Compare(const CRow& a, const CRow& b, int nColumn) const;
    void DrawStateImage(QPainter& p, const QRect& rc, int nValue) const;
    // Toggles the row's box as a click on it does and tells the parent when it changed.
    void ToggleByUser(int nRow);
    void LoadCheckImages();

    int m_nColumns = 0;
    int m_nPathColumn = -1;
    bool m_bSortEnabled = true;
    bool m_bAscending = true;
    bool m_bNumbering = false;
    bool m_bCheckBoxes = false;
    bool m_bShowSelectionAlways = true;
    QColor m_clrHighlightText;
    QColor m_clrHighlight;
    QList<QPixmap> m_checkImages;
    QList<QPixmap> m_smallImages;
    CompareFunc m_compare;
};
