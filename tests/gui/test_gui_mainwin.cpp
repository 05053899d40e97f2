// The graphical program's main window end to end and in process: the welcome page, the
// selection, the options, the progress dialogs, the report and the hide management page, from a
// start without a command line and from a selection start with command-line items. Real files
// in a temporary home; every modal dialog is answered from the event loop.
#include "pages/CHDItemListPanel.h"
#include "pages/CHDPageDataBrows.h"
#include "pages/CHDPageHideData.h"
#include "pages/CPage_Decryption.h"
#include "passwords/CDlg_Enterpassword.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "ui/CXListCtrl.h"

#include <QLabel>

#include <deque>
#include <utility>

#include "GuiE2eHelpers.h"
#include "support/Answers.h"

using namespace GuiE2e;

class TestGuiMainwin : public QObject
{
    Q_OBJECT

    SCheapKdf m_cheapKdf;

private slots:
    void initTestCase() { QVERIFY2(!qEnvironmentVariable("HV_BUILD_BIN").isEmpty(), "HV_BUILD_BIN is not set"); }

    // The main window's round: welcome page; selection with two files and a folder; encryption
    // under an own password with hiding; the report with its three sections; the hide page lists
    // what was hidden; unhide and decrypt brings the plain files back.
    void mainWindowSecureHideThenUnhideAndDecrypt()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        const QByteArray contentA = Pattern(65537, 1);
        const QByteArray contentB = "second file";
        const QByteArray contentC = Pattern(1000, 3);
        const QString strA = home.MakeFile(QStringLiteral("a.txt"), contentA);
        const QString strB = home.MakeFile(QStringLiteral("b.txt"), contentB);
        const QString strC = home.MakeFile(QStringLiteral("folder/c.txt"), contentC);
        const QString strFolder = home.Work() + QStringLiteral("/folder");

        // The desktop's file and folder dialogs answer with the test's files.
        std::deque<QStringList> fileAnswers{{strA, strB}};
        HVPageUi::SetOpenFilesHandler(
            [&fileAnswers](QWidget*, const HVPageUi::SOpenFileRequest&) { return hvtest::Next(fileAnswers); });
        g_HDGlobalData.SetFolderChooser([strFolder](const QString&) { return strFolder; });

        CWindowLog log;
        int nStartPage = -1;
        int nSelected = -1;
        SReportSeen secureReport;
        SReportSeen hideReport;
        QStringList lstHiddenRows;
        QStringList lstHiddenStates;
        QStringList lstWorkWhileHidden;
        int nRowsAfter = -1;

