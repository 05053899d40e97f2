#include "globalfuncs/HVPathText.h"
#include "ui/CXListCtrl.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace {
// A list of two columns with the given first-column texts; row i gets item value 100 + i.
void Fill(CXListCtrl& list, const QStringList& names)
{
    list.InsertColumn(QStringLiteral("Name"), 200);
    list.InsertColumn(QStringLiteral("Kind"), 80);
    for (int i = 0; i < names.size(); ++i) {
        const int nRow = list.InsertItem(names[i]);
        list.SetItemText(nRow, 1, QStringLiteral("k%1").arg(i));
        list.SetItemValue(nRow, 100 + i);
    }
}

QStringList Column(const CXListCtrl& list, int nColumn)
{
    QStringList out;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        out << list.GetItemText(i, nColumn);
    }
    return out;
}
}  // namespace

class TestUiList : public QObject
{
    Q_OBJECT
private slots:
    void checkTransitions_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        // Per mode, the value after SetCheck for the values 0..5: mode 0 checks, 1 unchecks,
        // 2 toggles, any other mode changes nothing.
        const std::pair<int, const char*> table[] = {
            {0, "022445"}, {1, "011335"}, {2, "021435"}, {3, "012345"}, {-1, "012345"}, {7, "012345"}};
        for (const auto& [nMode, pszAfter] : table) {
            for (int nValue = 0; nValue < 6; ++nValue) {
                QTest::addRow("value %d mode %d", nValue, nMode) << nValue << nMode << pszAfter[nValue] - '0';
            }
        }
    }
    void checkTransitions()
    {
        QFETCH(int, value);
        QFETCH(int, mode);
        QFETCH(int, expected);
        CXListCtrl list;
        Fill(list, {QStringLiteral("a")});
        QVERIFY(list.SetCheckValue(0, value));
        QVERIFY(list.SetCheck(0, mode));
        QCOMPARE(list.GetCheck(0), expected);
    }

    void checkAllAndCount()
    {
        CXListCtrl list;
        Fill(list, {"a", "b", "c", "d", "e", "f"});
        for (int i = 0; i < 6; ++i) {
            list.SetCheckValue(i, i);
        }
        QCOMPARE(list.GetCheck(0), 0);        // rows without a box stay so
        QCOMPARE(list.GetCheckedCount(), 1);  // value 4 (checked, second style) is not counted
        list.SetCheckAll(CXListCtrl::CheckOn);
        QList<int> checks;
        for (int i = 0; i < 6; ++i) {
            checks << list.GetCheck(i);
        }
        QCOMPARE(checks, (QList<int>{0, 2, 2, 4, 4, 5}));
        QCOMPARE(list.GetCheckedCount(), 2);
        list.SetCheckAll(CXListCtrl::CheckOff);
        QCOMPARE(list.GetCheckedCount(), 0);
        QCOMPARE(list.GetCheck(5), 5);
    }

    void rowsOutsideTheListChangeNothing()
    {
        CXListCtrl list;
        Fill(list, {"a"});
        QVERIFY(!list.SetCheck(1, CXListCtrl::CheckOn));
        QVERIFY(!list.SetCheck(-1, CXListCtrl::CheckOn));
        QVERIFY(!list.SetCheckValue(0, 6));
        QCOMPARE(list.GetCheck(1), -1);
        QVERIFY(!list.SetItemText(1, 0, "x"));
        QVERIFY(!list.SetItemText(0, 2, "x"));  // no third column
        QCOMPARE(list.GetItemText(5, 0), QString());
        QCOMPARE(list.GetItemValue(3), 0);
        QVERIFY(!list.SetItemValue(3, 9));
        QVERIFY(!list.DeleteItem(1));
        QCOMPARE(list.GetItemCount(), 1);
        QCOMPARE(list.GetItemText(0, 0), QStringLiteral("a"));
    }

    void itemTextIsCutAt260()
    {
        CXListCtrl list;
        Fill(list, {QString(300, QLatin1Char('x'))});
        QCOMPARE(list.GetItemText(0, 0).size(), 260);
        QCOMPARE(list.GetItemRecord(0)->texts.first().size(), 300);
    }

    void twoClicksSortDescendingThenAscending()
    {
        CXListCtrl list;
        Fill(list, {"beta", "Alpha", "gamma", "ALPHA2", "Beta0"});
        list.OnColumnClick(0);
        QCOMPARE(Column(list, 0), (QStringList{"gamma", "Beta0", "beta", "ALPHA2", "Alpha"}));
        list.OnColumnClick(0);
        QCOMPARE(Column(list, 0), (QStringList{"Alpha", "ALPHA2", "beta", "Beta0", "gamma"}));
        // The records travel with their rows.
        QCOMPARE(list.GetItemValue(0), 101);
        QCOMPARE(list.GetItemText(0, 1), QStringLiteral("k1"));
        QCOMPARE(list.GetItemValue(4), 102);
    }

    void headerClickSortsAndCaseIsIgnored()
    {
        CXListCtrl list;
        Fill(list, {"b", "B", "a", "A"});
        list.header()->sectionClicked(0);  // what the header sends on a click
        // Equal without regard to case: the original order of equals is kept.
        QCOMPARE(Column(list, 0), (QStringList{"b", "B", "a", "A"}));
        list.header()->sectionClicked(0);
        QCOMPARE(Column(list, 0), (QStringList{"a", "A", "b", "B"}));
    }

    void rowsLackingTheColumnCompareEqual()
    {
        CXListCtrl list;
        list.InsertColumn("Name");
        list.InsertColumn("Size");
        list.InsertItem("c");
        list.InsertItem("a");
        list.InsertItem("b");
        list.SetItemText(1, 1, "2");
        list.SetItemText(2, 1, "1");
        list.SortItems(1, true);
        // "c" has no second column and compares equal to both others; "b" (1) still comes before "a" (2).
        const QStringList sorted = Column(list, 0);
        QCOMPARE(sorted.size(), 3);
        QVERIFY(sorted.indexOf("b") < sorted.indexOf("a"));
        list.SortItems(1, false);
        QVERIFY(Column(list, 0).indexOf("a") < Column(list, 0).indexOf("b"));
    }

    void sortingCanBeOffOrCustom()
    {
        CXListCtrl list;
        Fill(list, {"b", "c", "a"});
        list.EnableSort(false);
        list.OnColumnClick(0);
        QCOMPARE(Column(list, 0), (QStringList{"b", "c", "a"}));
        list.EnableSort(true);
        list.SetCompareFunction([](const SXListItemData& a, const SXListItemData& b, int) {
            return a.nItemValue - b.nItemValue;  // by value, 100, 101, 102
        });
        list.OnColumnClick(0);  // descending
        QCOMPARE(Column(list, 0), (QStringList{"a", "c", "b"}));
    }

    void numberingFollowsTheRows()
    {
        CXListCtrl list;
        Fill(list, {"b", "c", "a"});
        QCOMPARE(list.DisplayText(0, 0), QStringLiteral("b"));
        list.SetNumbering(true);
        QCOMPARE(list.DisplayText(0, 0), QStringLiteral("1. b"));
        QCOMPARE(list.DisplayText(0, 1), QStringLiteral("k0"));  // only the first column
        QCOMPARE(list.GetItemText(0, 0), QStringLiteral("b"));   // the stored text has no number
        list.OnColumnClick(0);
        list.OnColumnClick(0);
        QCOMPARE(list.DisplayText(0, 0), QStringLiteral("1. a"));
        QCOMPARE(list.DisplayText(2, 0), QStringLiteral("3. c"));
        QVERIFY(list.DeleteItem(0));
        QCOMPARE(list.DisplayText(0, 0), QStringLiteral("1. b"));
        QCOMPARE(list.DisplayText(1, 0), QStringLiteral("2. c"));
    }

    // A name that is not UTF-8 is kept byte for byte and shown with U+FFFD, numbered or not.
    void escapedBytesAreShownNotStored()
    {
        CXListCtrl list;
        const QString strPath = HVGlobalMFC::HVPathFromBytes("/tmp/caf\xe9");
        list.InsertItem(strPath);
        QCOMPARE(list.GetItemText(0, 0), strPath);
        QCOMPARE(HVGlobalMFC::HVPathToBytes(list.GetItemText(0, 0)), QByteArray("/tmp/caf\xe9"));
        QCOMPARE(list.DisplayText(0, 0), QStringLiteral("/tmp/caf\uFFFD"));
        list.SetNumbering(true);
        QCOMPARE(list.DisplayText(0, 0), QStringLiteral("1. /tmp/caf\uFFFD"));
    }

    void freedRecordsGiveZero()
    {
        CXListCtrl list;
        Fill(list, {"a", "b"});
        list.DeleteAllItemData();
        QCOMPARE(list.GetItemValue(0), 0);
        QVERIFY(!list.SetItemValue(0, 5));
        QCOMPARE(list.GetItemCount(), 2);
        list.SortItems(0, true);  // rows without records compare equal
        QCOMPARE(Column(list, 0), (QStringList{"a", "b"}));
    }

    void emptyListShowsItsText()
    {
        CXListCtrl list;
        list.resize(400, 200);
        list.InsertColumn("Name", 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(CXListCtrl::EmptyText(), QStringLiteral("There are no items to show in this view."));
        const auto darkInMiddle = [&list] {
            const QImage image = list.viewport()->grab().toImage();
            int n = 0;
            const int y0 = image.height() / 2 - 8;
            for (int y = y0; y < y0 + 16; ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
                }
            }
            return n;
        };
        QVERIFY(darkInMiddle() > 20);
        list.InsertItem("row");
        QCOMPARE(darkInMiddle(), 0);
        list.DeleteAllItems();
        QVERIFY(darkInMiddle() > 20);
    }

    void clickOnCheckBoxTogglesAndNotifies()
    {
        CXListCtrl list;
        list.resize(400, 200);
        Fill(list, {"a", "b", "c"});
        list.EnableCheckBoxes(true);
        list.SetCheckValue(0, 1);
        list.SetCheckValue(1, 5);
        list.SetCheckValue(2, 4);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy spy(&list, &CXListCtrl::CheckChanged);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.CheckBoxRect(0).center());
        QCOMPARE(list.GetCheck(0), 2);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 0);
        QCOMPARE(list.GetSelectedItem(), 0);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.CheckBoxRect(1).center());
        QCOMPARE(list.GetCheck(1), 5);  // fixed
        QCOMPARE(spy.count(), 1);
        QCOMPARE(list.GetSelectedItem(), 1);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.CheckBoxRect(2).center());
        QCOMPARE(list.GetCheck(2), 3);
        QCOMPARE(spy.count(), 2);
        // A click on the text selects without touching the box.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.CheckBoxRect(0).center() + QPoint(80, 0));
        QCOMPARE(list.GetCheck(0), 2);
        QCOMPARE(spy.count(), 2);
        // The space bar toggles the current row's box.
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Space);
        QCOMPARE(list.GetCheck(0), 1);
        QCOMPARE(spy.count(), 3);
        // Without check boxes there is no box to hit.
        list.EnableCheckBoxes(false);
        QVERIFY(list.CheckBoxRect(0).isEmpty());
    }

    void rightAndDoubleClickNotify()
    {
        CXListCtrl list;
        list.resize(400, 200);
        Fill(list, {"a", "b"});
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy right(&list, &CXListCtrl::RowRightClicked);
        QSignalSpy twice(&list, &CXListCtrl::RowDoubleClicked);
        const QPoint onRow1 = list.visualItemRect(list.topLevelItem(1)).center();
        QContextMenuEvent onRow(QContextMenuEvent::Mouse, onRow1, list.viewport()->mapToGlobal(onRow1));
        QApplication::sendEvent(list.viewport(), &onRow);
        QContextMenuEvent offRows(
            QContextMenuEvent::Mouse, QPoint(10, 150), list.viewport()->mapToGlobal(QPoint(10, 150)));
        QApplication::sendEvent(list.viewport(), &offRows);
        QCOMPARE(right.count(), 2);
        QCOMPARE(right.at(0).at(0).toInt(), 101);
        QCOMPARE(right.at(0).at(1).toInt(), 1);
        QCOMPARE(right.at(1).at(0).toInt(), -1);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, onRow1);
        QCOMPARE(twice.count(), 1);
        QCOMPARE(twice.at(0).at(0).toInt(), 1);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 150));
        QCOMPARE(twice.count(), 1);
    }

    void selectionHelpers()
    {
        CXListCtrl list;
        Fill(list, {"a", "b", "c"});
        QCOMPARE(list.GetSelectedItem(), -1);
        list.SelectItem(2);
        list.SelectItem(1);
        QCOMPARE(list.GetSelectedItem(), 1);
        QCOMPARE(list.GetSelectedItems(), (QList<int>{1, 2}));
        list.SortItems(0, false);  // c b a: the selection stays with its rows
        QCOMPARE(list.GetSelectedItems(), (QList<int>{0, 1}));
    }
};

QTEST_MAIN(TestUiList)
#include "test_ui_list.moc"
