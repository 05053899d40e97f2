#pragma once

#include "ui/CHPageDlg.h"

#include <QFont>
#include <QRect>

class CBCGButton;
class CDataSecurityMngr;
class CHalvoDataSecurityDlg;
enum class EThemeImage;

// The first page of the main window (134): the three tasks as large picture buttons with a
// caption under each, a panel of small link buttons (preferences, help, three web links) and
// the maker's home-page button in the footer. Choosing a task asks the container for that
// task's page; each time this page becomes the current page the main window recreates every
// task page, so every task starts afresh.
class CHDPageWelcome : public CHPageDlg
{
    Q_OBJECT

public:
    static constexpr int kPageId = 134;
    // Controls.
    static constexpr int IDC_BUTTON_START_SECURE_DATA = 4036;
    static constexpr int IDC_BUTTON_START_HIDE_MANAGMENT = 4035;
    static constexpr int IDC_BUTTON_START_DEC_DATA = 4037;
    static constexpr int IDC_BUTTON_PREFERENCES = 4078;
    static constexpr int IDC_BUTTON_HELP = 4079;
    static constexpr int IDC_BUTTON_LINK_68 = 4080;
    static constexpr int IDC_BUTTON_LINK_7 = 4081;
    static constexpr int IDC_BUTTON_LINK_69 = 4082;
    static constexpr int IDC_BUTTON_HOME = 1022;
    static constexpr int IDC_FRAME_TASKS = 4075;
    static constexpr int IDC_FRAME_LINKS = 4076;

    CHDPageWelcome(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr);
    ~CHDPageWelcome() override;

    // Recreates the task pages and gives the focus to the Preferences button; true.
    bool OnSetActive() override;
    // The page may always be left.
    bool OnKillActive(int nNextPageId) override;

    void OnBnClickedButtonStartSecureData();
    void OnBnClickedButtonStartHideManagment();
    void OnBnClickedButtonStartDecData();
    void OnBnClickedButtonPreferences();
    void OnBnClickedButtonHelp();
    void OnBnClickedButtonLink68();
    void OnBnClickedButtonLink7();
    void OnBnClickedButtonLink69();
    void OnBnClickedButtonHome();

    // Where the caption under a task button goes.
    [[nodiscard]] static QRect CaptionRect(const QRect& rcButton);
    // The link panel's painted rectangle: its frame, run off the right edge of the page.
    [[nodiscard]] QRect LinkPanelRect() const;
    // The link panel's face: light grey, or the dark variant's second background on a dark
    // desktop.
    [[nodiscard]] static QColor LinkPanelFace();

protected:
    bool OnInitDialog() override;
    void OnDestroyPage() override;
    void paintEvent(QPaintEvent* pEvent) override;
    // The focus set while the window was still hidden does not survive its first showing.
    void showEvent(QShowEvent* pEvent) override;

private:
    CBCGButton* AddButton(int nId, void (CHDPageWelcome::*pfn)());
    void SetTaskPicture(CBCGButton* pButton, EThemeImage image, unsigned nTextId, unsigned nTipId);
    void SetLinkLook(CBCGButton* pButton, int nIcon, unsigned nTextId);
    void PostSwitch(int nPageId);

    CHalvoDataSecurityDlg& m_mainDlg;
    CDataSecurityMngr& m_mngr;
    QFont m_font;
    QWidget* m_pFrameTasks = nullptr;
    QWidget* m_pFrameLinks = nullptr;
    CBCGButton* m_pSecureData = nullptr;
    CBCGButton* m_pHideManagement = nullptr;
    CBCGButton* m_pDecryptData = nullptr;
    CBCGButton* m_pPreferences = nullptr;
};
