#include "operations/wait_schedule.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/flow_stepper.h"

namespace fk {
namespace {

struct WaitCase {
    const char* label;
    int seconds;
    bool rediscover;
    int passes;
    std::vector<long long> search_ms;
};

class WaitScheduleTiming : public testing::TestWithParam<WaitCase> {};

// Pass k of N falls on tick 2S - 6k + 6, and tick t comes (t - 1) * 500 ms after the
// start; the window closes on tick 2S.
TEST_P(WaitScheduleTiming, PassesFallOnTheirTicksAndTheWindowClosesOnTheLast) {
    const WaitCase& c = GetParam();
    test::RecordingLink link;
    test::FakeStore store;
    CWaitSchedule wait(c.seconds, c.rediscover, c.passes);
    const auto run = test::StepFlow(wait, link, store);
    EXPECT_EQ(run.TimesOf(EngineAction::Search), c.search_ms);
    const std::vector<long long> first_pass =
        c.search_ms.empty() ? std::vector<long long>{} : std::vector<long long>{c.search_ms[0]};
    EXPECT_EQ(run.TimesOf(EngineAction::ReleasePending), first_pass);
    EXPECT_EQ(run.outcome, FlowOutcome::Done);
    EXPECT_EQ(run.EndMs(), c.seconds * 1000 - 500);
    // The bar runs from 0 to 2S, one step a tick, and ends full.
    ASSERT_TRUE(run.steps.front().step.progress && run.steps.back().step.progress);
    EXPECT_EQ(run.steps.front().step.progress->position, 0);
    EXPECT_EQ(run.steps.back().step.progress->position, 2 * c.seconds);
    EXPECT_EQ(run.steps[5].step.progress->position, 6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaitScheduleTiming,
    testing::Values(WaitCase{"address_change", 15, true, 3, {8500, 11500, 14500}},
                    WaitCase{"vlan_change_without_rediscovery", 60, false, 3, {}},
                    WaitCase{"reboot", 60, true, 3, {53500, 56500, 59500}},
                    WaitCase{"restore", 60, true, 5, {47500, 50500, 53500, 56500, 59500}}),
    [](const testing::TestParamInfo<WaitCase>& info) { return info.param.label; });

TEST(WaitSchedule, CloseButtonEndsItAndLeavesTheEngineAlone) {
    CWaitSchedule wait(15, true, 3);
    wait.Start({});
    for (int i = 0; i < 20; ++i) wait.Tick({});
    const FlowStep closed = wait.Stop({});
    EXPECT_EQ(closed.outcome, FlowOutcome::Stopped);
    EXPECT_TRUE(closed.actions.empty());
    EXPECT_TRUE(closed.commands.empty());
}

}  // namespace
}  // namespace fk
