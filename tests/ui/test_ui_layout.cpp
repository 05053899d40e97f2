#include "ui/CResizableDialog.h"
#include "ui/CResizableLayout.h"

#include <QTest>

namespace {
class CInitProbe : public CResizableDialog
{
public:
    int m_nInits = 0;

protected:
    bool OnInitDialog() override
    {
        ++m_nInits;
        return true;
    }
};
}  // namespace

class TestUiLayout : public QObject
{
    Q_OBJECT
private slots:
    void anchorsFollowTheHost_data()
    {
        QTest::addColumn<int>("tlx");
        QTest::addColumn<int>("tly");
        QTest::addColumn<int>("brx");
        QTest::addColumn<int>("bry");
        QTest::addColumn<QSize>("hostSize");
        QTest::addColumn<QRect>("expected");
        // The control starts at (10, 10) 50 x 20 in a 200 x 100 host.
        QTest::newRow("top-left stays") << 0 << 0 << 0 << 0 << QSize(300, 160) << QRect(10, 10, 50, 20);
        QTest::newRow("stretched") << 0 << 0 << 100 << 100 << QSize(300, 160) << QRect(10, 10, 150, 80);
        QTest::newRow("moves with the bottom-right")
            << 100 << 100 << 100 << 100 << QSize(300, 160) << QRect(110, 70, 50, 20);
        QTest::newRow("half way") << 50 << 50 << 50 << 50 << QSize(300, 160) << QRect(60, 40, 50, 20);
        QTest::newRow("top-right, wider") << 0 << 0 << 100 << 0 << QSize(300, 160) << QRect(10, 10, 150, 20);
        QTest::newRow("shrinking") << 0 << 0 << 100 << 100 << QSize(180, 90) << QRect(10, 10, 30, 10);
        QTest::newRow("shrinking past the control") << 0 << 0 << 100 << 100 << QSize(100, 50) << QRect(10, 10, 0, 0);
    }
    void anchorsFollowTheHost()
    {
        QFETCH(int, tlx);
        QFETCH(int, tly);
        QFETCH(int, brx);
        QFETCH(int, bry);
        QFETCH(QSize, hostSize);
        QFETCH(QRect, expected);
        QWidget host;
        host.resize(200, 100);
        auto* pControl = new QWidget(&host);
        pControl->setGeometry(10, 10, 50, 20);
        CResizableLayout layout(&host);
        layout.AddAnchor(pControl, SResizeAnchor{tlx, tly}, SResizeAnchor{brx, bry});
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        host.resize(hostSize);  // the resize event arranges the controls
        QCOMPARE(pControl->geometry(), expected);
        QCOMPARE(layout.AnchoredRect(pControl, hostSize), expected);
        host.resize(200, 100);
        QCOMPARE(pControl->geometry(), QRect(10, 10, 50, 20));  // back where it was
    }

    void dialogAnchorsAndInitialisesOnce()
    {
        CInitProbe dialog;
        dialog.resize(300, 200);
        auto* pOk = new QWidget(&dialog);
        pOk->setGeometry(200, 160, 80, 24);
        auto* pLabel = new QWidget(&dialog);
        pLabel->setGeometry(10, 10, 280, 140);
        dialog.AddAnchor(pOk, BOTTOM_RIGHT);
        dialog.AddAnchor(pLabel, TOP_LEFT, BOTTOM_RIGHT);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.resize(400, 260);
        QCOMPARE(pOk->geometry(), QRect(300, 220, 80, 24));
        QCOMPARE(pLabel->geometry(), QRect(10, 10, 380, 200));
        dialog.hide();
        dialog.show();
        QCOMPARE(dialog.m_nInits, 1);
        QVERIFY(dialog.GetResizableWnd()->HasAnchor(pOk));
        delete pOk;  // a control that went away is simply dropped
        dialog.resize(300, 200);
        QCOMPARE(pLabel->geometry(), QRect(10, 10, 280, 140));
    }
};

QTEST_MAIN(TestUiLayout)
#include "test_ui_layout.moc"
