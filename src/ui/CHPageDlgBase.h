#pragma once

#include "ui/CResizableDialog.h"

#include <QColor>

// The resizable dialog with its own background and text colour that the report, about and
// password dialogs build on.
class CHPageDlgBase : public CResizableDialog
{
    Q_OBJECT
public:
    explicit CHPageDlgBase(QWidget* pParent = nullptr);

    void SetBackgroundColor(const QColor& clr);
    void SetTextColor(const QColor& clr);
    [[nodiscard]] QColor GetBackgroundColor() const { return m_clrBk; }
    [[nodiscard]] QColor GetTextColor() const { return m_clrText; }
    void EnableEraseBackground(bool bEnable);
    bool UpdateData(bool bSaveAndValidate = true) { return DoDataExchange(bSaveAndValidate); }

protected:
    virtual bool DoDataExchange(bool /*bSaveAndValidate*/) { return true; }

private:
    void ApplyColors();

    QColor m_clrBk;
    QColor m_clrText;
    bool m_bErase = true;
};
