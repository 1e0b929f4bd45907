#include "operations/command_sender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "protocol/packet.h"
#include "support/recording_link.h"

namespace fk {
namespace {

constexpr auto kDeadline = std::chrono::seconds(20);

FlowCommand Command(const std::string& mac, std::chrono::milliseconds gap = {}) {
    FlowCommand c;
    c.ip = "198.18.0.20";
    c.mac = mac;
    c.type = MSG_REBOOT;
    c.gap_after = gap;
    return c;
}

TEST(CommandSender, SendsEveryBatchInOrderWithItsPendingAddressFirst) {
    test::RecordingLink link;
    CCommandSender sender(link);
    FlowCommand moved = Command("02:00:00:00:00:01");
    moved.type = MSG_SET_IP;
    moved.pending_ip = "198.18.0.99";
    sender.Send({moved, Command("02:00:00:00:00:02", std::chrono::milliseconds(1))});
    sender.Send({Command("02:00:00:00:00:03")});
    sender.WaitUntilIdle();
    EXPECT_FALSE(sender.Busy());
    EXPECT_EQ(link.Events(), (std::vector<std::string>{
                                 "pending 02:00:00:00:00:01 198.18.0.99",
                                 "send " + std::to_string(MSG_SET_IP) + " 02:00:00:00:00:01",
                                 "send " + std::to_string(MSG_REBOOT) + " 02:00:00:00:00:02",
                                 "send " + std::to_string(MSG_REBOOT) + " 02:00:00:00:00:03"}));
    const auto pending = link.PendingIpCalls();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].old_ip, "198.18.0.20");
}

// A stop lands in the middle of a long gap: it returns at once, and what was queued
// behind the gap never leaves.
TEST(CommandSender, StopDuringAGapDropsTheRestAndReturns) {
    test::RecordingLink link;
    CCommandSender sender(link);
    sender.Send(
        {Command("02:00:00:00:00:01", std::chrono::hours(1)), Command("02:00:00:00:00:02")});
    ASSERT_TRUE(link.WaitForSent(1, kDeadline));
    EXPECT_TRUE(sender.Busy());
    sender.Stop();
    EXPECT_FALSE(sender.Busy());
    EXPECT_EQ(link.Sent().size(), 1u);
    // The sender is usable again after a stop.
    sender.Send({Command("02:00:00:00:00:03")});
    sender.WaitUntilIdle();
    ASSERT_EQ(link.Sent().size(), 2u);
    EXPECT_EQ(link.Sent()[1].mac, "02:00:00:00:00:03");
}

}  // namespace
}  // namespace fk
