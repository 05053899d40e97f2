// The graphical program end to end, in process: a command-line encryption with a password of its
// own, a command-line decryption whose password prompt is answered wrongly and then cancelled,
// and the main window's whole round: welcome page, selection, options, the report, the hide
// management page and unhide-and-decrypt. Real files in a temporary home; every modal dialog is
// answered from the event loop as a user would answer it.
#include "app/CHalvoDataSecurityDlg.h"
#include "engines/CEncryptManager.h"
#include "engines/HvncResult.h"
#include "pages/CHDItemListPanel.h"
#include "pages/CHDPageDataBrows.h"
#include "pages/CHDPageHideData.h"
#include "passwords/CDlg_EnterMasterpassword.h"
#include "passwords/CDlg_Enterpassword.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "passwords/CDlg_Setpassword.h"
#include "security/CDlg_Report.h"
#include "ui/CHPageDlg.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CPPHtmlStatic.h"
#include "ui/CXListCtrl.h"

#include <QLabel>
#include <QtTest>

#include <vector>

#include "GuiE2eSupport.h"

using namespace GuiE2e;

namespace {

const QString kMaster = QStringLiteral("master-Pass-1");
const QString kOwn = QStringLiteral("own-Secret-42");

// Content that crosses the engine's block boundaries and is not all one byte.
QByteArray Pattern(int nSize, char cSeed)
{
    QByteArray data(nSize, '\0');
    for (int i = 0; i < nSize; ++i) {
        data[i] = static_cast<char>((i * 31 + cSeed) & 0xFF);
    }
    return data;
}

// The plain bytes of an encrypted file, opened with the password; empty when it does not open.
QByteArray Decrypted(const QString& strPath, const QString& strPassword, int* pResult = nullptr)
{
    CEncryptManager engine;
    engine.SetPassword(strPassword.toStdU16String());
    std::vector<std::uint8_t> plain;
    const int nResult = engine.DecryptFileW(QFile::encodeName(strPath).toStdString(), plain);
    if (pResult != nullptr) {
        *pResult = nResult;
    }
    return nResult == HVNC_OK ? QByteArray(reinterpret_cast<const char*>(plain.data()), qsizetype(plain.size()))
                              : QByteArray();
}

CHalvoDataSecurityDlg* MainWindow()
{
    return qobject_cast<CHalvoDataSecurityDlg*>(QApplication::activeModalWidget());
}

// The page the main window shows, when the main window is the active modal window.
int CurrentPage()
{
    CHalvoDataSecurityDlg* pMain = MainWindow();
    return pMain != nullptr && pMain->isVisible() && pMain->GetGPages() != nullptr
               ? pMain->GetGPages()->GetCurrentPageDlg()
               : -1;
}

CHPageDlg* Page(int nPageId)
{
    CHalvoDataSecurityDlg* pMain = MainWindow();
    if (pMain == nullptr || pMain->GetGPages() == nullptr) {
        return nullptr;
    }
    const int nIndex = pMain->GetGPages()->PageIndex(nPageId);
    return nIndex >= 0 ? pMain->GetGPages()->GetPageDlgHandle(nIndex) : nullptr;
}

// A step condition: the main window shows page nPageId.
std::function<bool()> OnPage(int nPageId)
{
    return [nPageId] { return CurrentPage() == nPageId && Page(nPageId) != nullptr && Page(nPageId)->isVisible(); };
}

void Click(QWidget* pParent, const char* pszName)
{
    QAbstractButton* pButton = Child(pParent, QString::fromLatin1(pszName));
    QVERIFY2(pButton != nullptr, pszName);
    QVERIFY2(pButton->isEnabled(), pszName);
    pButton->click();
}

// What the program did when a script did not come to its end.
QString Diagnose(const CScript& script, const CWindowLog& log, CHalvoDataSecurityApp::EEnd eEnd)
{
    return QStringLiteral("waiting for \"%1\"; start-up end %2; windows shown: %3; messages: %4")
        .arg(script.NextStep())
        .arg(int(eEnd))
        .arg(log.m_shown.join(u','), log.m_messages.join(u'|'));
}

struct SReportSeen
{
    int nKind = -1;
    QString strText;
};

void ReadReport(CDlg_Report* pDlg, SReportSeen& seen)
{
    seen.nKind = pDlg->Kind();
    seen.strText = pDlg->Label() != nullptr ? pDlg->Label()->Document().toPlainText() : QString();
}

}  // namespace

class TestGuiEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("HV_BUILD_BIN").isEmpty(), "HV_BUILD_BIN is not set");
        // A cheap key derivation keeps the runs short; the costs are read back from each file.
        CEncryptManager::SetDefaultKdfCost(64, 1);
    }

    void cleanupTestCase()
    {
        CEncryptManager::SetDefaultKdfCost(CEncryptManager::kDefaultKdfMemKiB, CEncryptManager::kDefaultKdfPasses);
    }

    // "-e -pt new -p DIR -f FILE": the first start chooses the master password, the run's own
    // password is chosen in its dialog, the progress dialog closes by itself, and no main window
    // and no report appear. The file opens with the own password, not with the master password.
    void commandLineEncryptionWithAnOwnPassword()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        const QByteArray content = Pattern(70000, 7);
        const QString strPlain = home.MakeFile(QStringLiteral("report.bin"), content);
        CWindowLog log;
        CScript script;
        script.OnDialog<CDlg_Setmasterpassword>(QStringLiteral("master password chosen"),
                                                [](CDlg_Setmasterpassword* p) { AnswerNewPassword(p, kMaster); });
        script.OnDialog<CDlg_Setpassword>(QStringLiteral("own password chosen"),
                                          [](CDlg_Setpassword* p) { AnswerNewPassword(p, kOwn); });
        script.Start();

        CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
        const int nExit = RunProgram({QStringLiteral("-e"),
                                      QStringLiteral("-pt"),
                                      QStringLiteral("new"),
                                      QStringLiteral("-p"),
                                      home.Work(),
                                      QStringLiteral("-f"),
                                      QStringLiteral("report.bin")},
                                     &eEnd);

        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure() + u' ' + Diagnose(script, log, eEnd)));
        QVERIFY2(script.Done(), qPrintable(Diagnose(script, log, eEnd)));
        QCOMPARE(nExit, 0);
        QCOMPARE(eEnd, CHalvoDataSecurityApp::EEnd::FlowRan);
        QCOMPARE(log.CountShown("CDlg_ProgrssManager"), 1);
        QCOMPARE(log.CountShown("CHalvoDataSecurityDlg"), 0);
        QCOMPARE(log.CountShown("CDlg_Report"), 0);  // a command-line run shows no report
        QVERIFY2(log.m_messages.isEmpty(), qPrintable(log.m_messages.join(QLatin1Char('|'))));
        for (QWidget* pWidget : QApplication::topLevelWidgets()) {
            QVERIFY2(!pWidget->isVisible(), pWidget->metaObject()->className());
        }

        const QString strEncrypted = strPlain + QStringLiteral(".hvnc");
        QVERIFY(QFileInfo::exists(strEncrypted));
        QCOMPARE(ReadAll(strPlain), content);  // no action after the encryption: the source stays
        QCOMPARE(home.WorkFiles(), (QStringList{QStringLiteral("report.bin"), QStringLiteral("report.bin.hvnc")}));
        QCOMPARE(Decrypted(strEncrypted, kOwn), content);
        int nResult = HVNC_OK;
        (void)Decrypted(strEncrypted, kMaster, &nResult);
        QCOMPARE(nResult, int(HVNC_WRONG_PASSWORD));
    }

    // "-d -fp FILE.hvnc" for a file of an own password: the start asks no master password, the
    // run's password does not open the file, so the password prompt comes; a wrong answer brings
    // the wrong-password message and the prompt again; Cancel ends the run. The encrypted file
    // is untouched and no plain or temporary file is left.
    void commandLineDecryptionWithAWrongPasswordThenCancel()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        const QString strPlain = home.MakeFile(QStringLiteral("secret.txt"), "the secret text");
        {
            CEncryptManager engine;
            engine.SetPassword(kOwn.toStdU16String());
            QVERIFY(engine.EncryptFileW(QFile::encodeName(strPlain).toStdString()) != 0);
        }
        QVERIFY(QFile::remove(strPlain));
        const QString strEncrypted = strPlain + QStringLiteral(".hvnc");
        const QByteArray encrypted = ReadAll(strEncrypted);
        QVERIFY(!encrypted.isEmpty());

        CWindowLog log;
        QStringList lstPromptedFor;
        CScript script;
        script.OnDialog<CDlg_Enterpassword>(QStringLiteral("prompt answered wrongly"),
                                            [&lstPromptedFor](CDlg_Enterpassword* p) {
                                                lstPromptedFor << Child<QLabel>(p, QStringLiteral("detail"))->text();
                                                AnswerPassword(p, QStringLiteral("not-the-password"));
                                            });
        script.OnDialog<CDlg_Enterpassword>(QStringLiteral("prompt cancelled"),
                                            [&lstPromptedFor](CDlg_Enterpassword* p) {
                                                lstPromptedFor << Child<QLabel>(p, QStringLiteral("detail"))->text();
                                                Child(p, QStringLiteral("2"))->click();
                                            });
        script.Start();

        CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
        const int nExit = RunProgram({QStringLiteral("-d"), QStringLiteral("-fp"), strEncrypted}, &eEnd);

        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure() + u' ' + Diagnose(script, log, eEnd)));
        QVERIFY2(script.Done(), qPrintable(Diagnose(script, log, eEnd)));
        QCOMPARE(nExit, 0);
        QCOMPARE(eEnd, CHalvoDataSecurityApp::EEnd::FlowRan);
        QCOMPARE(log.CountShown("CDlg_Setmasterpassword"), 0);
        QCOMPARE(log.CountShown("CDlg_EnterMasterpassword"), 0);
        QCOMPARE(log.CountShown("CDlg_Enterpassword"), 2);
        QCOMPARE(log.CountShown("CDlg_ProgrssManager"), 1);
        QCOMPARE(log.CountShown("CHalvoDataSecurityDlg"), 0);
        QCOMPARE(lstPromptedFor.size(), 2);
        QVERIFY2(lstPromptedFor.front().contains(QStringLiteral("secret.txt.hvnc")),
                 qPrintable(lstPromptedFor.front()));
        // One wrong-password message, between the two prompts.
        QCOMPARE(log.m_messages, QStringList{QStringLiteral("The password is not correct. Please try again.")});

        QCOMPARE(ReadAll(strEncrypted), encrypted);
        QVERIFY(!QFileInfo::exists(strPlain));
        QCOMPARE(home.WorkFiles(), QStringList{QStringLiteral("secret.txt.hvnc")});
    }

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
        HVPageUi::SetOpenFilesHandler([&fileAnswers](QWidget*, const HVPageUi::SOpenFileRequest&) {
            QStringList lst;
            if (!fileAnswers.empty()) {
                lst = fileAnswers.front();
                fileAnswers.pop_front();
            }
            return lst;
        });
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
        script.OnDialog<CDlg_Setmasterpassword>(QStringLiteral("master password chosen"),
                                                [](CDlg_Setmasterpassword* p) { AnswerNewPassword(p, kMaster); });
        script.Then(
            QStringLiteral("main window shown"),
            [] { return CurrentPage() > 0; },
            [&nStartPage] {
                nStartPage = CurrentPage();
                Click(Page(CHalvoDataSecurityDlg::kPageWelcome), "4036");  // Secure Data
            });
        script.Then(QStringLiteral("selection page"), OnPage(CHalvoDataSecurityDlg::kPageSecureData), [&nSelected] {
            auto* pPage = qobject_cast<CHDPageDataBrows*>(Page(CHalvoDataSecurityDlg::kPageSecureData));
            QVERIFY(pPage != nullptr);
            Click(pPage, "4036");  // add files
            Click(pPage, "4037");  // add a folder
            nSelected = pPage->Panel() != nullptr ? pPage->Panel()->Count() : -1;
            Click(pPage, "4076");  // Next
        });
        script.Then(QStringLiteral("options page"), OnPage(CHalvoDataSecurityDlg::kPageSecurityOptions), [] {
            CHPageDlg* pPage = Page(CHalvoDataSecurityDlg::kPageSecurityOptions);
            auto* pEncrypt = Child(pPage, QStringLiteral("4037"));
            QVERIFY(pEncrypt != nullptr);
            if (!pEncrypt->isChecked()) {
                pEncrypt->click();
            }
            Click(pPage, "4039");  // an own password
            Click(pPage, "4040");  // then hide
            Child<QLineEdit>(pPage, QStringLiteral("4033"))->setText(kOwn);
            Child<QLineEdit>(pPage, QStringLiteral("4035"))->setText(kOwn);
            Click(pPage, "4079");  // Go
        });
        script.OnDialog<CDlg_Report>(QStringLiteral("secure data report"), [&secureReport](CDlg_Report* p) {
            ReadReport(p, secureReport);
            Click(p, "4087");  // to the welcome page
        });
        script.Then(QStringLiteral("welcome page again"), OnPage(CHalvoDataSecurityDlg::kPageWelcome), [] {
            Click(Page(CHalvoDataSecurityDlg::kPageWelcome), "4035");  // Hide Management
        });
        script.Then(QStringLiteral("hide management page"),
                    OnPage(CHalvoDataSecurityDlg::kPageHideData),
                    [&lstHiddenRows, &lstHiddenStates, &lstWorkWhileHidden, &home] {
                        auto* pPage = qobject_cast<CHDPageHideData*>(Page(CHalvoDataSecurityDlg::kPageHideData));
                        QVERIFY(pPage != nullptr && pPage->List() != nullptr);
                        for (int i = 0; i < pPage->List()->GetItemCount(); ++i) {
                            lstHiddenRows << pPage->List()->GetItemText(i, 0);
                            lstHiddenStates << pPage->List()->GetItemText(i, 1);
                        }
                        lstWorkWhileHidden = home.WorkFiles();
                        Click(pPage, "4088");  // check all
                        Click(pPage, "4051");  // unhide and decrypt
                    });
        script.OnDialog<CDlg_Enterpassword>(QStringLiteral("password of the hidden files"),
                                            [](CDlg_Enterpassword* p) { AnswerPassword(p, kOwn); });
        script.OnDialog<CDlg_Report>(QStringLiteral("hide management report"), [&hideReport](CDlg_Report* p) {
            ReadReport(p, hideReport);
            Click(p, "1024");  // after this report: stays on the hide management page
        });
        script.Then(QStringLiteral("hide management page after the report"),
                    OnPage(CHalvoDataSecurityDlg::kPageHideData),
                    [&nRowsAfter] {
                        auto* pPage = qobject_cast<CHDPageHideData*>(Page(CHalvoDataSecurityDlg::kPageHideData));
                        nRowsAfter = pPage != nullptr && pPage->List() != nullptr ? pPage->List()->GetItemCount() : -1;
                        MainWindow()->MenuAction(CHalvoDataSecurityDlg::ID_MENU_EXIT)->trigger();
                    });
        script.Start();

        CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
        const int nExit = RunProgram({}, &eEnd);
        HVPageUi::SetOpenFilesHandler({});
        g_HDGlobalData.SetFolderChooser({});

        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure() + u' ' + Diagnose(script, log, eEnd)));
        QVERIFY2(script.Done(), qPrintable(Diagnose(script, log, eEnd)));
        QCOMPARE(nExit, 0);
        QCOMPARE(eEnd, CHalvoDataSecurityApp::EEnd::MainWindowShown);
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
        QCOMPARE(log.CountShown("CDlg_Report"), 2);
        // No message box, page message or question on the way.
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
        script.OnDialog<CDlg_Setmasterpassword>(QStringLiteral("master password chosen"),
                                                [](CDlg_Setmasterpassword* p) { AnswerNewPassword(p, kMaster); });
        script.Then(
            QStringLiteral("main window shown"),
            [] { return CurrentPage() > 0; },
            [&nStartPage, &nTakenOver] {
                nStartPage = CurrentPage();
                auto* pPage = qobject_cast<CHDPageDataBrows*>(Page(CHalvoDataSecurityDlg::kPageSecureData));
                QVERIFY(pPage != nullptr && pPage->Panel() != nullptr);
                nTakenOver = pPage->Panel()->Count();
                Click(pPage, "4076");  // Next
            });
        script.Then(QStringLiteral("options page"), OnPage(CHalvoDataSecurityDlg::kPageSecurityOptions), [] {
            CHPageDlg* pPage = Page(CHalvoDataSecurityDlg::kPageSecurityOptions);
            auto* pEncrypt = Child(pPage, QStringLiteral("4037"));
            QVERIFY(pEncrypt != nullptr);
            if (!pEncrypt->isChecked()) {
                pEncrypt->click();
            }
            Click(pPage, "4043");  // the master password
            Click(pPage, "4042");  // nothing after the encryption
            Click(pPage, "4079");  // Go
        });
        script.OnDialog<CDlg_Report>(QStringLiteral("secure data report"), [&report](CDlg_Report* p) {
            ReadReport(p, report);
            Click(p, "1024");  // secure more data
        });
        script.Then(QStringLiteral("selection page again"),
                    OnPage(CHalvoDataSecurityDlg::kPageSecureData),
                    [&nPageAfterReport] {
                        nPageAfterReport = CurrentPage();
                        MainWindow()->MenuAction(CHalvoDataSecurityDlg::ID_MENU_EXIT)->trigger();
                    });
        script.Start();

        CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
        const int nExit = RunProgram({QStringLiteral("-s"),
                                      QStringLiteral("-p"),
                                      home.Work(),
                                      QStringLiteral("-f"),
                                      QStringLiteral("one.txt"),
                                      QStringLiteral("-f"),
                                      QStringLiteral("two.txt")},
                                     &eEnd);

        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure() + u' ' + Diagnose(script, log, eEnd)));
        QVERIFY2(script.Done(), qPrintable(Diagnose(script, log, eEnd)));
        QCOMPARE(nExit, 0);
        QCOMPARE(eEnd, CHalvoDataSecurityApp::EEnd::MainWindowShown);
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

    // Later starts ask for the master password chosen on the first one: "-rh" with one wrong
    // entry (message, the prompt again, its field emptied), then the right one opens the main
    // window on the hide management page, which does not list the master-password file; a
    // cancelled prompt ends the start with 3000 and no main window.
    void laterStartsAskForTheMasterPassword()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        {
            CWindowLog log;
            CScript script;
            script.OnDialog<CDlg_Setmasterpassword>(QStringLiteral("master password chosen"),
                                                    [](CDlg_Setmasterpassword* p) { AnswerNewPassword(p, kMaster); });
            script.Then(
                QStringLiteral("main window shown"),
                [] { return CurrentPage() == CHalvoDataSecurityDlg::kPageWelcome; },
                [] { MainWindow()->MenuAction(CHalvoDataSecurityDlg::ID_MENU_EXIT)->trigger(); });
            script.Start();
            CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
            QCOMPARE(RunProgram({}, &eEnd), 0);
            QVERIFY2(script.Done() && script.Failure().isEmpty(),
                     qPrintable(script.Failure() + u' ' + Diagnose(script, log, eEnd)));
        }
        {
            CWindowLog log;
            QString strSecondField;
            int nStartPage = -1;
            QStringList lstRows;
            CScript script;
            script.OnDialog<CDlg_EnterMasterpassword>(
                QStringLiteral("wrong master password"),
                [](CDlg_EnterMasterpassword* p) { AnswerPassword(p, QStringLiteral("wrong-master")); });
            script.OnDialog<CDlg_EnterMasterpassword>(
                QStringLiteral("right master password"), [&strSecondField](CDlg_EnterMasterpassword* p) {
                    strSecondField = Child<QLineEdit>(p, QStringLiteral("1034"))->text();
                    AnswerPassword(p, kMaster);
                });
            script.Then(
                QStringLiteral("main window shown"),
                [] { return CurrentPage() > 0; },
                [&nStartPage, &lstRows] {
                    nStartPage = CurrentPage();
                    if (auto* pPage = qobject_cast<CHDPageHideData*>(Page(CHalvoDataSecurityDlg::kPageHideData));
                        pPage != nullptr && pPage->List() != nullptr) {
                        for (int i = 0; i < pPage->List()->GetItemCount(); ++i) {
                            lstRows << pPage->List()->GetItemText(i, 0);
                        }
                    }
                    MainWindow()->MenuAction(CHalvoDataSecurityDlg::ID_MENU_EXIT)->trigger();
                });
            script.Start();
            CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
            QCOMPARE(RunProgram({QStringLiteral("-rh")}, &eEnd), 0);
            QVERIFY2(script.Done() && script.Failure().isEmpty(),
                     qPrintable(script.Failure() + u' ' + Diagnose(script, log, eEnd)));
            QCOMPARE(eEnd, CHalvoDataSecurityApp::EEnd::MainWindowShown);
            QCOMPARE(log.CountShown("CDlg_Setmasterpassword"), 0);
            QCOMPARE(log.CountShown("CDlg_EnterMasterpassword"), 2);
            QVERIFY2(strSecondField.isEmpty(), qPrintable(strSecondField));
            QCOMPARE(log.m_messages,
                     QStringList{QStringLiteral("130: The password is not correct. Please try again.")});
            QCOMPARE(nStartPage, int(CHalvoDataSecurityDlg::kPageHideData));
            QVERIFY2(lstRows.isEmpty(), qPrintable(lstRows.join(u',')));
        }
        {
            CWindowLog log;
            CScript script;
            script.OnDialog<CDlg_EnterMasterpassword>(
                QStringLiteral("master password prompt cancelled"),
                [](CDlg_EnterMasterpassword* p) { Child(p, QStringLiteral("2"))->click(); });
            script.Start();
            CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
            QCOMPARE(RunProgram({}, &eEnd), int(CHalvoDataSecurityApp::kExitNoMasterPassword));
            QVERIFY2(script.Done() && script.Failure().isEmpty(),
                     qPrintable(script.Failure() + u' ' + Diagnose(script, log, eEnd)));
            QCOMPARE(eEnd, CHalvoDataSecurityApp::EEnd::MasterPasswordRefused);
            QCOMPARE(log.CountShown("CHalvoDataSecurityDlg"), 0);
        }
    }
};

QTEST_MAIN(TestGuiEndToEnd)
#include "test_gui_e2e.moc"
