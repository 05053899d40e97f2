#include "ui/CBCGButton.h"
#include "ui/CItemsTreeWnd.h"
#include "ui/CStaticTitle.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QPixmap Solid(const QColor& clr)
{
    QPixmap pixmap(8, 8);
    pixmap.fill(clr);
    return pixmap;
}
}  // namespace

class TestUiWidgets : public QObject
{
    Q_OBJECT
private slots:
    void buttonPicksItsImagePerState()
    {
        CBCGButton button(QStringLiteral("Go"));
        const QList<QPixmap> list{Solid(Qt::red), Solid(Qt::green), Solid(Qt::blue), Solid(Qt::gray)};
        button.SetImageList(list);
        button.SetImagelistOrder(1, 2, 3, 0);
        const auto shows = [&button](CBCGButton::EState state, const QPixmap& image) {
            return button.StateImage(state).cacheKey() == image.cacheKey();
        };
        QVERIFY(shows(CBCGButton::StateNormal, list[1]));
        QVERIFY(shows(CBCGButton::StateHot, list[2]));
        QVERIFY(shows(CBCGButton::StatePressed, list[3]));
        QVERIFY(shows(CBCGButton::StateDisabled, list[0]));
        button.SetImagelistOrder(9, -1, 0, 0);  // out of the list: the first image
        QVERIFY(shows(CBCGButton::StateNormal, list[0]));
        button.setEnabled(false);
        QCOMPARE(button.CurrentState(), CBCGButton::StateDisabled);
    }

    void buttonFacesAndLinkLook()
    {
        CBCGButton button(QStringLiteral("Link"));
        button.SetFaceColor(QColor(1, 2, 3));
        button.SetFaceColorHot(QColor(4, 5, 6));
        QCOMPARE(button.FaceColor(CBCGButton::StateNormal), QColor(1, 2, 3));
        QCOMPARE(button.FaceColor(CBCGButton::StateHot), QColor(4, 5, 6));
        QVERIFY(button.FaceColor(CBCGButton::StateDisabled) != QColor(1, 2, 3));  // a framed button washes out
        const int nFramedHeight = button.sizeHint().height();
        button.SetDrawBorder(false);  // a link: no frame, and its face stays as it is when disabled
        QCOMPARE(button.sizeHint().height(), nFramedHeight - 4);
        QCOMPARE(button.FaceColor(CBCGButton::StateDisabled), QColor(1, 2, 3));
        button.SetMouseCursorHand();
        QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
    }

    void captionRuleRunsBesideTheText()
    {
        CStaticTitle title(QStringLiteral("Encryption"));
        title.resize(300, 20);
        const QRect rule = title.RuleRect();
        QVERIFY(rule.left() > title.fontMetrics().horizontalAdvance(QStringLiteral("Encryption")));
        QCOMPARE(rule.right(), 299);
        QVERIFY(qAbs(rule.center().y() - 10) <= 1);
        title.SetBold(true);
        QVERIFY(title.RuleRect().left() >= rule.left());
        title.SetWindowText(QString());
        QCOMPARE(title.RuleRect().left(), 0);
        title.SetWindowText(QString(80, QLatin1Char('W')));
        QVERIFY(title.RuleRect().isNull());  // no room left for it
    }

    void treeReportsTheChosenItemsData()
    {
        CItemsTreeWnd tree;
        QVERIFY(tree.Intilize());
        tree.AddRootItem(QStringLiteral("General"), 0);
        tree.AddRootItem(QStringLiteral("Encryption"), 1);
        tree.AddRootItem(QStringLiteral("Wipe"), 2);
        QSignalSpy spy(&tree, &CItemsTreeWnd::ItemDataSelected);
        QVERIFY(tree.SelectByData(2));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 2);
        QCOMPARE(tree.SelectedData(), 2);
        QVERIFY(!tree.SelectByData(7));
        QCOMPARE(tree.GetItemData(1), 1);
        QCOMPARE(tree.GetItemData(5), -1);
    }
};

QTEST_MAIN(TestUiWidgets)
#include "test_ui_widgets.moc"
