#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "app/language.h"
#include "operations/reboot_page.h"
#include "operations/restore_page.h"
#include "protocol/packet.h"
#include "support/device_rows.h"
#include "support/ui_context.h"
#include "ui/image_button.h"
#include "ui/wait_dlg.h"

using namespace fk;

namespace {

// An access point (1) with a station (4) bridged to it, two plain access points (2, 3).
// The list starts in descending address order: 4, 3, 2, 1.
void FillBridgedSite(CSqlManagement& store) {
    ap_info_stu ap = test::TestDevice(1, "198.18.0.10", "ap");
    const std::uint8_t link[6] = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::copy(std::begin(link), std::end(link), ap.report.ssid_mac);
    store.SaveDeviceReport(ap);
    store.SaveDeviceReport(test::TestDevice(2, "198.18.0.11", "two"));
    store.SaveDeviceReport(test::TestDevice(3, "198.18.0.12", "three"));
    ap_info_stu station = test::TestDevice(4, "198.18.0.13", "station");
    station.report.work_mode = WORK_MODE_STATION;
    std::copy(std::begin(link), std::end(link), station.report.bridge_mac);
    store.SaveDeviceReport(station);
}

template <typename Page>
struct PageFixture {
    test::TestUiContext ui;
    std::unique_ptr<Page> page;
    int waits_shown = 0;

    PageFixture() {
        FillBridgedSite(*ui.store);
        page = std::make_unique<Page>(ui.context, nullptr);
        // The window's flow starts as a shown window would start it; the test ticks it.
        page->SetWaitRunner([this](CWaitDlg& wait) {
            ++waits_shown;
            wait.StartFlow();
        });
        page->resize(1600, 900);
        page->show();
        page->RefreshPage();
    }
    int Column(ListColumn column) const { return ColumnIndex(page->PageCode(), column); }
    int Row(int n) const {
        return test::RowOfMac(*page->Grid(), Column(ListColumn::Mac), test::TestMac(n));
    }
    std::string StatusCell(int n) const {
        return page->Grid()->CellText(Row(n), Column(ListColumn::Status));
    }
    void Tick(std::initializer_list<int> devices) {
        for (int n : devices) page->Grid()->SetTicked(Row(n), true);
    }
    std::vector<std::string> SentMacs(std::uint16_t type) {
        page->JoinSender();
        std::vector<std::string> out;
        for (const auto& c : ui.link.SentOfType(type)) out.push_back(c.mac);
        return out;
    }
    void TickWait(int times) {
        for (int i = 0; i < times; ++i) page->WaitWindow()->TickNow();
    }
};

}  // namespace

class RebootPageTest : public QObject {
    Q_OBJECT
  private slots:
    void nothingTickedWarnsAndSendsNothing() {
        PageFixture<CRestoreDlg> f;
        QCOMPARE(f.page->ActionButton()->text(), QString::fromStdString(Translate("Restore")));
        f.page->ActionButton()->click();
        const auto records = f.ui.prompter.Records();
        QCOMPARE(records.size(), size_t{1});
        QCOMPARE(records[0].kind, test::PromptRecord::Kind::Warn);
        QCOMPARE(records[0].text, Translate("Please select the devices!"));
        QCOMPARE(records[0].icon, MsgIcon::Warning);
        QVERIFY(records[0].title.empty());
        QCOMPARE(f.waits_shown, 0);
        QVERIFY(f.ui.link.Events().empty());
    }

    void cancelledQuestionSendsNothingAndKeepsTheBatch() {
        PageFixture<CRebootDlg> f;
        f.Tick({2, 3});
        f.page->ActionButton()->click();
        QCOMPARE(f.ui.prompter.Texts(),
                 std::vector<std::string>{Translate("Are you sure you want to restart?")});
        QCOMPARE(f.page->Batch().size(), size_t{2});
        QCOMPARE(f.waits_shown, 0);
        QVERIFY(f.ui.link.Events().empty());
    }

    // The batch in grid order (3, 2, 1), the bridged access point told first.
    void bridgedAccessPointFirstThenTheRestInGridOrder() {
        PageFixture<CRestoreDlg> f;
        f.ui.prompter.AnswerConfirmations(true);
        f.Tick({1, 2, 3});
        f.page->ActionButton()->click();
        QCOMPARE(f.ui.prompter.Texts(),
                 std::vector<std::string>{Translate("Are you sure you want to reset?")});
        QCOMPARE(f.waits_shown, 1);
        const std::vector<std::string> expected = {test::TestMac(1), test::TestMac(3),
                                                   test::TestMac(2)};
        QCOMPARE(f.SentMacs(MSG_RESTORE), expected);
    }

    void statusCellsFollowTheStoreEverySecondForRowsStillShown() {
        PageFixture<CRebootDlg> f;
        f.ui.prompter.AnswerConfirmations(true);
        f.Tick({1, 2, 3});
        f.page->ActionButton()->click();
        const std::string online = StatusName(STATUS_ONLINE);
        const std::string restarting = StatusName(STATUS_RESTARTING);
        f.ui.store->SetStatus(test::TestMac(1), STATUS_RESTARTING);
        f.TickWait(1);
        QCOMPARE(f.StatusCell(1), online);  // half a second: not yet
        f.TickWait(1);
        QCOMPARE(f.StatusCell(1), restarting);
        QCOMPARE(f.StatusCell(2), online);

        // A device that left the store reads as status 0; an unticked row is left alone.
        f.ui.store->DeleteDevice(test::TestMac(2));
        f.ui.store->SetStatus(test::TestMac(4), STATUS_RESTARTING);
        f.TickWait(2);
        QCOMPARE(f.StatusCell(2), StatusName(STATUS_OUTLINE));
        QCOMPARE(f.StatusCell(4), online);

        // Rows filtered off the page are skipped; the rest still follow.
        f.page->SearchBox()->setText("three");
        QCOMPARE(f.page->Grid()->rowCount(), 1);
        f.ui.store->SetStatus(test::TestMac(3), STATUS_RESTARTING);
        f.TickWait(2);
        QCOMPARE(f.page->Grid()->rowCount(), 1);
        QCOMPARE(f.StatusCell(3), restarting);
    }

