// The item list panel and the two list pages: selection (105) and decryption (147).
#include "globalfuncs/HVPathText.h"
#include "pages/CHDItemListPanel.h"
#include "pages/CHDPageDataBrows.h"
#include "pages/CPage_Decryption.h"
#include "ui/CXListCtrl.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include "PagesTestSupport.h"
#include "support/Controls.h"

using namespace PagesTest;

class TestPageLists : public CPageTest
{
    Q_OBJECT

private slots:

    void panelAddsWithoutDuplicatesAndByKind()
    {
        auto pPage = Make<CHDPageDataBrows>();
        CHDItemListPanel& panel = *pPage->Panel();
        const QString strFile = m_home->MakeFile(QStringLiteral("a.txt"), "12345");
        const QString strFolder = m_home->Work() + QStringLiteral("/Folder");
        QDir().mkpath(strFolder);

        QVERIFY(panel.AddPath(strFolder));
        QVERIFY(!panel.AddPath(strFolder.toUpper()));  // other letter case: still one row
        QVERIFY(panel.AddPath(strFile));
        QVERIFY(!panel.AddPath(strFile));
        QVERIFY(!panel.AddPath(m_home->MakeFile(QStringLiteral("short.lnk"))));  // dropped link file
        QVERIFY(panel.AddPath(m_home->MakeFile(QStringLiteral("short.LNK"))));   // the test is case-sensitive
        QVERIFY(!panel.AddFolderRow(QString()));
        QCOMPARE(panel.Count(), 3);

        CItemData* pFolder = panel.Item(0);
        QCOMPARE(pFolder->m_nKind, CItemData::KindFolder);
        QCOMPARE(pFolder->m_nSize, quint64(0));
        QCOMPARE(panel.List()->GetItemText(0, 1), HVLoadString(126));
        QCOMPARE(panel.List()->GetItemImage(0), CHDItemListPanel::kIconFolder);
        CItemData* pFile = panel.Item(1);
        QCOMPARE(pFile->m_nKind, CItemData::KindFile);
        QCOMPARE(pFile->m_nSize, quint64(5));
        QCOMPARE(panel.List()->GetItemText(1, 1), HVLoadString(125));
        QCOMPARE(panel.List()->GetItemImage(1), CHDItemListPanel::kIconFile);
    }

