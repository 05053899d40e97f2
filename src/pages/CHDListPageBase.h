#pragma once

#include "pages/HVTaskPage.h"
#include "ui/CHPageDlg.h"

#include <QStringList>

class CDataSecurityMngr;
class CHalvoDataSecurityDlg;
class CHDItemListPanel;
class QRect;
enum class EThemeImage;

// What the three list pages (secure-data selection, hide management, decryption) share: the
// manager and main window they work for, the start of their set-up, the header and heading they
// paint, drops, F1 and the help button, the page switch, and for the pages with an item list
// (CHDItemListPanel) adding chosen files and a folder, removing and clearing rows and the
// context-menu commands.
class CHDListPageBase : public CHPageDlg
{
    Q_OBJECT

public:
    ~CHDListPageBase() override;

    // Takes dropped files and folders by the page's own rule.
    virtual void DropPaths(const QStringList& lstPaths) = 0;
    // Enables the page's buttons for what the list holds.
    virtual void UpdateButtons() = 0;

    // List-page commands; a page without an item list takes none of them.
    virtual void OnBnClickedAddFiles() {}
    virtual void OnBnClickedAddFolder();
    virtual void OnBnClickedRemove();
    virtual void OnBnClickedClear();
    // Opens the page's help topic.
    void OnBnClickedHelp();
    // Carries out a context-menu command of the item list (CHDItemListPanel::ID_...).
    Q_INVOKABLE void OnCommand(int nCommand);

    [[nodiscard]] CHDItemListPanel* Panel() const { return m_pPanel; }

protected:
    CHDListPageBase(int nPageId,
                    const char* pszObjectName,
                    const char* pszHelpTopic,
                    EThemeImage eHeader,
                    unsigned nHeading,
                    CHalvoDataSecurityDlg& mainDlg,
                    CDataSecurityMngr& mngr);

    // The start of OnInitDialog: theme colours, drops on, the design size. Returns where the
    // page's controls go.
    HVTaskPage::SPageFrame BeginInit();
    // The end of OnInitDialog: the page takes the size of the place it is shown in.
    void EndInit();
    // Makes the page's item list at rc, its context menu leading to OnCommand.
    void MakePanel(const QRect& rc, int nId);
    // Takes the item list down with its rows.
    void DestroyPanel();
    // The files the open-file dialog brings (filter "All Files (*)" or another) become rows
    // when pfnTake accepts them (all when null).
    void AddChosenFiles(const QString& strFilter, bool bResolveLinks, bool (*pfnTake)(const QString&));
    // Asks for another page (through the manager's switcher, else the main window).
    void SwitchTo(int nPageId);
    // Painted over the background and heading; nothing by default.
    virtual void PaintBody(QPainter& painter);

    void paintEvent(QPaintEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

    CHalvoDataSecurityDlg& m_mainDlg;
    CDataSecurityMngr& m_mngr;
    CHDItemListPanel* m_pPanel = nullptr;

private:
    const char* m_pszHelpTopic;
    EThemeImage m_eHeader;
    unsigned m_nHeading;
};
