// The list of commands awaiting their answer, on its own: matching of answers, the
// repetition count, and the race between a fast answer and the first sending.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stop_token>
#include <thread>

#include "protocol/resend_list.h"

namespace fk {
namespace {

using namespace std::chrono_literals;

resend_item_stu Item(int remaining, std::string ip = "198.18.0.20", int type = 5,
                     std::string mac = "00:11:22:33:44:55") {
    return resend_item_stu{remaining, std::move(ip), type, {1, 2}, std::move(mac)};
}

struct AckCase {
    const char* name;
    std::string ip;
    std::string mac;
    int type;
    bool removes;
};

class EngineResendAckTest : public ::testing::TestWithParam<AckCase> {};

TEST_P(EngineResendAckTest, OnlyAnExactAnswerEndsTheCommand) {
    CResendList list;
    list.Append(Item(3));
    const AckCase c = GetParam();
    EXPECT_EQ(list.Acknowledge(c.ip, c.mac, c.type), c.removes);
    EXPECT_EQ(list.Size(), c.removes ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, EngineResendAckTest,
    ::testing::Values(AckCase{"Exact", "198.18.0.20", "00:11:22:33:44:55", 5, true},
                      AckCase{"OtherSource", "198.18.0.99", "00:11:22:33:44:55", 5, false},
                      AckCase{"OtherMac", "198.18.0.20", "00:11:22:33:44:66", 5, false},
                      AckCase{"UpperCaseMac", "198.18.0.20", "00:11:22:33:44:5A", 5, false},
                      AckCase{"OtherType", "198.18.0.20", "00:11:22:33:44:55", 4, false},
                      AckCase{"IpPrefix", "198.18.0.2", "00:11:22:33:44:55", 5, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EngineResendList, EntryIsRepeatedOneIntervalAfterEachSendingThenRemoved) {
    const auto t0 = ResendClock::now();
    constexpr auto kInterval = 100ms;
    CResendList list;
    auto first = Item(2);
    first.due = t0 + kInterval;
    list.Append(first);
    auto spent = Item(0, "198.18.0.21");
    spent.due = t0 + kInterval;
    list.Append(spent);
    std::vector<std::string> sent;
    const auto record = [&](const resend_item_stu& item) { sent.push_back(item.ip); };

    list.RunPass(t0 + 50ms, kInterval, record);
    EXPECT_TRUE(sent.empty()) << "nothing is repeated before its interval has passed";
    EXPECT_EQ(list.Size(), 2u);

    list.RunPass(t0 + kInterval, kInterval, record);
    EXPECT_EQ(sent, std::vector<std::string>{"198.18.0.20"});
    EXPECT_EQ(list.Size(), 1u) << "an entry with no repetitions left goes without a send";

    list.RunPass(t0 + kInterval + 99ms, kInterval, record);
    EXPECT_EQ(sent.size(), 1u);
    list.RunPass(t0 + 2 * kInterval, kInterval, record);
    list.RunPass(t0 + 3 * kInterval, kInterval, record);
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(list.Size(), 0u);
}

TEST(EngineResendList, WaitReturnsOnceTheEarliestEntryIsDue) {
    CResendList list;
    auto later = Item(1);
    later.due = ResendClock::now() + 1h;
    list.Append(later);
    auto soon = Item(1);
    soon.due = ResendClock::now() + 20ms;
    list.Append(soon);
    std::stop_source stop;
    auto waiting =
        std::async(std::launch::async, [&] { return list.WaitUntilDue(stop.get_token()); });
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
    EXPECT_GE(ResendClock::now(), soon.due);
}

TEST(EngineResendList, FailedFirstSendingKeepsNothing) {
    CResendList list;
    EXPECT_FALSE(list.SendAndAppend(Item(3), [] { return false; }));
    EXPECT_EQ(list.Size(), 0u);
}

TEST(EngineResendList, AnswerArrivingDuringTheFirstSendingStillEndsTheCommand) {
    CResendList list;
    std::future<bool> answer;
    ASSERT_TRUE(list.SendAndAppend(Item(3), [&] {
        // The device answers before the send call returns; the answer's worker is a
        // different thread. Give it every chance to run first.
        answer = std::async(std::launch::async, [&] {
            return list.Acknowledge("198.18.0.20", "00:11:22:33:44:55", 5);
        });
        answer.wait_for(100ms);
        return true;
    }));
    EXPECT_TRUE(answer.get());
    EXPECT_EQ(list.Size(), 0u);
}

TEST(EngineResendList, IdleWaitEndsOnStop) {
    CResendList list;
    std::stop_source stop;
    auto waiting =
        std::async(std::launch::async, [&] { return list.WaitUntilDue(stop.get_token()); });
    stop.request_stop();
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready) << "the wait ignored stop";
    EXPECT_FALSE(waiting.get());
}

}  // namespace
}  // namespace fk
