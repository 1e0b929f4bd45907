// The three inbound handlers against a real store in a scratch directory, with the
// engine's way out replaced by a recorder.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "handler_test_support.h"
#include "protocol/inbound_handlers.h"
#include "protocol/presence_table.h"
#include "protocol/report.h"
#include "scratch_dir.h"
#include "store/sql_management.h"

namespace fk {
namespace {

using testing::Bytes;
using testing::Element;

const std::string kMac = "00:11:22:33:44:55";
const std::string kOtherMac = "00:11:22:33:44:66";
const std::string kIp = "192.168.0.20";

ap_report_stu Report(const std::string& ip, const std::string& name = "radio") {
    ap_report_stu r{};
    const auto octets = IpTextToOctets(ip);
    std::memcpy(r.ip, octets.data(), 4);
    r.up_time = 1234;
    r.ap_name.Assign(name);
    r.version.Assign("v2.1");
    r.bridge_transparent = 1;
    r.tdmaEn = 1;
    return r;
}

class HandlerTest : public ::testing::Test {
  protected:
    void Deliver(const udp_packet_stu& e, int port) {
        if (port == kPortAnnounce) handlers_.OnAnnouncement(e);
        if (port == kPortKeepalive) handlers_.OnKeepalive(e);
        if (port == kPortReply) handlers_.OnReply(e);
    }
    void Register(const std::string& mac, const std::string& ip) {
        handlers_.OnAnnouncement(Element(MSG_DISCOVER, mac, ip, {}));
        handlers_.OnReply(Element(MSG_GET_DEVICE_INFO, mac, ip, Bytes(Report(ip))));
    }

    testing::ScratchDir dir_;
    CSqlManagement store_{dir_.Dir()};
    testing::RecordingOutboundLink link_;
    CPresenceTable presence_{link_, store_};
    CInboundHandlers handlers_{presence_, store_, link_};
};

TEST_F(HandlerTest, FirstAnnouncementRecordsTheDeviceAndAsksForItsReport) {
    handlers_.OnAnnouncement(Element(MSG_DISCOVER, kMac, kIp, {}, 7));
    const auto record = presence_.Find(kMac);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->state, announced);
    EXPECT_EQ(record->ip, kIp);
    EXPECT_EQ(record->ap_type, 7);
    EXPECT_EQ(record->lifetime, kPresenceLifetime);
    ASSERT_EQ(link_.Sent().size(), 2u);
    EXPECT_EQ(link_.Sent()[0].type, MSG_DISCOVER);
    EXPECT_FALSE(link_.Sent()[0].retransmit);
    EXPECT_EQ(link_.Sent()[1].type, MSG_GET_DEVICE_INFO);
    EXPECT_TRUE(link_.Sent()[1].retransmit);
    EXPECT_EQ(link_.Sent()[1].ip, kIp);
    EXPECT_EQ(link_.Sent()[1].mac, kMac);
}

TEST_F(HandlerTest, AllZeroMacIsAnsweredButNeverRecorded) {
    handlers_.OnAnnouncement(Element(MSG_DISCOVER, "", kIp, {}));
    EXPECT_EQ(presence_.Size(), 0u);
    ASSERT_EQ(link_.Sent().size(), 1u);
    EXPECT_EQ(link_.Sent()[0].type, MSG_DISCOVER);
}

TEST_F(HandlerTest, NewcomerOnARegisteredAddressIsOnlyAnswered) {
    Register(kMac, kIp);
    link_.ClearSent();
    handlers_.OnAnnouncement(Element(MSG_DISCOVER, kOtherMac, kIp, {}));
    const auto newcomer = presence_.Find(kOtherMac);
    ASSERT_TRUE(newcomer);
    EXPECT_EQ(newcomer->state, announced);
    ASSERT_EQ(link_.Sent().size(), 1u);
    EXPECT_EQ(link_.Sent()[0].type, MSG_DISCOVER);
    std::vector<ap_info_stu> pending;
    presence_.ListPendingDevices(10, "", pending);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].ap_status, kStatusAnnounced);
}

