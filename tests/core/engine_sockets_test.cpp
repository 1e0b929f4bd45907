// The engine on real sockets, each case in a network namespace of its own: two LANs
// on veth links (198.18.0.0/24 and 198.19.0.0/24), watched from the far ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <memory>
#include <thread>

#include "netns_fixture.h"
#include "protocol/comm_engine.h"
#include "protocol/packet.h"
#include "protocol/udp_socket.h"
#include "scratch_dir.h"
#include "store/sql_management.h"

namespace fk {
namespace {

using namespace std::chrono_literals;
using testing::CapturedDatagram;
using testing::FrameCapture;
using testing::TestPeer;
using testing::TypeOf;

const std::string kDeviceMac = "00:11:22:33:44:55";
const std::string kDeviceIp = "198.18.0.20";

std::size_t CountType(const std::vector<CapturedDatagram>& frames, std::uint16_t type) {
    return static_cast<std::size_t>(
        std::count_if(frames.begin(), frames.end(),
                      [&](const CapturedDatagram& d) { return TypeOf(d) == type; }));
}

// Polls a condition that no capture signals (engine counters) until a deadline.
template <typename Pred>
bool Eventually(Pred pred, std::chrono::milliseconds deadline = 5s) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < until) {
        if (pred()) return true;
        std::this_thread::sleep_for(2ms);
    }
    return pred();
}

class EngineNetTest : public testing::NetnsTest {
  protected:
    void SetUp() override {
        NetnsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        AddLink("fa0", "198.18.0.1/24", "fa1");
        AddLink("fb0", "198.19.0.1/24", "fb1");
        AddHostAddress("fa1", kDeviceIp);
        AddHostAddress("fa1", "198.18.0.21");
        store_ = std::make_unique<CSqlManagement>(scratch_.Dir());
        lan_a_ = std::make_unique<FrameCapture>("fa1");
        lan_b_ = std::make_unique<FrameCapture>("fb1");
        ASSERT_TRUE(lan_a_->IsOpen() && lan_b_->IsOpen());
    }

    void TearDown() override {
        engine_.reset();
        store_.reset();
    }

    std::vector<adapter_info_stu> TwoLans() {
        return {Adapter("fa0", {{"198.18.0.1", "255.255.255.0"}}),
                Adapter("fb0", {{"198.19.0.1", "255.255.255.0"}})};
    }

    CCommEngine& StartEngine(int max, int interval, EngineOptions options = {}) {
        engine_ = std::make_unique<CCommEngine>(
            options, std::make_unique<testing::FixedAdapterSource>(TwoLans()), *store_);
        EXPECT_TRUE(engine_->Start(max, interval));
        return *engine_;
    }

    // Everything the engine sent before this call has been captured once the marker
    // (a release, never repeated) shows up behind it on the same link.
    void FlushLanA() {
        const auto before = CountType(lan_a_->Snapshot(), MSG_RELEASE);
        ASSERT_TRUE(engine_->SendToDevice(kDeviceIp, MSG_RELEASE, {}, "ff:ff:ff:ff:ff:ff", false));
        ASSERT_TRUE(lan_a_->WaitUntil(
            [&](const auto& frames) { return CountType(frames, MSG_RELEASE) > before; }));
    }

    void Announce(const std::string& from_ip, const std::string& mac) {
        TestPeer device(from_ip);
        ASSERT_TRUE(device.Send("198.18.0.1", kPortAnnounce,
                                testing::DeviceDatagram(MSG_DISCOVER, mac, 3, {})));
    }

    testing::ScratchDir scratch_;
    std::unique_ptr<CSqlManagement> store_;
    std::unique_ptr<FrameCapture> lan_a_;
    std::unique_ptr<FrameCapture> lan_b_;
    std::unique_ptr<CCommEngine> engine_;
};

