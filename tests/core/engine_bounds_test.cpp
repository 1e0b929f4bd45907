// What the LAN can make the engine keep: each bound reached, what is still answered
// when it bites, and the counter that shows it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "handler_test_support.h"
#include "protocol/comm_engine.h"
#include "protocol/inbound_handlers.h"
#include "protocol/presence_table.h"
#include "protocol/receive_queue.h"
#include "protocol/report.h"
#include "protocol/resend_list.h"
#include "protocol/survey_requests.h"
#include "scratch_dir.h"
#include "store/sql_management.h"

namespace fk {
namespace {

using testing::Bytes;
using testing::Element;

std::string MacOf(int i) {
    char text[18];
    std::snprintf(text, sizeof(text), "02:00:00:00:%02x:%02x", (i >> 8) & 0xff, i & 0xff);
    return text;
}

ap_report_stu ReportAt(const std::string& ip) {
    ap_report_stu r{};
    const auto octets = IpTextToOctets(ip);
    std::memcpy(r.ip, octets.data(), 4);
    return r;
}

class BoundsTest : public ::testing::Test {
  protected:
    explicit BoundsTest(PresenceLimits limits = {}) : presence_(link_, store_, limits) {}

    void AnnounceFrom(const std::string& ip, int device) {
        handlers_.OnAnnouncement(Element(MSG_DISCOVER, MacOf(device), ip, {}));
    }
    void Report(const std::string& ip, int device) {
        handlers_.OnReply(Element(MSG_GET_DEVICE_INFO, MacOf(device), ip, Bytes(ReportAt(ip))));
    }
    int Sent(std::uint16_t type, int device) const {
        int n = 0;
        for (const auto& s : link_.Sent()) n += s.type == type && s.mac == MacOf(device) ? 1 : 0;
        return n;
    }