TEST_F(HandlerTest, LongAnnouncementFillsTheNewRecordLaterOnesOnlyRefresh) {
    ap_hello_stu hello{};
    hello.version.Assign("v1");
    hello.work_mode = 2;
    hello.up_time = 99;
    hello.ap_name.Assign("\xe4\xb8\xad\xe6\x96\x87");  // two ideographs
    hello.ssid.Assign("net");
    hello.channel = 36;
    hello.bridge_transparent = 1;
    hello.tdmaEn = 1;
    handlers_.OnAnnouncement(Element(MSG_DISCOVER, kMac, kIp, Bytes(hello), 3));
    auto record = presence_.Find(kMac);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->work_mode, 2);
    EXPECT_EQ(record->up_time, 99u);
    EXPECT_EQ(record->ap_name.View(), "\xe4\xb8\xad\xe6\x96\x87");
    EXPECT_EQ(record->ssid.View(), "net");
    EXPECT_EQ(record->channel, 36);
    EXPECT_EQ(record->tdmaEn, 1);

    hello.version.Assign("v2");
    hello.channel = 6;
    handlers_.OnAnnouncement(Element(MSG_DISCOVER, kMac, "192.168.0.99", Bytes(hello), 9));
    record = presence_.Find(kMac);
    EXPECT_EQ(record->version.View(), "v2");
    EXPECT_EQ(record->ap_type, 9);
    EXPECT_EQ(record->channel, 36) << "only version and model change";
    EXPECT_EQ(record->ip, kIp);
}

TEST_F(HandlerTest, ShortAnnouncementReadsTheVersionOnly) {
    std::vector<std::uint8_t> payload(20, 0);
    payload[0] = 'v';
    auto e = Element(MSG_DISCOVER, kMac, kIp, payload);
    // Bytes a long form would hold, present in the area but not announced by len.
    e.data[kHeaderSize + 106] = 44;
    handlers_.OnAnnouncement(e);
    EXPECT_EQ(presence_.Find(kMac)->channel, 0);
}

TEST_F(HandlerTest, KeepaliveRefreshesKnownAndAnnouncedDevicesOnly) {
    keepalive_stu body{};
    body.version.Assign("v9");
    body.up_time = 4321;
    handlers_.OnKeepalive(Element(MSG_KEEPALIVE, kMac, kIp, Bytes(body)));
    EXPECT_TRUE(link_.Sent().empty()) << "unknown devices get no answer";

    Register(kMac, kIp);
    link_.ClearSent();
    handlers_.OnKeepalive(Element(MSG_KEEPALIVE, kMac, kIp, Bytes(body)));
    const auto record = presence_.Find(kMac);
    EXPECT_EQ(record->up_time, 4321u);
    EXPECT_EQ(record->version.View(), "v9");
    ASSERT_EQ(link_.Sent().size(), 1u);
    EXPECT_EQ(link_.Sent()[0].type, MSG_KEEPALIVE);
    ap_info_stu stored{};
    ASSERT_TRUE(store_.GetDevice(kMac, stored));
    EXPECT_EQ(stored.report.up_time, 4321u);

    // A device that has only announced itself follows its keep-alives too.
    handlers_.OnAnnouncement(Element(MSG_DISCOVER, kOtherMac, kIp, {}));
    handlers_.OnKeepalive(Element(MSG_KEEPALIVE, kOtherMac, "192.168.0.21", Bytes(body)));
    EXPECT_EQ(presence_.Find(kOtherMac)->ip, "192.168.0.21");
    EXPECT_EQ(presence_.Find(kOtherMac)->up_time, 4321u);
}

struct ReportCase {
    const char* name;
    bool announced_first;
    bool other_owns_address;
    bool accepted;
};

