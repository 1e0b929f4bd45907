#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "app/skin_values.h"
#include "operations/status_page.h"
#include "support/device_rows.h"
#include "support/ui_context.h"
#include "ui/page_factory.h"
#include "ui/pager.h"

using namespace fk;

namespace {

constexpr int kIp = 4;
constexpr int kMac = 5;

std::unique_ptr<CStatusDlg> ShownStatusPage(test::TestUiContext& ui) {
    auto page = std::make_unique<CStatusDlg>(ui.context, nullptr);
    page->resize(1600, 900);
    page->show();
    page->RefreshPage();
    return page;
}

QColor Foreground(const CDeviceGrid& grid, int row, int column) {
    return grid.item(row, column)->foreground().color();
}

}  // namespace

class DeviceListPageTest : public QObject {
    Q_OBJECT
  private slots:
    void rowShowsTheRecordInEveryColumn() {
        test::TestUiContext ui;
        ap_info_stu device = test::TestDevice(7, "198.18.0.7", "roof", 6);
        device.report.tdmaEn = 1;
        device.report.channel = 0;
        ui.store->SaveDeviceReport(device);
        auto page = ShownStatusPage(ui);
        const CDeviceGrid& grid = *page->Grid();
        QCOMPARE(grid.rowCount(), 1);
        const std::vector<std::string> expected = {"",
                                                   "1",
                                                   "roof",
                                                   ModelName(6),
                                                   "198.18.0.7",
                                                   test::TestMac(7),
                                                   WorkModeName(WORK_MODE_AP),
                                                   "ssid-7",
                                                   ChannelText(0),
                                                   "2.0.7",
                                                   TransparentBridgeText(6, WORK_MODE_AP, 0),
                                                   TdmaText(6, 1),
                                                   UptimeText(3661),
                                                   ""};
        for (int c = 0; c < static_cast<int>(expected.size()); ++c)
            QCOMPARE(grid.CellText(0, c), expected[c]);
        QVERIFY(!grid.IsTicked(0));
        QCOMPARE(page->OnlineLabel()->text(), QStringLiteral("Online device count:1"));
        QCOMPARE(grid.rowHeight(0), 48);
    }

