#include "ui/CBCGButton.h"
#include "ui/CDrawGradient.h"
#include "ui/CTitleBitmap.h"
#include "ui/CTitleDrawGradient.h"
#include "ui/CTitleMainPage.h"
#include "ui/HVUiTheme.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <optional>

namespace {
QImage Render(CTitleDraw& title, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    title.Draw(p);
    return image;
}

struct SAccessibility
{
    explicit SAccessibility(bool bOn)
    {
        HVUi::SetThemeAccess({[bOn] { return bOn; }, {}});
    }
    ~SAccessibility() { HVUi::SetThemeAccess({}); }
};
}  // namespace

class TestUiTitles : public QObject
{
    Q_OBJECT
private slots:
    void bandWidth_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("bands");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("lastWidth");
        QTest::newRow("-4: none") << -4 << 0 << 0 << 0;
        QTest::newRow("0: none") << 0 << 0 << 0 << 0;
        QTest::newRow("1") << 1 << 1 << 1 << 1;
        QTest::newRow("127") << 127 << 127 << 1 << 1;
        QTest::newRow("128") << 128 << 128 << 1 << 1;
        QTest::newRow("255") << 255 << 255 << 1 << 1;
        QTest::newRow("256") << 256 << 128 << 2 << 2;
        QTest::newRow("257") << 257 << 129 << 2 << 1;
        QTest::newRow("1000") << 1000 << 143 << 7 << 6;
    }
    void bandWidth()
    {
        QFETCH(int, length);
        QFETCH(int, bands);
        QFETCH(int, width);
        QFETCH(int, lastWidth);
        const auto all = CDrawGradient::Bands(length, Qt::black, Qt::white);
        QCOMPARE(static_cast<int>(all.size()), bands);
        if (bands > 0) {
            QCOMPARE(all.front().nWidth, width);
            QCOMPARE(all.back().nWidth, lastWidth);
            QCOMPARE(all.back().nOffset + all.back().nWidth, length);
        }
    }

    void bandColourIsRoundedTowardZero()
    {
        // start + (end - start) * p / length per channel: falling channels round up, not down.
        const auto bands = CDrawGradient::Bands(256, QColor(200, 0, 100), QColor(100, 255, 100));
        QCOMPARE(bands[0].color, QColor(200, 0, 100));
        // p = 2: red 200 - 200 / 256 = 200 (-0.78 toward zero), green 510 / 256 = 1
        QCOMPARE(bands[1].color, QColor(200, 1, 100));
        // p = 6: red 200 - 600 / 256 = 198 (-2.34), green 1530 / 256 = 5
        QCOMPARE(bands[3].color, QColor(198, 5, 100));
        // The last band starts at 254: red 200 - 25400 / 256 = 101, green 64770 / 256 = 253
        QCOMPARE(bands.back().color, QColor(101, 253, 100));
    }

    void fillDirections()
    {
        QImage image(100, 10, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter p(&image);
            CDrawGradient::Fill(p, QRect(0, 0, 100, 10), QColor(0, 0, 0), QColor(100, 0, 0), true);
        }
        QCOMPARE(QColor(image.pixel(0, 5)), QColor(0, 0, 0));
        QCOMPARE(QColor(image.pixel(99, 5)), QColor(99, 0, 0));
        {
            QPainter p(&image);
            CDrawGradient::Fill(p, QRect(0, 0, 100, 10), QColor(0, 0, 0), QColor(100, 0, 0), true, true);
        }
        QCOMPARE(QColor(image.pixel(99, 5)), QColor(0, 0, 0));
        QCOMPARE(QColor(image.pixel(0, 5)), QColor(99, 0, 0));
        {
            QPainter p(&image);
            CDrawGradient::Fill(p, QRect(0, 0, 100, 10), QColor(0, 0, 0), QColor(0, 100, 0), false);
        }
        QCOMPARE(QColor(image.pixel(50, 0)), QColor(0, 0, 0));
        QCOMPARE(QColor(image.pixel(50, 9)), QColor(0, 90, 0));
    }

    void rectanglesFollowTheBorderAndInsets()
    {
        CTitleDraw title;
        title.SetRect(10, 20, 210, 120);
        QCOMPARE(title.OuterRect(), QRect(10, 20, 200, 100));
        QCOMPARE(title.TitleRect(), QRect(11, 21, 198, 18));
        QCOMPARE(title.TextRect(), QRect(17, 24, 190, 15));
        title.SetBorderWidth(3);
        QCOMPARE(title.TitleRect(), QRect(13, 23, 194, 14));
        title.SetRect(0, 0, 100, 30, true);  // the whole rectangle is the title
        QCOMPARE(title.TitleRect(), QRect(3, 3, 94, 24));
        title.SetTextRect(QRect(1, 2, 3, 4));
        title.SetRect(0, 0, 300, 30);
        QCOMPARE(title.TextRect(), QRect(1, 2, 3, 4));  // set explicitly: kept
    }

    // Each kind of title paints its border, title strip and background where they belong.
    void titlesPaintTheirParts_data()
    {
        QTest::addColumn<int>("kind");  // 0 plain, 1 gradient, 2 gradient in accessibility mode, 3 main page
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("plain: border") << 0 << QPoint(0, 0) << QColor(0, 0, 255);
        QTest::newRow("plain: title strip") << 0 << QPoint(50, 10) << QColor(0, 255, 0);
        QTest::newRow("plain: line under the title") << 0 << QPoint(50, 19) << QColor(0, 0, 255);
        QTest::newRow("plain: background") << 0 << QPoint(50, 40) << QColor(255, 0, 0);
        // Strip rows 1..18: 18 one-pixel bands from top to bottom; row 18 is band 17.
        QTest::newRow("gradient: first row") << 1 << QPoint(2, 1) << QColor(0, 0, 0);
        QTest::newRow("gradient: last row") << 1 << QPoint(2, 18) << QColor(170, 170, 170);
        QTest::newRow("gradient: the same across") << 1 << QPoint(90, 18) << QColor(170, 170, 170);
        QTest::newRow("gradient: background") << 1 << QPoint(50, 40) << QColor(255, 0, 0);
        QTest::newRow("accessibility: plain strip") << 2 << QPoint(50, 10) << QColor(0, 255, 0);
        QTest::newRow("accessibility: plain strip below") << 2 << QPoint(50, 17) << QColor(0, 255, 0);
        // The main page's title runs left to right over the whole box.
        QTest::newRow("main page: left") << 3 << QPoint(0, 30) << QColor(0, 0, 0);
        QTest::newRow("main page: middle") << 3 << QPoint(100, 30) << QColor(100, 0, 0);
        QTest::newRow("main page: right") << 3 << QPoint(199, 30) << QColor(199, 0, 0);
    }
    void titlesPaintTheirParts()
    {
        QFETCH(int, kind);
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        std::optional<SAccessibility> accessibility;
        if (kind == 2) {
            accessibility.emplace(true);
        }
        CTitleDraw plain;
        CTitleDrawGradient gradient;
        CTitleMainPage mainPage;
        gradient.SetGradientColors(QColor(0, 0, 0), QColor(180, 180, 180));
        mainPage.SetGradientColors(QColor(0, 0, 0), QColor(200, 0, 0));
        CTitleDraw& title = kind == 0 ? plain : kind == 3 ? static_cast<CTitleDraw&>(mainPage) : gradient;
        title.SetColors(Qt::white, QColor(0, 0, 255), QColor(0, 255, 0), QColor(255, 0, 0));
        const QSize size = kind == 3 ? QSize(200, 40) : QSize(100, 60);
        title.SetRect(0, 0, size.width(), size.height());
        QCOMPARE(QColor(Render(title, size.width(), size.height()).pixel(at)), colour);
    }

    void bitmapTitleFallsBackAndHidesText()
    {
        CTitleBitmap title;
        title.SetColors(Qt::white, QColor(0, 0, 255), QColor(0, 255, 0), QColor(255, 0, 0));
        title.SetGradientColors(QColor(9, 9, 9), QColor(9, 9, 9));
        title.SetRect(0, 0, 100, 60);
        QCOMPARE(QColor(Render(title, 100, 60).pixel(50, 10)), QColor(9, 9, 9));  // no picture: gradient
        QPixmap picture(200, 30);
        picture.fill(QColor(1, 2, 3));
        title.SetBackgroundBitmap(picture);
        title.SetTitleText(QStringLiteral("WWWWWWWW"));
        title.SetHideText(true);
        const QImage image = Render(title, 100, 60);
        QCOMPARE(QColor(image.pixel(50, 10)), QColor(1, 2, 3));
        QCOMPARE(QColor(image.pixel(98, 10)), QColor(255, 0, 0));  // less the border width on the right
        bool bText = false;
        for (int x = 1; x < 98; ++x) {
            bText = bText || QColor(image.pixel(x, 10)) == QColor(Qt::white);
        }
        QVERIFY(!bText);
    }

    void helpButtonSitsAtTheRightEnd()
    {
        QWidget parent;
        parent.resize(300, 100);
        auto* pHelp = new CBCGButton(&parent);
        CTitleDraw title;
        title.SetRect(0, 0, 300, 80);
        title.SetTitleHeight(24);
        QVERIFY(title.Create(&parent, pHelp, true, 0));
        const QRect rc = pHelp->geometry();
        QVERIFY(rc.right() <= title.TitleRect().right());
        QVERIFY(rc.right() >= title.TitleRect().right() - 4);
        QCOMPARE(rc.center().y(), title.TitleRect().center().y());
        QVERIFY(title.TextRect().right() < rc.left());
        QVERIFY(!pHelp->isHidden());

        CTitleDraw hidden;
        auto* pOther = new CBCGButton(&parent);
        hidden.SetRect(0, 0, 300, 80);
        QVERIFY(hidden.Create(&parent, pOther, false, 0));
        QVERIFY(pOther->isHidden());
        QCOMPARE(hidden.TextRect().right(), hidden.TitleRect().right() - 2);
    }
};

QTEST_MAIN(TestUiTitles)
#include "test_ui_titles.moc"
