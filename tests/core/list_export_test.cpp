#include "operations/list_export.h"

#include <gtest/gtest.h>

#include <optional>

#include "operations/site_report.h"
#include "store/display_codes.h"
#include "store_test_support.h"
#include "support/recording_link.h"

namespace fk::testing {
namespace {

constexpr int kDevices = 40;  // more than the largest page but one

std::string IpOf(int n) {
    return "198.18.0." + std::to_string(10 + n);
}

class ListExport : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        // MACs run against the addresses, so an order by either shows which it is.
        for (int n = 1; n <= kDevices; ++n)
            store->SaveDeviceReport(MakeDevice(MacOf(100 - n), IpOf(n), "dev" + std::to_string(n)));
    }

    static std::vector<std::string> Column(const std::vector<TextRow>& rows, std::size_t at) {
        std::vector<std::string> out;
        for (const TextRow& row : rows) out.push_back(row.at(at));
        return out;
    }

    test::RecordingLink link;
};

ap_info_stu Announced(int n) {
    ap_info_stu record = MakeDevice(MacOf(200 + n), "198.18.1." + std::to_string(n), "");
    record.ap_status = kStatusAnnounced;
    return record;
}

TEST_F(ListExport, EveryMatchingRowInThePagesOrderNotOnlyTheShownPage) {
    struct Case {
        const char* name;
        int page_code;
        std::string search;
        std::optional<ListColumn> clicked;  // none: the opening order
        std::size_t rows;
        std::string first_mac;
        std::string last_mac;
    } cases[] = {
        {"opening order is by address, descending", PAGE_STATUS, "", std::nullopt, kDevices,
         MacOf(100 - kDevices), MacOf(99)},
        {"a header click sorts ascending", PAGE_REBOOT, "", ListColumn::Mac, kDevices,
         MacOf(100 - kDevices), MacOf(99)},
        {"the search text filters", PAGE_UPGRADE, "dev1", ListColumn::Ip, 11, MacOf(99), MacOf(81)},
        {"no match, no rows", PAGE_MANAGEMENT, "nowhere", std::nullopt, 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CListState state(c.page_code);
        state.SetPageSize(15);
        state.SetSearchText(c.search);
        int sort_column = ColumnIndex(c.page_code, ListColumn::Ip);
        if (c.clicked) {
            sort_column = ColumnIndex(c.page_code, *c.clicked);
            bool ascending = false;
            ASSERT_TRUE(state.HeaderClicked(sort_column, ascending));
        }
        state.Remember(2, sort_column);  // the user looks at page 2

        const auto rows = ExportRows(*store, nullptr, state);
        const TextRow header = ExportHeader(c.page_code);
        ASSERT_EQ(rows.size(), c.rows);
        if (rows.empty()) continue;
        const auto mac_at = static_cast<std::size_t>(
            std::find(header.begin(), header.end(), "MAC") - header.begin());
        ASSERT_LT(mac_at, header.size());
        EXPECT_EQ(rows.front().at(mac_at), c.first_mac);
        EXPECT_EQ(rows.back().at(mac_at), c.last_mac);
        // Numbered through, as one long page would be.
        EXPECT_EQ(rows.front().at(0), "1");
        EXPECT_EQ(rows.back().at(0), std::to_string(c.rows));
        for (const TextRow& row : rows) EXPECT_EQ(row.size(), header.size());
    }
}

TEST_F(ListExport, AnnouncedDevicesFollowOnTheStatusPageOnly) {
    link.SetPending({Announced(1), Announced(2)});
    const struct {
        int page_code;
        IDeviceLink* pending;
        std::size_t rows;
    } cases[] = {{PAGE_STATUS, &link, kDevices + 2}, {PAGE_REBOOT, nullptr, kDevices}};
    for (const auto& c : cases) {
        const auto rows = ExportRows(*store, c.pending, CListState(c.page_code));
        ASSERT_EQ(rows.size(), c.rows) << c.page_code;
        const std::size_t mac_at = static_cast<std::size_t>(
            ColumnIndex(c.page_code, ListColumn::Mac) - 1);  // less the tick column
        EXPECT_EQ(rows.back().at(mac_at), c.pending ? MacOf(202) : MacOf(99)) << c.page_code;
    }
}

TEST(ListText, CellsThatWouldBreakTheirFormatSurviveIt) {
    const struct {
        std::string cell;
        std::string csv;
        std::string tab;
    } cases[] = {
        {"roof", "roof", "roof"},
        {"north, mast 2", "\"north, mast 2\"", "north, mast 2"},
        {"the \"old\" one", "\"the \"\"old\"\" one\"", "the \"old\" one"},
        {"tab\there", "tab\there", "tab here"},
        {"two\r\nlines", "\"two\r\nlines\"", "two  lines"},
        {"楼顶", "楼顶", "楼顶"},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"", "'=HYPERLINK(\"x\")"},
        {"+1", "'+1", "'+1"},
        {"@sum", "'@sum", "'@sum"},
        {"-cmd", "'-cmd", "'-cmd"},
        {"-65", "-65", "-65"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListCsv({"Location", "IP"}, {{c.cell, "198.18.0.1"}}),
                  "Location,IP\n" + c.csv + ",198.18.0.1\n")
            << c.cell;
        EXPECT_EQ(TabSeparatedRows({{c.cell, "198.18.0.1"}, {"b", "c"}}),
                  c.tab + "\t198.18.0.1\nb\tc\n")
            << c.cell;
    }
}

TEST_F(ListExport, SiteReportListsAdaptersAndEveryRadioInAddressOrder) {
    adapter_info_stu adapter;
    adapter.name = adapter.description = "eth0";
    adapter.mac = {0x02, 0, 0, 0, 0, 0x01};
    adapter.addresses = {{"198.18.0.1", "255.255.255.0"}, {"198.19.0.1", "255.255.255.0"}};
    link.SetAdapters({adapter});
    link.SetPending({Announced(1)});
    // On the second subnet: after every radio of the first, not between them.
    store->SaveDeviceReport(MakeDevice(MacOf(150), "198.19.0.5", "far"));

    const SiteReport report = BuildSiteReport(*store, link, "2026-12-10 05:30");
    EXPECT_EQ(report.date, "2026-12-10 05:30");
    EXPECT_EQ(report.adapter_rows,
              (std::vector<TextRow>{{"1", "eth0", "02:00:00:00:00:01", "198.18.0.1--198.19.0.1"}}));
    EXPECT_EQ(report.radio_header, (TextRow{"MAC", "IP", "Location", "Type", "Version", "SSID",
                                            "Channel", "OperationMode"}));
    ASSERT_EQ(report.radio_rows.size(), static_cast<std::size_t>(kDevices + 2));
    EXPECT_EQ(report.radio_rows.front(), (TextRow{MacOf(99), IpOf(1), "dev1", ModelName(3), "1.2.3",
                                                  "field", ChannelText(6), WorkModeName(1)}));
    EXPECT_EQ(report.radio_rows[kDevices - 1].at(1), IpOf(kDevices));
    EXPECT_EQ(report.radio_rows[kDevices].at(0), MacOf(201));  // announced, on 198.18.1.1
    EXPECT_EQ(report.radio_rows.back().at(0), MacOf(150));
}

}  // namespace
}  // namespace fk::testing
