// From the selection page to the report and back: two files and a folder are encrypted with an
// own password and hidden; the hide page lists the hidden encrypted files; unhide and decrypt
// brings the plain files back with their contents.
#include "pages/CHDPageDataBrows.h"
#include "pages/CHDPageHideData.h"
#include "pages/CHDPageSecurityOptions.h"
#include "pages/CPage_Decryption.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CXListCtrl.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>

#include "PagesTestSupport.h"
#include "support/Controls.h"

using namespace PagesTest;

class TestPageFlow : public CPageTest
{
    Q_OBJECT

private slots:

    // The main window builds these page classes through the page registry, and its container
    // asks the selection page before leaving it.
    void pagesArePluggedIntoTheMainWindow()
    {
        SPageRig& rig = *m_rig;
        QCOMPARE(rig.dlg.CreateGPages(), 1);
        CHPropertiesPages* pPages = rig.dlg.GetGPages();
        QVERIFY(pPages != nullptr);
        const auto page = [pPages](int nId) {
            const int nIndex = pPages->PageIndex(nId);
            return nIndex >= 0 && pPages->SetPage(nIndex) ? pPages->GetPageDlgHandle(nIndex) : nullptr;
        };
        QVERIFY(qobject_cast<CHDPageSecurityOptions*>(page(135)) != nullptr);
        QVERIFY(qobject_cast<CHDPageHideData*>(page(4003)) != nullptr);
        QVERIFY(qobject_cast<CPage_Decryption*>(page(147)) != nullptr);
        QVERIFY(qobject_cast<CHDPageDataBrows*>(page(105)) != nullptr);

        rig.answers.m_answers = {false};
        pPages->OnPageSwitchRequest(134);
        QCOMPARE(pPages->GetCurrentPageDlg(), 105);
        QCOMPARE(rig.answers.m_questions, (std::vector<unsigned>{112}));
        pPages->OnPageSwitchRequest(135);  // an empty list: message 129, no switch
        QCOMPARE(pPages->GetCurrentPageDlg(), 105);
        QCOMPARE(rig.answers.m_messages, (std::vector<unsigned>{129}));
        pPages->OnPageSwitchRequest(134);  // yes
        QCOMPARE(pPages->GetCurrentPageDlg(), 134);
    }

    void encryptHideUnhideDecrypt()
    {
        SPageRig& rig = *m_rig;
        const CTempHome& home = *m_home;
        QVERIFY(UseHidingEngine(rig.mngr, std::make_shared<CHidingEngine>()));
        const QString strPassword = QStringLiteral("own-Secret-42");
        rig.host.m_strPasswordAnswer = strPassword;

        const QString strA = home.MakeFile(QStringLiteral("a.txt"), "first file");
        const QString strB = home.MakeFile(QStringLiteral("b.txt"), "second file");
        const QString strC = home.MakeFile(QStringLiteral("folder/c.txt"), "in the folder");
        const QString strFolder = home.Work() + QStringLiteral("/folder");

        // Selection: two files and a folder, then on to the options.
        auto pSelection = Make<CHDPageDataBrows>();
        pSelection->DropPaths({strA, strB, strFolder});
        QVERIFY(pSelection->OnKillActive(CHDPageSecurityOptions::kPageId));
        QCOMPARE(rig.mngr.m_arrItems.size(), std::size_t(3));

        // Options: encrypt with an own password, then hide.
        auto pOptions = Make<CHDPageSecurityOptions>();
        Click(pOptions.get(), CHDPageSecurityOptions::IDC_RADIO_OWN);
        Click(pOptions.get(), CHDPageSecurityOptions::IDC_RADIO_HIDE);
        W<QLineEdit>(pOptions.get(), CHDPageSecurityOptions::IDC_EDIT_PASSWORD)->setText(strPassword);
        W<QLineEdit>(pOptions.get(), CHDPageSecurityOptions::IDC_EDIT_CONFIRM)->setText(strPassword);
        QVERIFY(pOptions->OnBnClickedGo());
        QCOMPARE(rig.host.m_nRuns, 1);
        QCOMPARE(rig.host.m_nHideRuns, 1);

        // The report: encryption, wipe and hide.
        QCOMPARE(rig.ui.m_reports.size(), std::size_t(1));
        const CReportComposer& report = rig.ui.m_reports.front();
        QCOMPARE(report.Sections().size(), std::size_t(3));
        QCOMPARE(report.LabelHeight(), 255);
        QCOMPARE(report.Sections()[0].lines[1].nCount, 3);  // three files encrypted
        for (const QString& strPath : {strA, strB, strC}) {
            QVERIFY2(!QFileInfo::exists(strPath), qPrintable(strPath));
        }

        // The hide page lists the hidden encrypted files.
        auto pHide = Make<CHDPageHideData>();
        const QStringList rows = Column(pHide->List());
        QVERIFY2(rows.contains(strA + QStringLiteral(".hvnc")), qPrintable(rows.join(QLatin1Char(','))));
        QVERIFY(rows.contains(strB + QStringLiteral(".hvnc")));
        QCOMPARE(Column(pHide->List(), 1).at(rows.indexOf(strA + QStringLiteral(".hvnc"))),
                 QStringLiteral("Hidden/Encrypted"));

        // Unhide and decrypt everything.
        Click(pHide.get(), CHDPageHideData::IDC_BUTTON_CHECK_ALL);
        QVERIFY(Enabled(pHide.get(), CHDPageHideData::IDC_BUTTON_UNHIDE_DECRYPT));
        pHide->OnBnClickedUnhideDecrypt();
        QCOMPARE(pHide->List()->GetItemCount(), 0);
        QCOMPARE(rig.ui.m_reports.size(), std::size_t(2));
        QCOMPARE(rig.ui.m_reports.back().Kind(), int(CReportComposer::KindHideManagement));
        QCOMPARE(hvtest::ReadFile(strA), QByteArray("first file"));
        QCOMPARE(hvtest::ReadFile(strB), QByteArray("second file"));
        QVERIFY(rig.mngr.m_arrItems.empty());
    }
};

QTEST_MAIN(TestPageFlow)
#include "test_page_flow.moc"