    void removeSelectsTheRowAtTheLowestRemovedIndex_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("rows 2 and 3 of five") << QList<int>{2, 3} << QStringList{"0", "1", "4"} << 2;
        QTest::newRow("the last row") << QList<int>{4} << QStringList{"0", "1", "2", "3"} << 3;
        QTest::newRow("nothing selected") << QList<int>{} << QStringList{"0", "1", "2", "3", "4"} << 0;
        QTest::newRow("all rows") << QList<int>{0, 1, 2, 3, 4} << QStringList{} << -1;
    }
    void removeSelectsTheRowAtTheLowestRemovedIndex()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, left);
        QFETCH(int, selectedAfter);
        auto pPage = Make<CHDPageDataBrows>();
        CHDItemListPanel& panel = *pPage->Panel();
        for (int i = 0; i < 5; ++i) {
            QVERIFY(panel.AddFileRow(m_home->MakeFile(QString::number(i))));
        }
        panel.List()->clearSelection();
        for (int nRow : selected) {
            panel.List()->SelectItem(nRow, true);
        }
        pPage->OnBnClickedRemove();
        QStringList names;
        for (const QString& s : Column(panel.List())) {
            names << QFileInfo(s).fileName();
        }
        QCOMPARE(names, left);
        // Each row still leads to its own record.
        const CItemDataList items = panel.Items();
        QCOMPARE(int(items.size()), panel.Count());
        for (int i = 0; i < panel.Count(); ++i) {
            QCOMPARE(items[std::size_t(i)]->m_strPath, panel.List()->GetItemText(i, 0));
            QCOMPARE(panel.Item(i), items[std::size_t(i)].get());
        }
        QCOMPARE(panel.List()->GetSelectedItem(), selectedAfter);
        QCOMPARE(Enabled(pPage.get(), CHDPageDataBrows::IDC_BUTTON_REMOVE), !left.isEmpty());
        QCOMPARE(Enabled(pPage.get(), CHDPageDataBrows::IDC_BUTTON_CLEAR), !left.isEmpty());
    }

    void dropsAndClearUpdateTheButtons()
    {
        auto pPage = Make<CHDPageDataBrows>();
        QVERIFY(!Enabled(pPage.get(), CHDPageDataBrows::IDC_BUTTON_REMOVE));
        QVERIFY(!Enabled(pPage.get(), CHDPageDataBrows::IDC_BUTTON_CLEAR));
        // A file manager hands over a name that is not UTF-8 percent-escaped byte for byte.
        const QByteArray latin1 = QFile::encodeName(m_home->Work()) + "/caf\xe9";
        const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(m_home->MakeFile(QStringLiteral("x.txt"))),
                      QUrl::fromLocalFile(m_home->Work() + QStringLiteral("/")),
                      QUrl(QStringLiteral("https://example.org/remote.txt")),
                      QUrl::fromEncoded("file://" + latin1.toPercentEncoding("/"))});
        const QStringList lstDropped = HVPageUi::DroppedPaths(&data);
        QCOMPARE(lstDropped.size(), 3);  // the remote address is no file
        QCOMPARE(lstDropped.at(1), m_home->Work());
        QCOMPARE(HVGlobalMFC::HVPathToBytes(lstDropped.at(2)), latin1);
        pPage->DropPaths(lstDropped);
        QCOMPARE(pPage->Panel()->Count(), 3);
        QCOMPARE(pPage->Panel()->RemoveMissing(), 0);
        QVERIFY(Enabled(pPage.get(), CHDPageDataBrows::IDC_BUTTON_REMOVE));
        QVERIFY(Enabled(pPage.get(), CHDPageDataBrows::IDC_BUTTON_CLEAR));
        pPage->OnBnClickedClear();
        QCOMPARE(pPage->Panel()->Count(), 0);
        QVERIFY(!Enabled(pPage.get(), CHDPageDataBrows::IDC_BUTTON_CLEAR));
    }

    void addFilesTakesEveryChosenFileAndFollowsLinksOnlyWhenAsked()
    {
        auto pPage = Make<CHDPageDataBrows>();
        const QString strTarget = m_home->MakeFile(QStringLiteral("target.txt"));
        const QString strLink = m_home->Work() + QStringLiteral("/link.txt");
        QVERIFY(QFile::link(strTarget, strLink));
        const QString strDesktop = m_home->MakeFile(
            QStringLiteral("doc.desktop"),
            QStringLiteral("[Desktop Entry]\nType=Link\nName=doc\nURL=file://%1\n").arg(strTarget).toUtf8());

        g_HDGlobalData.m_RegData.m_nResolveLinks = 0;
        m_rig->answers.m_files.push_back({strLink, strDesktop, strLink});
        pPage->OnBnClickedAddFiles();
        QCOMPARE(m_rig->answers.m_requests.back().strTitle, QStringLiteral("Select Files To Add"));
        QCOMPARE(Column(pPage->Panel()->List()), (QStringList{strLink, strDesktop}));

        pPage->OnBnClickedClear();
        g_HDGlobalData.m_RegData.m_nResolveLinks = 1;
        m_rig->answers.m_files.push_back({strLink, strDesktop});
        pPage->OnBnClickedAddFiles();
        QCOMPARE(Column(pPage->Panel()->List()), (QStringList{strTarget}));  // both links lead to one file

        m_rig->answers.m_files.push_back({});  // cancelled
        pPage->OnBnClickedAddFiles();
        QCOMPARE(pPage->Panel()->Count(), 1);
    }

    void addFolderAsksTheFolderChooser()
    {
        auto pPage = Make<CHDPageDataBrows>();
        m_rig->answers.m_folders = {m_home->Work(), m_home->Work(), QString()};
        pPage->OnBnClickedAddFolder();
        pPage->OnBnClickedAddFolder();
        pPage->OnBnClickedAddFolder();
        QCOMPARE(Column(pPage->Panel()->List()), (QStringList{m_home->Work()}));
        QCOMPARE(pPage->Panel()->Item(0)->m_nKind, CItemData::KindFolder);
    }

    // Back on the page after a run, what was wiped has left the list;
    // long paths keep their start and their name, the whole path is the tooltip, and the path
    // column takes the width the list gains.
    void vanishedRowsGoAndPathsAreShortenedInTheMiddle()
    {
        auto pPage = Make<CHDPageDataBrows>();
        const QString strLong = m_home->MakeFile(QStringLiteral("a-rather-long-folder-name/and-another-one/"
                                                                "third-level-of-folders/the-file-name.txt"));
        const QString strGone = m_home->MakeFile(QStringLiteral("wiped.txt"));
        pPage->DropPaths({strLong, strGone});
        QVERIFY(pPage->OnKillActive(135));
        QVERIFY(QFile::remove(strGone));
        QVERIFY(pPage->OnSetActive());
        QCOMPARE(Column(pPage->Panel()->List()), QStringList{strLong});

        CXListCtrl* pList = pPage->Panel()->List();
        QCOMPARE(pList->PathColumn(), 0);
        const QString strShown = pList->ShownText(0, 0, 200);
        QVERIFY2(strShown.endsWith(QStringLiteral(".txt")) && strShown.startsWith(strLong.left(3))
                     && strShown.contains(QChar(0x2026)),
                 qPrintable(strShown));
        pPage->window()->show();
        pPage->show();
        pList->resize(500, 200);
        QApplication::processEvents();
        const int nType = pList->columnWidth(1);
        const int nPath = pList->columnWidth(0);
        pList->resize(900, 200);
        QApplication::processEvents();
        QCOMPARE(pList->columnWidth(1), nType);
        QVERIFY2(
            pList->columnWidth(0) >= nPath + 350,
            qPrintable(QStringLiteral("%1 -> %2, list %3").arg(nPath).arg(pList->columnWidth(0)).arg(pList->width())));
    }

    void contextMenuGreysRemoveAndClear()
    {
        auto pPage = Make<CHDPageDataBrows>();
        CHDItemListPanel& panel = *pPage->Panel();
        const auto states = [&panel]() {
            QMenu menu;
            panel.BuildContextMenu(menu);
            QMap<int, bool> map;
            for (QAction* pAction : menu.actions()) {
                if (!pAction->isSeparator()) {
                    map.insert(pAction->data().toInt(), pAction->isEnabled());
                }
            }
            return map;
        };
        QMap<int, bool> map = states();
        QCOMPARE(map.keys(), (QList<int>{32780, 32781, 32782, 32783, 32784}));
        QVERIFY(!map[32782] && !map[32783] && map[32780]);
        QVERIFY(panel.AddFileRow(m_home->MakeFile(QStringLiteral("f"))));
        panel.List()->clearSelection();
        map = states();
        QVERIFY(!map[32782] && map[32783]);
        panel.List()->SelectItem(0, true);
        QVERIFY(states()[32782]);

        // The chosen command is carried out.
        HVPageUi::SetMenuHandler([](QMenu&, const QPoint&) { return CHDItemListPanel::ID_CLEAR; });
        emit panel.ContextMenuRequested(QPoint(1, 1));
        QCOMPARE(panel.Count(), 0);
    }

    void leavingForTheOptionsHandsTheRecordsOver()
    {
        auto pPage = Make<CHDPageDataBrows>();
        QVERIFY(!pPage->OnKillActive(135));
        QCOMPARE(m_rig->answers.m_messages, (std::vector<unsigned>{129}));
        pPage->DropPaths({m_home->MakeFile(QStringLiteral("1")), m_home->MakeFile(QStringLiteral("2"))});
        QVERIFY(pPage->OnKillActive(135));
        QVERIFY(m_rig->mngr.m_arrItems == pPage->Panel()->Items());
        QVERIFY(m_rig->answers.m_questions.empty());

        // A row removed after Next leaves the record the manager was handed whole; the next
        // Next hands over the list as it is then.
        pPage->Panel()->List()->clearSelection();
        pPage->Panel()->List()->SelectItem(0, true);
        const std::shared_ptr<CItemData> pSecond = pPage->Panel()->Items().at(1);
        const QString strFirst = pPage->Panel()->Item(0)->m_strPath;
        pPage->OnBnClickedRemove();
        QCOMPARE(m_rig->mngr.m_arrItems.front()->m_strPath, strFirst);
        QVERIFY(pPage->OnKillActive(135));
        QVERIFY(m_rig->mngr.m_arrItems == CItemDataList{pSecond});

        // Any other page asks 112 first.
        m_rig->answers.m_answers = {false, true};
        QVERIFY(!pPage->OnKillActive(134));
        QVERIFY(pPage->OnKillActive(4003));
        QCOMPARE(m_rig->answers.m_questions, (std::vector<unsigned>{112, 112}));

        // The manager's records outlive the page.
        pPage.reset();
        QCOMPARE(m_rig->mngr.m_arrItems.size(), std::size_t(1));
        QCOMPARE(m_rig->mngr.m_arrItems.front()->m_strPath, pSecond->m_strPath);
    }

    void takesOverTheCommandLineItemsInMode4()
    {
        const QString strFile = m_home->MakeFile(QStringLiteral("cmd.txt"));
        m_rig->mngr.m_bCmdLine = 1;
        m_rig->mngr.m_iCmdMode = CDataSecurityMngr::CmdModeSelectWindow;
        m_rig->mngr.m_arrItems = {std::make_shared<CItemData>(strFile, 0, 0),
                                  std::make_shared<CItemData>(m_home->Work(), 0, 1),
                                  std::make_shared<CItemData>(strFile.toUpper(), 0, 0)};
        auto pPage = Make<CHDPageDataBrows>();
        QCOMPARE(Column(pPage->Panel()->List()), (QStringList{strFile, m_home->Work()}));
        QVERIFY(m_rig->mngr.m_arrItems.empty());
        QCOMPARE(m_rig->mngr.m_bCmdLine, 0);
        QVERIFY(Enabled(pPage.get(), CHDPageDataBrows::IDC_BUTTON_CLEAR));
    }

    void decryptionTakesOnlyHvncFiles()
    {
        auto pPage = Make<CPage_Decryption>();
        const QString strGood = m_home->MakeFile(QStringLiteral("a.txt.hvnc"));
        const QString strCaps = m_home->MakeFile(QStringLiteral("b.txt.HVNC"));
        const QString strPlain = m_home->MakeFile(QStringLiteral("c.txt"));
        const QString strEmptyDir = m_home->Work() + QStringLiteral("/empty");
        QDir().mkpath(strEmptyDir);

        pPage->DropPaths({strGood, strCaps, strPlain, strEmptyDir, strGood});
        QCOMPARE(Column(pPage->Panel()->List()), (QStringList{strGood, strEmptyDir}));

        pPage->OnBnClickedClear();
        m_rig->answers.m_files.push_back({strPlain, strCaps, strGood});
        pPage->OnBnClickedAddFiles();
        QCOMPARE(Column(pPage->Panel()->List()), (QStringList{strGood}));
        const HVPageUi::SOpenFileRequest& request = m_rig->answers.m_requests.back();
        QVERIFY(request.bResolveLinks);
        QCOMPARE(request.strFilter, QStringLiteral("Encrypted Files (*.hvnc)"));
        QVERIFY(!CPage_Decryption::HasEncryptedExtension(QStringLiteral(".hvnc.txt")));

        // Leaving never asks and keeps the list.
        QVERIFY(pPage->OnKillActive(134));
        QVERIFY(m_rig->answers.m_questions.empty());
        QCOMPARE(pPage->Panel()->Count(), 1);
    }

    void decryptRunsTheFlowAndEmptiesTheList()
    {
        auto pPage = Make<CPage_Decryption>();
        QVERIFY(!Enabled(pPage.get(), CPage_Decryption::IDC_BUTTON_DECRYPT));
        pPage->OnBnClickedDecrypt();  // empty list: nothing happens
        QCOMPARE(m_rig->host.m_nRuns, 0);
        pPage->DropPaths({m_home->MakeFile(QStringLiteral("not-really.hvnc"))});
        QVERIFY(Enabled(pPage.get(), CPage_Decryption::IDC_BUTTON_DECRYPT));
        pPage->OnBnClickedDecrypt();
        QCOMPARE(m_rig->host.m_nRuns, 1);
        QCOMPARE(pPage->Panel()->Count(), 0);
        QVERIFY(m_rig->mngr.m_arrItems.empty());
        for (int nId : {CPage_Decryption::IDC_BUTTON_DECRYPT,
                        CPage_Decryption::IDC_BUTTON_REMOVE,
                        CPage_Decryption::IDC_BUTTON_CLEAR}) {
            QVERIFY(!Enabled(pPage.get(), nId));
        }
    }
};

QTEST_MAIN(TestPageLists)
#include "test_page_lists.moc"
