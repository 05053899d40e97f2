// The report dialog: the label height rule, the caption of button 1024 by kind, and the page
// each button asks the main window for (none without a main window).
#include "resources/HVResourceStrings.h"
#include "security/CDlg_Report.h"
#include "security/CReportComposer.h"
#include "settings/CHDGlobalData.h"
#include "ui/CPPHtmlStatic.h"
#include "ui/HVControlStates.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include "DlgTestSupport.h"

using namespace dlgtest;

namespace {

CReportComposer ThreeSections()
{
    SRunCounters run;
    run.m_nProcessed = 2;
    run.m_nSucceeded = 2;
    run.m_nWipeAttempted = 2;
    run.m_nWipeSucceeded = 2;
    SHideCounters hide;
    hide.m_nProcessed = 2;
    hide.m_nSucceeded = 2;
    return CReportComposer::ForSecureData(true, 1, run, hide);
}

}  // namespace

class TestReportDlg : public QObject
{
    Q_OBJECT

private slots:
    void labelGetsTheRequestedHeight_data()
    {
        QTest::addColumn<int>("nLabelHeight");
        QTest::newRow("one section") << 85;
        QTest::newRow("three sections") << 255;
        QTest::newRow("small") << 20;
    }
    void labelGetsTheRequestedHeight()
    {
        QFETCH(int, nLabelHeight);
        CDlg_Report dlg;
        dlg.SetReportText(QStringLiteral("<b>x</b>"));
        dlg.SetLabelHeight(nLabelHeight);
        const int nWidth = dlg.width();
        const int nOuterBefore = dlg.height() - dlg.Label()->height();
        dlg.show();
        QCOMPARE(dlg.Label()->height(), nLabelHeight);
        QCOMPARE(dlg.height(), nOuterBefore + nLabelHeight);
        QCOMPARE(dlg.width(), nWidth);
        // The buttons stay below the label.
        QVERIFY(dlg.findChild<QPushButton*>(QStringLiteral("1024"))->y() >= dlg.Label()->geometry().bottom());
    }

    void noHeightKeepsTheLayout()
    {
        CDlg_Report dlg;
        const QSize before = dlg.size();
        const int nLabel = dlg.Label()->height();
        dlg.show();
        QCOMPARE(dlg.size(), before);
        QCOMPARE(dlg.Label()->height(), nLabel);
    }

    void detailsOpenAsACopyableListUnderTheReport()
    {
        CDlg_Report dlg;
        dlg.SetReport(ThreeSections());
        dlg.show();
        QVERIFY(!dlg.DetailsButton()->isVisible());  // nothing failed: no details

        CReportComposer report = ThreeSections();
        SRunDetails details;
        details.Add(nullptr, "/d/a.txt", "wipe", "permission denied");
        report.AddDetails(details);
        CDlg_Report withDetails;
        withDetails.SetReport(report);
        withDetails.show();
        const int nHeight = withDetails.height();
        QVERIFY(withDetails.DetailsButton()->isVisible());
        QVERIFY(!withDetails.DetailsView()->isVisible());
        QTest::mouseClick(withDetails.DetailsButton(), Qt::LeftButton);
        QVERIFY(withDetails.DetailsView()->isVisible());
        QVERIFY(withDetails.DetailsView()->isReadOnly());
        QCOMPARE(withDetails.DetailsView()->toPlainText(), QStringLiteral("/d/a.txt: wipe: permission denied\n"));
        QVERIFY(withDetails.DetailsView()->geometry().top() >= withDetails.Label()->geometry().bottom());
        QTest::mouseClick(withDetails.DetailsButton(), Qt::LeftButton);
        QVERIFY(!withDetails.DetailsView()->isVisible());
        QCOMPARE(withDetails.height(), nHeight);
    }

    void composedReport()
    {
        CDlg_Report dlg;
        dlg.SetReport(ThreeSections());
        QCOMPARE(dlg.Kind(), 0);
        QCOMPARE(dlg.LabelHeight(), 255);
        dlg.show();
        QCOMPARE(dlg.Label()->height(), 255);
        QCOMPARE(dlg.Label()->GetWindowText(), ThreeSections().Html());
    }

