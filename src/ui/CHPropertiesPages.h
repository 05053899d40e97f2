#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

#include <vector>

class CBCGButton;
class CHPageDlg;
class QStackedWidget;

// Holds pages by identifier and shows one at a time, with an optional bar of Previous and Next
// buttons below them. A page asks for another page with PostPageSwitch (the request is queued,
// so it takes effect after the current event); the container then asks the shown page whether it
// may be left, naming the wanted page, and switches only when it may.
//
// A request that arrives while the container is asking is held back and carried out afterwards,
// unless it names the page just refused or the page then shown.
class CHPropertiesPages : public QWidget
{
    Q_OBJECT
public:
    explicit CHPropertiesPages(QWidget* pParent = nullptr);
    ~CHPropertiesPages() override;

    bool Create(QWidget* pParent, const QRect& rc);
    [[nodiscard]] bool IsCreated() const { return m_bCreated; }

    // Takes ownership; appends when nIndex is past the end. Returns the page's index, or -1.
    int InsertPage(CHPageDlg* pPage, int nIndex = -1);
    // Shows a page at once, without asking the shown one; builds its window when needed.
    bool SetPage(int nIndex);
    bool SetPageById(int nPageId);
    // Takes the page's window down and deletes the page object; the slot stays, empty.
    bool DestroyPage(int nIndex);
    // Puts a new (not yet created) page object in the slot, destroying the one there.
    bool ReplacePage(int nIndex, CHPageDlg* pPage);

    [[nodiscard]] int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    [[nodiscard]] int GetActiveIndex() const { return m_nCurrent; }
    [[nodiscard]] int PageIndex(int nPageId) const;
    [[nodiscard]] bool IsPageCreated(int nIndex) const;
    [[nodiscard]] CHPageDlg* GetPageDlgHandle(int nIndex) const;
    // Identifier of the page shown, -1 when none.
    [[nodiscard]] int GetCurrentPageDlg() const;

    // The page-switch request (queued).
    void PostPageSwitch(int nPageId);

    void ReCalcLayout();
    void SetBtnColors(const QColor& clrFace, const QColor& clrFaceHot);
    void SetTextNext(const QString& strText);
    void SetTextPrevious(const QString& strText);
    void SetNextImage(const QPixmap& image);
    void SetPreviousImage(const QPixmap& image);
    void SetControlVisible(bool bVisible);
    void SetControlColorBg(const QColor& clr);

public slots:
    // What a queued request runs; may be called directly as well.
    void OnPageSwitchRequest(int nPageId);

signals:
    void PageChanged(int nIndex, int nPageId);
    void PageSwitchRefused(int nPageId);

private:
    void UpdateButtons();

    std::vector<CHPageDlg*> m_pages;
    QStackedWidget* m_pStack = nullptr;
    QWidget* m_pBar = nullptr;
    CBCGButton* m_pPrevious = nullptr;
    CBCGButton* m_pNext = nullptr;
    int m_nCurrent = -1;
    bool m_bCreated = false;
    bool m_bAsking = false;
    int m_nPendingId = -1;
};
