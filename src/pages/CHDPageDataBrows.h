#pragma once

#include "ui/CHPageDlg.h"

#include <QStringList>

class CBCGButton;
class CDataSecurityMngr;
class CHalvoDataSecurityDlg;
class CHDItemListPanel;
class CItemData;

// The first step of Secure Data (page 105): the user gathers the files and folders to protect
// in a list (file dialog, folder chooser, drops, context menu) and goes on to the security
// options page, which is handed the list's records through the manager's m_arrItems.
class CHDPageDataBrows : public CHPageDlg
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

    void OnBnClickedAddFiles();
    void OnBnClickedAddFolder();
    void OnBnClickedRemove();
    void OnBnClickedClear();
    void OnBnClickedNext();
    void OnBnClickedBack();
    void OnBnClickedHelp();
    // Adds every path (see CHDItemListPanel::AddPath), then updates the buttons.
    void DropPaths(const QStringList& lstPaths);
    // Carries out a context-menu command.
    Q_INVOKABLE void OnCommand(int nCommand);
    void UpdateButtons();

    [[nodiscard]] CHDItemListPanel* Panel() const { return m_pPanel; }

protected:
    bool OnInitDialog() override;
    void OnDestroyPage() override;
    void paintEvent(QPaintEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    CBCGButton* AddButton(CBCGButton* pButton, void (CHDPageDataBrows::*pfn)());
    void TakeOverCommandLineItems();
    void ReleaseItems();
    void ForgetRemovedItems(const QList<CItemData*>& before);

    CHalvoDataSecurityDlg& m_mainDlg;
    CDataSecurityMngr& m_mngr;
    CHDItemListPanel* m_pPanel = nullptr;
    CBCGButton* m_pRemove = nullptr;
    CBCGButton* m_pClear = nullptr;
};
