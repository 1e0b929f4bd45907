#include <cstring>
#include <functional>

#include "store/display_codes.h"
#include "store_test_support.h"

namespace fk::testing {
namespace {

TEST_F(StoreTest, RepeatedReportsKeepOneRowPerMacAndTheLastOneWins) {
    for (int round = 0; round < 4; ++round) {
        for (int n = 1; n <= 3; ++n) {
            ap_info_stu r = MakeDevice(MacOf(n), "198.18.0." + std::to_string(20 + n),
                                       "round " + std::to_string(round));
            r.report.up_time = static_cast<std::uint32_t>(round);
            ASSERT_TRUE(store->SaveDeviceReport(r));
        }
    }
    std::vector<std::string> macs;
    ASSERT_TRUE(store->GetAllMacs(macs));
    EXPECT_EQ(macs, (std::vector<std::string>{MacOf(1), MacOf(2), MacOf(3)}));
    ap_info_stu got{};
    ASSERT_TRUE(store->GetDevice(MacOf(2), got));
    EXPECT_EQ(got.report.ap_name.View(), "round 3");
    EXPECT_EQ(got.report.up_time, 3u);
    EXPECT_EQ(got.ap_status, STATUS_ONLINE);
}

TEST_F(StoreTest, ReportWithoutMacIsRefused) {
    EXPECT_FALSE(store->SaveDeviceReport(MakeDevice("", "198.18.0.20")));
    EXPECT_EQ(Peek("select count(*) from ap_info"), "0");
}

struct StatusCase {
    const char* name;
    int start;  // status set before the operation; 0 leaves the device unstored
    std::function<bool(CSqlManagement&, const std::string&)> op;
    bool result;
    int after;
};

class StoreStatusTest : public StoreTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StoreStatusTest, MovesOnlyAlongTheAllowedTransitions) {
    const StatusCase& c = GetParam();
    const std::string mac = MacOf(7);
    if (c.start != 0) {
        ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(mac, "198.18.0.27")));
        ASSERT_TRUE(store->SetStatus(mac, c.start));
    }
    EXPECT_EQ(c.op(*store, mac), c.result);
    EXPECT_EQ(store->GetStatus(mac), c.after);
    if (c.after != 0) {
        EXPECT_EQ(Peek("select ap_status_str from ap_info"), StatusName(c.after));
    }
    EXPECT_EQ(Peek("select count(*) from ap_info"), c.start != 0 ? "1" : "0");
}

const auto kReport = [](CSqlManagement& s, const std::string& mac) {
    return s.SaveDeviceReport(MakeDevice(mac, "198.18.0.27"));
};
const auto kMark = [](CSqlManagement& s, const std::string& mac) { return s.MarkUpgrading(mac); };
const auto kReset = [](CSqlManagement& s, const std::string& mac) {
    return s.ResetUpgradeFail(mac);
};
const auto kWaiting = [](CSqlManagement& s, const std::string& mac) {
    return s.IsUpgradeWaiting(mac);
};
const auto kSet = [](int status) {
    return [status](CSqlManagement& s, const std::string& mac) { return s.SetStatus(mac, status); };
};
const auto kUptime = [](CSqlManagement& s, const std::string& mac) {
    return s.UpdateUptime("198.18.0.99", mac, 5);
};

INSTANTIATE_TEST_SUITE_P(
    Transitions, StoreStatusTest,
    ::testing::Values(StatusCase{"report_after_reboot", 4, kReport, true, 1},
                      StatusCase{"report_after_upgrade_fail", 9, kReport, true, 1},
                      StatusCase{"mark_upgrading_from_online", 1, kMark, false, 1},
                      StatusCase{"mark_upgrading_from_wait", 6, kMark, true, 7},
                      StatusCase{"mark_upgrading_from_success", 8, kMark, false, 8},
                      StatusCase{"reset_from_fail", 9, kReset, true, 1},
                      StatusCase{"reset_from_wait", 6, kReset, false, 6},
                      StatusCase{"reset_from_upgrading", 7, kReset, false, 7},
                      StatusCase{"waiting_in_wait", 6, kWaiting, true, 6},
                      StatusCase{"waiting_in_upgrading", 7, kWaiting, false, 7},
                      StatusCase{"set_bridge_fail", 1, kSet(3), true, 3},
                      StatusCase{"set_unknown_device", 0, kSet(4), false, 0},
                      StatusCase{"mark_unknown_device", 0, kMark, false, 0},
                      StatusCase{"uptime_unknown_device", 0, kUptime, false, 0},
                      StatusCase{"uptime_keeps_status", 5, kUptime, true, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreTest, KeepAliveFollowsAnAddressChangeAndTheUptime) {
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20", "one")));
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(2), "198.18.0.30", "two")));
    ASSERT_TRUE(store->UpdateUptime("198.18.0.40", MacOf(1), 90061));
    ap_info_stu got{};
    ASSERT_TRUE(store->GetDevice(MacOf(1), got));
    EXPECT_EQ(got.IpText(), "198.18.0.40");
    EXPECT_EQ(got.report.up_time, 90061u);
    EXPECT_EQ(got.report.ap_name.View(), "one");
    EXPECT_EQ(Peek("select up_time_str from ap_info where mac='" + MacOf(1) + "'"), "1 1:1:1");
    const auto list = Page(1, true);  // by address
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].MacText(), MacOf(2));
}

