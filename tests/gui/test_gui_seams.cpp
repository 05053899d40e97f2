// The desktop seams of the graphical program: the real program, started with no test hook at
// all, runs on its own dialogs (every seam holds its production default), and its Add Folder
// button opens the real folder dialog, through which a folder lands in the list. A table shows
// that each stand-in a test may install is seen as one.
#include "pages/CHDItemListPanel.h"
#include "pages/CHDPageDataBrows.h"
#include "pages/HVDesktopSeams.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "security/CGuiRunNotice.h"
#include "ui/CXListCtrl.h"

#include <QAction>
#include <QFileDialog>
#include <QMenuBar>

#include "GuiE2eHelpers.h"

using namespace GuiE2e;

class TestGuiSeams : public QObject
{
    Q_OBJECT

    SCheapKdf m_cheapKdf;

private slots:
    void initTestCase() { QVERIFY2(!qEnvironmentVariable("HV_BUILD_BIN").isEmpty(), "HV_BUILD_BIN is not set"); }

    void programStartsOnItsOwnDialogsAndAddsAFolderThroughTheChooser()
    {
        CTempHome home;
        QVERIFY(home.IsValid());
        const QString strBox = QFileInfo(home.MakeFile(QStringLiteral("box/inside.txt"), "inside")).path();
        // Nothing installed: exactly what main() leaves before the program object is built.
        g_HDGlobalData.SetFolderChooser({});
        QVERIFY(!HVPageUi::HasOpenFilesHandler() && !CGuiMessageBox::HasHook() && !CGuiRunNotice::HasSender());

        QStringList lstReplaced{QStringLiteral("<not seen>")};
        QStringList lstLook;
        QString strDialogTitle;
        QStringList lstRows;
        CScript script;
        ChooseMasterPassword(script);
        script.Then(
            QStringLiteral("main window shown"),
            [] { return CurrentPage() >= 0; },
            [&lstReplaced, &lstLook] {
                lstReplaced = HVDesktopSeams::Replaced();
                // What every window shares: the icon, the caption of the message boxes, Ctrl+Q,
                // and menu keys that leave the welcome page's Alt+S, Alt+M and Alt+D alone.
                lstLook << QStringLiteral("icon %1").arg(!QApplication::windowIcon().isNull())
                        << CGuiMessageBox::Caption()
                        << MainWindow()->MenuAction(CHalvoDataSecurityDlg::ID_MENU_EXIT)->shortcut().toString();
                for (QAction* pMenu : MainWindow()->findChild<QMenuBar*>()->actions()) {
                    const QString strText = pMenu->text();
                    const qsizetype nAmp = strText.indexOf(u'&');
                    lstLook << (nAmp >= 0 ? strText.mid(nAmp + 1, 1).toUpper() : QString());
                }
                Click(Page(CHalvoDataSecurityDlg::kPageWelcome),
                      CHDPageWelcome::IDC_BUTTON_START_SECURE_DATA);  // Secure Data
            });
        script.Then(QStringLiteral("selection page"), OnPage(CHalvoDataSecurityDlg::kPageSecureData), [] {
            Click(Page(CHalvoDataSecurityDlg::kPageSecureData),
                  CHDPageDataBrows::IDC_BUTTON_ADD_FOLDER);  // Add Folder...
        });
        script.OnDialog<QFileDialog>(QStringLiteral("the desktop's folder dialog"),
                                     [&strDialogTitle, strBox](QFileDialog* p) {
                                         strDialogTitle = p->windowTitle();
                                         p->setDirectory(strBox);             // the user opens the folder
                                         static_cast<QDialog*>(p)->accept();  // its own checks run
                                     });
        script.Then(
            QStringLiteral("folder in the list"),
            [] {
                auto* pPage = qobject_cast<CHDPageDataBrows*>(Page(CHalvoDataSecurityDlg::kPageSecureData));
                return QApplication::activeModalWidget() == MainWindow() && pPage != nullptr
                       && pPage->Panel() != nullptr && pPage->Panel()->Count() > 0;
            },
            [&lstRows] {
                lstRows = ColumnTexts(
                    qobject_cast<CHDPageDataBrows*>(Page(CHalvoDataSecurityDlg::kPageSecureData))->Panel()->List());
                ExitProgram();
            });
        script.Start();
        const int nExit = RunProgram({});  // no window log: it would install a message-box hook
        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
        QVERIFY2(script.Done(), qPrintable(QStringLiteral("stopped before ") + script.NextStep()));
        QCOMPARE(nExit, 0);
        QVERIFY2(lstReplaced.isEmpty(), qPrintable(lstReplaced.join(u',')));
        QCOMPARE(lstLook, (QStringList{"icon 1", "Halvo Norvane", "Ctrl+Q", "T", "G", "H"}));
        QVERIFY(!strDialogTitle.isEmpty());
        QCOMPARE(lstRows, QStringList{strBox});
    }

    // Each stand-in is seen as one, and taking it away again restores the production default.
    void everyStandInIsSeen_data()
    {
        QTest::addColumn<QString>("seam");
        // clang-format off
        const char* const seams[] = {"folder chooser", "open-file dialog", "message box", "context menu",
                                     "help opener", "desktop notification", "web opener"};
        // clang-format on
        for (const char* psz : seams) {
            QTest::newRow(psz) << QString::fromLatin1(psz);
        }
    }
    void everyStandInIsSeen()
    {
        QFETCH(QString, seam);
        g_HDGlobalData.SetFolderChooser({});
        HVDesktopSeams::InstallDefaults();
        QCOMPARE(HVDesktopSeams::Replaced(), QStringList());

        const auto install = [&seam](bool bOn) {
            if (seam == QLatin1String("folder chooser")) {
                g_HDGlobalData.SetFolderChooser(bOn ? [](const QString&) { return QString(); }
                                                    : CHDGlobalData::FolderChooser(&HVDesktopSeams::ChooseFolder));
            } else if (seam == QLatin1String("open-file dialog")) {
                HVPageUi::SetOpenFilesHandler(
                    bOn ? [](QWidget*, const HVPageUi::SOpenFileRequest&) { return QStringList(); }
                        : HVPageUi::OpenFilesHandler());
            } else if (seam == QLatin1String("message box")) {
                CGuiMessageBox::SetHook(bOn ? [](QWidget*,
                                                 unsigned,
                                                 const QString&,
                                                 QMessageBox::StandardButtons) { return QMessageBox::Ok; }
                                            : CGuiMessageBox::Hook());
            } else if (seam == QLatin1String("context menu")) {
                HVPageUi::SetMenuHandler(bOn ? [](QMenu&, const QPoint&) { return 0; } : HVPageUi::MenuHandler());
            } else if (seam == QLatin1String("help opener")) {
                CGuiMessageBox::SetHelpHook(bOn ? [](const QString&) { return true; } : CGuiMessageBox::HelpHook());
            } else if (seam == QLatin1String("desktop notification")) {
                CGuiRunNotice::SetSender(bOn ? [](const QString&, const QString&) {} : CGuiRunNotice::Sender());
            } else if (seam == QLatin1String("web opener")) {
                g_HDGlobalData.SetUrlOpener(bOn ? [](const QString&) { return true; }
                                                : CHDGlobalData::UrlOpener(&CHDGlobalData::OpenWithBrowser));
            }
        };
        install(true);
        QCOMPARE(HVDesktopSeams::Replaced(), QStringList{seam});
        install(false);
        QCOMPARE(HVDesktopSeams::Replaced(), QStringList());
    }
};

QTEST_MAIN(TestGuiSeams)
#include "test_gui_seams.moc"
