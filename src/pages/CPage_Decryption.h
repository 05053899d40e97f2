#pragma once

#include "pages/CHDListPageBase.h"

class CBCGButton;
class CButtonST;

// Decrypt Data (page 147): the user gathers ".hvnc" files, or folders that hold them, and runs
// the manager's DecryptData on them. Leaving the page never asks and keeps the list.
class CPage_Decryption : public CHDListPageBase
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

    void OnBnClickedAddFiles() override;
    void OnBnClickedDecrypt();
    void OnBnClickedCancel();
    // Folders (not empty, not listed) and ".hvnc" files (not listed) become rows.
    void DropPaths(const QStringList& lstPaths) override;
    void UpdateButtons() override;

protected:
    bool OnInitDialog() override;
    void OnDestroyPage() override;

private:
    CBCGButton* m_pRemove = nullptr;
    CBCGButton* m_pClear = nullptr;
    CButtonST* m_pDecrypt = nullptr;
};