TEST_F(StoreTest, EmptyNameIsStoredAsNullAndReadBackEmpty) {
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20", "")));
    EXPECT_EQ(Peek("select count(*) from ap_info where ap_name is null"), "1");
    ap_info_stu got{};
    ASSERT_TRUE(store->GetDevice(MacOf(1), got));
    EXPECT_EQ(got.report.ap_name.len, 0);
    EXPECT_EQ(got.report.ap_name.View(), "");
}

TEST_F(StoreTest, NameCountBeyondTheFieldStoresOnlyTheField) {
    ap_info_stu r = MakeDevice(MacOf(1), "198.18.0.20");
    std::memset(r.report.ap_name.text, 'n', sizeof(r.report.ap_name.text));
    r.report.ap_name.len = 40;
    ASSERT_TRUE(store->SaveDeviceReport(r));
    EXPECT_EQ(Peek("select length(ap_name) from ap_info"), "32");
}

TEST_F(StoreTest, NameWithQuotesIsStoredIntactAndFoundByASearchWithAQuote) {
    const std::string name = "O'Brien's mast";
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20", name)));
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(2), "198.18.0.21", "Obrien")));
    ap_info_stu got{};
    ASSERT_TRUE(store->GetDevice(MacOf(1), got));
    EXPECT_EQ(got.report.ap_name.View(), name);
    const auto list = Page(0, true, "Brien's");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].MacText(), MacOf(1));
    EXPECT_EQ(Page(0, true, "'").size(), 1u);
}

// Fills every byte of a record with a pattern, then checks that what comes back is
// exactly the kept fields, and zero everywhere else.
TEST_F(StoreTest, RecordReadBackHoldsOnlyWhatTheStoreKeeps) {
    ap_info_stu in{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&in);
    for (std::size_t i = 0; i < sizeof(in); ++i)
        bytes[i] = static_cast<std::uint8_t>(0x41 + i % 26);
    in.SetMac("0a:0b:0c:0d:0e:0f");
    in.ap_type = 265;
    ap_report_stu& p = in.report;
    p.ap_name.Assign("name");
    p.version.Assign("v9");
    p.ssid.Assign("ssid");
    p.wpapsk_key_value.Assign("psk");
    p.wpa_key.Assign("radius");
    for (int k = 0; k < 4; ++k) p.wep_key[k].value.Assign("wep" + std::to_string(k));
    p.bridge_ssid.Assign("peer");
    ASSERT_TRUE(store->SaveDeviceReport(in));
    ap_info_stu got{};
    ASSERT_TRUE(store->GetDevice("0a:0b:0c:0d:0e:0f", got));

    ap_info_stu want = ZeroRecord();
    want.SetMac("0a:0b:0c:0d:0e:0f");
    want.ap_type = 265;
    want.ap_status = STATUS_ONLINE;
    // (offset in the record, width) of every field the store keeps, besides the head.
    const std::pair<std::size_t, std::size_t> kept[] = {
        {24, 2},    {28, 25},  {54, 66}, {120, 15}, {146, 108}, {254, 1},
        {255, 118}, {374, 77}, {756, 1}, {758, 6},  {766, 8},
    };
    for (const auto& [offset, width] : kept) {
        std::memcpy(reinterpret_cast<std::uint8_t*>(&want) + offset,
                    reinterpret_cast<const std::uint8_t*>(&in) + offset, width);
    }
    for (std::size_t i = 0; i < sizeof(want); ++i) {
        ASSERT_EQ(reinterpret_cast<const std::uint8_t*>(&got)[i],
                  reinterpret_cast<const std::uint8_t*>(&want)[i])
            << "byte " << i;
    }
}

