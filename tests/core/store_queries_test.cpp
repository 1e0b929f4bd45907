#include <cstring>

#include "store_test_support.h"

namespace fk::testing {
namespace {

struct PageCase {
    int devices;
    int size;
    int page;
    std::size_t on_page;
    int pages;
};

class StorePageTest : public StoreTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(StorePageTest, SplitsTheListIntoPagesAndCountsEveryRow) {
    const PageCase& c = GetParam();
    for (int n = 0; n < c.devices; ++n) {
        ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(n), "198.18.0." + std::to_string(n))));
    }
    std::vector<ap_info_stu> list;
    int pages = 0, online = 0;
    ASSERT_TRUE(store->QueryDevicePage(0, list, pages, online, c.size, c.page, true, ""));
    EXPECT_EQ(list.size(), c.on_page);
    EXPECT_EQ(pages, c.pages);
    EXPECT_EQ(online, c.devices);
    // Sorted by MAC, page p starts with device (p-1)*size.
    if (!list.empty()) {
        EXPECT_EQ(list[0].MacText(), MacOf((c.page - 1) * c.size));
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, StorePageTest,
                         ::testing::Values(PageCase{31, 15, 1, 15, 3}, PageCase{31, 15, 2, 15, 3},
                                           PageCase{31, 15, 3, 1, 3}, PageCase{31, 15, 4, 0, 3},
                                           PageCase{30, 15, 2, 15, 2}, PageCase{0, 15, 1, 0, 0},
                                           PageCase{5, 15, 0, 0, 1}));

TEST_F(StoreTest, PageQueryRefusesABadSortOrPageSize) {
    std::vector<ap_info_stu> list;
    int pages = 7, online = 7;
    EXPECT_FALSE(store->QueryDevicePage(14, list, pages, online, 15, 1, true, ""));
    EXPECT_FALSE(store->QueryDevicePage(-1, list, pages, online, 15, 1, true, ""));
    EXPECT_FALSE(store->QueryDevicePage(0, list, pages, online, 0, 1, true, ""));
    EXPECT_EQ(pages, 7);
    EXPECT_EQ(online, 7);
    std::vector<config_otherwl_basic> scans;
    EXPECT_FALSE(store->GetScanList(5, scans, true));
}

TEST(StoreIpNumberTest, ReadsTheOctetsAsOneLittleEndianNumber) {
    EXPECT_EQ(IpNumber("10.0.0.5"), 83886090u);
    EXPECT_EQ(IpNumber("192.168.0.2"), 33597632u);
    EXPECT_EQ(IpNumber("192.168.1.20"), 335653056u);
    EXPECT_EQ(IpNumber("255.255.255.255"), 4294967295u);
    EXPECT_EQ(IpNumber(""), 0u);
}

struct SortCase {
    const char* name;
    int sort;
    bool ascending;
    std::vector<int> order;  // device numbers, first to last
};

// Device n: address, name, channel and uptime chosen so that text order, numeric order
// and the address order by last octet all differ.
class StoreSortTest : public StoreTest, public ::testing::WithParamInterface<SortCase> {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        Add(1, "192.168.1.2", "bravo", 161, 100);
        Add(2, "192.168.0.3", "Alpha", 6, 3000000000u);
        Add(3, "10.0.0.5", "charlie", 36, 7);
    }
    void Add(int n, const std::string& ip, const std::string& name, int channel,
             std::uint32_t uptime) {
        ap_info_stu r = MakeDevice(MacOf(n), ip, name);
        r.report.channel = static_cast<std::uint8_t>(channel);
        r.report.up_time = uptime;
        ASSERT_TRUE(store->SaveDeviceReport(r));
    }
};

TEST_P(StoreSortTest, OrdersTextsWithoutCaseAndNumbersAsNumbers) {
    const SortCase& c = GetParam();
    std::vector<int> got;
    for (const auto& r : Page(c.sort, c.ascending)) {
        for (int n = 1; n <= 3; ++n) {
            if (r.MacText() == MacOf(n)) got.push_back(n);
        }
    }
    EXPECT_EQ(got, c.order);
}

