#include "config/batch_ip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/packet.h"
#include "support/flow_stepper.h"

namespace fk {
namespace {

std::vector<ap_select_stu> Devices(int n) {
    std::vector<ap_select_stu> out;
    for (int i = 0; i < n; ++i) {
        const std::string last = std::to_string(100 + i);
        out.push_back({"192.168.0." + last, "00:11:22:33:44:" + std::to_string(10 + i), 3});
    }
    return out;
}

ip_range_stu Range(const char* begin, const char* end, const char* mask = "255.255.255.0") {
    ip_range_stu r;
    r.begin = IpTextToOctets(begin);
    r.end = IpTextToOctets(end);
    r.mask = IpTextToOctets(mask);
    r.gateway = IpTextToOctets("192.168.1.1");
    return r;
}

struct HandOutCase {
    const char* label;
    int devices;
    const char* begin;
    const char* end;
    std::vector<std::string> expected;
};

class HandOut : public testing::TestWithParam<HandOutCase> {};

TEST_P(HandOut, GivesAscendingAddressesInSelectionOrder) {
    const HandOutCase& c = GetParam();
    const auto selection = Devices(c.devices);
    const auto assigned = AssignAddresses(selection, Range(c.begin, c.end, "255.255.0.0"));
    std::vector<std::string> got;
    for (std::size_t i = 0; i < assigned.size(); ++i) {
        EXPECT_EQ(assigned[i].device.mac, selection[i].mac);
        got.push_back(assigned[i].new_ip);
    }
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOut,
    testing::Values(
        HandOutCase{"skips_network_and_broadcast",
                    3,
                    "192.168.1.254",
                    "192.168.2.5",
                    {"192.168.1.254", "192.168.2.1", "192.168.2.2"}},
        HandOutCase{
            "short_range_leaves_the_rest", 3, "10.0.0.10", "10.0.0.11", {"10.0.0.10", "10.0.0.11"}},
        HandOutCase{"one_device_ignores_the_end", 1, "10.0.0.10", "10.0.0.2", {"10.0.0.10"}},
        HandOutCase{"end_below_begin_gives_nothing", 2, "10.0.0.10", "10.0.0.9", {}},
        HandOutCase{"top_of_the_address_space_ends",
                    3,
                    "255.255.255.253",
                    "255.255.255.255",
                    {"255.255.255.253", "255.255.255.254"}},
        HandOutCase{"nobody_selected", 0, "10.0.0.1", "10.0.0.9", {}}),
    [](const testing::TestParamInfo<HandOutCase>& info) { return info.param.label; });

TEST(BatchIpFlow, TellsTheEngineEachNewAddressBeforeItsCommand) {
    test::RecordingLink link;
    test::FakeStore store;
    ip_range_stu range = Range("192.168.1.254", "192.168.2.5", "255.255.0.0");
    range.dns1 = IpTextToOctets("8.8.4.4");
    const auto selection = Devices(3);
    CBatchIpFlow flow(selection, range);
    test::StepFlow(flow, link, store);

    const auto sent = link.SentOfType(MSG_SET_IP);
    ASSERT_EQ(sent.size(), 3u);
    const char* expected[] = {"192.168.1.254", "192.168.2.1", "192.168.2.2"};
    std::vector<std::string> order;
    for (std::size_t i = 0; i < 3; ++i) {
        order.push_back("pending " + selection[i].mac + " " + expected[i]);
        order.push_back("send " + std::to_string(MSG_SET_IP) + " " + selection[i].mac);
        // The command goes to where the device is now, not where it will be.
        EXPECT_EQ(sent[i].ip, selection[i].ip);
        EXPECT_TRUE(sent[i].retransmit);
        const auto want = BuildIpBlock(IpTextToOctets(expected[i]), range.mask, range.gateway,
                                       range.dns1, range.dns2, 1);
        EXPECT_EQ(sent[i].payload, std::vector<std::uint8_t>(want.begin(), want.end()));
    }
    // The sender thread's calls, apart from the searches the driver makes meanwhile.
    std::vector<std::string> sender_calls;
    for (const auto& e : link.Events())
        if (e.starts_with("pending") || e.starts_with("send")) sender_calls.push_back(e);
    EXPECT_EQ(sender_calls, order);
}

// The counter starts at 1 and the first timer event makes it 2: passes on ticks 18, 24
// and 30, that is 8.5, 11.5 and 14.5 s after Save, and the window closes at 14.5 s.
TEST(BatchIpFlow, ThreeRediscoveryPassesThenCloseAtFourteenAndAHalfSeconds) {
    test::RecordingLink link;
    test::FakeStore store;
    CBatchIpFlow flow(Devices(2), Range("10.0.0.1", "10.0.0.9"));
    const auto run = test::StepFlow(flow, link, store);
    EXPECT_EQ(run.TimesOf(EngineAction::Search), (std::vector<long long>{8500, 11500, 14500}));
    EXPECT_EQ(run.TimesOf(EngineAction::ReleasePending), (std::vector<long long>{8500}));
    EXPECT_EQ(run.outcome, FlowOutcome::Done);
    EXPECT_EQ(run.EndMs(), 14500);
    ASSERT_TRUE(run.steps.back().step.progress);
    EXPECT_EQ(run.steps.back().step.progress->position, 30);
    EXPECT_EQ(run.steps.back().step.progress->maximum, 30);
}

}  // namespace
}  // namespace fk