TEST_F(EngineNetTest, SearchSendsOneBroadcastPerLocalNetwork) {
    std::vector<adapter_info_stu> adapters = TwoLans();
    // A second address in the first network must not double its broadcast.
    adapters[0].addresses.push_back({"198.18.0.7", "255.255.255.0"});
    ASSERT_TRUE(Run("ip addr add 198.18.0.7/24 dev fa0"));
    engine_ = std::make_unique<CCommEngine>(
        EngineOptions{}, std::make_unique<testing::FixedAdapterSource>(adapters), *store_);
    ASSERT_TRUE(engine_->Start(3, 2000));
    engine_->SearchDevices();

    auto is_search = [](const CapturedDatagram& d) {
        return d.destination_port == kPortSearch && TypeOf(d) == MSG_DISCOVER;
    };
    for (auto* lan : {lan_a_.get(), lan_b_.get()}) {
        ASSERT_TRUE(lan->WaitUntil([&](const auto& frames) {
            return std::any_of(frames.begin(), frames.end(), is_search);
        }));
    }
    // A marker broadcast behind the searches proves nothing else was queued on lan A.
    TestPeer marker("198.18.0.1");
    ASSERT_TRUE(marker.Send("198.18.0.255", 9999, {1}, true));
    ASSERT_TRUE(lan_a_->WaitUntil([](const auto& frames) {
        return std::any_of(frames.begin(), frames.end(),
                           [](const CapturedDatagram& d) { return d.destination_port == 9999; });
    }));

    const auto a = lan_a_->Snapshot();
    const auto b = lan_b_->Snapshot();
    ASSERT_EQ(std::count_if(a.begin(), a.end(), is_search), 1);
    ASSERT_EQ(std::count_if(b.begin(), b.end(), is_search), 1);
    const auto search_a = *std::find_if(a.begin(), a.end(), is_search);
    const auto search_b = *std::find_if(b.begin(), b.end(), is_search);
    EXPECT_EQ(search_a.destination_ip, "198.18.0.255");
    EXPECT_EQ(search_b.destination_ip, "198.19.0.255");
    EXPECT_EQ(search_a.payload.size(), kHeaderSize);
    EXPECT_EQ(search_a.payload[6], 0) << "a search carries flag 0";
}

struct CommandRoute {
    std::string device_ip;
    std::string expected_source;  // empty: the command must not leave
    int lan;                      // 0: fa1, 1: fb1
};

class EngineCommandRouteTest : public EngineNetTest,
                               public ::testing::WithParamInterface<CommandRoute> {};

TEST_P(EngineCommandRouteTest, LeavesFromTheAddressInTheDevicesSubnet) {
    const CommandRoute route = GetParam();
    CCommEngine& engine = StartEngine(3, 60000);
    const std::vector<std::uint8_t> payload = {1, 2, 3};
    const bool sent = engine.SendToDevice(route.device_ip, MSG_SET_NAME, payload, kDeviceMac, true);
    if (route.expected_source.empty()) {
        EXPECT_FALSE(sent);
        EXPECT_EQ(engine.PendingCommands(), 0u);
        FlushLanA();
        EXPECT_EQ(CountType(lan_a_->Snapshot(), MSG_SET_NAME), 0u);
        return;
    }
    ASSERT_TRUE(sent);
    EXPECT_EQ(engine.PendingCommands(), 1u);
    FrameCapture& lan = route.lan == 0 ? *lan_a_ : *lan_b_;
    ASSERT_TRUE(lan.WaitUntil([](const auto& f) { return CountType(f, MSG_SET_NAME) == 1; }));
    const auto frames = lan.Snapshot();
    const auto command = *std::find_if(frames.begin(), frames.end(),
                                       [](const auto& d) { return TypeOf(d) == MSG_SET_NAME; });
    EXPECT_EQ(command.source_ip, route.expected_source);
    EXPECT_EQ(command.source_port, kPortKeepalive);
    EXPECT_EQ(command.destination_ip, kCommandGroup);
    EXPECT_EQ(command.destination_port, kPortKeepalive);
    ASSERT_EQ(command.payload.size(), kHeaderSize + payload.size());
    EXPECT_EQ(command.payload[6], 1) << "a command to one device carries flag 1";
    EXPECT_EQ(MacBytesToText(command.payload.data() + 8), kDeviceMac);
}

INSTANTIATE_TEST_SUITE_P(Routes, EngineCommandRouteTest,
                         ::testing::Values(CommandRoute{"198.18.0.20", "198.18.0.1", 0},
                                           CommandRoute{"198.19.0.20", "198.19.0.1", 1},
                                           CommandRoute{"172.16.0.5", "", 0}));

struct Repetition {
    int max;
    std::size_t expected_sends;
};

class EngineRepetitionTest : public EngineNetTest,
                             public ::testing::WithParamInterface<Repetition> {};