// The columns that are written but never read back: what other tools, the search and
// the sort see of a device.
TEST_F(StoreTest, ShownAndSortColumnsHoldTheRecordsTexts) {
    const struct {
        int type;
        int work_mode;
        const char* column;
        std::string stored;
    } cases[] = {
        {4, 6, "ap_type_str", "NX-04"},
        {4, 6, "ap_status_str", "Online"},
        {4, 6, "work_mode_str", "WISP"},
        {4, 6, "up_time_str", "1 1:1:1"},
        {4, 6, "secure_mode_str", "WPA2_PSK"},
        {4, 6, "bridge_transparent_str", "N/A"},
        {4, 6, "tdmaEn_str", "N/A"},
        {265, 1, "bridge_transparent_str", "On2"},
        {265, 1, "tdmaEn_str", "Off2"},
        {4, 6, "typeof(ip_num)", "real"},
        {4, 6, "ip_num", std::to_string(IpNumber("198.18.0.20")) + ".0"},
        {4, 6, "bridge_work_mode", "2"},
        {4, 6, "bridge_mac", "0a:00:00:00:00:07"},
        {4, 6, "bridge_channel", "11"},
        {4, 6, "bridge_ssid", "peer"},
    };
    for (const auto& c : cases) {
        ap_info_stu r = MakeDevice(MacOf(1), "198.18.0.20", "mast", c.work_mode);
        r.ap_type = static_cast<std::uint16_t>(c.type);
        r.ap_status = STATUS_UPGRADE_FAIL;
        r.report.up_time = 90061;
        r.report.secure_mode = 3;
        r.report.bridge_transparent = 1;
        r.report.bridge_work_mode = 2;
        SetMacBytes(r.report.bridge_mac, "0a:00:00:00:00:07");
        r.report.bridge_channel = 11;
        r.report.bridge_ssid.Assign("peer");
        ASSERT_TRUE(store->SaveDeviceReport(r));
        EXPECT_EQ(Peek(std::string("select ") + c.column + " from ap_info"), c.stored)
            << c.column << " of type " << c.type;
    }
}

struct BridgeCase {
    const char* name;
    const char* query;  // the device asked about
    bool has_station;
    const char* peer;  // "" when none
};

// Devices: an access point "ap" (wireless MAC w:ap), a Station "st" linked to it, a
// Station "lost" linked to a device that is not stored, a lone access point "solo",
// and an unlinked Station "idle" whose link and wireless MAC are both zero, like
// the zero wireless MAC of "dark".
class StoreBridgeTest : public StoreTest, public ::testing::WithParamInterface<BridgeCase> {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        Add(1, WORK_MODE_AP, "0a:00:00:00:00:01", "00:00:00:00:00:00");
        Add(2, WORK_MODE_STATION, "0a:00:00:00:00:02", "0a:00:00:00:00:01");
        Add(3, WORK_MODE_STATION, "0a:00:00:00:00:03", "0a:00:00:00:00:99");
        Add(4, WORK_MODE_AP, "0a:00:00:00:00:04", "00:00:00:00:00:00");
        Add(5, WORK_MODE_STATION, "0a:00:00:00:00:05", "00:00:00:00:00:00");
        Add(6, WORK_MODE_AP, "00:00:00:00:00:00", "00:00:00:00:00:00");
    }
    void Add(int n, int mode, const std::string& ssid_mac, const std::string& bridge_mac) {
        ap_info_stu r = MakeDevice(MacOf(n), "198.18.0." + std::to_string(n), "", mode);
        SetMacBytes(r.report.ssid_mac, ssid_mac);
        SetMacBytes(r.report.bridge_mac, bridge_mac);
        ASSERT_TRUE(store->SaveDeviceReport(r));
    }
};