class HandlerReportTest : public HandlerTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(HandlerReportTest, ReportIsAcceptedOnlyFromAKnownDeviceOnAFreeAddress) {
    const ReportCase c = GetParam();
    if (c.other_owns_address) Register(kOtherMac, kIp);
    if (c.announced_first) handlers_.OnAnnouncement(Element(MSG_DISCOVER, kMac, kIp, {}));
    handlers_.OnReply(Element(MSG_GET_DEVICE_INFO, kMac, kIp, Bytes(Report(kIp))));
    ap_info_stu stored{};
    ASSERT_TRUE(store_.GetDevice(kMac, stored));
    EXPECT_EQ(stored.MacText() == kMac, c.accepted);
    const auto record = presence_.Find(kMac);
    EXPECT_EQ(record && record->state == registered, c.accepted);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandlerReportTest,
                         ::testing::Values(ReportCase{"Announced", true, false, true},
                                           ReportCase{"NeverAnnounced", false, false, false},
                                           ReportCase{"AddressOwnedByAnother", true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A name cut inside a character by the device loses the partial character.
TEST_F(HandlerTest, AcceptedReportMovesTheDeviceToItsConfiguredAddress) {
    Register(kMac, kIp);
    std::string name(30, 'a');
    name += "\xe4\xb8";  // the first two bytes of a three-byte character
    handlers_.OnReply(Element(MSG_GET_DEVICE_INFO, kMac, kIp, Bytes(Report("192.168.0.30", name))));
    EXPECT_EQ(presence_.Find(kMac)->ip, "192.168.0.30");
    ap_info_stu stored{};
    ASSERT_TRUE(store_.GetDevice(kMac, stored));
    EXPECT_EQ(stored.IpText(), "192.168.0.30");
    EXPECT_EQ(stored.report.ap_name.View(), std::string(30, 'a'));
    EXPECT_EQ(stored.ap_status, STATUS_ONLINE);
}

struct ResultCase {
    std::uint16_t type;
    std::vector<std::uint8_t> payload;
    int expected_status;
};

class HandlerResultTest : public HandlerTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(HandlerResultTest, ResultByteSetsTheDeviceStatus) {
    const ResultCase c = GetParam();
    Register(kMac, kIp);
    store_.SetStatus(kMac, c.type == MSG_UPGRADE_STATUS ? STATUS_UPGRADE_WAIT : STATUS_ONLINE);
    link_.acks.clear();
    link_.answers.clear();
    link_.answer_results.clear();
    // A headless caller that waits for the answer reads the store as soon as it is
    // told: by then the answer's status must be in.
    int status_when_told = -1;
    link_.on_answer = [&] { status_when_told = store_.GetStatus(kMac); };
    handlers_.OnReply(Element(c.type, kMac, kIp, c.payload));
    EXPECT_EQ(store_.GetStatus(kMac), c.expected_status);
    EXPECT_EQ(status_when_told, c.expected_status);
    ASSERT_EQ(link_.answers.size(), 1u);
    EXPECT_EQ(link_.answers[0].ip, kIp);
    // The headless batch reports the byte itself; an answer without one reads as 0.
    EXPECT_EQ(link_.answer_results[0], c.payload.empty() ? 0 : c.payload[0]);
    ASSERT_EQ(link_.acks.size(), 1u);
    EXPECT_EQ(link_.acks[0].type, c.type);
    EXPECT_EQ(link_.acks[0].ip, kIp);
    EXPECT_EQ(link_.acks[0].mac, kMac);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, HandlerResultTest,
    ::testing::Values(ResultCase{MSG_SET_BRIDGE, {0}, STATUS_BRIDGE_SUCCESS},
                      ResultCase{MSG_SET_BRIDGE, {7}, STATUS_BRIDGE_FAIL},
                      ResultCase{MSG_REBOOT, {0}, STATUS_RESTARTING},
                      ResultCase{MSG_REBOOT, {1}, STATUS_ONLINE},
                      ResultCase{MSG_RESTORE, {}, STATUS_RESETING},
                      ResultCase{MSG_RESTORE, {2}, STATUS_ONLINE},
                      ResultCase{MSG_SET_VLAN, {0}, STATUS_RESTARTING},
                      ResultCase{MSG_SET_VLAN, {1}, STATUS_ONLINE},
                      ResultCase{MSG_UPGRADE_RESULT, {0}, STATUS_UPGRADE_WAIT},
                      ResultCase{MSG_UPGRADE_RESULT, {1}, STATUS_UPGRADE_FAIL},
                      ResultCase{MSG_UPGRADE_RESULT, {2}, STATUS_UPGRADE_SUCCESS},
                      ResultCase{MSG_UPGRADE_STATUS, {}, STATUS_UPGRADE_WAIT + 1},
                      ResultCase{MSG_SET_NAME, {1}, STATUS_ONLINE}));

TEST_F(HandlerTest, ScanResultsAndReleasesAcknowledgeNothing) {
    handlers_.OnReply(Element(MSG_SCAN_AP, kMac, kIp, {1, 0, 0}));
    handlers_.OnReply(Element(MSG_RELEASE, kMac, kIp, {}));
    EXPECT_TRUE(link_.acks.empty());
}

TEST_F(HandlerTest, SetIpAnswerFromTheOldAddressCommitsThePendingAddress) {
    Register(kMac, kIp);
    presence_.SetPendingIp(kMac, kIp, "192.168.0.40");
    handlers_.OnReply(Element(MSG_SET_IP, kMac, "192.168.0.77", {}));
    EXPECT_EQ(presence_.Find(kMac)->ip, kIp) << "an answer from elsewhere commits nothing";
    handlers_.OnReply(Element(MSG_SET_IP, kMac, kIp, {}));
    EXPECT_EQ(presence_.Find(kMac)->ip, "192.168.0.40");
    EXPECT_TRUE(presence_.Find(kMac)->pending_ip.empty());
}

std::vector<std::uint8_t> ScanPacket(std::uint8_t count, std::uint8_t id, std::uint8_t icount,
                                     std::uint8_t first_mac_byte) {
    scan_reply_stu reply{};
    reply.packet_count = count;
    reply.packet_id = id;
    reply.icount = icount;
    for (std::size_t i = 0; i < kMaxScanEntries; ++i) {
        reply.entries[i].mac[0] = first_mac_byte;
        reply.entries[i].mac[5] = static_cast<std::uint8_t>(i);
        reply.entries[i].ssid.Assign("ap");
    }
    return Bytes(reply);
}

TEST_F(HandlerTest, ScanIsCompleteWhenTheLastPacketArrivesInAnyOrder) {
    const std::vector<std::uint8_t> order = {2, 0, 1};
    handlers_.OnReply(Element(MSG_SCAN_AP, kMac, kIp, ScanPacket(3, order[0], 1, 0x10)));
    EXPECT_TRUE(link_.scan_complete);
    link_.scan_complete = false;
    handlers_.OnReply(Element(MSG_SCAN_AP, kMac, kIp, ScanPacket(3, order[1], 1, 0x20)));
    handlers_.OnReply(Element(MSG_SCAN_AP, kMac, kIp, ScanPacket(3, order[2], 1, 0x30)));
    EXPECT_FALSE(link_.scan_complete);
    std::vector<config_otherwl_basic> list;
    ASSERT_TRUE(store_.GetScanList(0, list, true));
    EXPECT_EQ(list.size(), 3u);
    // A packet count of zero has no last packet.
    handlers_.OnReply(Element(MSG_SCAN_AP, kMac, kIp, ScanPacket(0, 0, 1, 0x40)));
    handlers_.OnReply(Element(MSG_SCAN_AP, kMac, kIp, ScanPacket(0, 255, 1, 0x41)));
    EXPECT_FALSE(link_.scan_complete);
}

TEST_F(HandlerTest, ASurveyPacketCountsAsArrivedOnlyOnceItsEntriesAreStored) {
    std::vector<std::size_t> stored_when_reported;
    link_.on_scan_stored = [&] {
        std::vector<config_otherwl_basic> list;
        store_.GetScanList(0, list, true);
        stored_when_reported.push_back(list.size());
    };
    handlers_.OnReply(Element(MSG_SCAN_AP, kMac, kIp, ScanPacket(2, 1, 3, 0x10)));
    handlers_.OnReply(Element(MSG_SCAN_AP, kMac, kIp, ScanPacket(2, 0, 2, 0x20)));
    EXPECT_EQ(stored_when_reported, (std::vector<std::size_t>{3, 5}));
    EXPECT_TRUE(link_.scan.Complete());
    EXPECT_EQ(link_.scan.Missing(), 0);
}

// Every length a device can claim is at its largest: the header's len, every text's
// count byte, the scan entry count. The handlers must stay inside their structures
// (the sanitizer builds check the reads) and keep texts within their areas.
TEST_F(HandlerTest, ClaimedLengthsBeyondEveryAreaAreCutToTheArea) {
    const std::vector<std::uint8_t> flood(kMaxPayload, 0xff);
    auto maxed = [&](std::uint16_t type) {
        auto e = Element(type, kMac, kIp, flood);
        e.data[14] = 0xff;
        e.data[15] = 0xff;
        // The report names the source address, so that it is accepted.
        if (type == MSG_GET_DEVICE_INFO) {
            const auto octets = IpTextToOctets(kIp);
            std::memcpy(&e.data[kHeaderSize + 9], octets.data(), 4);
        }
        return e;
    };
    handlers_.OnAnnouncement(maxed(MSG_DISCOVER));
    handlers_.OnKeepalive(maxed(MSG_KEEPALIVE));
    handlers_.OnReply(maxed(MSG_GET_DEVICE_INFO));
    handlers_.OnReply(maxed(MSG_SCAN_AP));

    const auto record = presence_.Find(kMac);
    ASSERT_TRUE(record);
    EXPECT_LE(record->version.View().size(), 32u);
    EXPECT_LE(record->ap_name.View().size(), 32u);
    std::vector<ap_info_stu> pending;
    presence_.ListPendingDevices(5, "", pending);
    ap_info_stu stored{};
    ASSERT_TRUE(store_.GetDevice(kMac, stored));
    EXPECT_LE(stored.report.ap_name.len, 32);
    EXPECT_LE(stored.report.ssid.len, 32);
    std::vector<config_otherwl_basic> scan;
    ASSERT_TRUE(store_.GetScanList(0, scan, true));
    EXPECT_LE(scan.size(), kMaxScanEntries);
}

}  // namespace
}  // namespace fk
