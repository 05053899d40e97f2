// The main window with stand-in pages: page order and switching, the leave question, the
// keyboard table, the menu commands, the placement rules, the minimum size and the change of the
// master password around the hidden signature file.
#include "hiding/IHidingEngine.h"
#include "mainwnd/CAboutDlg.h"
#include "mainwnd/CMainWndEmptyPage.h"
#include "passwords/CGuiMessageBox.h"
#include "passwords/CMasterPasswordStartup.h"
#include "passwords/CMasterPasswordStore.h"
#include "resources/CResourceModule.h"
#include "ui/CHPropertiesPages.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

#include "MainwinTestSupport.h"
#include "support/Controls.h"
#include "support/FakeHidingEngine.h"

using namespace HVMainWinTest;
using Dlg = CHalvoDataSecurityDlg;

namespace {

// The change-master-password dialog replaced by a scripted answer.
class CScriptedDlg : public CHalvoDataSecurityDlg
{
public:
    using CHalvoDataSecurityDlg::CHalvoDataSecurityDlg;
    bool bAnswer = true;
    QString strAnswer;
    int nAboutShown = 0;

protected:
    bool AskNewMasterPassword(CSecureBuffer& utf16) override
    {
        utf16 = CSecureBuffer::FromUtf16Units(strAnswer.toStdU16String());
        return bAnswer;
    }
    void ShowAboutBox() override { ++nAboutShown; }
};

int CurrentPage(const Dlg& dlg)
{
    return dlg.GetGPages()->GetCurrentPageDlg();
}

}  // namespace

class TestMainwin : public QObject
{
    Q_OBJECT

private:
    hvtest::CTempHome m_home;
    CDataSecurityMngr m_mngr;

    // A shown window on nPage.
    std::unique_ptr<CScriptedDlg> Open(int nStartIndex = 0)
    {
        auto pDlg = std::make_unique<CScriptedDlg>(m_mngr);
        pDlg->m_nStartPage = nStartIndex;
        pDlg->show();
        Settle();
        return pDlg;
    }
    void GoTo(Dlg& dlg, int nPageId)
    {
        dlg.PostPageSwitch(nPageId);
        Settle();
        QCOMPARE(CurrentPage(dlg), nPageId);
    }

private slots:
    void initTestCase()
    {
        PrepareEnvironment();
        QVERIFY(CResourceModule::Instance().Load(g_HDGlobalData.MAKEFILE(g_HDGlobalData.GetResourceFile())));
        for (const int nId : Dlg::kPageIds) {
            RegisterFakePage(nId);
        }
    }
    void init()
    {
        ResetRecords();
        m_mngr.m_bHideDisabled = 0;
        g_HDGlobalData.m_RegData.m_nWindowPosition = 0;
        CGuiMessageBox::SetHook({});
    }

    void pagesInOrderAndStartPage_data()
    {
        QTest::addColumn<int>("startIndex");
        QTest::addColumn<int>("shown");
        QTest::newRow("welcome") << 0 << 134;
        QTest::newRow("selection (mode 4)") << 1 << 105;
        QTest::newRow("hide management (mode 2)") << 3 << 4003;
    }
    void pagesInOrderAndStartPage()
    {
        QFETCH(int, startIndex);
        QFETCH(int, shown);
        auto pDlg = Open(startIndex);
        CHPropertiesPages* pPages = pDlg->GetGPages();
        QVERIFY(pPages != nullptr);
        QCOMPARE(pPages->GetPageCount(), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(pPages->GetPageDlgHandle(i)->PageId(), Dlg::kPageIds[static_cast<size_t>(i)]);
        }
        QCOMPARE(CurrentPage(*pDlg), shown);
        QCOMPARE(m_mngr.PageSwitcher(), static_cast<IPageSwitcher*>(pDlg.get()));
        pDlg.reset();
        QCOMPARE(m_mngr.PageSwitcher(), nullptr);
    }

    void pageWithoutFactoryGetsStandIn()
    {
        HVUnregisterPage(147);
        auto pDlg = Open();
        RegisterFakePage(147);
        GoTo(*pDlg, 147);
        auto* pStandIn = qobject_cast<CMainWndEmptyPage*>(pDlg->GetGPages()->GetPageDlgHandle(4));
        QVERIFY(pStandIn != nullptr);
        auto* pBack = hvtest::Control<QAbstractButton>(pStandIn, CMainWndEmptyPage::IDC_BUTTON_BACK);
        QVERIFY(pBack != nullptr);
        pBack->click();
        Settle();
        QCOMPARE(CurrentPage(*pDlg), 134);
    }

