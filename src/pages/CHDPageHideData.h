#pragma once

#include "pages/CHDListPageBase.h"
#include "security/SRunCounters.h"

#include <memory>
#include <vector>

class CBCGButton;
class CButtonST;
class CItemData;
class CXListCtrl;

// Hide management (page 4003): the list mirrors what the hiding engine keeps hidden (never the
// master-password file) and is rebuilt from the engine after every operation. The user hides
// more items (files, a folder, drops) and shows checked items again, optionally decrypting the
// encrypted ones.
class CHDPageHideData : public CHDListPageBase
{
    Q_OBJECT

public:
    static constexpr int kPageId = 4003;
    static constexpr int IDC_LIST = 1001;
    static constexpr int IDC_BUTTON_HIDE_FILES = 4049;
    static constexpr int IDC_BUTTON_HIDE_FOLDER = 1022;
    static constexpr int IDC_BUTTON_UNHIDE = 4050;
    static constexpr int IDC_BUTTON_UNHIDE_DECRYPT = 4051;
    static constexpr int IDC_BUTTON_CHECK_ALL = 4088;
    static constexpr int IDC_BUTTON_UNCHECK_ALL = 1023;
    static constexpr int IDC_BUTTON_BACK = 1019;
    static constexpr int IDC_BUTTON_HELP = 1015;
    static constexpr const char* kHelpTopic = "Hide_Management.htm";

    CHDPageHideData(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr);
    ~CHDPageHideData() override;

    // "Hidden/Encrypted" for a path ending in ".hvnc" in any case, else "Hidden".
    [[nodiscard]] static QString StateText(const QString& strPath);
    [[nodiscard]] static bool IsEncryptedPath(const QString& strPath);

    // Rebuilds the list from the engine; with bKeepChecks the checked row indexes stay checked.
    void RebuildList(bool bKeepChecks);
    void UpdateButtons() override;
    [[nodiscard]] bool IsInList(const QString& strPath) const;
    [[nodiscard]] CXListCtrl* List() const { return m_pList; }

    void OnBnClickedHideFiles();
    void OnBnClickedHideFolder();
    void OnBnClickedUnhide();
    void OnBnClickedUnhideDecrypt();
    void OnBnClickedCheckAll();
    void OnBnClickedUncheckAll();
    void OnBnClickedBack();
    // Question 165 once; on yes hides every path not yet listed, in one runner.
    void DropPaths(const QStringList& lstPaths) override;

protected:
    bool OnInitDialog() override;
    void OnDestroyPage() override;

private:
    // Hides the paths in one hide runner (page flag 1), then rebuilds keeping checks.
    void HidePaths(const QStringList& lstPaths);
    // Runs the hide runner of the page over the items: hiding, or showing them again with
    // bUnhide; its counters into pCounters when given.
    void RunHideRunner(const std::vector<CItemData*>& items, int bUnhide, SHideCounters* pCounters);
    // The paths less those the manager never hides (the home folder, say); each left out is
    // named in a message, so that nothing is refused in silence.
    [[nodiscard]] QStringList WithoutProtected(const QStringList& lstPaths);
    // The checked rows' items, from the last row to the first, run through an unhide runner.
    // Returns the items (owned by the caller) and the counters in *pCounters.
    std::vector<std::unique_ptr<CItemData>> UnhideChecked(SHideCounters* pCounters);

    CXListCtrl* m_pList = nullptr;
    CButtonST* m_pUnhide = nullptr;
    CButtonST* m_pUnhideDecrypt = nullptr;
    CBCGButton* m_pCheckAll = nullptr;
    CBCGButton* m_pUncheckAll = nullptr;
};
