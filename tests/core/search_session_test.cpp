#include "operations/search_session.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/flow_stepper.h"

namespace fk {
namespace {

TEST(SearchSession, ThirtyTicksSearchEveryThirdAndFinishAtTheLast) {
    test::RecordingLink link;
    test::FakeStore store;
    CSearchSession session;
    const auto run = test::StepFlow(session, link, store);
    std::vector<long long> refreshes;
    for (const auto& s : run.steps)
        if (s.step.refresh_list) refreshes.push_back(s.at_ms / 1000);
    EXPECT_EQ(refreshes, (std::vector<long long>{3, 6, 9, 12, 15, 18, 21, 24, 27}));
    EXPECT_EQ(run.EndMs(), 30000);
    EXPECT_EQ(run.outcome, FlowOutcome::Done);
    EXPECT_FALSE(session.Running());
    // The start's broadcast and one per refresh; the finishing tick sends none. The
    // start forgets unreported devices and prunes the store before its broadcast.
    EXPECT_EQ(link.Searches(), 10);
    const auto events = link.Events();
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 4),
              (std::vector<std::string>{"release", "drop", "prune", "search"}));
}

TEST(SearchSession, StopEndsAtOnceAndAFreshStartCountsFromZero) {
    CSearchSession session;
    session.Start({});
    session.Tick({});
    session.Tick({});
    EXPECT_EQ(session.Stop({}).outcome, FlowOutcome::Stopped);
    EXPECT_FALSE(session.Running());
    EXPECT_TRUE(session.Tick({}).Finished());

    session.Start({});
    EXPECT_EQ(session.Ticks(), 0);
    EXPECT_TRUE(session.Tick({}).actions.empty());
    EXPECT_TRUE(session.Tick({}).actions.empty());
    EXPECT_EQ(session.Tick({}).actions, std::vector<EngineAction>{EngineAction::Search});
}

TEST(SearchSession, TheHeadlessLengthIsTheCallersAndZeroStillSearchesOnce) {
    const struct {
        int ticks;
        int searches;
        long long end_ms;
    } cases[] = {{0, 1, 0}, {1, 1, 1000}, {6, 2, 6000}, {7, 3, 7000}};
    for (const auto& c : cases) {
        test::RecordingLink link;
        test::FakeStore store;
        CSearchSession session(c.ticks);
        const auto run = test::StepFlow(session, link, store);
        EXPECT_EQ(link.Searches(), c.searches) << c.ticks;
        EXPECT_EQ(run.EndMs(), c.end_ms) << c.ticks;
        EXPECT_EQ(run.outcome, FlowOutcome::Done) << c.ticks;
    }
}

}  // namespace
}  // namespace fk
