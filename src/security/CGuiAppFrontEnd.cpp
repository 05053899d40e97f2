#include "security/CGuiAppFrontEnd.h"

#include "passwords/CGuiMessageBox.h"
#include "ui/CGlobalColors.h"

CGuiAppFrontEnd::CGuiAppFrontEnd()
    : m_host(m_pMngr)
{
}

void CGuiAppFrontEnd::ShowText(const QString& strText)
{
    CGuiMessageBox::ShowText(nullptr, strText);
}

void CGuiAppFrontEnd::InitTheme()
{
    (void)g_GlobalColors.InitColors();
    (void)g_GlobalColors.LoadTheme();
    (void)g_GlobalColors.LoadImages();
}

bool CGuiAppFrontEnd::ShowMainWindow(int nStartPage, CDataSecurityMngr& mngr)
{
    (void)nStartPage;
    (void)mngr;
    return false;
}
