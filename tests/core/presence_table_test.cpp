// The presence table's life cycle and the status page's operations on it, with a
// real store so that deletions are checked where they land.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "handler_test_support.h"
#include "protocol/presence_table.h"
#include "scratch_dir.h"
#include "store/sql_management.h"

namespace fk {
namespace {

std::string MacOf(int i) {
    char text[18];
    std::snprintf(text, sizeof(text), "00:11:22:33:44:%02x", i);
    return text;
}

std::string IpOf(int i) {
    return "192.168.0." + std::to_string(i);
}

class PresenceTest : public ::testing::Test {
  protected:
    void AnnounceDevice(int i, const std::string& version = "v1") {
        Announcement a;
        a.ip = IpOf(i);
        a.mac = MacOf(i);
        a.ap_type = 3;
        a.hello.version.Assign(version);
        presence_.Announce(a);
    }
    void RegisterDevice(int i) {
        AnnounceDevice(i);
        ap_report_stu report{};
        const auto octets = IpTextToOctets(IpOf(i));
        std::memcpy(report.ip, octets.data(), 4);
        ASSERT_TRUE(presence_.AcceptReport(MacOf(i), 3, report));
        ap_info_stu row = ZeroRecord();
        row.SetMac(MacOf(i));
        row.report = report;
        ASSERT_TRUE(store_.SaveDeviceReport(row));
    }
    std::vector<std::string> StoredMacs() {
        std::vector<std::string> macs;
        store_.GetAllMacs(macs);
        return macs;
    }

