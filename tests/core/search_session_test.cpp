#include "operations/search_session.h"

#include <gtest/gtest.h>

#include <vector>

#include "../ui/support/recording_link.h"

namespace fk {
namespace {

using Step = CSearchSession::Step;

TEST(SearchSession, ThirtyTicksSearchEveryThirdAndFinishAtTheLast) {
    test::RecordingLink link;
    CSearchSession session(link);
    session.Start();
    std::vector<int> refresh_ticks;
    int finish_tick = 0;
    for (int tick = 1; tick <= 40 && finish_tick == 0; ++tick) {
        const Step step = session.Tick();
        if (step == Step::Refresh) refresh_ticks.push_back(tick);
        if (step == Step::Finish) finish_tick = tick;
    }
    EXPECT_EQ(refresh_ticks, (std::vector<int>{3, 6, 9, 12, 15, 18, 21, 24, 27}));
    EXPECT_EQ(finish_tick, 30);
    EXPECT_FALSE(session.Running());
    // The start's broadcast and one per refresh; the finishing tick sends none.
    EXPECT_EQ(link.Searches(), 10);
}

TEST(SearchSession, StopEndsAtOnceAndAFreshStartCountsFromZero) {
    test::RecordingLink link;
    CSearchSession session(link);
    session.Start();
    session.Tick();
    session.Tick();
    session.Stop();
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(session.Tick(), Step::Finish);
    EXPECT_EQ(link.Searches(), 1);

    session.Start();
    EXPECT_EQ(session.Ticks(), 0);
    EXPECT_EQ(session.Tick(), Step::Wait);
    EXPECT_EQ(session.Tick(), Step::Wait);
    EXPECT_EQ(session.Tick(), Step::Refresh);
    EXPECT_EQ(link.Releases(), 2);
}

}  // namespace
}  // namespace fk
