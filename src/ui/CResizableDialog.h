#pragma once

#include "ui/CResizableLayout.h"

#include <QDialog>

// A dialog whose controls follow its size through percentage anchors. OnInitDialog runs once,
// when the dialog is first shown; OnOK and OnCancel are where accept and reject end up.
class CResizableDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CResizableDialog(QWidget* pParent = nullptr);

    void AddAnchor(QWidget* pControl, SResizeAnchor topLeft, SResizeAnchor bottomRight);
    void AddAnchor(QWidget* pControl, SResizeAnchor anchor) { AddAnchor(pControl, anchor, anchor); }
    void ArrangeLayout() { m_layout->ArrangeLayout(); }
    void ClipChildren(bool bClip = true) { m_layout->ClipChildren(bClip); }
    void SetMinTrackSize(const QSize& size) { setMinimumSize(size); }
    [[nodiscard]] CResizableLayout* GetResizableWnd() const { return m_layout; }
    [[nodiscard]] bool IsInitialized() const { return m_bInitialized; }

    void accept() override;
    void reject() override;

protected:
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { QDialog::accept(); }
    virtual void OnCancel() { QDialog::reject(); }
    void showEvent(QShowEvent* pEvent) override;

private:
    CResizableLayout* m_layout;
    bool m_bInitialized = false;
};
