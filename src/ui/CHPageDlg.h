#pragma once

#include "ui/CResizableLayout.h"

#include <QColor>
#include <QWidget>

// A page of CHPropertiesPages, known by its identifier. The page object exists before its window:
// the container builds the window (OnCreatePage, then OnInitDialog) when the page is first shown.
// The container asks OnKillActive, naming the next page, before it leaves the page on a switch
// request; false keeps the page.
class CHPageDlg : public QWidget
{
    Q_OBJECT
public:
    explicit CHPageDlg(int nPageId, QWidget* pParent = nullptr);
    ~CHPageDlg() override;

    [[nodiscard]] int PageId() const { return m_nPageId; }
    [[nodiscard]] bool IsCreated() const { return m_bCreated; }
    // The size the page's controls are placed for (its dialog template). The page takes this
    // size just before OnCreatePage, so that anchors added then refer to it; without one it takes
    // the size of the place it is shown in.
    void SetTemplateSize(const QSize& size) { m_templateSize = size; }
    [[nodiscard]] QSize TemplateSize() const { return m_templateSize; }
    // Builds the page's window once; false when OnCreatePage refused.
    bool CreatePage();
    // Takes the page's window down (OnDestroyPage); the object may be deleted afterwards.
    void DestroyPage();

    virtual bool OnSetActive() { return true; }
    virtual bool OnKillActive(int /*nNextPageId*/) { return true; }
    virtual void OnOK() {}
    virtual void OnCancel() {}

    void SetBackgroundColor(const QColor& clr);
    void SetTextColor(const QColor& clr);
    [[nodiscard]] QColor GetBackgroundColor() const { return m_clrBk; }
    [[nodiscard]] QColor GetTextColor() const { return m_clrText; }
    // Off: the page paints its whole area itself.
    void EnableEraseBackground(bool bEnable);
    [[nodiscard]] CResizableLayout* GetResizableWnd() const { return m_layout; }
    void AddAnchor(QWidget* pControl, SResizeAnchor topLeft, SResizeAnchor bottomRight)
    {
        m_layout->AddAnchor(pControl, topLeft, bottomRight);
    }
    // Runs DoDataExchange: true copies from the controls into the fields, false the other way.
    bool UpdateData(bool bSaveAndValidate = true) { return DoDataExchange(bSaveAndValidate); }

protected:
    virtual bool OnCreatePage() { return true; }
    virtual bool OnInitDialog() { return true; }
    virtual void OnDestroyPage() {}
    virtual bool DoDataExchange(bool /*bSaveAndValidate*/) { return true; }

private:
    void ApplyColors();

    int m_nPageId;
    bool m_bCreated = false;
    bool m_bErase = true;
    QColor m_clrBk;
    QColor m_clrText;
    QSize m_templateSize;
    CResizableLayout* m_layout;
};
