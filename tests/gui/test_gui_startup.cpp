// The graphical program's starts without the main window, end to end and in process: a
// command-line encryption with a password of its own, a command-line decryption whose password
// prompt is answered wrongly and then cancelled, the master password asked again on later
// starts, and the clean-up start. Real files in a temporary home; every modal dialog is answered from the event loop as
// a user would answer it.
#include "hiding/CHidingEngine.h"
#include "pages/CHDPageHideData.h"
#include "passwords/CDlg_EnterMasterpassword.h"
#include "passwords/CDlg_Enterpassword.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "passwords/CDlg_Setpassword.h"
#include "ui/CXListCtrl.h"

#include <QLabel>

#include "GuiE2eHelpers.h"

using namespace GuiE2e;

class TestGuiStartup : public QObject
{
    Q_OBJECT

    SCheapKdf m_cheapKdf;

private slots:
    void initTestCase() { QVERIFY2(!qEnvironmentVariable("HV_BUILD_BIN").isEmpty(), "HV_BUILD_BIN is not set"); }

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
        ChooseMasterPassword(script);
        script.OnDialog<CDlg_Setpassword>(QStringLiteral("own password chosen"),
                                          [](CDlg_Setpassword* p) { AnswerNewPassword(p, kOwn); });
        const SRun run = RunScripted(script, log, {"-e", "-pt", "new", "-p", home.Work(), "-f", "report.bin"});
        QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.eEnd, CHalvoDataSecurityApp::EEnd::FlowRan);
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
        QVERIFY(Decrypted(strEncrypted, kMaster, &nResult).isEmpty());
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
        EncryptAway(strPlain, kOwn);
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
                                                Child(p, CDlg_Enterpassword::IDCANCEL)->click();
                                            });
        const SRun run = RunScripted(script, log, {QStringLiteral("-d"), QStringLiteral("-fp"), strEncrypted});
        QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.eEnd, CHalvoDataSecurityApp::EEnd::FlowRan);
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

    // Later starts ask for the master password chosen on the first one: "-rh" with one wrong
    // entry (message, the prompt again, its field emptied), then the right one opens the main
    // window on the hide management page, which does not list the master-password file; a
    // cancelled prompt ends the start with 3000 and no main window.
    void laterStartsAskForTheMasterPassword()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        FirstStart();
        if (QTest::currentTestFailed()) {
            return;
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
                    strSecondField = Child<QLineEdit>(p, CDlg_EnterPasswordBase::IDC_EDIT_PASSWORD)->text();
                    AnswerPassword(p, kMaster);
                });
            script.Then(
                QStringLiteral("main window shown"),
                [] { return CurrentPage() > 0; },
                [&nStartPage, &lstRows] {
                    nStartPage = CurrentPage();
                    if (auto* pPage = qobject_cast<CHDPageHideData*>(Page(CHalvoDataSecurityDlg::kPageHideData))) {
                        lstRows = ColumnTexts(pPage->List());
                    }
                    ExitProgram();
                });
            const SRun run = RunScripted(script, log, {QStringLiteral("-rh")});
            QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
            QCOMPARE(run.nExit, 0);
            QCOMPARE(run.eEnd, CHalvoDataSecurityApp::EEnd::MainWindowShown);
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
                [](CDlg_EnterMasterpassword* p) { Child(p, CDlg_EnterPasswordBase::IDCANCEL)->click(); });
            const SRun run = RunScripted(script, log, {});
            QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
            QCOMPARE(run.nExit, int(CHalvoDataSecurityApp::kExitNoMasterPassword));
            QCOMPARE(run.eEnd, CHalvoDataSecurityApp::EEnd::MasterPasswordRefused);
            QCOMPARE(log.CountShown("CHalvoDataSecurityDlg"), 0);
        }
    }

    // The clean-up start "-ui" asks for the master password, then its question: No keeps the
    // master-password file (3000; the next start still asks for the password), Yes removes it
    // (0), and the start after that is a first start again, whose choice may be cancelled (0).
    void cleanupStartRemovesTheMasterPassword()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        FirstStart();
        if (QTest::currentTestFailed()) {
            return;
        }
        const QString strSignature =
            home.Path() + QStringLiteral("/.local/share/Halvo-Soft/HalvoNorvane/Data/HNVConfig.xml");
        for (const bool bYes : {false, true}) {
            CWindowLog log;
            log.m_bAnswerNo = !bYes;
            CScript script;
            script.OnDialog<CDlg_EnterMasterpassword>(QStringLiteral("master password"),
                                                      [](CDlg_EnterMasterpassword* p) { AnswerPassword(p, kMaster); });
            const SRun run = RunScripted(script, log, {QStringLiteral("-ui")});
            QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
            QCOMPARE(log.m_messages.size(), 1);  // the question, answered by the hook
            QVERIFY2(log.m_messages.front().startsWith(QStringLiteral("168: ")), qPrintable(log.m_messages.front()));
            QCOMPARE(log.CountShown("CHalvoDataSecurityDlg"), 0);
            QCOMPARE(run.nExit, bYes ? 0 : int(CHalvoDataSecurityApp::kExitNoMasterPassword));
            QCOMPARE(run.eEnd,
                     bYes ? CHalvoDataSecurityApp::EEnd::CleanupDone : CHalvoDataSecurityApp::EEnd::CleanupDeclined);
        }
        // Gone: neither in its place nor kept by the hiding engine.
        QVERIFY(!QFileInfo::exists(strSignature));
        {
            CHidingEngine engine;
            QVERIFY(engine.SetCurrentHidingEngine(IHidingEngine::kEngineId));
            for (std::int32_t i = 0; i < engine.GetHiddenCount(); ++i) {
                QVERIFY(QFile::decodeName(engine.GetHiddenItem(i).c_str()) != strSignature);
            }
        }

        CWindowLog log;
        CScript script;
        script.OnDialog<CDlg_Setmasterpassword>(
            QStringLiteral("first start again: choice cancelled"),
            [](CDlg_Setmasterpassword* p) { Child(p, CDlg_NewPasswordBase::IDCANCEL)->click(); });
        const SRun run = RunScripted(script, log, {});
        QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.eEnd, CHalvoDataSecurityApp::EEnd::MasterPasswordNotSet);
        QCOMPARE(log.CountShown("CDlg_EnterMasterpassword"), 0);
        QCOMPARE(log.CountShown("CHalvoDataSecurityDlg"), 0);
    }

    // A hidden list that cannot be read: the start says so (the list named) and offers the
    // repair; declined, it ends with 5 and nothing asked. Accepted, the list is rebuilt; the
    // signature's own entry was in the damaged record, so the signature is kept but unnamed: still
    // no new master password is asked for, and the start ends with 5.
    void damagedHiddenListIsNoFirstStart()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        FirstStart();
        if (QTest::currentTestFailed()) {
            return;
        }
        const QString strList = home.Path() + QStringLiteral("/.local/share/Halvo-Soft/hidden.lst");
        QFile list(strList);
        QVERIFY(list.open(QIODevice::ReadWrite));
        QByteArray bytes = list.readAll();
        QVERIFY(bytes.size() > 40);
        bytes[22] = static_cast<char>(bytes[22] ^ 0x5A);
        QVERIFY(list.seek(0) && list.write(bytes) == bytes.size());
        list.close();
        for (const bool bRepair : {false, true}) {
            CWindowLog log;
            log.m_bAnswerNo = !bRepair;
            CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
            QCOMPARE(RunProgram({}, &eEnd), int(CHalvoDataSecurityApp::kExitHidingUnreadable));
            QCOMPARE(eEnd, CHalvoDataSecurityApp::EEnd::HidingUnreadable);
            QCOMPARE(log.CountShown("CDlg_Setmasterpassword"), 0);
            QCOMPARE(log.CountShown("CHalvoDataSecurityDlg"), 0);
            QVERIFY2(log.m_messages.size() >= 2, qPrintable(log.m_messages.join(u'|')));
            QVERIFY2(log.m_messages[0].startsWith(QStringLiteral("20322: ")) && log.m_messages[0].contains(strList),
                     qPrintable(log.m_messages[0]));
            QVERIFY2(log.m_messages[1].startsWith(QStringLiteral("20323: ")), qPrintable(log.m_messages[1]));
            if (bRepair) {
                QVERIFY2(log.m_messages.last().startsWith(QStringLiteral("20326: ")),
                         qPrintable(log.m_messages.join(u'|')));
            } else {
                QCOMPARE(log.m_messages.size(), 2);
                QCOMPARE(ReadAll(strList), bytes);
            }
        }
    }

private:
    // A first start in the current home: the master password is chosen, then the main window
    // is closed at once.
    static void FirstStart()
    {
        CWindowLog log;
        CScript script;
        ChooseMasterPassword(script);
        script.Then(
            QStringLiteral("main window shown"),
            [] { return CurrentPage() == CHalvoDataSecurityDlg::kPageWelcome; },
            [] { ExitProgram(); });
        const SRun run = RunScripted(script, log, {});
        QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
        QCOMPARE(run.nExit, 0);
        QCOMPARE(run.eEnd, CHalvoDataSecurityApp::EEnd::MainWindowShown);
    }
};

QTEST_MAIN(TestGuiStartup)
#include "test_gui_startup.moc"
