// The welcome page in the main window, with the program's theme and stand-in task pages: its
// task buttons switch pages, coming back renews the task pages, the link panel opens help,
// preferences and web links, hiding unavailable disables Hide Management, widening moves the
// right-hand controls, and a missing picture leaves a plain button.
#include "pages/CHDPageWelcome.h"
#include "pages/HVTaskPages.h"
#include "resources/CResourceModule.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CHPropertiesPages.h"

#include "../app/MainwinTestSupport.h"
#include "support/Controls.h"

using namespace HVMainWinTest;

class TestPageWelcome : public QObject
{
    Q_OBJECT

private:
    hvtest::CTempHome m_home;
    CDataSecurityMngr m_mngr;

    std::unique_ptr<CHalvoDataSecurityDlg> Open()
    {
        auto pDlg = std::make_unique<CHalvoDataSecurityDlg>(m_mngr);
        pDlg->show();
        pDlg->activateWindow();
        if (!QTest::qWaitForWindowActive(pDlg.get())) {
            qWarning("window not active");
        }
        Settle();
        return pDlg;
    }
    static CHDPageWelcome* Welcome(const CHalvoDataSecurityDlg& dlg)
    {
        return qobject_cast<CHDPageWelcome*>(dlg.GetGPages()->GetPageDlgHandle(0));
    }
    static CBCGButton* Button(const CHalvoDataSecurityDlg& dlg, int nId)
    {
        return hvtest::Control<CBCGButton>(Welcome(dlg), nId);
    }

private slots:
    void initTestCase()
    {
        PrepareEnvironment();
        QVERIFY(CResourceModule::Instance().Load(g_HDGlobalData.MAKEFILE(g_HDGlobalData.GetResourceFile())));
        g_GlobalColors.InitColors();
        QCOMPARE(g_GlobalColors.LoadTheme(), 0);
        g_GlobalColors.LoadImages();
        HVRegisterTaskPages();
        for (const int nId : {105, 135, 4003, 147}) {
            RegisterFakePage(nId);
        }
    }
    void init()
    {
        ResetRecords();
        m_mngr.m_bHideDisabled = 0;
        g_HDGlobalData.m_RegData.m_nWindowPosition = 0;
    }