        CScript script;
        ChooseMasterPassword(script);
        script.Then(
            QStringLiteral("main window shown"),
            [] { return CurrentPage() > 0; },
            [&nStartPage] {
                nStartPage = CurrentPage();
                Click(Page(CHalvoDataSecurityDlg::kPageWelcome),
                      CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA);  // Secure Data
            });
        script.Then(QStringLiteral("selection page"), OnPage(CHalvoDataSecurityDlg::kPageSecureData), [&nSelected] {
            auto* pPage = qobject_cast<CHDPageDataBrows*>(Page(CHalvoDataSecurityDlg::kPageSecureData));
            QVERIFY(pPage != nullptr);
            Click(pPage, CHDPageDataBrows::IDC_BUTTON_ADD_FILES);
            Click(pPage, CHDPageDataBrows::IDC_BUTTON_ADD_FOLDER);
            nSelected = pPage->Panel() != nullptr ? pPage->Panel()->Count() : -1;
            Click(pPage, CHDPageDataBrows::IDC_BUTTON_NEXT);
        });
        script.Then(QStringLiteral("options page"), OnPage(CHalvoDataSecurityDlg::kPageSecurityOptions), [] {
            SecureWithOptions(CHDPageSecurityOptions::IDC_RADIO_OWN, CHDPageSecurityOptions::IDC_RADIO_HIDE, kOwn);
        });
        script.OnDialog<CDlg_Report>(QStringLiteral("secure data report"), [&secureReport](CDlg_Report* p) {
            ReadReport(p, secureReport);
            Click(p, 4087);  // to the welcome page
        });
        script.Then(QStringLiteral("welcome page again"), OnPage(CHalvoDataSecurityDlg::kPageWelcome), [] {
            Click(Page(CHalvoDataSecurityDlg::kPageWelcome),
                  CHDPageWelcome::IDC_BUTTON_START_HIDE_MANAGMENT);  // Hide Management
        });
        script.Then(QStringLiteral("hide management page"),
                    OnPage(CHalvoDataSecurityDlg::kPageHideData),
                    [&lstHiddenRows, &lstHiddenStates, &lstWorkWhileHidden, &home] {
                        auto* pPage = qobject_cast<CHDPageHideData*>(Page(CHalvoDataSecurityDlg::kPageHideData));
                        QVERIFY(pPage != nullptr && pPage->List() != nullptr);
                        lstHiddenRows = ColumnTexts(pPage->List());
                        lstHiddenStates = ColumnTexts(pPage->List(), 1);
                        lstWorkWhileHidden = home.WorkFiles();
                        Click(pPage, CHDPageHideData::IDC_BUTTON_CHECK_ALL);
                        Click(pPage, CHDPageHideData::IDC_BUTTON_UNHIDE_DECRYPT);
                    });
        script.OnDialog<CDlg_Enterpassword>(QStringLiteral("password of the hidden files"),
                                            [](CDlg_Enterpassword* p) { AnswerPassword(p, kOwn); });
        script.OnDialog<CDlg_Report>(QStringLiteral("hide management report"), [&hideReport](CDlg_Report* p) {
            ReadReport(p, hideReport);
            Click(p, 1024);  // after this report: stays on the hide management page
        });
        script.Then(QStringLiteral("hide management page after the report"),
                    OnPage(CHalvoDataSecurityDlg::kPageHideData),
                    [&nRowsAfter] {
                        auto* pPage = qobject_cast<CHDPageHideData*>(Page(CHalvoDataSecurityDlg::kPageHideData));
                        nRowsAfter = pPage != nullptr && pPage->List() != nullptr ? pPage->List()->GetItemCount() : -1;
                        ExitProgram();
                    });
        const SRun run = RunScripted(script, log, {});
        QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.eEnd, CHalvoDataSecurityApp::EEnd::MainWindowShown);
        QCOMPARE(nStartPage, int(CHalvoDataSecurityDlg::kPageWelcome));
        QCOMPARE(nSelected, 3);

        // The report: encryption, wiping and hiding, three items each.
        QCOMPARE(secureReport.nKind, 0);
        for (const char* pszLine : {"Encryption", "Encrypted: 3", "Wiping", "Wiped: 3", "Hiding", "Hidden: 3"}) {
            QVERIFY2(secureReport.strText.contains(QLatin1String(pszLine)),
                     qPrintable(QStringLiteral("%1 not in: %2").arg(QLatin1String(pszLine), secureReport.strText)));
        }

        // While hidden: the two encrypted files and the folder are listed, and nothing of them
        // is in the work folder.
        QVERIFY2(lstHiddenRows.contains(strA + QStringLiteral(".hvnc")), qPrintable(lstHiddenRows.join(u',')));
        QVERIFY2(lstHiddenRows.contains(strB + QStringLiteral(".hvnc")), qPrintable(lstHiddenRows.join(u',')));
        QVERIFY2(lstHiddenRows.contains(strFolder), qPrintable(lstHiddenRows.join(u',')));
        QCOMPARE(lstHiddenRows.size(), 3);  // the master-password file is never listed
        QCOMPARE(lstHiddenStates.at(lstHiddenRows.indexOf(strA + QStringLiteral(".hvnc"))),
                 QStringLiteral("Hidden/Encrypted"));
        QCOMPARE(lstHiddenStates.at(lstHiddenRows.indexOf(strFolder)), QStringLiteral("Hidden"));
        QVERIFY2(lstWorkWhileHidden.isEmpty(), qPrintable(lstWorkWhileHidden.join(u',')));

        // Unhide and decrypt: the two files come back plain (their encrypted copies are gone),
        // the folder comes back with its encrypted file, which the own password opens.
        QCOMPARE(hideReport.nKind, 2);
        QVERIFY2(hideReport.strText.contains(QLatin1String("Decrypted: 2")), qPrintable(hideReport.strText));
        QCOMPARE(log.CountShown("CDlg_Enterpassword"), 1);
        QCOMPARE(nRowsAfter, 0);
        QCOMPARE(ReadAll(strA), contentA);
        QCOMPARE(ReadAll(strB), contentB);
        QCOMPARE(home.WorkFiles(),
                 (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("folder/c.txt.hvnc")}));
        QCOMPARE(Decrypted(strC + QStringLiteral(".hvnc"), kOwn), contentC);

        QCOMPARE(log.CountShown("CDlg_ProgrssManager"), 2);
        QCOMPARE(log.CountShown("CDlg_HideProgrss"), 2);
        // Each progress dialog's header names its own run.
        for (const char* pszRun : {"Encrypting", "Hiding", "Unhiding", "Decrypting"}) {
            QVERIFY2(log.m_headers.contains(QLatin1String(pszRun)), qPrintable(log.m_headers.join(u',')));
        }
        QCOMPARE(log.CountShown("CDlg_Report"), 2);
        // No message box or question on the way.
        QVERIFY2(log.m_messages.isEmpty(), qPrintable(log.m_messages.join(u'|')));
    }

    // "-s -p DIR -f NAME ...": the master password is asked (here chosen, on the first start),
    // the main window opens on the selection page holding the named files; encryption under the
    // master password with nothing after it; the report's second button leads back to the
    // selection page.
    void selectionStartEncryptsUnderTheMasterPassword()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        const QByteArray contentOne = Pattern(4096, 5);
        const QByteArray contentTwo = "two";
        const QString strOne = home.MakeFile(QStringLiteral("one.txt"), contentOne);
        const QString strTwo = home.MakeFile(QStringLiteral("two.txt"), contentTwo);

        CWindowLog log;
        int nStartPage = -1;
        int nTakenOver = -1;
        int nPageAfterReport = -1;
        SReportSeen report;
        CScript script;
        ChooseMasterPassword(script);
        script.Then(
            QStringLiteral("main window shown"),
            [] { return CurrentPage() > 0; },
            [&nStartPage, &nTakenOver] {
                nStartPage = CurrentPage();
                auto* pPage = qobject_cast<CHDPageDataBrows*>(Page(CHalvoDataSecurityDlg::kPageSecureData));
                QVERIFY(pPage != nullptr && pPage->Panel() != nullptr);
                nTakenOver = pPage->Panel()->Count();
                Click(pPage, CHDPageDataBrows::IDC_BUTTON_NEXT);
            });
        script.Then(QStringLiteral("options page"), OnPage(CHalvoDataSecurityDlg::kPageSecurityOptions), [] {
            SecureWithOptions(CHDPageSecurityOptions::IDC_RADIO_MASTER, CHDPageSecurityOptions::IDC_RADIO_NOTHING);
        });
        script.OnDialog<CDlg_Report>(QStringLiteral("secure data report"), [&report](CDlg_Report* p) {
            ReadReport(p, report);
            Click(p, 1024);  // secure more data
        });
        script.Then(QStringLiteral("selection page again"),
                    OnPage(CHalvoDataSecurityDlg::kPageSecureData),
                    [&nPageAfterReport] {
                        nPageAfterReport = CurrentPage();
                        ExitProgram();
                    });
        const SRun run = RunScripted(script, log, {"-s", "-p", home.Work(), "-f", "one.txt", "-f", "two.txt"});
        QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.eEnd, CHalvoDataSecurityApp::EEnd::MainWindowShown);
        QCOMPARE(nStartPage, int(CHalvoDataSecurityDlg::kPageSecureData));
        QCOMPARE(nTakenOver, 2);
        QCOMPARE(nPageAfterReport, int(CHalvoDataSecurityDlg::kPageSecureData));
        QCOMPARE(report.nKind, 0);
        QVERIFY2(report.strText.contains(QLatin1String("Encrypted: 2")), qPrintable(report.strText));
        QVERIFY2(!report.strText.contains(QLatin1String("Wiping")), qPrintable(report.strText));
        QVERIFY2(!report.strText.contains(QLatin1String("Hiding")), qPrintable(report.strText));
        QVERIFY2(log.m_messages.isEmpty(), qPrintable(log.m_messages.join(u'|')));

        // Nothing after the encryption: the sources stay; the master password opens the copies.
        QCOMPARE(home.WorkFiles(),
                 (QStringList{QStringLiteral("one.txt"),
                              QStringLiteral("one.txt.hvnc"),
                              QStringLiteral("two.txt"),
                              QStringLiteral("two.txt.hvnc")}));
        QCOMPARE(ReadAll(strOne), contentOne);
        QCOMPARE(Decrypted(strOne + QStringLiteral(".hvnc"), kMaster), contentOne);
        QCOMPARE(Decrypted(strTwo + QStringLiteral(".hvnc"), kMaster), contentTwo);
    }

    // The decryption page: an encrypted file and a folder of encrypted files are added through the
    // desktop's dialogs; the master password opens two of them, the prompt is answered for the
    // one of an own password; the report counts three; its second button keeps the page, now
    // empty. Every plain file is back with its content and no encrypted file is left.
    void decryptionPageOpensFilesAndAFolder()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        const QByteArray contentX = Pattern(65536, 9);
        const QByteArray contentY = "y in the box";
        const QByteArray contentZ = Pattern(65535, 11);
        const QString strX = home.MakeFile(QStringLiteral("x.txt"), contentX);
        const QString strY = home.MakeFile(QStringLiteral("box/y.txt"), contentY);
        const QString strZ = home.MakeFile(QStringLiteral("box/z.txt"), contentZ);
        for (const auto& [strPath, strPassword] : {std::pair{strX, kMaster}, {strY, kMaster}, {strZ, kOwn}}) {
            EncryptAway(strPath, strPassword);
        }
        const QString strBox = home.Work() + QStringLiteral("/box");
        HVPageUi::SetOpenFilesHandler([strX](QWidget*, const HVPageUi::SOpenFileRequest&) {
            return QStringList{strX + QStringLiteral(".hvnc")};
        });
        g_HDGlobalData.SetFolderChooser([strBox](const QString&) { return strBox; });

        CWindowLog log;
        int nListed = -1;
        int nPageAfterReport = -1;
        int nRowsAfter = -1;
        QStringList lstPromptedFor;
        SReportSeen report;
        CScript script;
        ChooseMasterPassword(script);
        script.Then(QStringLiteral("welcome page"), OnPage(CHalvoDataSecurityDlg::kPageWelcome), [] {
            Click(Page(CHalvoDataSecurityDlg::kPageWelcome),
                  CHDPageWelcome::IDC_BUTTON_START_DEC_DATA);  // Decrypt Data
        });
        script.Then(QStringLiteral("decryption page"), OnPage(CHalvoDataSecurityDlg::kPageDecryption), [&nListed] {
            auto* pPage = qobject_cast<CPage_Decryption*>(Page(CHalvoDataSecurityDlg::kPageDecryption));
            QVERIFY(pPage != nullptr);
            Click(pPage, CPage_Decryption::IDC_BUTTON_ADD_FILES);
            Click(pPage, CPage_Decryption::IDC_BUTTON_ADD_FOLDER);
            nListed = Child<CXListCtrl>(pPage, CPage_Decryption::IDC_LIST)->GetItemCount();
            Click(pPage, CPage_Decryption::IDC_BUTTON_DECRYPT);
        });
        script.OnDialog<CDlg_Enterpassword>(QStringLiteral("password of the own-password file"),
                                            [&lstPromptedFor](CDlg_Enterpassword* p) {
                                                lstPromptedFor << Child<QLabel>(p, QStringLiteral("detail"))->text();
                                                AnswerPassword(p, kOwn);
                                            });
        script.OnDialog<CDlg_Report>(QStringLiteral("decryption report"), [&report](CDlg_Report* p) {
            ReadReport(p, report);
            Click(p, 1024);
        });
        script.Then(QStringLiteral("decryption page after the report"),
                    OnPage(CHalvoDataSecurityDlg::kPageDecryption),
                    [&nPageAfterReport, &nRowsAfter] {
                        nPageAfterReport = CurrentPage();
                        CHPageDlg* pPage = Page(CHalvoDataSecurityDlg::kPageDecryption);
                        nRowsAfter = Child<CXListCtrl>(pPage, CPage_Decryption::IDC_LIST)->GetItemCount();
                        ExitProgram();
                    });
        const SRun run = RunScripted(script, log, {});
        QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
        QCOMPARE(run.nExit, 0);
        QCOMPARE(nListed, 2);
        QCOMPARE(lstPromptedFor.size(), 1);
        QVERIFY2(lstPromptedFor.front().endsWith(QStringLiteral("z.txt.hvnc")), qPrintable(lstPromptedFor.front()));
        QCOMPARE(report.nKind, 1);
        QVERIFY2(report.strText.contains(QLatin1String("Decrypted: 3")), qPrintable(report.strText));
        QCOMPARE(nPageAfterReport, int(CHalvoDataSecurityDlg::kPageDecryption));
        QCOMPARE(nRowsAfter, 0);
        QVERIFY2(log.m_messages.isEmpty(), qPrintable(log.m_messages.join(u'|')));
        QCOMPARE(home.WorkFiles(),
                 (QStringList{QStringLiteral("box/y.txt"), QStringLiteral("box/z.txt"), QStringLiteral("x.txt")}));
        QCOMPARE(ReadAll(strX), contentX);
        QCOMPARE(ReadAll(strY), contentY);
        QCOMPARE(ReadAll(strZ), contentZ);
    }
};

QTEST_MAIN(TestGuiMainwin)
#include "test_gui_mainwin.moc"
