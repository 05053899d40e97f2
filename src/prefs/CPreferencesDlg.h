#pragma once

#include "ui/CResizableDialog.h"
#include "ui/CTitleDrawGradient.h"

#include <QStringList>

#include <functional>

class CBCGButton;
class CDataSecurityMngr;
class CHPropertiesPages;
class CItemsTreeWnd;
class CMRegistryData;

namespace HVDialogs::HVPref {

class CPrefPageBase;

// The preferences: a tree of four pages (General, Encryption, Wipe, Context menu) on the left,
// the page shown on the right. OK stores every created page's values in the settings and saves
// them, and registers the user's file-manager menus while the switch is on (removes them when it
// was turned off), reporting a failure; Cancel
// stores nothing. Default restores the shown page's settings, All Defaults every created page's,
// at once in the live settings object.
//
// Open it with Open() (modal), or build it, SetStartPage, and exec().
class CPreferencesDlg : public CResizableDialog
{
    Q_OBJECT
public:
    static constexpr int IDD = 4081;
    static constexpr int IDC_BUTTON_DEFAULT = 4082;
    static constexpr int IDC_BUTTON_ALL_DEFAULTS = 4083;
    static constexpr int IDC_TREE = 1003;
    static constexpr int IDC_TITLE = 4066;
    static constexpr int IDC_PAGES = 4084;
    static constexpr int IDHELP = 9;
    static constexpr const char* kHelpTopic = "General_Preferences.htm";
    static constexpr int kMaxPassword128 = 15;  // longest master password for 128-bit keys
    static constexpr const char* kRegTool = "hvregsvr";
    static constexpr const char* kExtLibrary = "libHVExt.so";

    enum EPage
    {
        PageGeneral = 0,
        PageEncrypt = 1,
        PageWipe = 2,
        PageContextMenu = 3,
    };

    // Runs the registration tool to its end: program and its arguments, one element each; gives
    // its exit code (-1 when it did not start or end) and what it printed.
    using RegistrationRunner =
        std::function<int(const QString& strProgram, const QStringList& lstArgs, QString& strOutput)>;
    // Replaces the start of the registration tool (tests record it); empty: the real start.
    static void SetRegistrationRunner(RegistrationRunner runner);

    // Length of the master password the program holds, 0 without one.
    using MasterPasswordLength = std::function<qsizetype()>;

    // pMngr's master password is checked against the 128-bit choice (none without a manager);
    // pSettings defaults to the program's settings object g_HDGlobalData.m_RegData.
    explicit CPreferencesDlg(QWidget* pParent = nullptr,
                             const CDataSecurityMngr* pMngr = nullptr,
                             CMRegistryData* pSettings = nullptr);
    ~CPreferencesDlg() override;

    // Builds the dialog over pParent on page nStartPage, runs it modally; the dialog's result.
    static int Open(QWidget* pParent, int nStartPage, const CDataSecurityMngr* pMngr);

    // Index of the page shown first (0 general); set before the dialog is shown.
    void SetStartPage(int nIndex) { m_nStartPage = nIndex; }
    void SetMasterPasswordLength(MasterPasswordLength length) { m_masterLength = std::move(length); }

    [[nodiscard]] CHPropertiesPages* Pages() const { return m_pPages; }
    [[nodiscard]] CItemsTreeWnd* Tree() const { return m_pTree; }
    // The page of that index, null when not inserted; created or not.
    [[nodiscard]] CPrefPageBase* Page(int nIndex) const;

    void OnBnClickedDefault();
    void OnBnClickedAllDefaults();
    void OnBnClickedHelp();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void CreatePages();
    void CreateTree();
    // Runs the registration tool on the extension library, unregistering with bUnregister; a
    // failure is shown to the user with the tool's own words. True on success.
    bool RunRegistration(bool bUnregister);
    [[nodiscard]] CBCGButton* MakeButton(const QString& strText, const QString& strName);

    CMRegistryData& m_settings;
    MasterPasswordLength m_masterLength;
    CBCGButton* m_pOK = nullptr;
    CBCGButton* m_pCancel = nullptr;
    CBCGButton* m_pDefault = nullptr;
    CBCGButton* m_pAllDefaults = nullptr;
    CBCGButton* m_pHelp = nullptr;
    CTitleDrawGradient m_title;
    int m_nStartPage = 0;
    QWidget* m_pTitlePlace = nullptr;  // where the title is drawn
    CItemsTreeWnd* m_pTree = nullptr;
    CHPropertiesPages* m_pPages = nullptr;
};

}  // namespace HVDialogs::HVPref
