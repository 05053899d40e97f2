#include "ui/CGradientProgressCtrl.h"
#include "ui/HVUiTheme.h"

#include <QImage>
#include <QTest>

namespace {
const QColor kBk(10, 200, 30);

// Columns (or rows, for a vertical bar) that carry something other than the background, counted
// along the middle line.
int PaintedLength(CGradientProgressCtrl& bar)
{
    const QImage image = bar.grab().toImage();
    int n = 0;
    if (bar.IsVertical()) {
        for (int y = 0; y < image.height(); ++y) {
            n += QColor(image.pixel(image.width() / 2, y)) != kBk ? 1 : 0;
        }
    } else {
        for (int x = 0; x < image.width(); ++x) {
            n += QColor(image.pixel(x, image.height() / 2)) != kBk ? 1 : 0;
        }
    }
    return n;
}

void Prepare(CGradientProgressCtrl& bar, int w, int h)
{
    bar.resize(w, h);
    bar.SetBkColor(kBk);
    bar.SetStartColor(QColor(0, 0, 0));
    bar.SetEndColor(QColor(10, 0, 100));
}
}  // namespace

class TestUiProgress : public QObject
{
    Q_OBJECT
private slots:
    void paintedExtent_data()
    {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("painted");
        QTest::newRow("at the lower bound: background only") << 0 << 100 << 0 << 0;
        QTest::newRow("1 of 100") << 0 << 100 << 1 << 2;
        QTest::newRow("half") << 0 << 100 << 50 << 100;
        QTest::newRow("99 of 100") << 0 << 100 << 99 << 198;
        QTest::newRow("at the upper bound: the whole bar") << 0 << 100 << 100 << 200;
        QTest::newRow("past the upper bound: background") << 0 << 100 << 101 << 0;
        QTest::newRow("below the lower bound: background") << 0 << 100 << -5 << 0;
        QTest::newRow("range 100 to 200, half way") << 100 << 200 << 150 << 100;
        QTest::newRow("empty range") << 50 << 50 << 50 << 0;
        QTest::newRow("password meter range, full") << 0 << 128 << 128 << 200;
    }
    void paintedExtent()
    {
        QFETCH(int, lower);
        QFETCH(int, upper);
        QFETCH(int, pos);
        QFETCH(int, painted);
        CGradientProgressCtrl bar;
        bar.SetRange(lower, upper);
        bar.SetPos(pos);
        QCOMPARE(bar.FilledExtent(200), painted);
    }

    // What is painted is the filled extent, from the left (from the bottom when vertical).
    void paintingFollowsTheFilledExtent()
    {
        CGradientProgressCtrl bar;
        Prepare(bar, 200, 16);
        bar.SetPos(50);
        QCOMPARE(PaintedLength(bar), bar.FilledExtent(200));
        const QImage image = bar.grab().toImage();
        QVERIFY(QColor(image.pixel(99, 8)) != kBk);
        QCOMPARE(QColor(image.pixel(100, 8)), kBk);
    }

    void bandsRunOverTheWholeBar()
    {
        // Largest channel difference 100 -> 100 bands of 2 pixels; band i = start + delta * i / 100.
        CGradientProgressCtrl bar;
        Prepare(bar, 200, 16);
        bar.SetPos(100);
        const QImage image = bar.grab().toImage();
        QCOMPARE(QColor(image.pixel(0, 8)), QColor(0, 0, 0));
        QCOMPARE(QColor(image.pixel(1, 8)), QColor(0, 0, 0));
        QCOMPARE(QColor(image.pixel(2, 8)), QColor(0, 0, 1));
        QCOMPARE(QColor(image.pixel(100, 8)), QColor(5, 0, 50));
        QCOMPARE(QColor(image.pixel(199, 8)), QColor(9, 0, 99));
        // A half-full bar shows the same colours where it is filled: the gradient is not squeezed.
        bar.SetPos(50);
        QCOMPARE(QColor(bar.grab().toImage().pixel(98, 8)), QColor(4, 0, 49));
        // Equal colours fill solid.
        bar.SetStartColor(QColor(40, 50, 60));
        bar.SetEndColor(QColor(40, 50, 60));
        bar.SetPos(100);
        QCOMPARE(QColor(bar.grab().toImage().pixel(0, 8)), QColor(40, 50, 60));
        QCOMPARE(QColor(bar.grab().toImage().pixel(199, 8)), QColor(40, 50, 60));
    }

