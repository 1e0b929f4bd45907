// The site survey stepped on a made-up clock: what it asks for at the start, when it
// ends, and how long it waits for result packets the last one overtook.
#include "operations/site_survey.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "protocol/packet.h"
#include "protocol/scan_progress.h"
#include "support/flow_stepper.h"

namespace fk {
namespace {

// At `at_ms` the survey's flag and missing count change to what the test says.
struct ScanChange {
    long long at_ms;
    bool complete;
    int missing;
};

struct SurveyCase {
    const char* name;
    std::vector<ScanChange> changes;
    FlowOutcome outcome;
    long long end_ms;
};

class SiteSurveyEnd : public ::testing::TestWithParam<SurveyCase> {};

TEST_P(SiteSurveyEnd, EndsWhenWhatArrivedIsStoredOrTheBoundPasses) {
    const SurveyCase& c = GetParam();
    test::RecordingLink link;
    test::FakeStore store;
    CSiteSurvey survey("198.18.0.20", "02:46:4b:00:00:01", link);
    const auto run = test::StepFlow(survey, link, store, [&](long long ms) {
        for (const ScanChange& change : c.changes) {
            if (change.at_ms != ms) continue;
            link.SetScanComplete(change.complete);
            link.SetScanPacketsMissing(change.missing);
        }
    });
    EXPECT_EQ(run.outcome, c.outcome);
    EXPECT_EQ(run.EndMs(), c.end_ms);
    ASSERT_FALSE(run.steps.empty());
    EXPECT_TRUE(run.steps.back().step.refresh_list) << "the list is filled at the end";
    for (std::size_t i = 0; i + 1 < run.steps.size(); ++i)
        EXPECT_FALSE(run.steps[i].step.refresh_list) << "no fill before the end, step " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SiteSurveyEnd,
    ::testing::Values(SurveyCase{"complete", {{4000, true, 0}}, FlowOutcome::Done, 4000},
                      SurveyCase{"complete between ticks",
                                 {{1000, false, 0}, {2000, true, 0}},
                                 FlowOutcome::Done,
                                 2000},
                      SurveyCase{"no answer", {}, FlowOutcome::Failed, 30000},
                      // Packets 0 and 1 of 3 never came, nor the last: the list shows what did.
                      SurveyCase{"partial set", {{3000, false, 1}}, FlowOutcome::Failed, 30000},
                      SurveyCase{"last packet first, the others follow",
                                 {{2000, true, 2}, {3000, true, 1}, {4000, true, 0}},
                                 FlowOutcome::Done,
                                 4000},
                      SurveyCase{"last packet first, the others never come",
                                 {{2000, true, 2}},
                                 FlowOutcome::Done,
                                 2000 + CSiteSurvey::kMissingGraceSeconds * 1000},
                      SurveyCase{"the wait for missing packets keeps the 30 s bound",
                                 {{29000, true, 1}},
                                 FlowOutcome::Done,
                                 30000}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(SiteSurvey, StartEmptiesTheTableAndAsksOnceWithoutRepetition) {
    test::RecordingLink link;
    test::FakeStore store;
    store.SetScan({config_otherwl_basic{}});
    CSiteSurvey survey("198.18.0.20", "02:46:4b:00:00:01", link);
    const auto run = test::StepFlow(survey, link, store,
                                    [&](long long ms) { link.SetScanComplete(ms >= 1000); });
    EXPECT_EQ(store.Writes(), (std::vector<std::string>{"clear-scan"}));
    const auto sent = link.Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type, MSG_SCAN_AP);
    EXPECT_EQ(sent[0].ip, "198.18.0.20");
    EXPECT_EQ(sent[0].mac, "02:46:4b:00:00:01");
    EXPECT_TRUE(sent[0].payload.empty());
    EXPECT_FALSE(sent[0].retransmit);
}

TEST(SiteSurvey, ARestartedSurveyWaitsItsWholeGraceAgain) {
    test::RecordingLink link;
    CSiteSurvey survey("198.18.0.20", "02:46:4b:00:00:01", link);
    link.SetScanComplete(true);
    link.SetScanPacketsMissing(1);
    survey.Start({});
    for (int i = 0; i < CSiteSurvey::kMissingGraceSeconds; ++i)
        EXPECT_FALSE(survey.Tick({}).Finished());
    EXPECT_TRUE(survey.Tick({}).Finished());
    survey.Start({});
    EXPECT_FALSE(survey.Tick({}).Finished());
}

// Arrival orders of one survey's packets: whether the survey is complete and how many
// are still out after each arrival.
struct ProgressCase {
    const char* name;
    int count;
    std::vector<int> arrivals;
    std::vector<bool> complete;
    std::vector<int> missing;
};

class ScanProgressOrder : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ScanProgressOrder, CompleteAtTheLastNumberMissingCountsTheRest) {
    const ProgressCase& c = GetParam();
    CScanProgress progress;
    for (std::size_t i = 0; i < c.arrivals.size(); ++i) {
        progress.Stored(c.arrivals[i], c.count);
        EXPECT_EQ(progress.Complete(), c.complete[i]) << "after packet " << c.arrivals[i];
        EXPECT_EQ(progress.Missing(), c.missing[i]) << "after packet " << c.arrivals[i];
    }
    progress.Reset();
    EXPECT_FALSE(progress.Complete());
    EXPECT_EQ(progress.Missing(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ScanProgressOrder,
    ::testing::Values(ProgressCase{"in_order", 3, {0, 1, 2}, {false, false, true}, {2, 1, 0}},
                      ProgressCase{"last_first", 3, {2, 0, 1}, {true, true, true}, {2, 1, 0}},
                      ProgressCase{"duplicate", 2, {0, 0, 1}, {false, false, true}, {1, 1, 0}},
                      ProgressCase{"single", 1, {0}, {true}, {0}},
                      ProgressCase{"count_zero", 0, {0, 255}, {false, false}, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fk