    void leaveQuestionDecidesTheSwitch()
    {
        auto pDlg = Open();
        GoTo(*pDlg, 105);
        CFakePage::Refusing() << 105;
        pDlg->MenuAction(Dlg::ID_MENU_START_DEC_DATA)->trigger();
        QCOMPARE(CurrentPage(*pDlg), 105);  // posted: nothing before the event loop runs
        Settle();
        QCOMPARE(CurrentPage(*pDlg), 105);
        QCOMPARE(CFakePage::AskedToLeave().last(), (QPair<int, int>(105, 147)));
        CFakePage::Refusing().clear();
        pDlg->MenuAction(Dlg::ID_MENU_START_HIDE_MANAGMENT)->trigger();
        Settle();
        QCOMPARE(CurrentPage(*pDlg), 4003);
        pDlg->MenuAction(Dlg::ID_MENU_START_SECURE_DATA)->trigger();
        Settle();
        QCOMPARE(CurrentPage(*pDlg), 105);
    }

    void destroyAllExceptRenewsOnlyCreatedTaskPages()
    {
        auto pDlg = Open();
        GoTo(*pDlg, 105);
        GoTo(*pDlg, 4003);
        GoTo(*pDlg, 134);
        CHPropertiesPages* pPages = pDlg->GetGPages();
        CHPageDlg* pWelcome = pPages->GetPageDlgHandle(0);
        CHPageDlg* pOptions = pPages->GetPageDlgHandle(2);
        CHPageDlg* pSelection = pPages->GetPageDlgHandle(1);
        pDlg->DestroyAllExcept(134);
        QCOMPARE(pPages->GetPageDlgHandle(0), pWelcome);
        QCOMPARE(pPages->GetPageDlgHandle(2), pOptions);  // never created: kept
        QVERIFY(pPages->GetPageDlgHandle(1) != pSelection);
        QVERIFY(!pPages->IsPageCreated(1));
        QVERIFY(!pPages->IsPageCreated(3));
        QCOMPARE(CFakePage::Destroyed()[105], 1);
        QCOMPARE(CFakePage::Destroyed()[4003], 1);
        QCOMPARE(CFakePage::Destroyed()[134], 0);
        QCOMPARE(CFakePage::Made()[105], 2);
    }

