#pragma once

#include "ui/CHPageDlg.h"

class CHalvoDataSecurityDlg;

// The stand-in for a page whose identifier has no registered factory: the page background, a
// short note and a link back to the start page (command 1019).
class CMainWndEmptyPage : public CHPageDlg
{
    Q_OBJECT

public:
    static constexpr int IDC_BUTTON_BACK = 1019;

    CMainWndEmptyPage(int nPageId, CHalvoDataSecurityDlg& mainDlg);

protected:
    bool OnCreatePage() override;

private:
    CHalvoDataSecurityDlg& m_mainDlg;
};
