// Keep-alive uptimes held between store writes: written once per interval, newest
// per radio, none lost when keep-alives stop or the engine does.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "handler_test_support.h"
#include "netns_fixture.h"
#include "protocol/comm_engine.h"
#include "protocol/pending_uptimes.h"
#include "protocol/receive_queue.h"
#include "scratch_dir.h"
#include "store/sql_management.h"
#include "store_test_support.h"

namespace fk {
namespace {

using namespace std::chrono_literals;

struct Step {
    int at_ms;
    std::vector<UptimeUpdate> added;
    bool force;
    const char* taken;  // "mac=seconds" sorted by MAC, ";"-separated
};

struct PendingCase {
    const char* name;
    std::vector<Step> steps;
};

std::string Describe(std::vector<UptimeUpdate> taken) {
    std::sort(taken.begin(), taken.end(), [](auto& a, auto& b) { return a.mac < b.mac; });
    std::string text;
    for (const auto& u : taken)
        text += (text.empty() ? "" : ";") + u.mac + "=" + std::to_string(u.seconds);
    return text;
}

class PendingUptimesTest : public ::testing::TestWithParam<PendingCase> {};

TEST_P(PendingUptimesTest, TakesNewestPerRadioOncePerInterval) {
    CPendingUptimes pending(1000ms);
    const auto start = CPendingUptimes::Clock::time_point{} + 1h;
    for (const Step& step : GetParam().steps) {
        for (const auto& u : step.added) pending.Add(u);
        const auto taken =
            pending.TakeIfDue(start + std::chrono::milliseconds(step.at_ms), step.force);
        EXPECT_EQ(Describe(taken), step.taken) << "at " << step.at_ms << " ms";
    }
}

const UptimeUpdate kA1{"198.18.0.20", "a", 1};
const UptimeUpdate kA2{"198.18.0.30", "a", 2};
const UptimeUpdate kB7{"198.18.0.21", "b", 7};

INSTANTIATE_TEST_SUITE_P(
    Intervals, PendingUptimesTest,
    ::testing::Values(PendingCase{"first_is_due_at_once", {{0, {kA1}, false, "a=1"}}},
                      PendingCase{"held_within_the_interval",
                                  {{0, {kA1}, false, "a=1"},
                                   {400, {kB7}, false, ""},
                                   {999, {kA2}, false, ""},
                                   {1000, {}, false, "a=2;b=7"}}},
                      PendingCase{"nothing_held_takes_nothing",
                                  {{0, {}, false, ""}, {5000, {}, true, ""}}},
                      PendingCase{"forced_before_the_interval",
                                  {{0, {kA1}, false, "a=1"}, {10, {kA2, kB7}, true, "a=2;b=7"}}},
                      PendingCase{"interval_counts_from_the_last_taking",
                                  {{0, {kA1}, false, "a=1"},
                                   {3000, {}, false, ""},
                                   {3100, {kB7}, false, "b=7"},
                                   {3500, {kA2}, false, ""}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReceiveQueueIdleLimit, ReturnsEmptyAfterTheLimitAndFalseOnStop) {
    CReceiveQueue queue(8);
    CReceivedBatch batch;
    std::stop_source stop;
    EXPECT_TRUE(queue.WaitAndTakeAll(stop.get_token(), batch, 50ms, 20ms));
    EXPECT_EQ(batch.Count(), 0u);

    ASSERT_TRUE(queue.Push(BuildDatagram(MSG_KEEPALIVE, {}, "", false), 1, 1));
    EXPECT_TRUE(queue.WaitAndTakeAll(stop.get_token(), batch, 0ms, 1h));
    EXPECT_EQ(batch.Count(), 1u);

    auto stopped = std::async(
        std::launch::async, [&] { return queue.WaitAndTakeAll(stop.get_token(), batch, 0ms, 1h); });
    stop.request_stop();
    ASSERT_EQ(stopped.wait_for(30s), std::future_status::ready) << "the wait ignored stop";
    EXPECT_FALSE(stopped.get());
}

class KeepaliveStoreTest : public testing::NetnsTest {};

// One keep-alive and then silence: its uptime still reaches the store at the next
// interval, and one heard just before the engine stops is written by the stop.
TEST_F(KeepaliveStoreTest, ALoneKeepaliveReachesTheStore) {
    AddLink("ku0", "198.18.0.1/24", "ku1");
    AddHostAddress("ku1", "198.18.0.20");
    testing::ScratchDir dir;
    CSqlManagement store(dir.Dir());
    const std::string mac = "00:11:22:33:44:55";
    ASSERT_TRUE(store.SaveDeviceReport(testing::MakeDevice(mac, "198.18.0.20", "quiet")));
    EngineOptions options;
    options.keepalive_store_interval = 200ms;
    CCommEngine engine(options, OneLan("ku0", "198.18.0.1"), store);
    ASSERT_TRUE(engine.Start(2, 3));
    testing::TestPeer peer("198.18.0.20");
    peer.Send("198.18.0.1", kPortAnnounce, testing::DeviceDatagram(MSG_DISCOVER, mac, 3, {}));
    auto send_uptime = [&](std::uint32_t seconds) {
        keepalive_stu body{};
        body.up_time = seconds;
        std::vector<std::uint8_t> bytes(sizeof(body));
        std::memcpy(bytes.data(), &body, sizeof(body));
        peer.Send("198.18.0.1", kPortKeepalive,
                  testing::DeviceDatagram(MSG_KEEPALIVE, mac, 3, bytes));
    };
    auto stored_uptime = [&] {
        return testing::PeekFile(store.DatabasePath(), "select up_time from ap_info");
    };
    for (int i = 0; i < 500 && !engine.Presence().Find(mac); ++i) std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(engine.Presence().Find(mac)) << "the announcement was not taken";

    send_uptime(11);
    std::this_thread::sleep_for(20ms);
    send_uptime(12);  // within the interval of the first: held, then written alone
    for (int i = 0; i < 500 && stored_uptime() != "12"; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(stored_uptime(), "12");

    send_uptime(13);
    auto heard_uptime = [&] {
        const auto record = engine.Presence().Find(mac);
        return record ? record->up_time : 0u;
    };
    for (int i = 0; i < 500 && heard_uptime() != 13; ++i) std::this_thread::sleep_for(5ms);
    engine.Stop();
    EXPECT_EQ(stored_uptime(), "13") << "the last keep-alive was lost with the engine";
}

}  // namespace
}  // namespace fk