    testing::ScratchDir dir_;
    CSqlManagement store_{dir_.Dir()};
    testing::RecordingOutboundLink link_;
    CPresenceTable presence_{link_, store_};
};

// Device 3 answers with a keep-alive after the second tick, which restores its full lifetime.
TEST_F(PresenceTest, SilentRegisteredDeviceLeavesAtTheFourthTickAnnouncedNeverAges) {
    RegisterDevice(1);
    AnnounceDevice(2);
    RegisterDevice(3);
    for (int tick = 1; tick <= 3; ++tick) {
        presence_.AgeOnce();
        ASSERT_TRUE(presence_.Find(MacOf(1))) << "tick " << tick;
        if (tick == 2) {
            ASSERT_TRUE(presence_.Keepalive(MacOf(3), IpOf(3), keepalive_stu{}));
        }
    }
    EXPECT_EQ(presence_.Find(MacOf(1))->lifetime, 0);
    EXPECT_EQ(StoredMacs().size(), 2u);
    presence_.AgeOnce();
    EXPECT_FALSE(presence_.Find(MacOf(1)));
    EXPECT_EQ(StoredMacs(), std::vector<std::string>{MacOf(3)}) << "the store follows the table";
    presence_.AgeOnce();
    EXPECT_TRUE(presence_.Find(MacOf(3)));
    for (int tick = 0; tick < 10; ++tick) presence_.AgeOnce();
    EXPECT_TRUE(presence_.Find(MacOf(2)));
}

struct ListCase {
    const char* name;
    int max;
    std::string filter;
    std::vector<int> expected;  // device numbers, in order
};

class PresenceListTest : public PresenceTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(PresenceListTest, LooksAtMaxAnnouncedRecordsAndKeepsThoseMatchingTheFilter) {
    RegisterDevice(10);  // registered devices are never offered as pending
    AnnounceDevice(1, "v1.0");
    AnnounceDevice(2, "v2.0");
    AnnounceDevice(3, "v1.5");
    AnnounceDevice(4, "v1.0");
    AnnounceDevice(5, "v1.0");
    std::vector<ap_info_stu> list(3);  // whatever was there is replaced
    presence_.ListPendingDevices(GetParam().max, GetParam().filter, list);
    std::vector<std::string> macs;
    for (const auto& r : list) macs.push_back(r.MacText());
    std::vector<std::string> expected;
    for (int i : GetParam().expected) expected.push_back(MacOf(i));
    EXPECT_EQ(macs, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PresenceListTest,
                         ::testing::Values(ListCase{"NoFilter", 10, "", {1, 2, 3, 4, 5}},
                                           ListCase{"MaxThree", 3, "", {1, 2, 3}},
                                           ListCase{"FilterCountsTowardsMax", 3, "v1.", {1, 3}},
                                           ListCase{"FilterOnIp", 10, "192.168.0.4", {4}},
                                           ListCase{"FilterOnMac", 10, "44:05", {5}},
                                           ListCase{"FilterIsCaseSensitive", 10, "V1", {}},
                                           ListCase{"ZeroMax", 0, "", {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresenceTest, PendingRecordCarriesStatusTenAndOneLineVersion) {
    Announcement a;
    a.ip = "192.168.0.20";
    a.mac = MacOf(1);
    a.ap_type = 5;
    a.long_form = true;
    a.hello.version.Assign("v3.2\nbuild 7");
    a.hello.ssid.Assign("lan");
    a.hello.channel = 11;
    presence_.Announce(a);
    std::vector<ap_info_stu> list;
    presence_.ListPendingDevices(5, "", list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].ap_status, kStatusAnnounced);
    EXPECT_EQ(list[0].ap_type, 5);
    EXPECT_EQ(list[0].IpText(), "192.168.0.20");
    EXPECT_EQ(list[0].report.version.View(), "v3.2");
    EXPECT_EQ(list[0].report.ssid.View(), "lan");
    EXPECT_EQ(list[0].report.channel, 11);
}

TEST_F(PresenceTest, ReleaseAndDropTouchOnlyAnnouncedDevices) {
    RegisterDevice(1);
    AnnounceDevice(2);
    AnnounceDevice(3);
    presence_.ReleasePendingDevices();
    ASSERT_EQ(link_.Sent().size(), 2u);
    for (const auto& s : link_.Sent()) {
        EXPECT_EQ(s.type, MSG_RELEASE);
        EXPECT_FALSE(s.retransmit);
        EXPECT_NE(s.mac, MacOf(1));
    }
    EXPECT_EQ(link_.Sent()[0].ip, IpOf(2));
    presence_.DropPendingDevices();
    EXPECT_EQ(presence_.Size(), 1u);
    EXPECT_TRUE(presence_.Find(MacOf(1)));
}

TEST_F(PresenceTest, PruneDeletesStoredDevicesWithoutARecord) {
    RegisterDevice(1);
    RegisterDevice(2);
    ap_info_stu stray = ZeroRecord();
    stray.SetMac(MacOf(9));
    ASSERT_TRUE(store_.SaveDeviceReport(stray));
    presence_.PruneStoreToPresent();
    EXPECT_EQ(StoredMacs().size(), 2u);

    CPresenceTable empty(link_, store_);
    empty.PruneStoreToPresent();
    EXPECT_TRUE(StoredMacs().empty());
}

TEST_F(PresenceTest, PendingAddressIsSetClearedAndNeedsTheRegisteredOldAddress) {
    RegisterDevice(1);
    AnnounceDevice(2);
    presence_.SetPendingIp(MacOf(1), IpOf(1), "192.168.0.50");
    EXPECT_EQ(presence_.Find(MacOf(1))->pending_ip, "192.168.0.50");
    presence_.SetPendingIp(MacOf(1), IpOf(1), IpOf(1));
    EXPECT_TRUE(presence_.Find(MacOf(1))->pending_ip.empty());
    presence_.SetPendingIp(MacOf(1), "192.168.0.99", "192.168.0.50");
    EXPECT_TRUE(presence_.Find(MacOf(1))->pending_ip.empty()) << "wrong old address";
    presence_.SetPendingIp(MacOf(2), IpOf(2), "192.168.0.51");
    EXPECT_TRUE(presence_.Find(MacOf(2))->pending_ip.empty()) << "announced devices wait";
}

}  // namespace
}  // namespace fk