    void announcedDevicesFillTheLastPageInTheOfflineStyle() {
        test::TestUiContext ui;
        test::FillStore(*ui.store, 2);
        ap_info_stu announced = test::TestDevice(40, "198.18.0.40", "");
        announced.ap_status = kStatusAnnounced;
        ui.link.SetPending({announced});
        auto page = ShownStatusPage(ui);
        CDeviceGrid& grid = *page->Grid();
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.CellText(2, kMac), test::TestMac(40));
        QVERIFY(grid.IsOfflineRow(2));
        QVERIFY(!grid.IsOfflineRow(0));
        const SkinValues& skin = CurrentSkin();
        const QColor offline(RedOf(skin.text_unline_color), GreenOf(skin.text_unline_color),
                             BlueOf(skin.text_unline_color));
        QCOMPARE(Foreground(grid, 2, kIp), offline);
        QVERIFY(Foreground(grid, 0, kIp) != offline);
        // Their names cannot be edited.
        QVERIFY(!grid.BeginEdit(2));
        QVERIFY(!(grid.item(2, 2)->flags() & Qt::ItemIsEditable));
        QVERIFY(grid.item(0, 2)->flags() & Qt::ItemIsEditable);
        // Online count counts stored devices only.
        QCOMPARE(page->OnlineLabel()->text(), QStringLiteral("Online device count:2"));
    }

    void headerClicksFollowTheToggleRule() {
        test::TestUiContext ui;
        // Addresses, MACs and SSIDs in different orders so each sort shows.
        ui.store->SaveDeviceReport(test::TestDevice(3, "198.18.0.12", "a"));
        ui.store->SaveDeviceReport(test::TestDevice(1, "198.18.0.13", "b"));
        ui.store->SaveDeviceReport(test::TestDevice(2, "198.18.0.11", "c"));
        auto page = ShownStatusPage(ui);
        CDeviceGrid& grid = *page->Grid();
        using V = std::vector<std::string>;
        QCOMPARE(test::ColumnTexts(grid, kIp), (V{"198.18.0.13", "198.18.0.12", "198.18.0.11"}));
        QCOMPARE(grid.horizontalHeader()->sortIndicatorSection(), kIp);

        test::ClickHeader(grid, kMac);
        QCOMPARE(test::ColumnTexts(grid, kMac),
                 (V{test::TestMac(1), test::TestMac(2), test::TestMac(3)}));
        QCOMPARE(grid.horizontalHeader()->sortIndicatorSection(), kMac);
        QCOMPARE(grid.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);

        test::ClickHeader(grid, 7);  // SSID, descending now
        QCOMPARE(test::ColumnTexts(grid, 7), (V{"ssid-3", "ssid-2", "ssid-1"}));

        // Tick, serial and Operate headers do not sort and do not flip the direction.
        for (int column : {0, 1, 13}) test::ClickHeader(grid, column);
        QCOMPARE(test::ColumnTexts(grid, 7), (V{"ssid-3", "ssid-2", "ssid-1"}));

        // A refresh keeps the column and the direction of the last click.
        page->RefreshPage();
        QCOMPARE(test::ColumnTexts(grid, 7), (V{"ssid-3", "ssid-2", "ssid-1"}));
        test::ClickHeader(grid, 7);
        QCOMPARE(test::ColumnTexts(grid, 7), (V{"ssid-1", "ssid-2", "ssid-3"}));
    }

    void thirtyOneDevicesPageByFifteen() {
        test::TestUiContext ui;
        test::FillStore(*ui.store, 31);
        std::vector<ap_info_stu> announced;
        for (int i = 0; i < 20; ++i) {
            announced.push_back(test::TestDevice(100 + i, "198.18.1." + std::to_string(i + 1), ""));
            announced.back().ap_status = kStatusAnnounced;
        }
        ui.link.SetPending(announced);
        auto page = ShownStatusPage(ui);
        page->PageSizeBox()->setCurrentIndex(page->PageSizeBox()->findText("15"));
        // Announced devices only ever fill the free rows of the last page.
        QCOMPARE(page->Grid()->rowCount(), 15);
        QVERIFY(!page->Grid()->IsOfflineRow(14));
        QCOMPARE(page->Pager()->Count(), 3);
        QCOMPARE(page->Pager()->Current(), 1);

        page->Pager()->Choose(3);
        QCOMPARE(page->Grid()->rowCount(), 15);
        QCOMPARE(page->Grid()->CellText(0, 1), std::string("31"));
        QVERIFY(!page->Grid()->IsOfflineRow(0));
        QVERIFY(page->Grid()->IsOfflineRow(1));
        QVERIFY(page->Grid()->IsOfflineRow(14));
        QCOMPARE(page->State().CurrentPage(), 3);
        QCOMPARE(page->OnlineLabel()->text(), QStringLiteral("Online device count:31"));

        // Typing a search text goes back to page 1 and filters.
        ui.link.SetPending({});
        QTest::keyClicks(page->SearchBox(), "dev3");
        QCOMPARE(page->State().CurrentPage(), 1);
        QCOMPARE(page->Grid()->rowCount(), 2);  // dev3 and dev30
        QCOMPARE(ui.link.LastPendingFilter(), std::string("dev3"));
        QCOMPARE(page->OnlineLabel()->text(), QStringLiteral("Online device count:2"));
    }

    void aShrunkListShowsPageOneOfTheNewCount() {
        test::TestUiContext ui;
        test::FillStore(*ui.store, 31);
        auto page = ShownStatusPage(ui);
        page->PageSizeBox()->setCurrentIndex(page->PageSizeBox()->findText("15"));
        page->GoToPage(3);
        for (int i = 1; i <= 20; ++i) ui.store->DeleteDevice(test::TestMac(i));
        page->RefreshPage();
        QCOMPARE(page->Grid()->rowCount(), 0);
        QCOMPARE(page->Pager()->Count(), 1);
        QCOMPARE(page->Pager()->Current(), 1);
    }

    void tickHeaderTicksAndClearsEveryRow() {
        test::TestUiContext ui;
        test::FillStore(*ui.store, 3);
        auto page = ShownStatusPage(ui);
        CDeviceGrid& grid = *page->Grid();
        test::ClickCell(grid, 1, 0);
        QCOMPARE(grid.TickedRows(), std::vector<int>{1});
        test::ClickCell(grid, 1, 0);
        QVERIFY(grid.TickedRows().empty());

        test::ClickHeader(grid, 0);
        QCOMPARE(grid.TickedRows(), (std::vector<int>{0, 1, 2}));
        QVERIFY(grid.HeaderTicked());
        // A refresh clears the ticks but the select-all state stays, so the next
        // header click clears.
        page->RefreshPage();
        QVERIFY(grid.TickedRows().empty());
        QVERIFY(grid.HeaderTicked());
        test::ClickCell(grid, 0, 0);
        test::ClickHeader(grid, 0);
        QVERIFY(grid.TickedRows().empty());
        QVERIFY(!grid.HeaderTicked());
    }

    void pagerShowsAWindowAroundTheCurrentPage_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<int>("shown");
        QTest::newRow("empty list") << 1 << 0 << QList<int>{} << 1;
        QTest::newRow("few pages") << 2 << 3 << QList<int>{1, 2, 3} << 2;
        QTest::newRow("start of many") << 1 << 20 << QList<int>{1, 2, 3, 4, 5, 6, 7} << 1;
        QTest::newRow("middle of many") << 10 << 20 << QList<int>{7, 8, 9, 10, 11, 12, 13} << 10;
        QTest::newRow("end of many") << 20 << 20 << QList<int>{14, 15, 16, 17, 18, 19, 20} << 20;
        QTest::newRow("list shrank under it") << 5 << 2 << QList<int>{1, 2} << 1;
    }
    void pagerShowsAWindowAroundTheCurrentPage() {
        QFETCH(int, current);
        QFETCH(int, count);
        QFETCH(QList<int>, numbers);
        QFETCH(int, shown);
        CPager pager;
        pager.SetPages(current, count);
        const std::vector<int> visible = pager.VisibleNumbers();
        QCOMPARE(QList<int>(visible.begin(), visible.end()), numbers);
        QCOMPARE(pager.Current(), shown);
        QSignalSpy chosen(&pager, &CPager::pageChosen);
        pager.findChild<QPushButton*>("pagerNext")->click();
        pager.findChild<QPushButton*>("pagerPrev")->click();
        pager.Choose(count + 1);
        pager.Choose(0);
        QList<int> asked;
        for (const auto& args : chosen) asked << args[0].toInt();
        QList<int> expected;
        if (shown < count) expected << shown + 1;
        if (shown > 1) expected << shown - 1;
        QCOMPARE(asked, expected);
    }

    void everyPageHasItsColumns_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("headers");
        QTest::newRow("management")
            << int(PAGE_MANAGEMENT)
            << QStringList{"Serial", "Location", "Type",       "IP",    "MAC",    "OperationMode",
                           "SSID",   "Channel",  "SecureMode", "Power", "Operate"};
        QTest::newRow("bridge") << int(PAGE_BRIDGE)
                                << QStringList{"Serial",     "Location",      "Type",   "IP",
                                               "MAC",        "OperationMode", "SSID",   "Channel",
                                               "SecureMode", "Status",        "Operate"};
        QTest::newRow("reboot") << int(PAGE_REBOOT)
                                << QStringList{"\u2610",  "Serial",     "Location",      "Type",
                                               "IP",      "MAC",        "OperationMode", "SSID",
                                               "Channel", "SecureMode", "Status"};
        QTest::newRow("upgrade") << int(PAGE_UPGRADE)
                                 << QStringList{"\u2610",  "Serial", "Location",      "Type",
                                                "IP",      "MAC",    "OperationMode", "SSID",
                                                "Version", "Status"};
        QTest::newRow("restore") << int(PAGE_RESTORE)
                                 << QStringList{"\u2610",  "Serial",     "Location",      "Type",
                                                "IP",      "MAC",        "OperationMode", "SSID",
                                                "Channel", "SecureMode", "Power",         "Status"};
    }
    void everyPageHasItsColumns() {
        QFETCH(int, code);
        QFETCH(QStringList, headers);
        test::TestUiContext ui;
        test::FillStore(*ui.store, 2);
        std::unique_ptr<CDeviceListPage> page(
            dynamic_cast<CDeviceListPage*>(CreatePage(code, ui.context, nullptr)));
        QVERIFY(page);
        QCOMPARE(page->PageCode(), code);
        QStringList got;
        for (int c = 0; c < page->Grid()->columnCount(); ++c)
            got << page->Grid()->horizontalHeaderItem(c)->text();
        QCOMPARE(got, headers);
        page->RefreshPage();
        QCOMPARE(page->Grid()->rowCount(), 2);
        // Starts sorted descending by address, on the page's IP column.
        const int ip = headers.indexOf("IP");
        QCOMPARE(page->State().SortColumn(), ip);
        QCOMPARE(page->Grid()->CellText(0, ip), std::string("198.18.0.11"));
        // Only the status page shows devices that have not reported yet.
        ap_info_stu announced = test::TestDevice(40, "198.18.0.40", "");
        announced.ap_status = kStatusAnnounced;
        ui.link.SetPending({announced});
        page->RefreshPage();
        QCOMPARE(page->Grid()->rowCount(), 2);
    }
};

QTEST_MAIN(DeviceListPageTest)
#include "device_list_page_test.moc"