    void verticalFillsFromTheBottom()
    {
        CGradientProgressCtrl bar;
        Prepare(bar, 16, 100);
        bar.SetVertical(true);
        bar.SetPos(25);
        QCOMPARE(PaintedLength(bar), 25);
        const QImage image = bar.grab().toImage();
        QVERIFY(QColor(image.pixel(8, 99)) != kBk);
        QCOMPARE(QColor(image.pixel(8, 0)), kBk);
    }

    void percentText_data()
    {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("text");
        QTest::newRow("50 of 0..100") << 0 << 100 << 50 << QStringLiteral(" 50 %");
        QTest::newRow("0") << 0 << 100 << 0 << QStringLiteral("  0 %");
        QTest::newRow("100") << 0 << 100 << 100 << QStringLiteral("100 %");
        QTest::newRow("rounded") << 0 << 3 << 1 << QStringLiteral(" 33 %");
        QTest::newRow("offset range") << 100 << 300 << 150 << QStringLiteral(" 25 %");
        QTest::newRow("empty range") << 7 << 7 << 7 << QString();
    }
    void percentText()
    {
        QFETCH(int, lower);
        QFETCH(int, upper);
        QFETCH(int, pos);
        QFETCH(QString, text);
        QCOMPARE(CGradientProgressCtrl::PercentText(lower, upper, pos), text);
    }

    // The percentage is drawn in the text colour where it can be read; over the empty part of a
    // background too close to that colour it is drawn dark on light (or light on dark) instead.
    void percentTextIsPaintedReadably()
    {
        const auto countText = [](const QImage& image, auto isText) {
            int n = 0;
            for (int x = 60; x < 140; ++x) {
                for (int y = 0; y < 20; ++y) {
                    n += isText(QColor(image.pixel(x, y))) ? 1 : 0;
                }
            }
            return n;
        };
        const auto isYellow = [](const QColor& c) { return c.red() > 128 && c.green() > 128 && c.blue() < 100; };
        const auto isDark = [](const QColor& c) { return c.lightness() < 90; };

        CGradientProgressCtrl bar;
        Prepare(bar, 200, 20);
        bar.SetPos(0);
        QCOMPARE(PaintedLength(bar), 0);
        const QColor clrDarkBk(20, 20, 80);
        bar.SetBkColor(clrDarkBk);
        bar.SetTextColor(QColor(255, 255, 0));
        bar.SetShowPercent(true);
        QImage image = bar.grab().toImage();
        QVERIFY(countText(image, isYellow) > 5);
        QCOMPARE(QColor(image.pixel(2, 10)), clrDarkBk);  // the rest stays background

        // White text on a light background: dark over the empty part.
        bar.SetBkColor(QColor(235, 235, 235));
        bar.SetTextColor(QColor(255, 255, 255));
        image = bar.grab().toImage();
        QVERIFY(countText(image, isDark) > 5);
    }

    void passwordMeterStyle()
    {
        CGradientProgressCtrl bar;
        bar.SetPos(40);
        CGradientProgressCtrl::StylePasswordMeter(bar);
        QCOMPARE(HVUi::ToColorRef(bar.GetStartColor()), 0x000080FFu);
        QCOMPARE(HVUi::ToColorRef(bar.GetEndColor()), 0x0000FF00u);
        QCOMPARE(bar.GetStep(), 1);
        QCOMPARE(bar.GetLower(), 0);
        QCOMPARE(bar.GetUpper(), 128);
        QCOMPARE(bar.GetPos(), 0);
    }

    void stepWrapsToTheLowerBound()
    {
        CGradientProgressCtrl bar;
        bar.SetRange(0, 30);
        bar.SetStep(20);
        bar.StepIt();
        QCOMPARE(bar.GetPos(), 20);
        bar.StepIt();
        QCOMPARE(bar.GetPos(), 10);
    }
};

QTEST_MAIN(TestUiProgress)
#include "test_ui_progress.moc"