TEST_P(EngineRepetitionTest, UnansweredCommandIsSentOnceAndThenMaxTimesMore) {
    CCommEngine& engine = StartEngine(GetParam().max, 10);
    ASSERT_TRUE(engine.SendToDevice(kDeviceIp, MSG_REBOOT, {}, kDeviceMac, true));
    ASSERT_TRUE(Eventually([&] { return engine.PendingCommands() == 0; }));
    FlushLanA();
    EXPECT_EQ(CountType(lan_a_->Snapshot(), MSG_REBOOT), GetParam().expected_sends);
}

INSTANTIATE_TEST_SUITE_P(Limits, EngineRepetitionTest,
                         ::testing::Values(Repetition{3, 4}, Repetition{0, 1}, Repetition{1, 2}));

TEST_F(EngineNetTest, ScanRequestIsNeverRepeatedAndClearsScanComplete) {
    CCommEngine& engine = StartEngine(3, 10);
    engine.ScanPacketStored(0, 1);
    ASSERT_TRUE(engine.ScanComplete());
    ASSERT_TRUE(engine.SendToDevice(kDeviceIp, MSG_SCAN_AP, {}, kDeviceMac, true));
    EXPECT_FALSE(engine.ScanComplete());
    EXPECT_EQ(engine.PendingCommands(), 0u);
    FlushLanA();
    EXPECT_EQ(CountType(lan_a_->Snapshot(), MSG_SCAN_AP), 1u);
}

TEST_F(EngineNetTest, OnlyTheAddressedDeviceAtItsAddressAcknowledges) {
    CCommEngine& engine = StartEngine(3, 60000);
    ASSERT_TRUE(engine.SendToDevice(kDeviceIp, MSG_SET_NAME, {}, kDeviceMac, true));
    ASSERT_TRUE(engine.SendToDevice(kDeviceIp, MSG_SET_WIRELESS, {}, kDeviceMac, true));
    ASSERT_EQ(engine.PendingCommands(), 2u);

    // Right MAC and type, wrong source address; then a proper answer to the other
    // command, which the reply worker handles after the first.
    TestPeer impostor("198.18.0.21");
    ASSERT_TRUE(impostor.Send("198.18.0.1", kPortReply,
                              testing::DeviceDatagram(MSG_SET_NAME, kDeviceMac, 3, {})));
    TestPeer device(kDeviceIp);
    ASSERT_TRUE(device.Send("198.18.0.1", kPortReply,
                            testing::DeviceDatagram(MSG_SET_WIRELESS, kDeviceMac, 3, {})));
    ASSERT_TRUE(Eventually([&] { return engine.PendingCommands() == 1; }));
    ASSERT_TRUE(Eventually([&] { return engine.QueuedCount(EngineQueue::reply) == 2; }));
    EXPECT_EQ(engine.PendingCommands(), 1u);

    ASSERT_TRUE(device.Send("198.18.0.1", kPortReply,
                            testing::DeviceDatagram(MSG_SET_NAME, kDeviceMac, 3, {})));
    EXPECT_TRUE(Eventually([&] { return engine.PendingCommands() == 0; }));
}

TEST_F(EngineNetTest, StopWakesEveryThreadAndSaysGoodbyeToKnownDevices) {
    EngineOptions slow;
    slow.ager_period = std::chrono::hours(1);
    CCommEngine& engine = StartEngine(3, 3600 * 1000, slow);
    // A pending command puts the resend thread into its long sleep.
    ASSERT_TRUE(engine.SendToDevice(kDeviceIp, MSG_SET_NAME, {}, kDeviceMac, true));
    Announce(kDeviceIp, kDeviceMac);
    ASSERT_TRUE(Eventually([&] { return engine.Presence().Size() == 1; }));

    auto stopped = std::async(std::launch::async, [&] { engine.Stop(); });
    ASSERT_EQ(stopped.wait_for(10s), std::future_status::ready) << "Stop hung";
    EXPECT_FALSE(engine.IsRunning());
    ASSERT_TRUE(lan_a_->WaitUntil([](const auto& f) { return CountType(f, MSG_RELEASE) == 1; }));
    const auto frames = lan_a_->Snapshot();
    const auto release = *std::find_if(frames.begin(), frames.end(),
                                       [](const auto& d) { return TypeOf(d) == MSG_RELEASE; });
    EXPECT_EQ(MacBytesToText(release.payload.data() + 8), kDeviceMac);
}