    testing::ScratchDir dir_;
    CSqlManagement store_{dir_.Dir()};
    testing::RecordingOutboundLink link_;
    CPresenceTable presence_;
    CInboundHandlers handlers_{presence_, store_, link_};
};

// ---- survey result packets -------------------------------------------------------

// `carried` entries whole, then `extra` bytes of the next one.
std::vector<std::uint8_t> ScanBytes(std::uint8_t claimed, std::size_t carried, std::size_t extra) {
    scan_reply_stu reply{};
    reply.packet_count = 1;
    reply.packet_id = 0;
    reply.icount = claimed;
    for (std::size_t i = 0; i < kMaxScanEntries; ++i) {
        reply.entries[i].mac[0] = 0x0a;
        reply.entries[i].mac[5] = static_cast<std::uint8_t>(i + 1);
        reply.entries[i].ssid.Assign("north");
        reply.entries[i].signal = static_cast<std::uint8_t>(-40);
    }
    auto bytes = Bytes(reply);
    bytes.resize(offsetof(scan_reply_stu, entries) + carried * sizeof(scan_entry_stu) + extra);
    return bytes;
}

struct ScanCase {
    const char* name;
    bool asked;
    std::uint8_t claimed;
    std::size_t carried;
    std::size_t extra;
    std::size_t rows;
    std::uint64_t unasked;
    std::uint64_t cut_short;
    bool complete;
};

class ScanBoundsTest : public BoundsTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(ScanBoundsTest, OnlyAnAskedRadiosCarriedEntriesAreStored) {
    const ScanCase c = GetParam();
    link_.survey_expected = c.asked;
    handlers_.OnReply(
        Element(MSG_SCAN_AP, MacOf(1), "198.18.0.20", ScanBytes(c.claimed, c.carried, c.extra)));
    std::vector<config_otherwl_basic> rows;
    ASSERT_TRUE(store_.GetScanList(0, rows, true));
    EXPECT_EQ(rows.size(), c.rows);
    for (const auto& row : rows) EXPECT_EQ(row.mac[0], 0x0a) << "a row made of padding";
    EXPECT_EQ(handlers_.Counters().scan_packets_unasked, c.unasked);
    EXPECT_EQ(handlers_.Counters().scan_packets_short, c.cut_short);
    EXPECT_EQ(link_.scan_complete, c.complete);
}

INSTANTIATE_TEST_SUITE_P(
    Packets, ScanBoundsTest,
    ::testing::Values(ScanCase{"whole", true, 3, 3, 0, 3, 0, 0, true},
                      ScanCase{"claims_33_carries_2", true, 33, 2, 0, 2, 0, 1, true},
                      ScanCase{"claims_5_carries_none", true, 5, 0, 0, 0, 0, 1, true},
                      ScanCase{"half_an_entry_more", true, 2, 1, 22, 1, 0, 1, true},
                      ScanCase{"nobody_asked", false, 3, 3, 0, 0, 1, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SurveyRequests, ResultsAreAwaitedFromTheAskedRadioForThirtySeconds) {
    using namespace std::chrono_literals;
    CSurveyRequests surveys;
    const auto t0 = CSurveyRequests::Clock::now();
    surveys.Asked("198.18.0.20", MacOf(1), t0);
    EXPECT_TRUE(surveys.Expected("198.18.0.20", MacOf(1), t0 + 30s));
    EXPECT_FALSE(surveys.Expected("198.18.0.20", MacOf(1), t0 + 31s));
    EXPECT_FALSE(surveys.Expected("198.18.0.21", MacOf(1), t0)) << "another address";
    EXPECT_FALSE(surveys.Expected("198.18.0.20", MacOf(2), t0)) << "another radio";
    surveys.Asked("198.18.0.30", MacOf(3), t0 + 40s);
    EXPECT_EQ(surveys.Size(), 1u) << "a survey long over is forgotten";
}

// ---- presence limits ---------------------------------------------------------------

class CappedPresenceTest : public BoundsTest {
  protected:
    CappedPresenceTest() : BoundsTest(PresenceLimits{3, 2}) {}
};

TEST_F(CappedPresenceTest, NewMacBeyondTheCapIsAnsweredButNotRecorded) {
    for (int d = 1; d <= 4; ++d) AnnounceFrom("198.18.0." + std::to_string(20 + d), d);
    EXPECT_EQ(presence_.Size(), 3u);
    EXPECT_FALSE(presence_.Find(MacOf(4)));
    EXPECT_EQ(Sent(MSG_DISCOVER, 4), 1) << "the newcomer still gets its answer";
    EXPECT_EQ(Sent(MSG_GET_DEVICE_INFO, 4), 0) << "but no report request";
    EXPECT_EQ(presence_.Counters().over_announced_cap, 1u);

    // A recorded device announcing again is only refreshed, never turned away.
    AnnounceFrom("198.18.0.21", 1);
    EXPECT_EQ(Sent(MSG_GET_DEVICE_INFO, 1), 2);
    EXPECT_EQ(presence_.Counters().over_announced_cap, 1u);

    // A report makes room: registered devices do not count against the cap.
    Report("198.18.0.21", 1);
    AnnounceFrom("198.18.0.24", 4);
    EXPECT_TRUE(presence_.Find(MacOf(4)));
    EXPECT_EQ(presence_.Counters().announced_now, 3u);
}

TEST_F(CappedPresenceTest, OneAddressAnnouncingManyMacsIsAStormUntilTheNextSearch) {
    // The cap is 3 announced records; this address may bring 2 new MACs per search.
    AnnounceFrom("198.18.0.99", 1);
    AnnounceFrom("198.18.0.99", 2);
    AnnounceFrom("198.18.0.99", 3);
    AnnounceFrom("198.18.0.20", 4);
    EXPECT_TRUE(presence_.Find(MacOf(2)));
    EXPECT_FALSE(presence_.Find(MacOf(3)));
    EXPECT_TRUE(presence_.Find(MacOf(4))) << "another address is not held back";
    EXPECT_EQ(Sent(MSG_DISCOVER, 3), 1);
    EXPECT_EQ(Sent(MSG_GET_DEVICE_INFO, 3), 0);
    EXPECT_EQ(presence_.Counters().over_source_limit, 1u);
    EXPECT_EQ(presence_.Counters().over_announced_cap, 0u);

    presence_.DropPendingDevices();
    AnnounceFrom("198.18.0.99", 3);
    EXPECT_TRUE(presence_.Find(MacOf(3))) << "a new search starts the count again";
}

// ---- the keyed table keeps the address rules ---------------------------------------

struct OwnerCase {
    const char* name;
    // Steps before device 3 announces from 198.18.0.30: who is registered where.
    bool second_moves_onto_first;  // device 2's keep-alives come from device 1's address
    bool first_ages_out;
    bool newcomer_asked_for_report;
};

class OwnerIndexTest : public BoundsTest, public ::testing::WithParamInterface<OwnerCase> {};

TEST_P(OwnerIndexTest, TheAddressOwnerFollowsMovesAndDepartures) {
    const OwnerCase c = GetParam();
    const std::string shared = "198.18.0.30";
    AnnounceFrom(shared, 1);
    Report(shared, 1);
    AnnounceFrom("198.18.0.31", 2);
    Report("198.18.0.31", 2);
    if (c.second_moves_onto_first) {
        handlers_.OnKeepalive(Element(MSG_KEEPALIVE, MacOf(2), shared, Bytes(keepalive_stu{})));
    }
    if (c.first_ages_out) {
        for (int tick = 0; tick < 4; ++tick) {
            presence_.AgeOnce();
            // Device 2 keeps talking, from wherever it now is.
            handlers_.OnKeepalive(Element(MSG_KEEPALIVE, MacOf(2),
                                          c.second_moves_onto_first ? shared : "198.18.0.31",
                                          Bytes(keepalive_stu{})));
        }
        ASSERT_FALSE(presence_.Find(MacOf(1)));
    }
    link_.ClearSent();
    AnnounceFrom(shared, 3);
    EXPECT_EQ(Sent(MSG_GET_DEVICE_INFO, 3), c.newcomer_asked_for_report ? 1 : 0);

    // The later of two registered records on one address owns it: its own report is
    // taken, the earlier one's is refused.
    if (c.second_moves_onto_first && !c.first_ages_out) {
        EXPECT_TRUE(presence_.AcceptReport(MacOf(2), 3, ReportAt(shared)));
        EXPECT_FALSE(presence_.AcceptReport(MacOf(1), 3, ReportAt(shared)));
    }
}

INSTANTIATE_TEST_SUITE_P(Moves, OwnerIndexTest,
                         ::testing::Values(OwnerCase{"owner_present", false, false, false},
                                           OwnerCase{"owner_gone", false, true, true},
                                           OwnerCase{"two_owners", true, false, false},
                                           OwnerCase{"mover_stays", true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoundsTest, CommittedAddressChangeMovesTheOwnership) {
    AnnounceFrom("198.18.0.30", 1);
    Report("198.18.0.30", 1);
    presence_.SetPendingIp(MacOf(1), "198.18.0.30", "198.18.0.40");
    handlers_.OnReply(Element(MSG_SET_IP, MacOf(1), "198.18.0.30", {}));
    link_.ClearSent();
    AnnounceFrom("198.18.0.30", 2);
    AnnounceFrom("198.18.0.40", 3);
    EXPECT_EQ(Sent(MSG_GET_DEVICE_INFO, 2), 1) << "the old address is free";
    EXPECT_EQ(Sent(MSG_GET_DEVICE_INFO, 3), 0) << "the new one is taken";
}

// ---- receive queue -----------------------------------------------------------------

TEST(ReceiveQueueBound, FullQueueDropsAndCountsUntilItsWorkerTakesIt) {
    CReceiveQueue queue(2);
    const auto longer =
        BuildDatagram(MSG_KEEPALIVE, std::vector<std::uint8_t>(40, 0x77), "", false);
    const auto shorter = BuildDatagram(MSG_KEEPALIVE, {}, "", false);
    EXPECT_TRUE(queue.Push(longer, 1, 10));
    EXPECT_TRUE(queue.Push(shorter, 2, 20));
    EXPECT_FALSE(queue.Push(shorter, 3, 30));
    EXPECT_EQ(queue.Dropped(), 1u);

    std::stop_source stop;
    CReceivedBatch batch;
    ASSERT_TRUE(queue.WaitAndTakeAll(stop.get_token(), batch));
    ASSERT_EQ(batch.Count(), 2u);
    EXPECT_TRUE(queue.Push(shorter, 4, 40)) << "room again once taken";

    // One element reused for the whole batch, as the worker does: a short datagram
    // after a long one reads as zeros beyond its size.
    udp_packet_stu element;
    batch.Load(0, element);
    EXPECT_EQ(element.size, longer.size());
    EXPECT_EQ(element.payload()[39], 0x77);
    batch.Load(1, element);
    EXPECT_EQ(element.source_ip, 2u);
    EXPECT_EQ(element.source_port, 20);
    EXPECT_EQ(element.size, shorter.size());
    EXPECT_EQ(element.payload()[39], 0);
    EXPECT_TRUE(element.ReceivedPayload().empty());
}

TEST(ReceiveQueueBound, AGatheringWorkerTakesEarlyWhenTheQueueFillsHalfWay) {
    using namespace std::chrono_literals;
    CReceiveQueue queue(8);
    const auto datagram = BuildDatagram(MSG_KEEPALIVE, {}, "", false);
    ASSERT_TRUE(queue.Push(datagram, 1, 1));
    std::stop_source stop;
    CReceivedBatch batch;
    auto taken = std::async(std::launch::async,
                            [&] { return queue.WaitAndTakeAll(stop.get_token(), batch, 1h); });
    for (std::uint32_t k = 2; k <= 4; ++k) ASSERT_TRUE(queue.Push(datagram, k, 1));
    ASSERT_EQ(taken.wait_for(30s), std::future_status::ready) << "waited out the whole hour";
    EXPECT_TRUE(taken.get());
    EXPECT_EQ(batch.Count(), 4u);

    ASSERT_TRUE(queue.Push(datagram, 5, 1));
    auto stopped = std::async(std::launch::async,
                              [&] { return queue.WaitAndTakeAll(stop.get_token(), batch, 1h); });
    stop.request_stop();
    ASSERT_EQ(stopped.wait_for(30s), std::future_status::ready) << "the gathering ignored stop";
    EXPECT_FALSE(stopped.get());
}

// ---- resend list -------------------------------------------------------------------

struct ResendCase {
    const char* name;
    std::string ip;
    std::string mac;
    int type;
    std::size_t entries;
    std::uint64_t replaced;
};

class ResendBoundTest : public ::testing::TestWithParam<ResendCase> {};

TEST_P(ResendBoundTest, ARepeatedRequestTakesThePendingOnesPlace) {
    const ResendCase c = GetParam();
    CResendList list;
    list.Append({1, "198.18.0.20", MSG_GET_DEVICE_INFO, {1}, MacOf(1), ResendClock::now()});
    ASSERT_TRUE(
        list.SendAndAppend({3, c.ip, c.type, {2}, c.mac, ResendClock::now()}, [] { return true; }));
    EXPECT_EQ(list.Size(), c.entries);
    EXPECT_EQ(list.Replaced(), c.replaced);
    // Whatever is pending is sent with its latest payload and its full repetitions.
    std::vector<resend_item_stu> sent;
    for (int pass = 0; pass < 5; ++pass) {
        list.RunPass(ResendClock::now() + std::chrono::hours(pass + 1),
                     std::chrono::milliseconds(1),
                     [&](const resend_item_stu& item) { sent.push_back(item); });
    }
    std::size_t newest = 0;
    for (const auto& item : sent) newest += item.payload == std::vector<std::uint8_t>{2} ? 1 : 0;
    EXPECT_EQ(newest, 3u);
    EXPECT_EQ(list.Size(), 0u);
    EXPECT_FALSE(list.Acknowledge(c.ip, c.mac, c.type)) << "an expired entry leaves no key";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ResendBoundTest,
    ::testing::Values(ResendCase{"same", "198.18.0.20", MacOf(1), MSG_GET_DEVICE_INFO, 1, 1},
                      ResendCase{"other_type", "198.18.0.20", MacOf(1), MSG_REBOOT, 2, 0},
                      ResendCase{"other_address", "198.18.0.21", MacOf(1), MSG_GET_DEVICE_INFO, 2,
                                 0},
                      ResendCase{"other_mac", "198.18.0.20", MacOf(2), MSG_GET_DEVICE_INFO, 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- answer tally ------------------------------------------------------------------

TEST(AnswerTally, OnlyWatchedAnswersAreCounted) {
    testing::ScratchDir dir;
    CSqlManagement store(dir.Dir());
    CCommEngine engine(EngineOptions{}, nullptr, store);
    engine.AnswerHandled("198.18.0.20", MacOf(1), MSG_REBOOT, 0);
    EXPECT_EQ(engine.AnswerCount("198.18.0.20", MacOf(1), MSG_REBOOT), 0u);
    EXPECT_EQ(engine.WatchAnswers("198.18.0.20", MacOf(1), MSG_REBOOT), 0u);
    engine.AnswerHandled("198.18.0.20", MacOf(1), MSG_REBOOT, 7);
    engine.AnswerHandled("198.18.0.20", MacOf(2), MSG_REBOOT, 0);
    EXPECT_EQ(engine.AnswerCount("198.18.0.20", MacOf(1), MSG_REBOOT), 1u);
    EXPECT_EQ(engine.LastAnswerResult("198.18.0.20", MacOf(1), MSG_REBOOT), 7);
    EXPECT_EQ(engine.WatchAnswers("198.18.0.20", MacOf(1), MSG_REBOOT), 1u)
        << "watching again keeps the count";
    const EngineStats stats = engine.Stats();
    EXPECT_EQ(stats.answers_watched, 1u);
    EXPECT_EQ(stats.answers_unwatched, 2u);
}

}  // namespace
}  // namespace fk
