#include <QHeaderView>
#include <QtTest>

#include "support/language_pack.h"
#include "support/ui_context.h"
#include "ui/device_grid.h"
#include "ui/image_button.h"
#include "ui/skin_static.h"
#include "ui/system_tool_page.h"

using namespace fk;

namespace {

adapter_info_stu Adapter(std::string name, std::string description, std::array<std::uint8_t, 6> mac,
                         std::vector<std::string> ips) {
    adapter_info_stu a;
    a.state = 1;
    a.name = std::move(name);
    a.description = std::move(description);
    a.mac = mac;
    for (auto& ip : ips) a.addresses.push_back({ip, "255.255.255.0"});
    return a;
}

const adapter_info_stu kWired =
    Adapter("eth0", "Intel Ethernet", {0x00, 0x1b, 0x21, 0x0a, 0xbc, 0xde}, {"198.18.0.1"});
const adapter_info_stu kMulti = Adapter("eth1", "USB adapter", {0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03},
                                        {"198.19.0.1", "198.19.1.1", "198.19.2.1"});
const adapter_info_stu kUnnamed = Adapter("wlan0", "", {0, 0, 0, 0, 0, 0x0f}, {"198.18.5.5"});

std::vector<std::string> Row(const CDeviceGrid& grid, int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < grid.columnCount(); ++c) cells.push_back(grid.CellText(row, c));
    return cells;
}

}  // namespace

class SystemToolPageTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void rowsShowPositionDescriptionMacAndAddresses_data();
    void rowsShowPositionDescriptionMacAndAddresses();
    void headersAreTranslatedWithTheirWidths();
    void refreshFollowsAdaptersComingAndGoing();
    void refreshesItselfEveryFiveSeconds();
    void diagnoseSearchesThenListsEachCheckWithItsFix();

  private:
    QTemporaryDir dir_;
};

void SystemToolPageTest::initTestCase() {
    QVERIFY(test::UseLanguagePack(
        dir_.path(), {{"Adapter count:%d", "Adapters: %d"}, {"Description", "Beschreibung"}}));
}

void SystemToolPageTest::rowsShowPositionDescriptionMacAndAddresses_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("which");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("one address, no separator")
        << 0 << 0 << QStringList{"1", "Intel Ethernet", "00:1b:21:0a:bc:de", "198.18.0.1"};
    QTest::newRow("three addresses joined, none after the last")
        << 1 << 1
        << QStringList{"2", "USB adapter", "aa:bb:cc:01:02:03",
                       "198.19.0.1--198.19.1.1--198.19.2.1"};
    QTest::newRow("no description falls back to the interface name")
        << 2 << 2 << QStringList{"3", "wlan0", "00:00:00:00:00:0f", "198.18.5.5"};
}

void SystemToolPageTest::rowsShowPositionDescriptionMacAndAddresses() {
    QFETCH(int, position);
    QFETCH(int, which);
    QFETCH(QStringList, cells);
    const adapter_info_stu adapters[] = {kWired, kMulti, kUnnamed};
    const auto row = AdapterRowCells(position, adapters[which]);
    for (int c = 0; c < 4; ++c) QCOMPARE(QString::fromStdString(row[c]), cells[c]);

    // The page shows the same cells in the same place.
    test::TestUiContext ui;
    ui.link.SetAdapters({kWired, kMulti, kUnnamed});
    CSystemToolDlg page(ui.context);
    QCOMPARE(page.Grid()->rowCount(), 3);
    const auto shown = Row(*page.Grid(), position);
    for (int c = 0; c < 4; ++c) QCOMPARE(QString::fromStdString(shown[c]), cells[c]);
}

void SystemToolPageTest::headersAreTranslatedWithTheirWidths() {
    test::TestUiContext ui;
    ui.link.SetAdapters({kWired, kMulti, kUnnamed});
    CSystemToolDlg page(ui.context);
    page.RefreshAdapters();
    const QStringList headers = {"ID", "Beschreibung", "MAC", "IP"};
    const int widths[] = {60, 400, 140};
    QCOMPARE(page.Grid()->columnCount(), 4);
    for (int c = 0; c < 4; ++c) QCOMPARE(page.Grid()->horizontalHeaderItem(c)->text(), headers[c]);
    for (int c = 0; c < 3; ++c) QCOMPARE(page.Grid()->columnWidth(c), widths[c]);
    QCOMPARE(page.PageCode(), int(PAGE_SYSTEM_TOOL));
}