INSTANTIATE_TEST_SUITE_P(Columns, StoreSortTest,
                         ::testing::Values(SortCase{"address_asc", 1, true, {1, 2, 3}},
                                           SortCase{"address_desc", 1, false, {3, 2, 1}},
                                           SortCase{"name_asc", 2, true, {2, 1, 3}},
                                           SortCase{"name_desc", 2, false, {3, 1, 2}},
                                           SortCase{"channel_asc", 6, true, {2, 3, 1}},
                                           SortCase{"uptime_asc", 12, true, {3, 1, 2}},
                                           SortCase{"mac_desc", 0, false, {3, 2, 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SearchCase {
    const char* name;
    const char* text;
    std::vector<int> found;  // device numbers, sorted by MAC
};

// Devices: 1 "198.18.1.1" AP on channel 6, 2 "198.18.1.10" Station on 36, 3
// "198.18.1.199" named "Station 9" on 161, 4 "198.18.1.2" named "a_b" on 11,
// 5 "198.18.1.3" named "axb 100%" on 1.
class StoreSearchTest : public StoreTest, public ::testing::WithParamInterface<SearchCase> {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        Add(1, "198.18.1.1", "roof", WORK_MODE_AP, 6);
        Add(2, "198.18.1.10", "pole", WORK_MODE_STATION, 36);
        Add(3, "198.18.1.199", "Station 9", WORK_MODE_AP, 161);
        Add(4, "198.18.1.2", "a_b", WORK_MODE_AP, 11);
        Add(5, "198.18.1.3", "axb 100%", WORK_MODE_AP, 1);
    }
    void Add(int n, const std::string& ip, const std::string& name, int mode, int channel) {
        ap_info_stu r = MakeDevice(MacOf(n), ip, name, mode);
        r.report.channel = static_cast<std::uint8_t>(channel);
        r.report.version.Assign("fw");
        r.report.ssid.Assign("net");
        r.report.up_time = 0;
        r.report.tx_power = 20;
        ASSERT_TRUE(store->SaveDeviceReport(r));
    }
};

TEST_P(StoreSearchTest, MatchesWhatTheListShows) {
    const SearchCase& c = GetParam();
    std::vector<ap_info_stu> list;
    int pages = 0, online = 0;
    // Page size 1: the online count still covers every matching row.
    ASSERT_TRUE(store->QueryDevicePage(0, list, pages, online, 1, 1, true, c.text));
    EXPECT_EQ(online, static_cast<int>(c.found.size()));
    EXPECT_EQ(pages, static_cast<int>(c.found.size()));
    std::vector<int> got;
    for (const auto& r : Page(0, true, c.text)) {
        for (int n = 1; n <= 5; ++n) {
            if (r.MacText() == MacOf(n)) got.push_back(n);
        }
    }
    EXPECT_EQ(got, c.found);
}

INSTANTIATE_TEST_SUITE_P(Texts, StoreSearchTest,
                         ::testing::Values(SearchCase{"address_prefix", "198.18.1.1", {1, 2, 3}},
                                           SearchCase{"work_mode_or_name", "Station", {2, 3}},
                                           SearchCase{"case_insensitive", "STATION", {2, 3}},
                                           SearchCase{"channel_digits", "6", {1, 2, 3}},
                                           SearchCase{"model_name", "NX-03", {1, 2, 3, 4, 5}},
                                           SearchCase{"status_name", "Online", {1, 2, 3, 4, 5}},
                                           SearchCase{"underscore_is_a_wildcard", "a_b", {4, 5}},
                                           SearchCase{
                                               "percent_is_a_wildcard", "%", {1, 2, 3, 4, 5}},
                                           SearchCase{"nothing", "no such device", {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreTest, OnlineCountFollowsTheStoredStatus) {
    for (int n = 0; n < 4; ++n) {
        ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(n), "198.18.0.1")));
    }
    ASSERT_TRUE(store->SetStatus(MacOf(0), STATUS_OUTLINE));
    ASSERT_TRUE(store->SetStatus(MacOf(1), STATUS_RESTARTING));
    std::vector<ap_info_stu> list;
    int pages = 0, online = 0;
    ASSERT_TRUE(store->QueryDevicePage(13, list, pages, online, 2, 1, true, ""));
    EXPECT_EQ(online, 3);
    EXPECT_EQ(pages, 2);
}

TEST_F(StoreTest, GetDeviceOfAnUnknownMacIsAnAllZeroRecord) {
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20")));
    ap_info_stu got = MakeDevice(MacOf(5), "198.18.0.5");
    ASSERT_TRUE(store->GetDevice(MacOf(2), got));
    const ap_info_stu zero = ZeroRecord();
    EXPECT_EQ(std::memcmp(&got, &zero, sizeof(got)), 0);
    ASSERT_TRUE(store->GetDevice("", got));  // the first stored device
    EXPECT_EQ(got.MacText(), MacOf(1));
}

}  // namespace
}  // namespace fk::testing
