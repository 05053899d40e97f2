#include "ui/CHPageDlg.h"
#include "ui/CHPropertiesPages.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {
// A page that records what the container asks of it and answers as told.
class CProbePage : public CHPageDlg
{
public:
    explicit CProbePage(int nId, QStringList* pLog)
        : CHPageDlg(nId)
        , m_pLog(pLog)
    {
    }

    bool OnSetActive() override
    {
        *m_pLog << QStringLiteral("active %1").arg(PageId());
        return true;
    }
    bool OnKillActive(int nNext) override
    {
        *m_pLog << QStringLiteral("leave %1 for %2").arg(PageId()).arg(nNext);
        return m_onLeave ? m_onLeave(nNext) : m_bMayLeave;
    }

    bool m_bMayLeave = true;
    std::function<bool(int)> m_onLeave;

protected:
    bool OnCreatePage() override
    {
        *m_pLog << QStringLiteral("create %1").arg(PageId());
        return true;
    }
    void OnDestroyPage() override { *m_pLog << QStringLiteral("destroy %1").arg(PageId()); }

private:
    QStringList* m_pLog;
};

// Delivers the queued switch requests (and any they queue in turn).
void Drain()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::processEvents();
    }
}

struct SFixture
{
    SFixture()
    {
        for (int nId : {134, 105, 135}) {
            auto* pPage = new CProbePage(nId, &log);
            pages.push_back(pPage);
            container.InsertPage(pPage);
        }
        container.SetPage(0);
        log.clear();
    }
    QStringList log;  // outlives the container, whose pages write into it when they go
    CHPropertiesPages container;
    std::vector<CProbePage*> pages;
};
}  // namespace

class TestUiPages : public QObject
{
    Q_OBJECT
private slots:
    void pagesAreBuiltWhenFirstShown()
    {
        QStringList log;
        CHPropertiesPages container;
        container.InsertPage(new CProbePage(134, &log));
        container.InsertPage(new CProbePage(105, &log));
        QVERIFY(!container.IsPageCreated(0));
        QCOMPARE(container.GetCurrentPageDlg(), -1);
        QVERIFY(container.SetPage(1));
        QCOMPARE(log, (QStringList{"create 105", "active 105"}));
        QVERIFY(!container.IsPageCreated(0));
        QVERIFY(container.IsPageCreated(1));
        QCOMPARE(container.GetCurrentPageDlg(), 105);
        QCOMPARE(container.PageIndex(105), 1);
        QCOMPARE(container.GetPageDlgHandle(1)->PageId(), 105);
        QVERIFY(!container.SetPage(2));
        QVERIFY(container.GetPageDlgHandle(2) == nullptr);
    }

