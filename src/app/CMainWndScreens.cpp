// Screens of the main window's own dialogs for the screenshot program: the about box.
#include "app/CAboutDlg.h"
#include "settings/CHDGlobalData.h"
#include "ui/CGlobalColors.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QCoreApplication>

#include "resources/CResourceModule.h"

namespace {

// The configuration and theme of the program folder (where the screenshot program is built).
void EnsureTheme()
{
    static bool bDone = false;
    if (bDone) {
        return;
    }
    bDone = true;
    g_HDGlobalData.m_RegData.m_strModulePath = QCoreApplication::applicationDirPath();
    (void)g_HDGlobalData.LoadAppConfigFile();
    if (!CResourceModule::Instance().IsLoaded()) {
        (void)CResourceModule::Instance().Load(g_HDGlobalData.MAKEFILE(g_HDGlobalData.GetResourceFile()));
    }
    g_GlobalColors.InitColors();
    (void)g_GlobalColors.LoadTheme();
    g_GlobalColors.LoadImages();
}

}  // namespace

HV_SCREEN("mainwin_about")
{
    EnsureTheme();
    return new CAboutDlg;
}
