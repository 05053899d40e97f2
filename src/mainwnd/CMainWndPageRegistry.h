#pragma once

// How the main window comes by its task pages and by the preferences dialog, without knowing
// their classes.
//
// A page is registered as a factory under its identifier (134 welcome, 105 secure-data
// selection, 135 security options, 4003 hide management, 147 decryption); the task pages are
// registered together by HVRegisterTaskPages (pages/HVTaskPages.h), which the graphical front
// end calls before it builds the main window:
//
//   HVRegisterPageClass<CHDPageDataBrows>(105);   // CHDPageDataBrows(CHalvoDataSecurityDlg&, CDataSecurityMngr&)
//
// The main window calls the factory once when it builds its pages and again each time
// DestroyAllExcept replaces a page by a fresh object. An identifier without a factory gets a
// neutral stand-in page.
//
// The preferences dialog is opened the same way: whoever provides it installs an opener, and
// the menu, the welcome page and the security options page call HVOpenPreferences.
#include <functional>

class CDataSecurityMngr;
class CHalvoDataSecurityDlg;
class CHPageDlg;
class QWidget;

// Builds a new page object (its window is built later, when the container first shows it). The
// container takes ownership.
using HVPageFactory = std::function<CHPageDlg*(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr)>;

// Registers (or replaces) the factory of a page; true. An empty factory removes it.
bool HVRegisterPage(int nPageId, HVPageFactory factory);
void HVUnregisterPage(int nPageId);
// The factory of a page, empty when none is registered.
[[nodiscard]] HVPageFactory HVFindPageFactory(int nPageId);

// Shows the preferences dialog modally over pParent on the page of index nStartPage (0 general,
// 1 encryption, 2 wipe, 3 context menu).
using HVPreferencesOpener = std::function<void(QWidget* pParent, int nStartPage)>;
void HVSetPreferencesOpener(HVPreferencesOpener opener);
// Runs the installed opener; false (and a log line) when there is none.
bool HVOpenPreferences(QWidget* pParent, int nStartPage = 0);

// Registers Class, constructed as Class(CHalvoDataSecurityDlg&, CDataSecurityMngr&), as page nPageId.
template <class Class>
void HVRegisterPageClass(int nPageId)
{
    (void)HVRegisterPage(nPageId, [](CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr) -> CHPageDlg* {
        return new Class(mainDlg, mngr);
    });
}
