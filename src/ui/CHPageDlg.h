#pragma once

#include "ui/CColoredWnd.h"
#include "ui/CResizableLayout.h"

// A page of CHPropertiesPages, known by its identifier. The page object exists before its window:
// the container builds the window (OnCreatePage, then OnInitDialog) when the page is first shown.
// The container asks OnKillActive, naming the next page, before it leaves the page on a switch
// request; false keeps the page.
class CHPageDlg : public CColoredWnd<QWidget>
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
    int m_nPageId;
    bool m_bCreated = false;
    QSize m_templateSize;
    CResizableLayout* m_layout;
};
