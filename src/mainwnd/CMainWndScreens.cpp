// Screens of the main window's own dialogs for the screenshot program: the about box.
#include "mainwnd/CAboutDlg.h"
#include "ui/tools/HVScreenRegistry.h"

HV_SCREEN("mainwin_about")
{
    return new CAboutDlg;
}