    // 119 ticks of 500 ms: the window closes on the last, one search follows the three
    // passes, and the list is re-read about a second later.
    void fullWaitClosesSearchesOnceMoreAndRefreshesASecondLater() {
        PageFixture<CRebootDlg> f;
        f.ui.prompter.AnswerConfirmations(true);
        f.Tick({2});
        f.page->ActionButton()->click();
        QSignalSpy accepted(f.page->WaitWindow(), &QDialog::accepted);
        f.TickWait(118);
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(f.ui.link.Searches(), 2);
        f.TickWait(1);
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(f.ui.link.Searches(), 4);
        QCOMPARE(f.ui.link.Releases(), 1);

        f.ui.store->SaveDeviceReport(test::TestDevice(5, "198.18.0.14", "back"));
        f.TickWait(1);  // at once: too early
        QCOMPARE(f.page->Grid()->rowCount(), 4);
        QTRY_COMPARE_WITH_TIMEOUT(f.page->Grid()->rowCount(), 5, 3000);
        QVERIFY(!f.page->BatchRunning());
        QCOMPARE(f.ui.link.Searches(), 4);
    }

    // Closed inside the 200 ms gap: the commands still go out, the mirror stops at once,
    // one search goes out and the list is re-read a second later.
    void earlyCloseStopsTheMirrorKeepsTheSendsAndRefreshes() {
        PageFixture<CRebootDlg> f;
        f.ui.prompter.AnswerConfirmations(true);
        f.Tick({1, 2, 3});
        f.page->ActionButton()->click();
        QSignalSpy rejected(f.page->WaitWindow(), &QDialog::rejected);
        f.page->WaitWindow()->CloseButton()->click();
        QCOMPARE(rejected.count(), 1);
        QCOMPARE(f.ui.link.Searches(), 1);
        QCOMPARE(f.SentMacs(MSG_REBOOT).size(), size_t{3});

        f.ui.store->SetStatus(test::TestMac(1), STATUS_RESTARTING);
        f.ui.store->SaveDeviceReport(test::TestDevice(5, "198.18.0.14", "back"));
        f.TickWait(2);
        QCOMPARE(f.StatusCell(1), StatusName(STATUS_ONLINE));
        QTRY_COMPARE_WITH_TIMEOUT(f.page->Grid()->rowCount(), 5, 3000);
        QCOMPARE(f.StatusCell(1), StatusName(STATUS_RESTARTING));  // read afresh
        QCOMPARE(f.ui.link.Searches(), 1);
    }

    void headerClicksSortByTheirColumnButStatusNever_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("names");
        // tx_power: ap 25, two 5, three 15, station 20; first click sorts ascending.
        QTest::newRow("reboot status")
            << int(PAGE_REBOOT) << "Status" << QStringList{"station", "three", "two", "ap"};
        QTest::newRow("restore status")
            << int(PAGE_RESTORE) << "Status" << QStringList{"station", "three", "two", "ap"};
        QTest::newRow("restore power")
            << int(PAGE_RESTORE) << "Power" << QStringList{"two", "three", "station", "ap"};
        QTest::newRow("reboot location")
            << int(PAGE_REBOOT) << "Location" << QStringList{"ap", "station", "three", "two"};
    }
    void headerClicksSortByTheirColumnButStatusNever() {
        QFETCH(int, code);
        QFETCH(QString, header);
        QFETCH(QStringList, names);
        test::TestUiContext ui;
        FillBridgedSite(*ui.store);
        const std::pair<int, int> powers[] = {{1, 25}, {2, 5}, {3, 15}};
        for (auto [n, power] : powers) {
            ap_info_stu record = ZeroRecord();
            QVERIFY(ui.store->GetDevice(test::TestMac(n), record));
            record.report.tx_power = static_cast<std::uint8_t>(power);
            ui.store->SaveDeviceReport(record);
        }
        std::unique_ptr<CRebootPageBase> page;
        if (code == PAGE_REBOOT)
            page = std::make_unique<CRebootDlg>(ui.context, nullptr);
        else
            page = std::make_unique<CRestoreDlg>(ui.context, nullptr);
        page->resize(1600, 900);
        page->show();
        page->RefreshPage();
        int column = -1;
        for (int c = 0; c < page->Grid()->columnCount(); ++c)
            if (page->Grid()->horizontalHeaderItem(c)->text() == header) column = c;
        QVERIFY(column >= 0);
        test::ClickHeader(*page->Grid(), column);
        const auto shown =
            test::ColumnTexts(*page->Grid(), ColumnIndex(code, ListColumn::Location));
        QStringList got;
        for (const auto& name : shown) got << QString::fromStdString(name);
        QCOMPARE(got, names);
    }
};

QTEST_MAIN(RebootPageTest)
#include "reboot_page_test.moc"