    void buttons_data()
    {
        QTest::addColumn<int>("nKind");
        QTest::addColumn<QString>("strButton");
        QTest::addColumn<bool>("bMainWindow");
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<unsigned>("nCaption");
        QTest::newRow("secure, 1024") << 0 << "1024" << true << QList<int>{105} << unsigned(IDS_REPORT_BTN_SECURE);
        QTest::newRow("decrypt, 1024") << 1 << "1024" << true << QList<int>{} << unsigned(IDS_REPORT_BTN_DECRYPT);
        QTest::newRow("hide, 1024") << 2 << "1024" << true << QList<int>{} << unsigned(IDS_REPORT_BTN_HIDE);
        QTest::newRow("secure, 4087") << 0 << "4087" << true << QList<int>{134} << unsigned(IDS_REPORT_BTN_SECURE);
        QTest::newRow("decrypt, 4087") << 1 << "4087" << true << QList<int>{134} << unsigned(IDS_REPORT_BTN_DECRYPT);
        QTest::newRow("secure, escape") << 0 << "escape" << true << QList<int>{134} << unsigned(IDS_REPORT_BTN_SECURE);
        QTest::newRow("no window, 1024") << 0 << "1024" << false << QList<int>{} << unsigned(IDS_REPORT_BTN_SECURE);
        QTest::newRow("no window, 4087") << 0 << "4087" << false << QList<int>{} << unsigned(IDS_REPORT_BTN_SECURE);
    }
    void buttons()
    {
        QFETCH(int, nKind);
        QFETCH(QString, strButton);
        QFETCH(bool, bMainWindow);
        QFETCH(QList<int>, pages);
        QFETCH(unsigned, nCaption);
        CDlg_Report dlg;
        dlg.SetKind(nKind);
        QList<int> requested;
        if (bMainWindow) {
            dlg.SetPageSwitch([&requested](int nPage) { requested << nPage; });
        }
        QTimer::singleShot(0, &dlg, [&dlg, strButton] {
            if (strButton == QLatin1String("escape")) {
                QTest::keyClick(&dlg, Qt::Key_Escape);
            } else {
                dlg.findChild<QPushButton*>(strButton)->click();
            }
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(requested, pages);
        QCOMPARE(dlg.findChild<QPushButton*>(QStringLiteral("1024"))->text(), HVLoadString(nCaption));
    }

    // The titles' blue reads on a light page as it is and is made readable on a dark one; the
    // rest of the mark-up is left alone.
    void titlesReadableOnEveryPage_data()
    {
        QTest::addColumn<QColor>("back");
        QTest::addColumn<bool>("bKept");
        QTest::newRow("white") << QColor(Qt::white) << true;
        QTest::newRow("light grey") << QColor(0xF3, 0xF6, 0xFA) << true;
        QTest::newRow("dark") << QColor(0x20, 0x22, 0x26) << false;
        QTest::newRow("black") << QColor(Qt::black) << false;
    }
    void titlesReadableOnEveryPage()
    {
        QFETCH(QColor, back);
        QFETCH(bool, bKept);
        const QString strHtml = ThreeSections().Html();
        const QString strOut = CDlg_Report::ReadableOn(strHtml, back);
        QCOMPARE(strOut == strHtml, bKept);
        static const QRegularExpression s_colour(QStringLiteral("color='(#[0-9a-f]{6})'"));
        int nTitles = 0;
        for (auto it = s_colour.globalMatch(strOut); it.hasNext(); ++nTitles) {
            QVERIFY(HVUi::ContrastRatio(QColor(it.next().captured(1)), back) >= HVUi::kMinTextContrast);
        }
        QCOMPARE(nTitles, 3);
        QCOMPARE(QString(strOut).remove(s_colour),
                 QString(strHtml).remove(QRegularExpression(QStringLiteral("color='#[0-9a-fA-F]{6}'"))));
    }

    // "Open Containing Folder" hands the folder of the selected details line to the address
    // opener: the folder, never the item; the nearest existing folder when the item's own is
    // gone; nothing for a note line.
    void openContainingFolder()
    {
        QTemporaryDir tmp;
        const QString strDir = tmp.path() + QStringLiteral("/a b#c%d");
        QVERIFY(QDir().mkpath(strDir));
        SRunDetails details;
        details.bCancelled = true;
        details.nNotStarted = 2;
        details.Add(nullptr, (strDir + QStringLiteral("/f.txt")).toStdString(), "encrypt", "no space");
        details.Add(nullptr, (tmp.path() + QStringLiteral("/gone/deeper/g.txt")).toStdString(), "wipe", "gone");
        CReportComposer report = CReportComposer::ForUnhide(1, 0, 1);
        report.AddDetails(details);
        QStringList opened;
        g_HDGlobalData.SetUrlOpener([&opened](const QString& strAddress) {
            opened << strAddress;
            return true;
        });
        CDlg_Report dlg;
        dlg.SetReport(report);
        dlg.show();
        dlg.DetailsButton()->click();
        QVERIFY(dlg.OpenFolderButton()->isVisible());
        const QList<QWidget*> row{dlg.DetailsButton(),
                                  dlg.findChild<QPushButton*>(QStringLiteral("4087")),
                                  dlg.findChild<QPushButton*>(QStringLiteral("1024")),
                                  dlg.OpenFolderButton()};
        for (qsizetype i = 0; i < row.size(); ++i) {
            for (qsizetype j = i + 1; j < row.size(); ++j) {
                QVERIFY2(!row[i]->geometry().intersects(row[j]->geometry()), qPrintable(row[j]->objectName()));
            }
        }
        QVERIFY(dlg.OpenFolderButton()->geometry().top() >= dlg.DetailsView()->geometry().bottom());
        QCOMPARE(dlg.DetailsView()->textCursor().blockNumber(), 1);  // the first line naming an item
        QVERIFY(dlg.OpenFolderButton()->isEnabled());
        dlg.DetailsView()->setTextCursor(QTextCursor(dlg.DetailsView()->document()->findBlockByNumber(0)));
        QVERIFY(!dlg.OpenFolderButton()->isEnabled());  // the cancel note
        QVERIFY(!dlg.OpenFolderOfLine(0));
        QVERIFY(!dlg.OpenFolderOfLine(7));
        for (int nLine : {1, 2}) {
            QTextCursor cursor(dlg.DetailsView()->document()->findBlockByNumber(nLine));
            dlg.DetailsView()->setTextCursor(cursor);
            QVERIFY(dlg.OpenFolderButton()->isEnabled());
            dlg.OpenFolderButton()->click();
        }
        g_HDGlobalData.SetUrlOpener(&CHDGlobalData::OpenWithBrowser);
        QCOMPARE(opened,
                 (QStringList{QUrl::fromLocalFile(strDir).toString(QUrl::FullyEncoded),
                              QUrl::fromLocalFile(tmp.path()).toString(QUrl::FullyEncoded)}));
    }

    // The production opener starts xdg-open itself (no shell) with the folder's address as its
    // one argument.
    void productionOpenerStartsXdgOpenOnTheFolder()
    {
        QVERIFY(g_HDGlobalData.UsesDesktopUrlOpener());
        QTemporaryDir tmp;
        const QString strLog = tmp.path() + QStringLiteral("/args");
        QFile script(tmp.path() + QStringLiteral("/xdg-open"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '%1.tmp'; mv '%1.tmp' '%1'\n")
                         .arg(strLog)
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(tmp.path()) + ':' + oldPath);
        const QString strFolder = tmp.path() + QStringLiteral("/x y;$(z)");
        QVERIFY(QDir().mkpath(strFolder));
        const bool bOpened = g_HDGlobalData.OpenContainingFolder(strFolder + QStringLiteral("/item"));
        qputenv("PATH", oldPath);
        QVERIFY(bOpened);
        QTRY_VERIFY(QFileInfo::exists(strLog));
        QFile log(strLog);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(log.readAll()),
                 QStringLiteral("1|%1|").arg(QUrl::fromLocalFile(strFolder).toString(QUrl::FullyEncoded)));
    }
};

QObject* MakeReportDialogTests()
{
    return new TestReportDlg;
}

#include "test_report_dlg.moc"
