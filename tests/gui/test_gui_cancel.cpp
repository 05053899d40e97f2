// The graphical program's main window when an encrypt-and-hide run is cancelled half-way:
// nothing may be lost. The runner's question about a hidden file holds the worker; while it is
// open, the runner is told to press Cancel as the next file is about to start (the moment is
// fixed, the press is a real click on the progress dialog's button). Whatever was not encrypted
// stays plain and in place; whatever was encrypted is wiped and hidden, and opens again.
#include "hiding/CHidingEngine.h"
#include "passwords/CDlg_AfxMsgBoxEx.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "security/CDlg_ProgrssManager.h"
#include "security/CItemData.h"

#include <QPushButton>

#include "GuiE2eHelpers.h"

using namespace GuiE2e;

class TestGuiCancel : public QObject
{
    Q_OBJECT

    SCheapKdf m_cheapKdf;

private slots:
    void initTestCase() { QVERIFY2(!qEnvironmentVariable("HV_BUILD_BIN").isEmpty(), "HV_BUILD_BIN is not set"); }

    void cancelHalfWayLosesNothing()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        const QStringList lstNames{QStringLiteral("one.txt"), QStringLiteral(".two.txt"), QStringLiteral("three.txt")};
        QStringList lstPaths;
        QList<QByteArray> contents;
        for (int i = 0; i < lstNames.size(); ++i) {
            contents << Pattern(3000 + i, char(i));
            lstPaths << home.MakeFile(lstNames[i], contents.back());
        }
        HVPageUi::SetOpenFilesHandler([lstPaths](QWidget*, const HVPageUi::SOpenFileRequest&) { return lstPaths; });

        CWindowLog log;
        QString strQuestion;
        bool bCancelPressed = false;
        bool bStopSeen = false;
        SReportSeen report;
        CScript script;
        ChooseMasterPassword(script);
        script.Then(QStringLiteral("welcome page"), OnPage(CHalvoDataSecurityDlg::kPageWelcome), [] {
            Click(Page(CHalvoDataSecurityDlg::kPageWelcome), CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA);
        });
        script.Then(QStringLiteral("selection page"), OnPage(CHalvoDataSecurityDlg::kPageSecureData), [] {
            CHPageDlg* pPage = Page(CHalvoDataSecurityDlg::kPageSecureData);
            Click(pPage, CHDPageDataBrows::IDC_BUTTON_ADD_FILES);
            Click(pPage, CHDPageDataBrows::IDC_BUTTON_NEXT);
        });
        script.Then(QStringLiteral("options page"), OnPage(CHalvoDataSecurityDlg::kPageSecurityOptions), [] {
            SecureWithOptions(CHDPageSecurityOptions::IDC_RADIO_OWN, CHDPageSecurityOptions::IDC_RADIO_HIDE, kOwn);
        });
        script.OnDialog<CDlg_AfxMsgBoxEx>(
            QStringLiteral("question about the hidden file"),
            [&strQuestion, &bCancelPressed, &bStopSeen](CDlg_AfxMsgBoxEx* p) {
                strQuestion = p->GetMessageText();
                auto* pProgress = qobject_cast<CDlg_ProgrssManager*>(p->parentWidget());
                QVERIFY(pProgress != nullptr);
                // The worker waits for this answer: the hook is in place before it goes on.
                pProgress->Work().SetBeforeFileHook(
                    [pProgress, pPressed = &bCancelPressed, pStopSeen = &bStopSeen](std::size_t, const CItemData&) {
                        if (*pPressed) {
                            return;
                        }
                        *pPressed = true;
                        QMetaObject::invokeMethod(
                            pProgress,
                            [pProgress] { pProgress->findChild<QPushButton*>(QStringLiteral("2"))->click(); },
                            Qt::QueuedConnection);
                        *pStopSeen = pProgress->Work().StopSignal().WaitState(true, -1);
                    });
                Click(p, CDlg_AfxMsgBoxEx::IDYES);  // take the hidden file
            });
        script.OnDialog<CDlg_Report>(QStringLiteral("secure data report"), [&report](CDlg_Report* p) {
            ReadReport(p, report);
            Click(p, 4087);
        });
        script.Then(
            QStringLiteral("welcome page again"), OnPage(CHalvoDataSecurityDlg::kPageWelcome), [] { ExitProgram(); });
        const SRun run = RunScripted(script, log, {});
        QVERIFY2(run.strFailure.isEmpty(), qPrintable(run.strFailure));
        QCOMPARE(run.nExit, 0);
        QVERIFY2(strQuestion.contains(QStringLiteral(".two.txt")), qPrintable(strQuestion));
        QVERIFY(bCancelPressed && bStopSeen);
        QCOMPARE(log.CountShown("CDlg_ProgrssManager"), 1);

        // What the hiding engine holds (the master-password file is hidden too while the
        // program is not running): shown again here, then each file is either plain and intact
        // in its place, or its encrypted copy opens with the run's password; never both, never
        // neither.
        const QStringList lstWorkAfterRun = home.WorkFiles();
        QStringList lstHidden;
        {
            CHidingEngine engine;
            QVERIFY(engine.SetCurrentHidingEngine(IHidingEngine::kEngineId));
            for (std::int32_t i = engine.GetHiddenCount() - 1; i >= 0; --i) {
                const std::string strItem = engine.GetHiddenItem(i);
                if (QFile::decodeName(strItem.c_str()).startsWith(home.Work())) {
                    lstHidden << QFile::decodeName(strItem.c_str());
                    QVERIFY(engine.UnhideItem(strItem));
                }
            }
        }
        int nEncrypted = 0;
        for (int i = 0; i < lstNames.size(); ++i) {
            const bool bPlain = lstWorkAfterRun.contains(lstNames[i]);
            const bool bHidden = lstHidden.contains(lstPaths[i] + QStringLiteral(".hvnc"));
            QVERIFY2(bPlain != bHidden,
                     qPrintable(QStringLiteral("%1: plain %2, hidden %3; work: %4; hidden: %5")
                                    .arg(lstNames[i])
                                    .arg(bPlain)
                                    .arg(bHidden)
                                    .arg(lstWorkAfterRun.join(u','), lstHidden.join(u','))));
            if (bPlain) {
                QCOMPARE(ReadAll(lstPaths[i]), contents[i]);
            } else {
                ++nEncrypted;
                QCOMPARE(Decrypted(lstPaths[i] + QStringLiteral(".hvnc"), kOwn), contents[i]);
            }
        }
        // The file after the question never started.
        QVERIFY(lstWorkAfterRun.contains(lstNames[2]));
        QCOMPARE(lstHidden.size(), nEncrypted);
        // The report counts what was done (no encryption section when the stop came before the
        // first file); the files that were not encrypted are counted as not hidden.
        if (nEncrypted > 0) {
            QVERIFY2(report.strText.contains(QStringLiteral("Encrypted: %1").arg(nEncrypted)),
                     qPrintable(report.strText));
        } else {
            QVERIFY2(!report.strText.contains(QStringLiteral("Encrypted:")), qPrintable(report.strText));
        }
        QVERIFY2(report.strText.contains(QStringLiteral("Hidden: %1").arg(nEncrypted)), qPrintable(report.strText));
        QVERIFY2(report.strText.contains(QStringLiteral("Could not be hidden: %1").arg(lstNames.size() - nEncrypted)),
                 qPrintable(report.strText));
    }
};

QTEST_MAIN(TestGuiCancel)
#include "test_gui_cancel.moc"