TEST_F(EngineNetTest, ZeroIntervalNeitherSpinsWhenIdleNorFloodsTheDevice) {
    CCommEngine& engine = StartEngine(3, 0);
    // Observation window: an idle resend thread must not wake at all.
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(engine.ResendWakeups(), 0u);

    ASSERT_TRUE(engine.SendToDevice(kDeviceIp, MSG_REBOOT, {}, kDeviceMac, true));
    ASSERT_TRUE(Eventually([&] { return engine.PendingCommands() == 0; }));
    // Three repetitions and one pass that removes the spent entry.
    EXPECT_EQ(engine.ResendWakeups(), 4u);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(engine.ResendWakeups(), 4u);
    FlushLanA();
    EXPECT_EQ(CountType(lan_a_->Snapshot(), MSG_REBOOT), 4u);
}

TEST_F(EngineNetTest, CommandsSentDuringAKeepaliveFloodLoseNoKeepalive) {
    CCommEngine& engine = StartEngine(3, 60000);
    Announce(kDeviceIp, kDeviceMac);
    ASSERT_TRUE(Eventually([&] { return engine.Presence().Size() == 1; }));

    constexpr int kKeepalives = 400;
    std::vector<std::uint8_t> body(40, 0);
    std::jthread flood([&] {
        TestPeer device(kDeviceIp);
        for (int i = 0; i < kKeepalives; ++i) {
            body[36] = static_cast<std::uint8_t>(i);
            device.Send("198.18.0.1", kPortKeepalive,
                        testing::DeviceDatagram(MSG_KEEPALIVE, kDeviceMac, 3, body));
        }
    });
    for (int i = 0; i < kKeepalives; ++i) {
        engine.SendToDevice(kDeviceIp, MSG_SET_TDMA, {}, kDeviceMac, false);
    }
    flood.join();
    EXPECT_TRUE(
        Eventually([&] { return engine.QueuedCount(EngineQueue::keepalive) == kKeepalives; }));
    EXPECT_EQ(engine.QueuedCount(EngineQueue::keepalive), static_cast<std::uint64_t>(kKeepalives));
}

// A burst of keep-alives from more radios than one receive or send call takes: each
// radio gets exactly one answer, with its own MAC, on the link it spoke from.
TEST_F(EngineNetTest, AKeepaliveBurstIsAnsweredOncePerRadioOnItsOwnLink) {
    AddHostAddress("fb1", "198.19.0.20");
    EngineOptions options;
    options.presence.max_macs_per_source = 1000;
    CCommEngine& engine = StartEngine(3, 60000, options);
    const std::size_t on_a = CUdpSocket::kMaxBatch * 2 + 7;
    const std::size_t on_b = 5;
    auto mac_of = [](std::size_t n) {
        char text[18];
        std::snprintf(text, sizeof text, "02:00:00:00:%02zx:%02zx", n >> 8, n & 0xff);
        return std::string(text);
    };
    auto from_ip = [&](std::size_t n) { return n < on_a ? kDeviceIp : "198.19.0.20"; };
    for (std::size_t n = 0; n < on_a + on_b; ++n) Announce(from_ip(n), mac_of(n));
    ASSERT_TRUE(Eventually([&] { return engine.Presence().Size() == on_a + on_b; }));

    {
        TestPeer a(kDeviceIp);
        TestPeer b("198.19.0.20");
        for (std::size_t n = 0; n < on_a + on_b; ++n) {
            (n < on_a ? a : b)
                .Send("198.18.0.1", kPortKeepalive,
                      testing::DeviceDatagram(MSG_KEEPALIVE, mac_of(n), 3,
                                              std::vector<std::uint8_t>(40)));
        }
    }
    auto answered = [&](const FrameCapture& lan) {
        std::map<std::string, int> by_mac;
        for (const auto& d : lan.Snapshot()) {
            if (TypeOf(d) != MSG_KEEPALIVE) continue;
            if (const auto e = MakeQueueElement(d.payload, 0, 0)) ++by_mac[e->HeaderMacText()];
        }
        return by_mac;
    };
    ASSERT_TRUE(Eventually([&] { return answered(*lan_a_).size() == on_a; }));
    ASSERT_TRUE(Eventually([&] { return answered(*lan_b_).size() == on_b; }));
    FlushLanA();
    const auto a = answered(*lan_a_);
    const auto b = answered(*lan_b_);
    for (std::size_t n = 0; n < on_a + on_b; ++n) {
        const auto& lan = n < on_a ? a : b;
        const auto found = lan.find(mac_of(n));
        ASSERT_NE(found, lan.end()) << mac_of(n) << " was not answered on its own link";
        EXPECT_EQ(found->second, 1) << mac_of(n);
    }
}

}  // namespace
}  // namespace fk
