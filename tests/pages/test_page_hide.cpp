// The hide management page (4003) against the real hiding engine in a temporary HOME.
#include "pages/CHDItemListPanel.h"
#include "pages/CHDPageHideData.h"
#include "ui/CXListCtrl.h"

#include <QAbstractButton>
#include <QtTest>

#include "PagesTestSupport.h"
#include "support/Controls.h"

using namespace PagesTest;
using H = CHDPageHideData;

class TestPageHide : public CPageTest
{
    Q_OBJECT

    std::shared_ptr<CHidingEngine> m_engine;

    std::unique_ptr<CHDPageHideData> Make() { return CPageTest::Make<CHDPageHideData>(); }
    void HideDirectly(const QString& strPath) { QVERIFY(m_engine->HideItem(QFile::encodeName(strPath).toStdString())); }

private slots:
    void init()
    {
        CPageTest::init();
        m_engine = std::make_shared<CHidingEngine>();
        QVERIFY(UseHidingEngine(m_rig->mngr, m_engine));
        m_rig->mngr.m_strConfigFile = m_home->MakeFile(QStringLiteral("Data/HNVConfig.xml"));
    }
    void cleanup()
    {
        CPageTest::cleanup();
        m_engine.reset();
    }

    void listMirrorsTheEngineWithoutTheConfigFile()
    {
        HideDirectly(m_rig->mngr.m_strConfigFile);
        const QString strA = m_home->MakeFile(QStringLiteral("a.txt"));
        const QString strB = m_home->MakeFile(QStringLiteral("b.TXT.HvNc"));
        HideDirectly(strA);
        HideDirectly(strB);
        auto pPage = Make();
        QCOMPARE(Column(pPage->List()), (QStringList{strA, strB}));
        QCOMPARE(Column(pPage->List(), 1), (QStringList{QStringLiteral("Hidden"), QStringLiteral("Hidden/Encrypted")}));
        QCOMPARE(pPage->List()->GetCheck(0), 1);
    }

    void buttonRules()
    {
        const QString strA = m_home->MakeFile(QStringLiteral("a.txt"));
        const QString strB = m_home->MakeFile(QStringLiteral("b.hvnc"));
        HideDirectly(strA);
        HideDirectly(strB);
        auto pPage = Make();
        QWidget* p = pPage.get();
        // None checked.
        QVERIFY(Enabled(p, H::IDC_BUTTON_CHECK_ALL));
        QVERIFY(!Enabled(p, H::IDC_BUTTON_UNHIDE) && !Enabled(p, H::IDC_BUTTON_UNHIDE_DECRYPT)
                && !Enabled(p, H::IDC_BUTTON_UNCHECK_ALL));
        // A plain file checked: unhide, not unhide-and-decrypt.
        pPage->List()->SetCheck(0, CXListCtrl::CheckOn);
        emit pPage->List()->CheckChanged(0);
        QVERIFY(Enabled(p, H::IDC_BUTTON_UNHIDE) && Enabled(p, H::IDC_BUTTON_UNCHECK_ALL)
                && !Enabled(p, H::IDC_BUTTON_UNHIDE_DECRYPT));
        // All checked: check-all off, unhide-and-decrypt on.
        hvtest::Control<QAbstractButton>(pPage.get(), H::IDC_BUTTON_CHECK_ALL)->click();
        QVERIFY(!Enabled(p, H::IDC_BUTTON_CHECK_ALL));
        QVERIFY(Enabled(p, H::IDC_BUTTON_UNHIDE_DECRYPT));
        hvtest::Control<QAbstractButton>(pPage.get(), H::IDC_BUTTON_UNCHECK_ALL)->click();
        QCOMPARE(pPage->List()->GetCheckedCount(), 0);
        QVERIFY(!Enabled(p, H::IDC_BUTTON_UNHIDE));
    }

    void hidingKeepsChecksByIndex()
    {
        const QString strA = m_home->MakeFile(QStringLiteral("a.txt"));
        HideDirectly(strA);
        auto pPage = Make();
        pPage->List()->SetCheck(0, CXListCtrl::CheckOn);
        const QString strB = m_home->MakeFile(QStringLiteral("b.txt"));
        const QString strC = m_home->MakeFile(QStringLiteral("c.txt"));
        m_rig->answers.m_files.push_back({strB, strC, strA});
        pPage->OnBnClickedHideFiles();
        QCOMPARE(m_rig->answers.m_questions, (std::vector<unsigned>{165}));
        QCOMPARE(Column(pPage->List()), (QStringList{strA, strB, strC}));
        QVERIFY(!QFile::exists(strB) && !QFile::exists(strC));
        QCOMPARE(pPage->List()->GetCheck(0), 2);
        QCOMPARE(pPage->List()->GetCheck(1), 1);
        QCOMPARE(m_rig->ui.m_reports.size(), std::size_t(0));  // no report for hiding
    }

