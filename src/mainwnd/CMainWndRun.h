#pragma once

#include <functional>

class CDataSecurityMngr;
class QWidget;

// Builds the main window on the page of index nStartPage (0 welcome, 1 secure-data selection,
// 3 hide management), shows it modally and destroys it when it has been closed. onWindow, when
// given, is told the window once it exists (so that the dialogs of the runs started from it take
// it as their parent) and nullptr before it goes. For the program's answer to
// IAppFrontEnd::ShowMainWindow; always true.
bool HVRunMainWindow(int nStartPage,
                     CDataSecurityMngr& mngr,
                     const std::function<void(QWidget*)>& onWindow = std::function<void(QWidget*)>());
