#pragma once

#include "pages/CHDListPageBase.h"

class CBCGButton;

// The first step of Secure Data (page 105): the user gathers the files and folders to protect
// in a list (file dialog, folder chooser, drops, context menu) and goes on to the security
// options page, which is handed the list's records through the manager's m_arrItems.
class CHDPageDataBrows : public CHDListPageBase
{
    Q_OBJECT

public:
    static constexpr int kPageId = 105;
    static constexpr int IDC_LIST = 1000;
    static constexpr int IDC_BUTTON_ADD_FILES = 4036;
    static constexpr int IDC_BUTTON_ADD_FOLDER = 4037;
    static constexpr int IDC_BUTTON_REMOVE = 4038;
    static constexpr int IDC_BUTTON_CLEAR = 4039;
    static constexpr int IDC_BUTTON_NEXT = 4076;
    static constexpr int IDC_BUTTON_BACK = 4030;
    static constexpr int IDC_BUTTON_CANCEL = 1019;
    static constexpr int IDC_BUTTON_HELP = 1015;
    static constexpr const char* kHelpTopic = "Secure_Data_main.htm";

    CHDPageDataBrows(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr);
    ~CHDPageDataBrows() override;

    bool OnSetActive() override;
    // To the options page: hands the records over (message 129 and false when the list is
    // empty). To any other page: question 112.
    bool OnKillActive(int nNextPageId) override;

    void OnBnClickedAddFiles() override;
    void OnBnClickedNext();
    void OnBnClickedBack();
    // Adds every path (see CHDItemListPanel::AddPath), then updates the buttons.
    void DropPaths(const QStringList& lstPaths) override;
    void UpdateButtons() override;

protected:
    bool OnInitDialog() override;
    void OnDestroyPage() override;
    void PaintBody(QPainter& painter) override;

private:
    CBCGButton* AddButton(CBCGButton* pButton, void (CHDPageDataBrows::*pfn)());
    void TakeOverCommandLineItems();

    CBCGButton* m_pRemove = nullptr;
    CBCGButton* m_pClear = nullptr;
};
