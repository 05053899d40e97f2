#pragma once

// What the main-window and page tests share: a temporary HOME with the settings key, the
// program folder of the build (help pages, configuration), a recorder of opened addresses and
// stand-in task pages whose buttons (named by their command numbers) count their clicks.
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "mainwnd/CMainWndPageRegistry.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "ui/CHPageDlg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <vector>

#include "support/TempHome.h"

namespace HVMainWinTest {

// Every opened address (help pages and web links), in order.
inline QStringList& OpenedAddresses()
{
    static QStringList s_list;
    return s_list;
}

// Creates the settings key and points the global data at the build's program folder (HOME and
// the XDG folders are a temporary home's). Call once, before any window is made.
inline void PrepareEnvironment()
{
    const QString strBin = qEnvironmentVariable("HV_BUILD_BIN");
    QVERIFY2(!strBin.isEmpty(), "HV_BUILD_BIN is not set");
    // Loading the user's values also reads the program's registered folder: set ours after it.
    QVERIFY(g_HDGlobalData.m_RegData.Load());
    g_HDGlobalData.m_RegData.m_strModulePath = strBin;
    QCOMPARE(g_HDGlobalData.LoadAppConfigFile(), 1);
    g_HDGlobalData.SetUrlOpener([](const QString& strAddress) {
        OpenedAddresses() << strAddress;
        return true;
    });
}

// A task page with buttons for the commands it answers; counts clicks per command and records
// the leave question.
class CFakePage : public CHPageDlg
{
public:
    CFakePage(int nPageId, std::vector<int> commands)
        : CHPageDlg(nPageId)
        , m_commands(std::move(commands))
    {
        ++Made()[nPageId];
    }
    ~CFakePage() override { ++Destroyed()[PageId()]; }

    bool OnKillActive(int nNextPageId) override
    {
        AskedToLeave() << QPair<int, int>(PageId(), nNextPageId);
        return !Refusing().contains(PageId());
    }

    static std::map<int, int>& Made()
    {
        static std::map<int, int> s_made;
        return s_made;
    }
    static std::map<int, int>& Destroyed()
    {
        static std::map<int, int> s_destroyed;
        return s_destroyed;
    }
    // (page, command) per click.
    static QList<QPair<int, int>>& Clicks()
    {
        static QList<QPair<int, int>> s_clicks;
        return s_clicks;
    }
    // (page left, next page) per question.
    static QList<QPair<int, int>>& AskedToLeave()
    {
        static QList<QPair<int, int>> s_asked;
        return s_asked;
    }
    static QList<int>& Refusing()
    {
        static QList<int> s_refusing;
        return s_refusing;
    }

protected:
    bool OnInitDialog() override
    {
        for (const int nCommand : m_commands) {
            auto* pButton = new QPushButton(QString::number(nCommand), this);
            pButton->setObjectName(QString::number(nCommand));
            const int nPage = PageId();
            QObject::connect(pButton, &QPushButton::clicked, pButton, [nPage, nCommand] {
                Clicks() << QPair<int, int>(nPage, nCommand);
            });
        }
        return true;
    }

private:
    std::vector<int> m_commands;
};

// The commands the keyboard handler sends, per page.
inline std::vector<int> CommandsOf(int nPageId)
{
    switch (nPageId) {
    case CHalvoDataSecurityDlg::kPageWelcome:
        return {4035, 4036, 4037};
    case CHalvoDataSecurityDlg::kPageSecureData:
        return {4030, 4076, 4038, 1019};
    case CHalvoDataSecurityDlg::kPageSecurityOptions:
        return {1019, 4079, 1017};
    case CHalvoDataSecurityDlg::kPageHideData:
        return {1019};
    case CHalvoDataSecurityDlg::kPageDecryption:
        return {4038, 1019};
    default:
        return {};
    }
}

inline void RegisterFakePage(int nPageId)
{
    HVRegisterPage(nPageId, [nPageId](CHalvoDataSecurityDlg&, CDataSecurityMngr&) -> CHPageDlg* {
        return new CFakePage(nPageId, CommandsOf(nPageId));
    });
}

inline void ResetRecords()
{
    CFakePage::Made().clear();
    CFakePage::Destroyed().clear();
    CFakePage::Clicks().clear();
    CFakePage::AskedToLeave().clear();
    CFakePage::Refusing().clear();
    OpenedAddresses().clear();
}

// The address a help topic opens ("" for the start page).
inline QString HelpAddress(const QString& strTopic)
{
    return g_HDGlobalData.HelpTopicAddress(strTopic);
}

// Runs the queued calls (page switches, commands).
inline void Settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::processEvents();
    }
}

}  // namespace HVMainWinTest
