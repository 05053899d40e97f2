#pragma once

#include "security/IPageSwitcher.h"
#include "ui/CResizableDialog.h"

#include <QIcon>
#include <QMap>
#include <QSize>
#include <QString>

#include <array>

class CDataSecurityMngr;
class CHPageDlg;
class CHPropertiesPages;
class CSecureBuffer;
class QAction;
class QMenuBar;

// The main window of an interactive run: a resizable dialog with the page container that holds
// the five task pages, a menu bar with the task, settings and help commands, keyboard shortcuts
// for the pages' buttons and its own remembered placement. Start-up shows it modally (see
// HVRunMainWindow); closing it ends the interactive run.
//
// Pages are made through the page registry (CMainWndPageRegistry.h). A page asks for another
// page with PostPageSwitch (queued, like a posted message): the container asks the shown page
// whether it may be left, naming the wanted page, and switches when it may.
//
// Keyboard commands reach a page as a queued click of its enabled button whose object name is
// the command's number ("4038"); a page without such a button gets a queued call of its
// invokable OnCommand(int), when it has one. A disabled button is never clicked this way.
class CHalvoDataSecurityDlg : public CResizableDialog, public IPageSwitcher
{
    Q_OBJECT

public:
    // Page identifiers, in the order of the container.
    static constexpr int kPageWelcome = 134;
    static constexpr int kPageSecureData = 105;
    static constexpr int kPageSecurityOptions = 135;
    static constexpr int kPageHideData = 4003;
    static constexpr int kPageDecryption = 147;
    static constexpr std::array<int, 5> kPageIds{
        kPageWelcome, kPageSecureData, kPageSecurityOptions, kPageHideData, kPageDecryption};

    // Menu commands.
    static constexpr int ID_MENU_START_SECURE_DATA = 32771;
    static constexpr int ID_MENU_START_HIDE_MANAGMENT = 32772;
    static constexpr int ID_MENU_START_DEC_DATA = 32773;
    static constexpr int ID_MENU_CHANGE_MASTER_PW = 32776;
    static constexpr int ID_MENU_PREFERENCES = 32777;
    static constexpr int ID_MENU_EXIT = 32790;
    static constexpr int ID_MENU_HELP_HELP = 32775;
    static constexpr int ID_MENU_HELP_CHECK_UPDATES = 32779;
    static constexpr int ID_MENU_HELP_ENC = 32784;
    static constexpr int ID_MENU_HELP_WIPE = 32785;
    static constexpr int ID_MENU_HELP_HIDE = 32786;
    static constexpr int ID_MENU_HELP_HOW_TO = 32787;
    static constexpr int ID_MENU_HELP_HALVO = 32788;
    static constexpr int ID_MENU_HELP_TEC_SUPPORT = 32780;
    static constexpr int ID_MENU_HELP_ABOUT = 32778;

    static constexpr int kIconId = 4008;
    static constexpr int kWebLinkHome = 1;
    static constexpr int kWebLinkSupport = 2;

    // The manager must outlive the window; the window installs itself as its page switcher.
    explicit CHalvoDataSecurityDlg(CDataSecurityMngr& mngr, QWidget* pParent = nullptr);
    ~CHalvoDataSecurityDlg() override;

    // Index of the page shown first (0 welcome, 1 secure-data selection, 3 hide management).
    int m_nStartPage = 0;

    [[nodiscard]] CHPropertiesPages* GetGPages() const { return m_pPages; }
    [[nodiscard]] CDataSecurityMngr& Manager() const { return m_mngr; }
    // Builds the container with its five pages; 1 when it was created, else 0.
    int CreateGPages();
    // Gives every created task page (105, 135, 4003, 147) a fresh, not yet created object; the
    // welcome page stays. The identifier is not used.
    void DestroyAllExcept(int nPageId);
    // The page-switch request (queued): the container shows that page once the current one may
    // be left.
    void PostPageSwitch(int nPageId) override;
    // Queues command nId for a page (see the class comment).
    static void PostCommand(CHPageDlg* pPage, int nId);

    // The keyboard handler: true when it took the key. bDryRun only answers whether it would.
    bool PreTranslateKey(int nKey, Qt::KeyboardModifiers modifiers, bool bDryRun = false);

    // Menu commands.
    void OnMenuStartSecureData();
    void OnMenuStartHideManagment();
    void OnMenuStartDecData();
    void OnMenuChangeMasterPW();
    void OnMenuPreferences();
    void OnMenuExit();
    void OnMenuHelpHelp();
    void OnMenuHelpCheckUpdates();
    void OnMenuHelpEnc();
    void OnMenuHelpWipe();
    void OnMenuHelpHide();
    void OnMenuHelpHowTo();
    void OnMenuHelpHalvo();
    void OnMenuHelpTecSupport();
    void OnMenuHelpAbout();
    // The menu entry of a command, null when there is none.
    [[nodiscard]] QAction* MenuAction(int nCommand) const { return m_actions.value(nCommand, nullptr); }
    [[nodiscard]] QMenuBar* MenuBar() const { return m_pMenuBar; }

    // 760 × 570, or 800 × 645 above 96 dots per inch (resolution class 2).
    [[nodiscard]] static QSize MinimumSizeFor(int nResolutionClass);
    [[nodiscard]] QSize MinimumWindowSize() const { return m_minSize; }

    // Applies the stored placement (maximised stays maximised, every other state comes back
    // normal); false when there is none.
    bool LoadWindowPos();
    // Stores the placement when the setting WindowPosition is on; a minimised window is stored
    // in the normal state.
    void SaveWindowPos();

protected:
    bool OnInitDialog() override;
    void OnCancel() override;
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

    // The change-master-password dialog: true with the new password on OK.
    virtual bool AskNewMasterPassword(CSecureBuffer& utf16);
    // Shows the about box modally.
    virtual void ShowAboutBox();

private:
    void BuildMenu();
    QAction* AddCommand(QMenu* pMenu, int nCommand, const QString& strText, void (CHalvoDataSecurityDlg::*pfn)());
    [[nodiscard]] CHPageDlg* MakePage(int nPageId);
    void OnDestroy();

    CDataSecurityMngr& m_mngr;
    CHPropertiesPages* m_pPages = nullptr;
    QMenuBar* m_pMenuBar = nullptr;
    QMap<int, QAction*> m_actions;
    QIcon m_icon;
    QSize m_minSize;
    bool m_bDestroyed = false;
};