void SystemToolPageTest::refreshFollowsAdaptersComingAndGoing() {
    test::TestUiContext ui;
    ui.link.SetAdapters({kWired, kMulti});
    CSystemToolDlg page(ui.context);
    QCOMPARE(ui.link.AdapterQueries(), 1);
    QCOMPARE(page.Grid()->rowCount(), 2);
    QCOMPARE(page.CountLabel()->text(), QString("Adapters: 2"));

    // Unplugging the first adapter: its row goes, the other moves up and is renumbered.
    ui.link.SetAdapters({kMulti});
    page.RefreshAdapters();
    QCOMPARE(page.Grid()->rowCount(), 1);
    QCOMPARE(page.Grid()->CellText(0, 0), std::string("1"));
    QCOMPARE(page.Grid()->CellText(0, 1), std::string("USB adapter"));
    QCOMPARE(page.CountLabel()->text(), QString("Adapters: 1"));

    // No adapters at all (or no adapter source): an empty grid and a count of 0.
    ui.link.SetAdapters({});
    page.RefreshAdapters();
    QCOMPARE(page.Grid()->rowCount(), 0);
    QCOMPARE(page.CountLabel()->text(), QString("Adapters: 0"));
    QCOMPARE(ui.link.AdapterQueries(), 3);
    // Reading adapters sends nothing to any device.
    QVERIFY(ui.link.Sent().empty());
}

void SystemToolPageTest::refreshesItselfEveryFiveSeconds() {
    test::TestUiContext ui;
    CSystemToolDlg page(ui.context);
    QVERIFY(page.RefreshTimer().isActive());
    QCOMPARE(page.RefreshTimer().interval(), 5000);
    // The container never refreshes this page; its own refresh slot is the timer's.
    ui.link.SetAdapters({kWired});
    page.RefreshPage();
    QCOMPARE(page.Grid()->rowCount(), 0);
    // Driven by its own timer, shortened here so the test need not wait five seconds.
    page.RefreshTimer().setInterval(10);
    QTRY_COMPARE_WITH_TIMEOUT(page.Grid()->rowCount(), 1, 10000);
    QCOMPARE(page.CountLabel()->text(), QString("Adapters: 1"));
}

void SystemToolPageTest::diagnoseSearchesThenListsEachCheckWithItsFix() {
    test::TestUiContext ui;
    adapter_info_stu link_local = Adapter("eth2", "", {0, 0, 0, 0, 0, 2}, {"169.254.7.9"});
    link_local.addresses[0].mask = "255.255.0.0";
    ui.link.SetAdapters({kWired, link_local});
    ap_info_stu foreign = ZeroRecord();
    foreign.SetMac("02:46:4b:00:00:30");
    const std::uint8_t ip[4] = {192, 168, 1, 20};
    std::copy(std::begin(ip), std::end(ip), foreign.report.ip);
    foreign.ap_status = kStatusAnnounced;
    ui.link.SetPending({foreign});
    const std::string fix =
        "This PC has no address in 192.168.1.0/24; add one to eth0, for "
        "example 192.168.1.250/24";
    ui.link.SetUnreachable("192.168.1.20", fix);
    CSystemToolDlg page(ui.context);
    page.resize(1200, 800);
    page.show();
    QVERIFY(!page.DiagnosisGrid()->isVisible());

    page.DiagnoseButton()->click();
    QCOMPARE(ui.link.Searches(), 1);
    QVERIFY(!page.DiagnoseButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(page.DiagnosisGrid()->isVisible(), 10000);
    QVERIFY(page.DiagnoseButton()->isEnabled());

    const CDeviceGrid& grid = *page.DiagnosisGrid();
    QCOMPARE(grid.rowCount(), static_cast<int>(page.DiagnosisLines().size()));
    const struct {
        std::string finding_part;
        std::string status;
        std::string fix_part;
    } expected[] = {
        {"eth0 is up with 198.18.0.1/24", "ok", ""},
        {"eth2 has only the link-local address 169.254.7.9/16", "note", "dev eth2"},
        {"02:46:4b:00:00:30 answers from 192.168.1.20", "blocking", fix},
    };
    for (const auto& e : expected) {
        int found = -1;
        for (int row = 0; row < grid.rowCount(); ++row)
            if (grid.CellText(row, 2).find(e.finding_part) != std::string::npos) found = row;
        QVERIFY2(found >= 0, e.finding_part.c_str());
        QCOMPARE(grid.CellText(found, 1), e.status);
        QVERIFY(grid.CellText(found, 3).find(e.fix_part) != std::string::npos);
        // Only what stands between the PC and a radio is marked, with its fix.
        QCOMPARE(grid.RowWarning(found), e.status == "blocking" ? e.fix_part : std::string());
    }
    QVERIFY(ui.link.Sent().empty());
}

QTEST_MAIN(SystemToolPageTest)
#include "system_tool_page_test.moc"