    void isTheRegisteredFirstPage()
    {
        auto pDlg = Open();
        QVERIFY(Welcome(*pDlg) != nullptr);
        QCOMPARE(pDlg->GetGPages()->GetCurrentPageDlg(), 134);
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget*>(Button(*pDlg, CHDPageWelcome::IDC_BUTTON_PREFERENCES)));
    }

    void taskButtonsSwitchPages_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("page");
        QTest::newRow("Start Secure Data") << 4036 << 105;
        QTest::newRow("Hide Management") << 4035 << 4003;
        QTest::newRow("Decrypt Data") << 4037 << 147;
    }
    void taskButtonsSwitchPages()
    {
        QFETCH(int, button);
        QFETCH(int, page);
        auto pDlg = Open();
        Button(*pDlg, button)->click();
        Settle();
        QCOMPARE(pDlg->GetGPages()->GetCurrentPageDlg(), page);
    }

    void comingBackRenewsTheTaskPages()
    {
        auto pDlg = Open();
        Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA)->click();
        Settle();
        CHPageDlg* pFirst = pDlg->GetGPages()->GetPageDlgHandle(1);
        pDlg->PostPageSwitch(134);
        Settle();
        QCOMPARE(pDlg->GetGPages()->GetCurrentPageDlg(), 134);
        QVERIFY(pDlg->GetGPages()->GetPageDlgHandle(1) != pFirst);
        QCOMPARE(CFakePage::Destroyed()[105], 1);
        QVERIFY(!pDlg->GetGPages()->IsPageCreated(1));
    }

    void hidingUnavailable()
    {
        m_mngr.m_bHideDisabled = 1;
        auto pDlg = Open();
        QVERIFY(!Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_HIDE_MANAGMENT)->isEnabled());
        QVERIFY(Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA)->isEnabled());
        QTest::keyClick(Button(*pDlg, CHDPageWelcome::IDC_BUTTON_PREFERENCES), Qt::Key_M, Qt::AltModifier);
        Settle();
        QCOMPARE(pDlg->GetGPages()->GetCurrentPageDlg(), 134);
        QTest::keyClick(Button(*pDlg, CHDPageWelcome::IDC_BUTTON_PREFERENCES), Qt::Key_S, Qt::AltModifier);
        Settle();
        QCOMPARE(pDlg->GetGPages()->GetCurrentPageDlg(), 105);
    }

    void linkPanel()
    {
        auto pDlg = Open();
        QList<int> prefs;
        HVSetPreferencesOpener([&](QWidget*, int nStart) { prefs << nStart; });
        Button(*pDlg, CHDPageWelcome::IDC_BUTTON_PREFERENCES)->click();
        QCOMPARE(prefs, QList<int>{0});
        HVSetPreferencesOpener({});
        for (const int nId : {CHDPageWelcome::IDC_BUTTON_HELP,
                              CHDPageWelcome::IDC_BUTTON_LINK_68,
                              CHDPageWelcome::IDC_BUTTON_LINK_7,
                              CHDPageWelcome::IDC_BUTTON_LINK_69,
                              CHDPageWelcome::IDC_BUTTON_HOME}) {
            Button(*pDlg, nId)->click();
        }
        QCOMPARE(OpenedAddresses(),
                 (QStringList{HelpAddress(QString()),
                              g_HDGlobalData.WebLinkAddress(68),
                              g_HDGlobalData.WebLinkAddress(7),
                              g_HDGlobalData.WebLinkAddress(69),
                              g_HDGlobalData.WebLinkAddress(1)}));
    }

    void wideningMovesTheRightHandControls()
    {
        auto pDlg = Open();
        CHDPageWelcome* pPage = Welcome(*pDlg);
        const auto geometry = [&](int nId) { return pPage->findChild<QWidget*>(QString::number(nId))->geometry(); };
        const QRect task = geometry(4036);
        const QRect frame = geometry(4075);
        const QRect link = geometry(4080);
        const QRect home = geometry(1022);
        const QSize before = pPage->size();
        pDlg->resize(pDlg->width() + 200, pDlg->height() + 60);
        Settle();
        const QSize delta = pPage->size() - before;
        QCOMPARE(delta, QSize(200, 60));
        QCOMPARE(geometry(4036), task);
        QCOMPARE(geometry(4075), frame.adjusted(0, 0, 200, 0));
        QCOMPARE(geometry(4080), link.translated(200, 0));
        QCOMPARE(geometry(1022), home.translated(200, 60));
        QCOMPARE(pPage->LinkPanelRect().right(), pPage->width() - 1 + 20);
    }

    void taskPicturesAndAMissingOne()
    {
        {
            auto pDlg = Open();
            for (const int nId : {CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA,
                                  CHDPageWelcome::IDC_BUTTON_START_HIDE_MANAGMENT,
                                  CHDPageWelcome::IDC_BUTTON_START_DEC_DATA}) {
                QVERIFY(Button(*pDlg, nId)->text().isEmpty());
                QVERIFY(!Button(*pDlg, nId)->StateImage(CBCGButton::StateNormal).isNull());
            }
            QVERIFY(Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA)
                        ->StateImage(CBCGButton::StateNormal)
                        .toImage()
                    != Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA)
                           ->StateImage(CBCGButton::StateHot)
                           .toImage());
            QVERIFY(!Welcome(*pDlg)->grab().isNull());
        }
        CThemeImage& secure = g_GlobalColors.Image(EThemeImage::Btn_SecureData);
        secure.Free();
        auto pDlg = Open();
        QVERIFY(!Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA)->text().isEmpty());
        QVERIFY(
            Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA)->StateImage(CBCGButton::StateNormal).isNull());
        QVERIFY(Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_HIDE_MANAGMENT)->text().isEmpty());
        QVERIFY(
            !Button(*pDlg, CHDPageWelcome::IDC_BUTTON_START_DEC_DATA)->StateImage(CBCGButton::StateNormal).isNull());
        QVERIFY(!Welcome(*pDlg)->grab().isNull());
        QCOMPARE(secure.Load(), 1);
    }
};

QTEST_MAIN(TestPageWelcome)
#include "test_page_welcome.moc"
