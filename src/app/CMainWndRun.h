#pragma once

class CDataSecurityMngr;

// Builds the main window on the page of index nStartPage (0 welcome, 1 secure-data selection,
// 3 hide management), shows it modally and destroys it when it has been closed. For the
// program's answer to IAppFrontEnd::ShowMainWindow; always true.
bool HVRunMainWindow(int nStartPage, CDataSecurityMngr& mngr);
