#include "config/batch_ip.h"

#include <gtest/gtest.h>

#include <stop_token>
#include <string>
#include <vector>

#include "../ui/support/recording_link.h"
#include "protocol/packet.h"

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

TEST(BatchIpSender, TellsTheEngineEachNewAddressBeforeItsCommand) {
    test::RecordingLink link;
    ip_range_stu range = Range("192.168.1.254", "192.168.2.5", "255.255.0.0");
    range.dns1 = IpTextToOctets("8.8.4.4");
    const auto selection = Devices(3);
    SendBatchIp(link, selection, range, std::stop_token{});

    const auto pending = link.PendingIpCalls();
    const auto sent = link.Sent();
    ASSERT_EQ(pending.size(), 3u);
    ASSERT_EQ(sent.size(), 3u);
    const char* expected[] = {"192.168.1.254", "192.168.2.1", "192.168.2.2"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pending[i].mac, selection[i].mac);
        EXPECT_EQ(pending[i].old_ip, selection[i].ip);
        EXPECT_EQ(pending[i].new_ip, expected[i]);
        // The command goes to where the device is now, not where it will be.
        EXPECT_EQ(sent[i].ip, selection[i].ip);
        EXPECT_EQ(sent[i].mac, selection[i].mac);
        EXPECT_EQ(sent[i].type, MSG_SET_IP);
        EXPECT_TRUE(sent[i].retransmit);
        const auto want = BuildIpBlock(IpTextToOctets(expected[i]), range.mask, range.gateway,
                                       range.dns1, range.dns2, 1);
        EXPECT_EQ(sent[i].payload, std::vector<std::uint8_t>(want.begin(), want.end()));
    }
}

TEST(BatchIpSender, AStopBeforeStartSendsNothing) {
    test::RecordingLink link;
    std::stop_source source;
    source.request_stop();
    SendBatchIp(link, Devices(2), Range("10.0.0.1", "10.0.0.9"), source.get_token());
    EXPECT_TRUE(link.Sent().empty());
    EXPECT_TRUE(link.PendingIpCalls().empty());
}

TEST(BatchIpProgress, ThreeRediscoveryPassesThenClose) {
    CBatchIpProgress progress;
    std::vector<int> search_ticks;
    std::vector<int> release_ticks;
    int close_tick = 0;
    for (int i = 1; i <= 40 && close_tick == 0; ++i) {
        const auto step = progress.Tick();
        EXPECT_EQ(step.position, i);
        if (step.search) search_ticks.push_back(i);
        if (step.release) release_ticks.push_back(i);
        if (step.close) close_tick = i;
    }
    EXPECT_EQ(search_ticks, (std::vector<int>{18, 24, 30}));
    EXPECT_EQ(release_ticks, (std::vector<int>{18}));
    EXPECT_EQ(close_tick, 30);
    // A tick after the end (a late timer event) changes nothing.
    const auto late = progress.Tick();
    EXPECT_TRUE(late.close);
    EXPECT_FALSE(late.search);
}

}  // namespace
}  // namespace fk
