// The main window's menu bar and its commands.
#include "logging/CHVFuncLog.h"
#include "mainwnd/CAboutDlg.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "mainwnd/CMainWndPageRegistry.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "ui/CHPropertiesPages.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

// Help topics of the help menu.
constexpr const char* kTopicEncrypting = "Encrypting_Files_and_Folders.htm";
constexpr const char* kTopicWiping = "Wiping_Files_and_Folders.htm";
constexpr const char* kTopicHiding = "Hiding_Files_and_Folders.htm";
constexpr const char* kTopicHowTo = "how_to.htm";

}  // namespace

QAction* CHalvoDataSecurityDlg::AddCommand(QMenu* pMenu,
                                           int nCommand,
                                           const QString& strText,
                                           void (CHalvoDataSecurityDlg::*pfn)())
{
    QAction* pAction = pMenu->addAction(strText);
    pAction->setObjectName(QString::number(nCommand));
    pAction->setData(nCommand);
    connect(pAction, &QAction::triggered, this, pfn);
    m_actions.insert(nCommand, pAction);
    return pAction;
}

void CHalvoDataSecurityDlg::BuildMenu()
{
    m_pMenuBar = new QMenuBar(this);
    m_pMenuBar->setObjectName(QStringLiteral("menuBar"));
    m_pMenuBar->setNativeMenuBar(false);

    QMenu* pTasks = m_pMenuBar->addMenu(HVLoadString(IDS_MENU_TASKS));
    pTasks->setObjectName(QStringLiteral("menuTasks"));
    AddCommand(pTasks,
               ID_MENU_START_SECURE_DATA,
               HVLoadString(IDS_MENU_SECURE_DATA),
               &CHalvoDataSecurityDlg::OnMenuStartSecureData);
    AddCommand(pTasks,
               ID_MENU_START_HIDE_MANAGMENT,
               HVLoadString(IDS_MENU_HIDE_MANAGEMENT),
               &CHalvoDataSecurityDlg::OnMenuStartHideManagment);
    AddCommand(pTasks,
               ID_MENU_START_DEC_DATA,
               HVLoadString(IDS_MENU_DECRYPT_DATA),
               &CHalvoDataSecurityDlg::OnMenuStartDecData);
    pTasks->addSeparator();
    QAction* pExit = AddCommand(pTasks, ID_MENU_EXIT, HVLoadString(IDS_MENU_EXIT), &CHalvoDataSecurityDlg::OnMenuExit);
    pExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    pExit->setShortcutContext(Qt::WindowShortcut);

    QMenu* pOptions = m_pMenuBar->addMenu(HVLoadString(IDS_MENU_SETTINGS));
    pOptions->setObjectName(QStringLiteral("menuOptions"));
    AddCommand(pOptions,
               ID_MENU_CHANGE_MASTER_PW,
               HVLoadString(IDS_MENU_CHANGE_MASTER),
               &CHalvoDataSecurityDlg::OnMenuChangeMasterPW);
    AddCommand(
        pOptions, ID_MENU_PREFERENCES, HVLoadString(IDS_MENU_PREFERENCES), &CHalvoDataSecurityDlg::OnMenuPreferences);

    QMenu* pHelp = m_pMenuBar->addMenu(HVLoadString(IDS_MENU_HELP));
    pHelp->setObjectName(QStringLiteral("menuHelp"));
    QAction* pTopics = AddCommand(
        pHelp, ID_MENU_HELP_HELP, HVLoadString(IDS_MENU_HELP_CONTENTS), &CHalvoDataSecurityDlg::OnMenuHelpHelp);
    pTopics->setShortcut(QKeySequence(Qt::Key_F1));
    pTopics->setShortcutContext(Qt::WidgetShortcut);  // shown only: F1 reaches the page first
    AddCommand(pHelp, ID_MENU_HELP_HOW_TO, HVLoadString(IDS_MENU_HELP_HOWTO), &CHalvoDataSecurityDlg::OnMenuHelpHowTo);
    pHelp->addSeparator();
    AddCommand(pHelp, ID_MENU_HELP_ENC, HVLoadString(IDS_MENU_HELP_ENCRYPT), &CHalvoDataSecurityDlg::OnMenuHelpEnc);
    AddCommand(pHelp, ID_MENU_HELP_WIPE, HVLoadString(IDS_MENU_HELP_WIPE), &CHalvoDataSecurityDlg::OnMenuHelpWipe);
    AddCommand(pHelp, ID_MENU_HELP_HIDE, HVLoadString(IDS_MENU_HELP_HIDE), &CHalvoDataSecurityDlg::OnMenuHelpHide);
    pHelp->addSeparator();
    AddCommand(pHelp,
               ID_MENU_HELP_CHECK_UPDATES,
               HVLoadString(IDS_MENU_CHECK_UPDATES),
               &CHalvoDataSecurityDlg::OnMenuHelpCheckUpdates);
    AddCommand(
        pHelp, ID_MENU_HELP_TEC_SUPPORT, HVLoadString(IDS_MENU_SUPPORT), &CHalvoDataSecurityDlg::OnMenuHelpTecSupport);
    AddCommand(pHelp, ID_MENU_HELP_HALVO, HVLoadString(IDS_MENU_HOMEPAGE), &CHalvoDataSecurityDlg::OnMenuHelpHalvo);
    pHelp->addSeparator();
    AddCommand(pHelp, ID_MENU_HELP_ABOUT, HVLoadString(IDS_MENU_ABOUT), &CHalvoDataSecurityDlg::OnMenuHelpAbout);
}

