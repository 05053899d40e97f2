#include "ui/CPPHtmlParser.h"
#include "ui/CPPHtmlStatic.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace {
std::vector<SHtmlRun> TextRuns(const QString& markup)
{
    std::vector<SHtmlRun> out;
    for (const SHtmlRun& run : CPPHtmlParser::Parse(markup)) {
        if (run.kind == SHtmlRun::Text) {
            out.push_back(run);
        }
    }
    return out;
}

// The character format of the first fragment whose text contains strText.
QTextCharFormat FormatOf(const QTextDocument& doc, const QString& strText)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(strText)) {
                return it.fragment().charFormat();
            }
        }
    }
    return QTextCharFormat();
}
}  // namespace

class TestUiHtml : public QObject
{
    Q_OBJECT
private slots:
    void reportSection()
    {
        const auto runs = CPPHtmlParser::Parse(
            QStringLiteral("<font size=15 face='Tahoma' color='#0000ff'><b>Encryption</b></font><br><br>Files: 3<br>"));
        QCOMPARE(runs.size(), size_t(5));
        QCOMPARE(runs[0].kind, SHtmlRun::Text);
        QCOMPARE(runs[0].strText, QStringLiteral("Encryption"));
        QCOMPARE(runs[0].nSize, 15);
        QCOMPARE(runs[0].strFace, QStringLiteral("Tahoma"));
        QCOMPARE(runs[0].color, QColor(0, 0, 255));
        QVERIFY(runs[0].bBold);
        QCOMPARE(runs[1].kind, SHtmlRun::LineBreak);
        QCOMPARE(runs[2].kind, SHtmlRun::LineBreak);
        QCOMPARE(runs[3].strText, QStringLiteral("Files: 3"));
        QCOMPARE(runs[3].nSize, 0);  // the font tag has ended
        QVERIFY(!runs[3].color.isValid());
        QVERIFY(!runs[3].bBold);
        QCOMPARE(runs[4].kind, SHtmlRun::LineBreak);
    }

    void picturesAndBlanks()
    {
        const auto runs = CPPHtmlParser::Parse(QStringLiteral(
            "<font size=13 face='Tahoma' color='#31577b'><b>       Only wipe</b></font><br><bmp idres=4054>"));
        QCOMPARE(runs.size(), size_t(3));
        QCOMPARE(runs[0].strText, QStringLiteral("       Only wipe"));  // blanks are kept
        QCOMPARE(runs[0].color, QColor(0x31, 0x57, 0x7b));
        QCOMPARE(runs[2].kind, SHtmlRun::Picture);
        QCOMPARE(runs[2].nPictureId, 4054u);
    }

    void attributeSpellings()
    {
        const auto runs = TextRuns(
            QStringLiteral("<FONT SIZE=\"12\" FACE=\"DejaVu Sans\" COLOR=ff0000>a</FONT><font color=\"green\">b</font>"
                           "<font size=x color='#zzzzzz'>c</font><B>d</b><BR/><br />"));
        QCOMPARE(runs.size(), size_t(4));
        QCOMPARE(runs[0].nSize, 12);
        QCOMPARE(runs[0].strFace, QStringLiteral("DejaVu Sans"));
        QCOMPARE(runs[0].color, QColor(255, 0, 0));
        QCOMPARE(runs[1].color, QColor(0, 128, 0));  // the web colour "green"
        QCOMPARE(runs[2].nSize, 0);                  // unreadable values leave the style alone
        QVERIFY(!runs[2].color.isValid());
        QVERIFY(runs[3].bBold);
        QCOMPARE(CPPHtmlParser::PlainText(CPPHtmlParser::Parse(QStringLiteral("x<BR/>y<br />z"))),
                 QStringLiteral("x\ny\nz"));
    }

    void nestingRestoresTheOuterStyle()
    {
        const auto runs = TextRuns(QStringLiteral(
            "<font size=20 color=#ff0000>a<font color=#00ff00>b</font>c</font>d</font></b>e<b><b>f</b>g</b>h"));
        QCOMPARE(runs.size(), size_t(8));
        QCOMPARE(runs[1].nSize, 20);  // inherited
        QCOMPARE(runs[1].color, QColor(0, 255, 0));
        QCOMPARE(runs[2].color, QColor(255, 0, 0));  // back to the outer font
        QVERIFY(!runs[3].color.isValid());
        QVERIFY(!runs[4].bBold);  // a stray </b> does not count below zero
        QVERIFY(runs[5].bBold);
        QVERIFY(runs[6].bBold);  // still inside the outer <b>
        QVERIFY(!runs[7].bBold);
    }

    void foreignMarkupStaysText()
    {
        const QString plain = CPPHtmlParser::PlainText(CPPHtmlParser::Parse(QStringLiteral(
            "<img src=\"/etc/passwd\"> a<b & c > d &amp; &lt;b&gt; &#65;&#x42; &bogus; <bmp idres=x> <")));
        QCOMPARE(plain, QStringLiteral("<img src=\"/etc/passwd\"> a<b & c > d & <b> AB &bogus;  <"));
    }

    void pictureRunsFollowTheLoader()
    {
        CPPHtmlStatic::SetPictureLoader([](unsigned nId) {
            if (nId != 4050) {
                return QImage();
            }
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            return image;
        });
        CPPHtmlStatic label;
        label.resize(300, 200);
        label.SetWindowText(QStringLiteral("a<br><bmp idres=4050><bmp idres=4051>b"));
        QCOMPARE(label.PictureCount(), 1);  // the missing picture shows nothing
        QCOMPARE(label.Document().toRawText(),
                 QString(QStringLiteral("a") + QChar(QChar::LineSeparator) + QChar(QChar::ObjectReplacementCharacter)
                         + QStringLiteral("b")));
        // The picture is drawn.
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        const QImage shot = label.grab().toImage();
        bool bSeen = false;
        for (int y = 0; y < shot.height() && !bSeen; ++y) {
            for (int x = 0; x < shot.width() && !bSeen; ++x) {
                bSeen = QColor(shot.pixel(x, y)) == QColor(Qt::darkCyan);
            }
        }
        QVERIFY(bSeen);
        CPPHtmlStatic::SetPictureLoader({});
    }

    void documentCarriesTheStyle()
    {
        CPPHtmlStatic label;
        label.SetWindowText(
            QStringLiteral("<font size=15 face='Tahoma' color='#0000ff'><b>Title</b></font><br>plain text"));
        const QTextCharFormat title = FormatOf(label.Document(), QStringLiteral("Title"));
        QCOMPARE(title.property(QTextFormat::FontPixelSize).toInt(), 15);
        QVERIFY(title.fontFamilies().toStringList().contains(QStringLiteral("Tahoma")));
        QCOMPARE(title.foreground().color(), QColor(0, 0, 255));
        QCOMPARE(title.fontWeight(), int(QFont::Bold));
        const QTextCharFormat plain = FormatOf(label.Document(), QStringLiteral("plain"));
        QVERIFY(plain.fontWeight() != int(QFont::Bold));
        QCOMPARE(label.GetWindowText().left(5), QStringLiteral("<font"));
        label.SetBkColor(QColor(1, 2, 3));
        label.resize(200, 100);
        QCOMPARE(QColor(label.grab().toImage().pixel(199, 99)), QColor(1, 2, 3));
    }
};

QTEST_MAIN(TestUiHtml)
#include "test_ui_html.moc"