    void keyboardTable_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("alt");
        QTest::addColumn<bool>("hideDisabled");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("command");  // 0: none sent
        const bool A = true;
        const bool _ = false;
        QTest::newRow("Esc welcome") << 134 << int(Qt::Key_Escape) << _ << _ << true << 0;
        QTest::newRow("Esc options") << 135 << int(Qt::Key_Escape) << _ << _ << true << 0;
        QTest::newRow("Alt+Left options") << 135 << int(Qt::Key_Left) << A << _ << true << 1019;
        QTest::newRow("Alt+Left selection") << 105 << int(Qt::Key_Left) << A << _ << true << 4030;
        QTest::newRow("Alt+Left hide") << 4003 << int(Qt::Key_Left) << A << _ << false << 0;
        QTest::newRow("Left selection") << 105 << int(Qt::Key_Left) << _ << _ << false << 0;
        QTest::newRow("Alt+Right options") << 135 << int(Qt::Key_Right) << A << _ << true << 4079;
        QTest::newRow("Alt+Right selection") << 105 << int(Qt::Key_Right) << A << _ << true << 4076;
        QTest::newRow("Right options") << 135 << int(Qt::Key_Right) << _ << _ << false << 0;
        QTest::newRow("Delete selection") << 105 << int(Qt::Key_Delete) << _ << _ << true << 4038;
        QTest::newRow("Alt+Delete decryption") << 147 << int(Qt::Key_Delete) << A << _ << true << 4038;
        QTest::newRow("Delete hide") << 4003 << int(Qt::Key_Delete) << _ << _ << false << 0;
        QTest::newRow("Delete welcome") << 134 << int(Qt::Key_Delete) << _ << _ << false << 0;
        QTest::newRow("Alt+D welcome") << 134 << int(Qt::Key_D) << A << _ << true << 4037;
        QTest::newRow("D welcome") << 134 << int(Qt::Key_D) << _ << _ << false << 0;
        QTest::newRow("Alt+D selection") << 105 << int(Qt::Key_D) << A << _ << false << 0;
        QTest::newRow("Alt+M options") << 135 << int(Qt::Key_M) << A << _ << true << 1017;
        QTest::newRow("Alt+M selection") << 105 << int(Qt::Key_M) << A << _ << true << 1019;
        QTest::newRow("Alt+M hide") << 4003 << int(Qt::Key_M) << A << _ << true << 1019;
        QTest::newRow("Alt+M decryption") << 147 << int(Qt::Key_M) << A << _ << true << 1019;
        QTest::newRow("Alt+M welcome") << 134 << int(Qt::Key_M) << A << _ << true << 4035;
        QTest::newRow("Alt+M welcome, no hiding") << 134 << int(Qt::Key_M) << A << A << true << 0;
        QTest::newRow("M welcome") << 134 << int(Qt::Key_M) << _ << _ << false << 0;
        QTest::newRow("Alt+S welcome") << 134 << int(Qt::Key_S) << A << _ << true << 4036;
        QTest::newRow("Alt+S options") << 135 << int(Qt::Key_S) << A << _ << false << 0;
        QTest::newRow("Alt+X welcome") << 134 << int(Qt::Key_X) << A << _ << false << 0;
        QTest::newRow("F4 welcome") << 134 << int(Qt::Key_F4) << _ << _ << false << 0;
    }
    void keyboardTable()
    {
        QFETCH(int, page);
        QFETCH(int, key);
        QFETCH(bool, alt);
        QFETCH(bool, hideDisabled);
        QFETCH(bool, taken);
        QFETCH(int, command);
        m_mngr.m_bHideDisabled = hideDisabled ? 1 : 0;
        auto pDlg = Open();
        if (page != 134) {
            GoTo(*pDlg, page);
        }
        CFakePage::Clicks().clear();
        // The key as the user types it, at the page's focused widget.
        QWidget* pTarget = pDlg->GetGPages()->GetPageDlgHandle(pDlg->GetGPages()->GetActiveIndex());
        pTarget->setFocus();
        QCOMPARE(pDlg->PreTranslateKey(key, alt ? Qt::AltModifier : Qt::NoModifier, true), taken);
        QTest::keyClick(pTarget, Qt::Key(key), alt ? Qt::AltModifier : Qt::NoModifier);
        Settle();
        QVERIFY(pDlg->isVisible());  // none of these closes the window
        if (command == 0) {
            QVERIFY(CFakePage::Clicks().isEmpty());
        } else {
            QCOMPARE(CFakePage::Clicks(), (QList<QPair<int, int>>{{page, command}}));
        }
    }

    void disabledButtonIsNotPressedByItsKey()
    {
        auto pDlg = Open();
        GoTo(*pDlg, 135);
        hvtest::Control<QPushButton>(pDlg->GetGPages()->GetPageDlgHandle(2), 4079)->setEnabled(false);
        QVERIFY(pDlg->PreTranslateKey(Qt::Key_Right, Qt::AltModifier));
        Settle();
        QVERIFY(CFakePage::Clicks().isEmpty());
    }

    void altF4ClosesEscapeDoesNot()
    {
        auto pDlg = Open();
        QTest::keyClick(pDlg.get(), Qt::Key_Escape);
        Settle();
        QVERIFY(pDlg->isVisible());
        QTest::keyClick(pDlg->GetGPages(), Qt::Key_F4, Qt::AltModifier);
        Settle();
        QVERIFY(!pDlg->isVisible());
        QCOMPARE(pDlg->result(), int(QDialog::Rejected));
    }

    void menuOpensHelpAndLinks_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("address");
        QTest::newRow("help") << Dlg::ID_MENU_HELP_HELP << HelpAddress(QString());
        QTest::newRow("check updates") << Dlg::ID_MENU_HELP_CHECK_UPDATES << HelpAddress(QString());
        QTest::newRow("encrypting") << Dlg::ID_MENU_HELP_ENC << HelpAddress("Encrypting_Files_and_Folders.htm");
        QTest::newRow("wiping") << Dlg::ID_MENU_HELP_WIPE << HelpAddress("Wiping_Files_and_Folders.htm");
        QTest::newRow("hiding") << Dlg::ID_MENU_HELP_HIDE << HelpAddress("Hiding_Files_and_Folders.htm");
        QTest::newRow("how to") << Dlg::ID_MENU_HELP_HOW_TO << HelpAddress("how_to.htm");
        QTest::newRow("home page") << Dlg::ID_MENU_HELP_HALVO << g_HDGlobalData.WebLinkAddress(1);
        QTest::newRow("support") << Dlg::ID_MENU_HELP_TEC_SUPPORT << g_HDGlobalData.WebLinkAddress(2);
    }
    void menuOpensHelpAndLinks()
    {
        QFETCH(int, command);
        QFETCH(QString, address);
        QVERIFY(!address.isEmpty());
        auto pDlg = Open();
        QAction* pAction = pDlg->MenuAction(command);
        QVERIFY(pAction != nullptr);
        pAction->trigger();
        // The help pages are shipped: a topic that has no page opens nothing.
        QCOMPARE(OpenedAddresses(), QStringList{address});
    }

    void f1OpensTheStartPage()
    {
        auto pDlg = Open();
        QTest::keyClick(pDlg->GetGPages()->GetPageDlgHandle(0), Qt::Key_F1);
        QCOMPARE(OpenedAddresses(), QStringList{HelpAddress(QString())});
    }

    void menuPreferencesExitAbout()
    {
        auto pDlg = Open();
        QList<int> opened;
        HVSetPreferencesOpener([&](QWidget* pParent, int nStart) {
            QCOMPARE(pParent, static_cast<QWidget*>(pDlg.get()));
            opened << nStart;
        });
        pDlg->MenuAction(Dlg::ID_MENU_PREFERENCES)->trigger();
        QCOMPARE(opened, QList<int>{0});
        HVSetPreferencesOpener({});
        QVERIFY(!HVOpenPreferences(pDlg.get(), 0));

        pDlg->MenuAction(Dlg::ID_MENU_HELP_ABOUT)->trigger();
        QCOMPARE(pDlg->nAboutShown, 1);
        pDlg->MenuAction(Dlg::ID_MENU_EXIT)->trigger();
        Settle();
        QVERIFY(!pDlg->isVisible());
    }

    void aboutBoxLinkAndHelp()
    {
        CAboutDlg about;
        about.show();
        auto* pLink = hvtest::Control<QAbstractButton>(&about, CAboutDlg::kLinkButtonId);
        QVERIFY(pLink != nullptr);
        pLink->click();
        QTest::keyClick(&about, Qt::Key_F1);
        QCOMPARE(OpenedAddresses(), (QStringList{g_HDGlobalData.WebLinkAddress(1), HelpAddress(QString())}));
        QVERIFY(about.findChild<QLabel*>(QStringLiteral("aboutVersion"))->text().contains(CAboutDlg::ProgramVersion()));
    }

    void placementRules_data()
    {
        QTest::addColumn<int>("closedState");
        QTest::addColumn<int>("reopenedState");
        QTest::newRow("maximised stays") << int(Qt::WindowMaximized) << int(Qt::WindowMaximized);
        QTest::newRow("minimised comes back normal") << int(Qt::WindowMinimized) << int(Qt::WindowNoState);
        QTest::newRow("minimised from maximised: normal")
            << int(Qt::WindowMinimized | Qt::WindowMaximized) << int(Qt::WindowNoState);
        QTest::newRow("full screen comes back normal") << int(Qt::WindowFullScreen) << int(Qt::WindowNoState);
        QTest::newRow("normal") << int(Qt::WindowNoState) << int(Qt::WindowNoState);
    }
    void placementRules()
    {
        QFETCH(int, closedState);
        QFETCH(int, reopenedState);
        g_HDGlobalData.m_RegData.m_nWindowPosition = 1;
        {
            auto pDlg = Open();
            pDlg->setWindowState(Qt::WindowStates(closedState));
            Settle();
            pDlg->close();
        }
        QByteArray stored;
        QVERIFY(g_HDGlobalData.m_RegData.LoadWindowPlacement(stored));
        auto pDlg = Open();
        QCOMPARE(int(pDlg->windowState()), reopenedState);
    }

    void placementNotStoredWhenSwitchedOff()
    {
        g_HDGlobalData.m_RegData.m_nWindowPosition = 1;
        {
            auto pDlg = Open();
            pDlg->setWindowState(Qt::WindowNoState);
            pDlg->resize(771, 655);
        }
        g_HDGlobalData.m_RegData.m_nWindowPosition = 0;
        {
            auto pDlg = Open();
            QCOMPARE(pDlg->size(), QSize(771, 655));
            pDlg->resize(785, 700);
        }
        auto pDlg = Open();
        QCOMPARE(pDlg->size(), QSize(771, 655));
    }

    void minimumSize()
    {
        QCOMPARE(Dlg::MinimumSizeFor(0), QSize(760, 570));
        QCOMPARE(Dlg::MinimumSizeFor(1), QSize(760, 570));
        QCOMPARE(Dlg::MinimumSizeFor(2), QSize(800, 645));
        auto pDlg = Open();
        pDlg->resize(300, 200);
        QVERIFY(pDlg->width() >= pDlg->MinimumWindowSize().width());
        QVERIFY(pDlg->height() >= pDlg->MinimumWindowSize().height());
    }

    void changeMasterPassword()
    {
        const QString strFolder = m_home.DataHome() + QStringLiteral("/Halvo-Soft/HalvoNorvane/Data");
        QDir().mkpath(strFolder);
        const QString strFile = CMasterPasswordStore::PathIn(strFolder);
        std::vector<std::string> calls;
        m_mngr.m_pHideControl = std::make_shared<hvtest::CFakeHidingEngine>(calls);
        m_mngr.m_strConfigFile = strFile;
        m_mngr.m_strMasterPassword = CSecureBuffer::FromUtf16Units(u"old secret");
        QFile seed(strFile);
        QVERIFY(seed.open(QIODevice::WriteOnly));
        seed.write("<Config><PWSig>x</PWSig><RunCount>3</RunCount></Config>");
        seed.close();
        auto pDlg = Open();

        // Cancelled: nothing happens.
        pDlg->bAnswer = false;
        pDlg->OnMenuChangeMasterPW();
        QVERIFY(calls.empty());
        QVERIFY(m_mngr.m_strMasterPassword.Utf16Units() == u"old secret");

        // Changed: shown, rewritten, hidden again; the file holds the new signature.
        pDlg->bAnswer = true;
        pDlg->strAnswer = QStringLiteral("new secret 2");
        pDlg->OnMenuChangeMasterPW();
        const std::string strNative = QFile::encodeName(strFile).toStdString();
        QCOMPARE(calls, (std::vector<std::string>{"engine.UnhideItem " + strNative, "engine.HideItem " + strNative}));
        QVERIFY(m_mngr.m_strMasterPassword.Utf16Units() == u"new secret 2");
        CMasterPasswordStore check(strFile);
        QVERIFY(check.VerifyMasterPassword(u"new secret 2"));

        // Hiding unavailable: the file is rewritten without the engine.
        calls.clear();
        m_mngr.m_bHideDisabled = 1;
        pDlg->strAnswer = QStringLiteral("third one");
        pDlg->OnMenuChangeMasterPW();
        QVERIFY(calls.empty());
        QVERIFY(m_mngr.m_strMasterPassword.Utf16Units() == u"third one");
        m_mngr.m_pHideControl.reset();
    }

    void failedRewriteKeepsTheOldPassword()
    {
        std::vector<std::string> calls;
        m_mngr.m_pHideControl = std::make_shared<hvtest::CFakeHidingEngine>(calls);
        m_mngr.m_strConfigFile = m_home.Root() + QStringLiteral("/no/such/folder/HNVConfig.xml");
        m_mngr.m_strMasterPassword = CSecureBuffer::FromUtf16Units(u"old secret");
        QList<unsigned> shown;
        CGuiMessageBox::SetHook([&](QWidget*, unsigned nId, const QString&, QMessageBox::StandardButtons) {
            shown << nId;
            return QMessageBox::Ok;
        });
        auto pDlg = Open();
        pDlg->strAnswer = QStringLiteral("new secret 2");
        pDlg->OnMenuChangeMasterPW();
        QVERIFY(m_mngr.m_strMasterPassword.Utf16Units() == u"old secret");
        QCOMPARE(shown, QList<unsigned>{CMasterPasswordStartup::kIdsMasterFileNotSaved});
        QCOMPARE(calls.size(), 2u);  // hidden again in any case
        QVERIFY(calls.back().rfind("engine.HideItem ", 0) == 0);
        m_mngr.m_pHideControl.reset();
    }
};

QTEST_MAIN(TestMainwin)
#include "test_mainwin.moc"