void CHalvoDataSecurityDlg::OnMenuStartSecureData()
{
    HV_FUNC_LOG();
    (void)m_mngr.SwitchPage(kPageSecureData);
}

void CHalvoDataSecurityDlg::OnMenuStartHideManagment()
{
    HV_FUNC_LOG();
    (void)m_mngr.SwitchPage(kPageHideData);
}

void CHalvoDataSecurityDlg::OnMenuStartDecData()
{
    HV_FUNC_LOG();
    (void)m_mngr.SwitchPage(kPageDecryption);
}

void CHalvoDataSecurityDlg::OnMenuPreferences()
{
    HV_FUNC_LOG();
    HVOpenPreferences(this, 0);
}

void CHalvoDataSecurityDlg::OnMenuExit()
{
    HV_FUNC_LOG();
    close();
}

void CHalvoDataSecurityDlg::OnMenuHelpHelp()
{
    HV_FUNC_LOG();
    g_HDGlobalData.ShowHelpTopic(QString());
}

void CHalvoDataSecurityDlg::OnMenuHelpCheckUpdates()
{
    HV_FUNC_LOG();
    g_HDGlobalData.ShowHelpTopic(QString());
}

void CHalvoDataSecurityDlg::OnMenuHelpEnc()
{
    HV_FUNC_LOG();
    g_HDGlobalData.ShowHelpTopic(QString::fromLatin1(kTopicEncrypting));
}

void CHalvoDataSecurityDlg::OnMenuHelpWipe()
{
    HV_FUNC_LOG();
    g_HDGlobalData.ShowHelpTopic(QString::fromLatin1(kTopicWiping));
}

void CHalvoDataSecurityDlg::OnMenuHelpHide()
{
    HV_FUNC_LOG();
    g_HDGlobalData.ShowHelpTopic(QString::fromLatin1(kTopicHiding));
}

void CHalvoDataSecurityDlg::OnMenuHelpHowTo()
{
    HV_FUNC_LOG();
    g_HDGlobalData.ShowHelpTopic(QString::fromLatin1(kTopicHowTo));
}

void CHalvoDataSecurityDlg::OnMenuHelpHalvo()
{
    HV_FUNC_LOG();
    g_HDGlobalData.OpenWebLink(kWebLinkHome);
}

void CHalvoDataSecurityDlg::OnMenuHelpTecSupport()
{
    HV_FUNC_LOG();
    g_HDGlobalData.OpenWebLink(kWebLinkSupport);
}

void CHalvoDataSecurityDlg::OnMenuHelpAbout()
{
    HV_FUNC_LOG();
    ShowAboutBox();
}

void CHalvoDataSecurityDlg::ShowAboutBox()
{
    CAboutDlg dlg(this);
    dlg.exec();
}
