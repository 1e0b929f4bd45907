#include <QtTest>
#include <map>

#include "support/counting_page.h"
#include "support/ui_context.h"
#include "ui/child_dlg.h"
#include "ui/navigation_table.h"

using namespace fk;

namespace {

struct Container {
    test::TestUiContext ui;
    std::map<int, test::CountingPage*> pages;
    std::vector<int> created;
    std::unique_ptr<CChildDlg> dlg;

    Container() {
        dlg = std::make_unique<CChildDlg>(ui.context, nullptr,
                                          [this](int code, const UiContext&, QWidget* parent) {
                                              created.push_back(code);
                                              auto* page = new test::CountingPage(code, parent);
                                              pages[code] = page;
                                              return page;
                                          });
    }
    std::map<int, int> Refreshes() const {
        std::map<int, int> out;
        for (const auto& [code, page] : pages) out[code] = page->refreshes;
        return out;
    }
};

}  // namespace

class ChildDlgTest : public QObject {
    Q_OBJECT
  private slots:
    void startsOnTheStatusPageWithBothTimersRunning();
    void switchingShowsOnePageAndRefreshesItOnceAfterwards_data();
    void switchingShowsOnePageAndRefreshesItOnceAfterwards();
    void periodicRefreshStopsWhenAutomaticRefreshIsOff();
    void pagerChoicesReachOnlyListPages();
};

void ChildDlgTest::startsOnTheStatusPageWithBothTimersRunning() {
    Container c;
    QCOMPARE(c.created, std::vector<int>(kPageCreationOrder.begin(), kPageCreationOrder.end()));
    QCOMPARE(c.dlg->CurrentPage(), int(PAGE_STATUS));
    for (const auto& [code, page] : c.pages)
        QCOMPARE(page->isVisibleTo(c.dlg.get()), code == PAGE_STATUS);
    QVERIFY(c.dlg->SwitchTimer().isActive());
    QVERIFY(c.dlg->SwitchTimer().isSingleShot());
    QCOMPARE(c.dlg->SwitchTimer().interval(), 100);
    QVERIFY(c.dlg->PeriodicTimer().isActive());
    QCOMPARE(c.dlg->PeriodicTimer().interval(), 30000);
}

// Pages that follow their own run (reboot, upgrade, restore) and pages without a list
// are left out of the periodic refresh.
void ChildDlgTest::switchingShowsOnePageAndRefreshesItOnceAfterwards_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("refreshes");
    QTest::addColumn<int>("periodic");
    QTest::newRow("status") << int(PAGE_STATUS) << 1 << 1;
    QTest::newRow("management") << int(PAGE_MANAGEMENT) << 1 << 1;
    QTest::newRow("bridge") << int(PAGE_BRIDGE) << 1 << 1;
    QTest::newRow("reboot") << int(PAGE_REBOOT) << 1 << 0;
    QTest::newRow("upgrade") << int(PAGE_UPGRADE) << 1 << 0;
    QTest::newRow("restore") << int(PAGE_RESTORE) << 1 << 0;
    QTest::newRow("system tool") << int(PAGE_SYSTEM_TOOL) << 0 << 0;
    QTest::newRow("install help") << int(PAGE_INSTALL_HELP) << 0 << 0;
}

void ChildDlgTest::switchingShowsOnePageAndRefreshesItOnceAfterwards() {
    QFETCH(int, code);
    QFETCH(int, refreshes);
    QFETCH(int, periodic);
    Container c;
    c.dlg->ShowPage(code);
    QCOMPARE(c.dlg->CurrentPage(), code);
    for (const auto& [other, page] : c.pages)
        QCOMPARE(page->isVisibleTo(c.dlg.get()), other == code);
    QVERIFY(c.dlg->SwitchTimer().isActive());
    // Nothing is re-read at the moment of the switch itself.
    for (const auto& [other, count] : c.Refreshes()) QCOMPARE(count, 0);

    c.dlg->OnSwitchTimer();
    QVERIFY(!c.dlg->SwitchTimer().isActive());
    for (const auto& [other, count] : c.Refreshes()) QCOMPARE(count, other == code ? refreshes : 0);

    // The one-shot really is one shot: it ends itself on a real event loop too.
    c.dlg->ShowPage(code);
    QTRY_VERIFY_WITH_TIMEOUT(!c.dlg->SwitchTimer().isActive(), 5000);
    QCOMPARE(c.pages[code]->refreshes, 2 * refreshes);

    // An unknown code changes nothing.
    c.dlg->ShowPage(4242);
    QCOMPARE(c.dlg->CurrentPage(), code);

    const auto before = c.Refreshes();
    c.dlg->OnPeriodicTimer();
    c.dlg->OnPeriodicTimer();
    for (const auto& [other, count] : c.Refreshes())
        QCOMPARE(count - before.at(other), other == code ? 2 * periodic : 0);
    QVERIFY(c.dlg->PeriodicTimer().isActive());
}

void ChildDlgTest::periodicRefreshStopsWhenAutomaticRefreshIsOff() {
    Container c;
    c.dlg->SetAutoRefresh(false);
    c.dlg->OnPeriodicTimer();
    QCOMPARE(c.pages[PAGE_STATUS]->refreshes, 0);
    // The refresh after a switch is not automatic refresh: it still happens.
    c.dlg->OnSwitchTimer();
    QCOMPARE(c.pages[PAGE_STATUS]->refreshes, 1);
    c.dlg->SetAutoRefresh(true);
    c.dlg->OnPeriodicTimer();
    QCOMPARE(c.pages[PAGE_STATUS]->refreshes, 2);
}

void ChildDlgTest::pagerChoicesReachOnlyListPages() {
    Container c;
    for (const int code : kPageCreationOrder) c.dlg->GoToPage(code, 3);
    c.dlg->GoToPage(999, 4);
    for (const auto& [code, page] : c.pages) {
        const bool list_page = code >= PAGE_STATUS && code <= PAGE_RESTORE;
        QCOMPARE(page->pages_asked, list_page ? std::vector<int>{3} : std::vector<int>{});
    }
}

QTEST_MAIN(ChildDlgTest)
#include "child_dlg_test.moc"