    void switchIsQueuedAndAsksFirst()
    {
        SFixture f;
        QSignalSpy changed(&f.container, &CHPropertiesPages::PageChanged);
        f.container.PostPageSwitch(135);
        QCOMPARE(f.container.GetCurrentPageDlg(), 134);  // nothing happens before the event loop runs
        QVERIFY(f.log.isEmpty());
        Drain();
        QCOMPARE(f.container.GetCurrentPageDlg(), 135);
        QCOMPARE(f.log, (QStringList{"leave 134 for 135", "create 135", "active 135"}));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(1).toInt(), 135);
    }

    void refusingPageStays()
    {
        SFixture f;
        f.pages[0]->m_bMayLeave = false;
        QSignalSpy refused(&f.container, &CHPropertiesPages::PageSwitchRefused);
        f.container.PostPageSwitch(105);
        Drain();
        QCOMPARE(refused.count(), 1);
        QCOMPARE(f.container.GetCurrentPageDlg(), 134);
        QCOMPARE(f.log, (QStringList{"leave 134 for 105"}));
        QVERIFY(!f.container.IsPageCreated(1));
        // Asked again on the next request, and this time it agrees.
        f.pages[0]->m_bMayLeave = true;
        f.container.PostPageSwitch(105);
        Drain();
        QCOMPARE(f.container.GetCurrentPageDlg(), 105);
    }

    void unknownOrCurrentPageAsksNothing()
    {
        SFixture f;
        f.container.OnPageSwitchRequest(4711);
        f.container.OnPageSwitchRequest(134);
        QCOMPARE(f.container.GetCurrentPageDlg(), 134);
        QVERIFY(f.log.isEmpty());
    }

    void pageThatPostsTheSameSwitchWhileAskedIsAskedOnce()
    {
        // The selection page's way: on yes it posts the switch itself and allows.
        SFixture f;
        f.pages[0]->m_onLeave = [&f](int nNext) {
            f.container.PostPageSwitch(nNext);
            return true;
        };
        f.container.PostPageSwitch(135);
        Drain();
        QCOMPARE(f.container.GetCurrentPageDlg(), 135);
        Drain();
        QCOMPARE(f.log, (QStringList{"leave 134 for 135", "create 135", "active 135"}));
    }

    void requestArrivingWhileAskingIsCarriedOutAfterwards()
    {
        SFixture f;
        // The question runs the event loop (a message box would); another request comes in meanwhile.
        f.pages[0]->m_onLeave = [&f](int) {
            f.container.OnPageSwitchRequest(135);
            return true;
        };
        f.container.OnPageSwitchRequest(105);
        QCOMPARE(f.container.GetCurrentPageDlg(), 105);
        Drain();
        QCOMPARE(f.container.GetCurrentPageDlg(), 135);
        QCOMPARE(
            f.log,
            (QStringList{
                "leave 134 for 105", "create 105", "active 105", "leave 105 for 135", "create 135", "active 135"}));
    }

    void requestForTheRefusedPageIsDropped()
    {
        SFixture f;
        f.pages[0]->m_onLeave = [&f](int nNext) {
            f.container.OnPageSwitchRequest(nNext);
            return false;
        };
        f.container.OnPageSwitchRequest(105);
        Drain();
        QCOMPARE(f.container.GetCurrentPageDlg(), 134);
        QCOMPARE(f.log, (QStringList{"leave 134 for 105"}));
    }

    void pageControlsFollowTheContainer()
    {
        // A page placed for its 400 x 300 template, an OK button in the bottom-right corner.
        class CTemplatePage : public CHPageDlg
        {
        public:
            CTemplatePage()
                : CHPageDlg(105)
            {
                SetTemplateSize(QSize(400, 300));
            }
            QWidget* m_pOk = nullptr;

        protected:
            bool OnCreatePage() override
            {
                m_pOk = new QWidget(this);
                m_pOk->setGeometry(300, 250, 80, 24);
                AddAnchor(m_pOk, BOTTOM_RIGHT, BOTTOM_RIGHT);
                return true;
            }
        };
        CHPropertiesPages container;
        container.SetControlVisible(false);
        container.resize(600, 400);
        auto* pPage = new CTemplatePage;
        container.InsertPage(pPage);
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));
        QVERIFY(container.SetPage(0));
        Drain();
        QCOMPARE(pPage->size(), QSize(600, 400));
        QCOMPARE(pPage->m_pOk->geometry(), QRect(500, 350, 80, 24));
        container.resize(500, 350);
        Drain();
        QCOMPARE(pPage->m_pOk->geometry(), QRect(400, 300, 80, 24));
    }

    void destroyedPagesAreReplacedAndBuiltAfresh()
    {
        SFixture f;
        f.container.SetPage(1);
        f.container.SetPage(0);
        f.log.clear();
        QVERIFY(f.container.IsPageCreated(1));
        QVERIFY(f.container.ReplacePage(1, new CProbePage(105, &f.log)));
        QCOMPARE(f.log, (QStringList{"destroy 105"}));
        QVERIFY(!f.container.IsPageCreated(1));
        QCOMPARE(f.container.GetPageCount(), 3);
        f.container.PostPageSwitch(105);
        Drain();
        QCOMPARE(f.container.GetCurrentPageDlg(), 105);
        QVERIFY(f.container.IsPageCreated(1));
        QVERIFY(f.container.DestroyPage(2) && f.container.GetPageDlgHandle(2) == nullptr);
        QCOMPARE(f.container.PageIndex(135), -1);
    }
};

QTEST_MAIN(TestUiPages)
#include "test_ui_pages.moc"