TEST_P(StoreBridgeTest, FindsTheOtherEndOfALink) {
    const BridgeCase& c = GetParam();
    EXPECT_EQ(store->HasBridgedStation(c.query), c.has_station);
    std::string peer = "untouched";
    EXPECT_EQ(store->FindBridgePeer(c.query, peer), std::string(c.peer) != "");
    EXPECT_EQ(peer, std::string(c.peer) != "" ? c.peer : "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Links, StoreBridgeTest,
    ::testing::Values(BridgeCase{"access_point", "02:00:00:00:00:01", true, "02:00:00:00:00:02"},
                      BridgeCase{"station", "02:00:00:00:00:02", false, "02:00:00:00:00:01"},
                      BridgeCase{"station_of_absent_ap", "02:00:00:00:00:03", false, ""},
                      BridgeCase{"lone_access_point", "02:00:00:00:00:04", false, ""},
                      BridgeCase{"unlinked_station", "02:00:00:00:00:05", false, ""},
                      BridgeCase{"zero_wireless_mac", "02:00:00:00:00:06", false, ""},
                      BridgeCase{"not_stored", "02:00:00:00:00:42", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::uint8_t> ScanPacket(int count, int id, int icount,
                                     const std::vector<scan_entry_stu>& entries) {
    std::vector<std::uint8_t> out = {static_cast<std::uint8_t>(count),
                                     static_cast<std::uint8_t>(id),
                                     static_cast<std::uint8_t>(icount)};
    for (const auto& e : entries) {
        const auto* b = reinterpret_cast<const std::uint8_t*>(&e);
        out.insert(out.end(), b, b + sizeof(e));
    }
    return out;
}

scan_entry_stu Entry(int n, const std::string& ssid, int signal, int channel) {
    scan_entry_stu e{};
    SetMacBytes(e.mac, MacOf(n));
    e.ssid.Assign(ssid);
    e.signal = static_cast<std::int8_t>(signal);
    e.channel = static_cast<std::uint8_t>(channel);
    e.secure_mode = 3;
    e.exchannel = 1;
    e.bandwidth = 2;
    return e;
}

TEST_F(StoreTest, ScanEntriesAreInsertedThenUpdatedByMac) {
    ASSERT_TRUE(store->SaveScanResults(DecodeScanResults(
        ScanPacket(2, 0, 2, {Entry(1, "north", -61, 36), Entry(2, "south", -80, 149)}))));
    ASSERT_TRUE(store->SaveScanResults(
        DecodeScanResults(ScanPacket(2, 1, 1, {Entry(1, "north2", -55, 40)}))));
    EXPECT_EQ(Peek("select count(*) from ap_other_info"), "2");
    EXPECT_EQ(Peek("select packet_id from ap_other_info where mac='" + MacOf(1) + "'"), "1");

    config_otherwl_basic got{};
    ASSERT_TRUE(store->GetScanEntry(MacOf(1), got));
    EXPECT_EQ(got.ssid.View(), "north2");
    EXPECT_EQ(got.signal, -55);
    EXPECT_EQ(got.channel, 40);
    EXPECT_EQ(got.secure_mode, 3);
    EXPECT_EQ(got.exchannel, 1);
    EXPECT_EQ(got.bandwidth, 2);

    std::vector<config_otherwl_basic> list;
    ASSERT_TRUE(store->GetScanList(4, list, false));  // strongest signal first
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].signal, -55);
    EXPECT_EQ(list[1].signal, -80);

    ASSERT_TRUE(store->GetScanEntry(MacOf(9), got));
    EXPECT_EQ(got.ssid.len, 0);
    EXPECT_EQ(got.signal, 0);

    ASSERT_TRUE(store->ClearScanResults());
    EXPECT_EQ(Peek("select count(*) from ap_other_info"), "0");
}

struct ScanCountCase {
    const char* name;
    int icount;
    int entries_sent;
    const char* rows;
};

class StoreScanCountTest : public StoreTest, public ::testing::WithParamInterface<ScanCountCase> {};

TEST_P(StoreScanCountTest, WritesOnlyEntriesThePacketHolds) {
    const ScanCountCase& c = GetParam();
    std::vector<scan_entry_stu> entries;
    for (int i = 0; i < c.entries_sent; ++i) entries.push_back(Entry(i + 1, "ap", -70, 6));
    EXPECT_TRUE(store->SaveScanResults(DecodeScanResults(ScanPacket(1, 0, c.icount, entries))));
    EXPECT_EQ(Peek("select count(*) from ap_other_info"), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Counts, StoreScanCountTest,
                         ::testing::Values(ScanCountCase{"none", 0, 3, "0"},
                                           ScanCountCase{"some", 2, 3, "2"},
                                           ScanCountCase{"claims_more_than_sent", 5, 2, "2"},
                                           ScanCountCase{"claims_more_than_fit", 200, 40, "32"},
                                           ScanCountCase{"head_only", 4, 0, "0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreTest, DeleteDeviceRemovesOnlyThatDevice) {
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20")));
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(2), "198.18.0.21")));
    EXPECT_TRUE(store->DeleteDevice(MacOf(1)));
    EXPECT_TRUE(store->DeleteDevice("x' or '1'='1"));
    std::vector<std::string> macs;
    ASSERT_TRUE(store->GetAllMacs(macs));
    EXPECT_EQ(macs, std::vector<std::string>{MacOf(2)});
    std::vector<std::string> ips;
    ASSERT_TRUE(store->GetAllIps(ips));
    EXPECT_EQ(ips, std::vector<std::string>{"198.18.0.21"});
}

}  // namespace
}  // namespace fk::testing