    void answeringNoHidesNothing()
    {
        auto pPage = Make();
        const QString strA = m_home->MakeFile(QStringLiteral("a.txt"));
        const QString strB = m_home->MakeFile(QStringLiteral("b.txt"));
        m_rig->answers.m_answers = {false, false, false};
        pPage->DropPaths({strA, strB});
        m_rig->answers.m_files.push_back({strA});
        pPage->OnBnClickedHideFiles();
        m_rig->answers.m_folders.push_back(m_home->Work() + QStringLiteral("/sub"));
        QDir().mkpath(m_home->Work() + QStringLiteral("/sub"));
        pPage->OnBnClickedHideFolder();
        QCOMPARE(m_rig->answers.m_questions, (std::vector<unsigned>{165, 165, 165}));
        QCOMPARE(pPage->List()->GetItemCount(), 0);
        QVERIFY(QFile::exists(strA) && QFile::exists(strB));
        QCOMPARE(m_rig->host.m_nHideRuns, 0);
    }

    void dropAndFolderHideThroughTheRunner()
    {
        auto pPage = Make();
        const QString strA = m_home->MakeFile(QStringLiteral("drop/a.txt"));
        const QString strFolder = m_home->Work() + QStringLiteral("/folder");
        QDir().mkpath(strFolder);
        pPage->DropPaths({strA, QString(), strA});
        m_rig->answers.m_folders.push_back(strFolder);
        pPage->OnBnClickedHideFolder();
        QCOMPARE(Column(pPage->List()), (QStringList{strA, strFolder}));
        QVERIFY(!QFileInfo::exists(strFolder));
        // The hidden folder is gone from its path and still shows as a folder, also after a rebuild.
        for (int nPass = 0; nPass < 2; ++nPass) {
            QCOMPARE(pPage->List()->GetItemImage(0), CHDItemListPanel::kIconFile);
            QCOMPARE(pPage->List()->GetItemImage(1), CHDItemListPanel::kIconFolder);
            pPage->RebuildList(false);
        }
        // An item the manager protects is not hidden, and the user is told so instead of asked.
        m_rig->mngr.m_lstProtectedPaths = {CDataSecurityMngr::ProtectedPathKey(m_home->Work())};
        const std::size_t nQuestions = m_rig->answers.m_questions.size();
        m_rig->answers.m_folders.push_back(m_home->Work());
        pPage->OnBnClickedHideFolder();
        pPage->DropPaths({m_home->Work() + QLatin1Char('/')});
        QCOMPARE(pPage->List()->GetItemCount(), 2);
        QCOMPARE(m_rig->answers.m_messages, (std::vector<unsigned>{IDS_HIDE_PROTECTED, IDS_HIDE_PROTECTED}));
        QCOMPARE(m_rig->answers.m_questions.size(), nQuestions);
    }

    void unhideShowsItsReportAndClearsTheChecks()
    {
        const QString strA = m_home->MakeFile(QStringLiteral("a.txt"), "alpha");
        const QString strB = m_home->MakeFile(QStringLiteral("b.txt"));
        HideDirectly(strA);
        HideDirectly(strB);
        auto pPage = Make();
        pPage->List()->SetCheck(0, CXListCtrl::CheckOn);
        pPage->OnBnClickedUnhide();
        QVERIFY(QFile::exists(strA));
        QVERIFY(!QFile::exists(strB));
        QCOMPARE(Column(pPage->List()), (QStringList{strB}));
        QCOMPARE(pPage->List()->GetCheckedCount(), 0);
        QCOMPARE(m_rig->ui.m_reports.size(), std::size_t(1));
        const CReportComposer& report = m_rig->ui.m_reports.front();
        QCOMPARE(report.Kind(), int(CReportComposer::KindHideManagement));
        QCOMPARE(report.Sections().at(0).lines[0].nCount, 1);
        QCOMPARE(report.Sections().at(0).lines[1].nCount, 1);
    }

    void unhideAndDecryptWithoutEncryptedItemsShows4028()
    {
        const QString strA = m_home->MakeFile(QStringLiteral("a.txt"));
        HideDirectly(strA);
        auto pPage = Make();
        pPage->List()->SetCheck(0, CXListCtrl::CheckOn);
        pPage->OnBnClickedUnhideDecrypt();
        QCOMPARE(m_rig->answers.m_messages, (std::vector<unsigned>{4028}));
        QVERIFY(QFile::exists(strA));  // still unhidden
        QCOMPARE(m_rig->host.m_nRuns, 0);
        QCOMPARE(m_rig->mngr.m_bHideDecrypt, 0);
        QVERIFY(m_rig->mngr.m_arrItems.empty());
    }
};

QTEST_MAIN(TestPageHide)
#include "test_page_hide.moc"
