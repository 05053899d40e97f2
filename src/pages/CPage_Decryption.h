#pragma once

#include "ui/CHPageDlg.h"

#include <QStringList>

class CBCGButton;
class CButtonST;
class CDataSecurityMngr;
class CHalvoDataSecurityDlg;
class CHDItemListPanel;

// Decrypt Data (page 147): the user gathers ".hvnc" files, or folders that hold them, and runs
// the manager's DecryptData on them. Leaving the page never asks and keeps the list.
class CPage_Decryption : public CHPageDlg
{
    Q_OBJECT

public:
    static constexpr int kPageId = 147;
    static constexpr int IDC_LIST = 1002;
    static constexpr int IDC_BUTTON_ADD_FILES = 1000;
    static constexpr int IDC_BUTTON_ADD_FOLDER = 1001;
    static constexpr int IDC_BUTTON_REMOVE = 4038;
    static constexpr int IDC_BUTTON_CLEAR = 4039;
    static constexpr int IDC_BUTTON_DECRYPT = 1033;
    static constexpr int IDC_BUTTON_CANCEL = 1019;
    static constexpr int IDC_BUTTON_HELP = 1015;
    static constexpr const char* kHelpTopic = "Decrypt_Data_main.htm";

    CPage_Decryption(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr);
    ~CPage_Decryption() override;

    // True for a name ending in exactly ".hvnc" (the case counts).
    [[nodiscard]] static bool HasEncryptedExtension(const QString& strPath);

    bool OnSetActive() override;
    bool OnKillActive(int nNextPageId) override;

    void OnBnClickedAddFiles();
    void OnBnClickedAddFolder();
    void OnBnClickedRemove();
    void OnBnClickedClear();
    void OnBnClickedDecrypt();
    void OnBnClickedCancel();
    void OnBnClickedHelp();
    // Folders (not empty, not listed) and ".hvnc" files (not listed) become rows.
    void DropPaths(const QStringList& lstPaths);
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
    CHalvoDataSecurityDlg& m_mainDlg;
    CDataSecurityMngr& m_mngr;
    CHDItemListPanel* m_pPanel = nullptr;
    CBCGButton* m_pRemove = nullptr;
    CBCGButton* m_pClear = nullptr;
    CButtonST* m_pDecrypt = nullptr;
};
