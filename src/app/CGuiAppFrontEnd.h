#pragma once

#include "app/IAppFrontEnd.h"
#include "security/CGuiDataSecurityUi.h"
#include "security/CGuiRunnerHost.h"
#include "ui/HVScreenFit.h"

// The graphical program's answers to the application object: message boxes, the password
// dialogs, the progress and report dialogs, the theme, and the main window with the preferences
// dialog behind its menu. Building it installs the desktop's own dialogs in every seam that
// nothing else has taken (HVDesktopSeams) and keeps every window it shows on the screen.
class CGuiAppFrontEnd : public IAppFrontEnd
{
public:
    CGuiAppFrontEnd();
    ~CGuiAppFrontEnd() override;
    CGuiAppFrontEnd(const CGuiAppFrontEnd&) = delete;
    CGuiAppFrontEnd& operator=(const CGuiAppFrontEnd&) = delete;

    void ShowText(const QString& strText) override;
    [[nodiscard]] IDataSecurityUi& Ui() override { return m_ui; }
    [[nodiscard]] IRunnerHost& RunnerHost() override { return m_host; }
    void InitTheme() override;
    void ManagerCreated(CDataSecurityMngr& mngr) override;
    [[nodiscard]] bool ShowMainWindow(int nStartPage, CDataSecurityMngr& mngr) override;

private:
    CDataSecurityMngr* m_pMngr = nullptr;
    CGuiDataSecurityUi m_ui;
    CGuiRunnerHost m_host;
    HVUi::CScreenFitFilter m_screenFit;
};
