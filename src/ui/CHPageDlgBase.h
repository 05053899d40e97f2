#pragma once

#include "ui/CColoredWnd.h"
#include "ui/CResizableDialog.h"

// The resizable dialog with its own background and text colour that the report, about and
// password dialogs build on.
class CHPageDlgBase : public CColoredWnd<CResizableDialog>
{
    Q_OBJECT
public:
    explicit CHPageDlgBase(QWidget* pParent = nullptr);

    bool UpdateData(bool bSaveAndValidate = true) { return DoDataExchange(bSaveAndValidate); }

protected:
    virtual bool DoDataExchange(bool /*bSaveAndValidate*/) { return true; }
};
