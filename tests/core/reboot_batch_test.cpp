#include "operations/reboot_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/packet.h"
#include "support/flow_stepper.h"

namespace fk {
namespace {

using std::chrono::milliseconds;

ap_select_stu Device(char name) {
    const std::string tail(1, name);
    return {"198.18.0." + std::to_string(20 + (name - 'a')), "02:00:00:00:00:0" + tail, 3};
}

std::vector<ap_select_stu> Batch(const std::string& names) {
    std::vector<ap_select_stu> out;
    for (char n : names) out.push_back(Device(n));
    return out;
}

// "b+ a c": b first with the 200 ms gap after it, then a and c.
std::string OrderText(const std::vector<FlowCommand>& commands) {
    std::string out;
    for (const FlowCommand& c : commands) {
        if (!out.empty()) out += ' ';
        out += c.mac.back();
        if (c.gap_after == CRebootBatch::kBridgeGap)
            out += '+';
        else if (c.gap_after.count() != 0)
            out += '?';
    }
    return out;
}

struct OrderCase {
    const char* label;
    std::string batch;
    std::string bridged;  // access points that carry a station
    std::string order;
};

class RebootOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(RebootOrder, BridgedAccessPointsGoFirstAndTheRestFollowInBatchOrder) {
    const OrderCase& c = GetParam();
    test::RecordingLink link;
    test::FakeStore store;
    for (char n : c.bridged) store.SetBridged(Device(n).mac);
    CRebootBatch batch(RebootKind::Reboot, Batch(c.batch), store);
    const FlowStep start = batch.Start({});
    EXPECT_EQ(OrderText(start.commands), c.order);
    for (const FlowCommand& command : start.commands) {
        EXPECT_EQ(command.type, MSG_REBOOT);
        EXPECT_TRUE(command.payload.empty());
        EXPECT_TRUE(command.retransmit);
        EXPECT_EQ(command.ip, Device(command.mac.back()).ip);
    }
    // The sender thread keeps that order on the wire.
    test::StepFlow(batch, link, store, {}, 1);
    std::vector<std::string> sent;
    for (const auto& s : link.SentOfType(MSG_REBOOT)) sent.push_back(s.mac);
    std::vector<std::string> planned;
    for (const FlowCommand& command : start.commands) planned.push_back(command.mac);
    EXPECT_EQ(sent, planned);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RebootOrder,
    testing::Values(OrderCase{"empty_batch_sends_nothing", "", "", ""},
                    OrderCase{"nothing_bridged_no_gap", "abc", "", "a b c"},
                    OrderCase{"bridged_in_the_middle", "abc", "b", "b+ a c"},
                    OrderCase{"two_bridged_gap_after_the_last", "abcd", "db", "b d+ a c"},
                    OrderCase{"all_bridged_no_gap", "ab", "ab", "a b"},
                    OrderCase{"bridged_outside_the_batch_ignored", "ac", "b", "a c"}),
    [](const testing::TestParamInfo<OrderCase>& info) { return info.param.label; });

std::vector<long long> MirrorTimes(const test::FlowRun& run) {
    std::vector<long long> out;
    for (const auto& s : run.steps)
        if (!s.step.statuses.empty()) out.push_back(s.at_ms);
    return out;
}

std::vector<long long> Every(long long from, long long to, long long step) {
    std::vector<long long> out;
    for (long long t = from; t <= to; t += step) out.push_back(t);
    return out;
}

struct TimingCase {
    const char* label;
    RebootKind kind;
    std::uint16_t type;
    std::vector<long long> pass_ms;
};

class RebootTiming : public testing::TestWithParam<TimingCase> {};

// Pass ticks 108, 114, 120 (reboot) and 96 to 120 (restore): tick t falls (t - 1) * 500 ms
// after the start. The window closes on tick 120; one more search goes out then, and
// the list is re-read a second later.
TEST_P(RebootTiming, PassesMirrorFinalSearchAndRefreshFallOnTheirMilliseconds) {
    const TimingCase& c = GetParam();
    test::RecordingLink link;
    test::FakeStore store;
    CRebootBatch batch(c.kind, Batch("ab"), store);
    const auto run = test::StepFlow(batch, link, store);
    ASSERT_EQ(run.outcome, FlowOutcome::Done);
    EXPECT_EQ(run.steps.front().step.commands.front().type, c.type);

    std::vector<long long> searches = c.pass_ms;
    searches.push_back(59500);  // the window has closed
    EXPECT_EQ(run.TimesOf(EngineAction::Search), searches);
    EXPECT_EQ(run.TimesOf(EngineAction::ReleasePending), std::vector<long long>{c.pass_ms[0]});
    EXPECT_EQ(MirrorTimes(run), Every(1000, 59000, 1000));

    std::vector<long long> closed, refreshed;
    for (const auto& s : run.steps) {
        if (s.step.wait_over) closed.push_back(s.at_ms);
        if (s.step.refresh_list) refreshed.push_back(s.at_ms);
        if (s.at_ms > 0) {
            EXPECT_TRUE(s.step.commands.empty()) << "sent again at " << s.at_ms;
        }
    }
    EXPECT_EQ(closed, std::vector<long long>{59500});
    EXPECT_EQ(refreshed, std::vector<long long>{60500});
    EXPECT_EQ(run.EndMs(), 60500);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RebootTiming,
    testing::Values(TimingCase{"reboot", RebootKind::Reboot, MSG_REBOOT, {53500, 56500, 59500}},
                    TimingCase{"restore",
                               RebootKind::Restore,
                               MSG_RESTORE,
                               {47500, 50500, 53500, 56500, 59500}}),
    [](const testing::TestParamInfo<TimingCase>& info) { return info.param.label; });

TEST(RebootBatch, MirrorShowsEachBatchDeviceAsTheStoreHasItThatSecond) {
    test::RecordingLink link;
    test::FakeStore store;
    const auto devices = Batch("ab");
    store.SetStatusOf(devices[0].mac, STATUS_ONLINE);
    store.SetStatusOf(devices[1].mac, STATUS_ONLINE);
    CRebootBatch batch(RebootKind::Restore, devices, store);
    const auto run = test::StepFlow(batch, link, store, [&](long long ms) {
        if (ms == 2500) store.SetStatusOf(devices[1].mac, STATUS_RESETING);
        if (ms == 30500) store.SetStatusOf(devices[1].mac, STATUS_OUTLINE);
        if (ms == 41000) store.SetStatusOf(devices[1].mac, STATUS_ONLINE);
    });
    std::vector<std::pair<long long, int>> changes;
    int last = -1;
    for (const auto& s : run.steps) {
        if (s.step.statuses.empty()) continue;
        ASSERT_EQ(s.step.statuses.size(), 2u);
        EXPECT_EQ(s.step.statuses[0].mac, devices[0].mac);
        EXPECT_EQ(s.step.statuses[0].status, STATUS_ONLINE);
        EXPECT_EQ(s.step.statuses[1].mac, devices[1].mac);
        if (s.step.statuses[1].status != last) {
            last = s.step.statuses[1].status;
            changes.emplace_back(s.at_ms, last);
        }
    }
    const std::vector<std::pair<long long, int>> expected = {{1000, STATUS_ONLINE},
                                                             {3000, STATUS_RESETING},
                                                             {31000, STATUS_OUTLINE},
                                                             {41000, STATUS_ONLINE}};
    EXPECT_EQ(changes, expected);
}

// Closing the window at 20.2 s: no status after it, one search at once, the list re-read
// about a second later on the driver's beat, and nothing sent again or taken back.
TEST(RebootBatch, EarlyCloseStopsTheMirrorAtOnceAndStillSearchesAndRefreshes) {
    test::FakeStore store;
    CRebootBatch batch(RebootKind::Reboot, Batch("abc"), store);
    const FlowTime start{};
    const FlowStep first = batch.Start(start);
    EXPECT_EQ(first.commands.size(), 3u);
    for (int tick = 1; tick <= 40; ++tick) batch.Tick(start + milliseconds(500 * tick));

    const FlowTime closed_at = start + milliseconds(20200);
    const FlowStep closed = batch.Stop(closed_at);
    EXPECT_TRUE(closed.wait_over);
    EXPECT_EQ(closed.actions, std::vector<EngineAction>{EngineAction::Search});
    EXPECT_TRUE(closed.statuses.empty());
    EXPECT_TRUE(closed.commands.empty());
    EXPECT_EQ(closed.outcome, FlowOutcome::Running);

    long long refreshed_after = -1;
    for (int tick = 41; tick <= 50 && refreshed_after < 0; ++tick) {
        const FlowTime now = start + milliseconds(500 * tick);
        const FlowStep step = batch.Tick(now);
        EXPECT_TRUE(step.statuses.empty());
        EXPECT_TRUE(step.actions.empty());
        EXPECT_TRUE(step.commands.empty());
        if (step.refresh_list) {
            EXPECT_EQ(step.outcome, FlowOutcome::Done);
            refreshed_after = std::chrono::duration_cast<milliseconds>(now - closed_at).count();
        }
    }
    EXPECT_GE(refreshed_after, 750);
    EXPECT_LE(refreshed_after, 1250);
}

TEST(RebootBatch, WithoutWaitItSendsAndEndsWithoutSearching) {
    test::RecordingLink link;
    test::FakeStore store;
    CRebootBatch batch(RebootKind::Restore, Batch("ab"), store, 0);
    const auto run = test::StepFlow(batch, link, store);
    EXPECT_EQ(run.outcome, FlowOutcome::Done);
    ASSERT_EQ(run.steps.size(), 1u);
    EXPECT_EQ(run.steps[0].step.commands.size(), 2u);
    EXPECT_FALSE(run.steps[0].step.progress);
    EXPECT_EQ(link.Searches(), 0);
    EXPECT_EQ(link.SentOfType(MSG_RESTORE).size(), 2u);
}

}  // namespace
}  // namespace fk
