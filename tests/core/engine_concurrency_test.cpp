// Search, commands, keep-alives, reports and aging all at once on one engine, so the
// thread sanitizer sees every lock the engine and its handlers take.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "netns_fixture.h"
#include "protocol/comm_engine.h"
#include "protocol/report.h"
#include "scratch_dir.h"
#include "store/sql_management.h"

namespace fk {
namespace {

using namespace std::chrono_literals;

class EngineConcurrencyTest : public testing::NetnsTest {};

std::vector<std::uint8_t> ReportBytes(const std::string& ip) {
    ap_report_stu report{};
    const auto octets = IpTextToOctets(ip);
    std::memcpy(report.ip, octets.data(), 4);
    report.ap_name.Assign("busy");
    std::vector<std::uint8_t> bytes(sizeof(report));
    std::memcpy(bytes.data(), &report, sizeof(report));
    return bytes;
}

TEST_F(EngineConcurrencyTest, EverythingAtOnceKeepsTheTalkingDeviceRegistered) {
    AddLink("ca0", "198.18.0.1/24", "ca1");
    AddHostAddress("ca1", "198.18.0.20");
    AddHostAddress("ca1", "198.18.0.21");
    testing::ScratchDir dir;
    CSqlManagement store(dir.Dir());
    EngineOptions options;
    options.ager_period = 20ms;
    {
        CCommEngine engine(options, OneLan("ca0", "198.18.0.1"), store);
        ASSERT_TRUE(engine.Start(2, 3));
        const std::string mac = "00:11:22:33:44:55";

        // The talking device: announces, reports, and keeps alive throughout.
        std::jthread device([&](std::stop_token stop) {
            testing::TestPeer peer("198.18.0.20");
            keepalive_stu body{};
            for (int i = 0; i < 20000 && !stop.stop_requested(); ++i) {
                body.up_time = static_cast<std::uint32_t>(i);
                std::vector<std::uint8_t> ka(sizeof(body));
                std::memcpy(ka.data(), &body, sizeof(body));
                peer.Send("198.18.0.1", kPortAnnounce,
                          testing::DeviceDatagram(MSG_DISCOVER, mac, 3, {}));
                peer.Send("198.18.0.1", kPortReply,
                          testing::DeviceDatagram(MSG_GET_DEVICE_INFO, mac, 3,
                                                  ReportBytes("198.18.0.20")));
                peer.Send("198.18.0.1", kPortKeepalive,
                          testing::DeviceDatagram(MSG_KEEPALIVE, mac, 3, ka));
                std::this_thread::sleep_for(1ms);  // pacing, not waiting
            }
        });
        // A second device that only announces, released and dropped by every search.
        std::jthread newcomer([&](std::stop_token stop) {
            testing::TestPeer peer("198.18.0.21");
            for (int i = 0; i < 200 && !stop.stop_requested(); ++i) {
                peer.Send("198.18.0.1", kPortAnnounce,
                          testing::DeviceDatagram(MSG_DISCOVER, "00:11:22:33:44:66", 3, {}));
                std::this_thread::sleep_for(2ms);
            }
        });

        std::vector<ap_info_stu> pending;
        std::vector<ap_info_stu> page;
        for (int i = 0; i < 100; ++i) {
            engine.ReleasePendingDevices();
            engine.DropPendingDevices();
            engine.PruneStoreToPresent();
            engine.SearchDevices();
            engine.SendToDevice("198.18.0.20", MSG_SET_NAME, {}, mac, true);
            engine.SetPendingIp(mac, "198.18.0.20", "198.18.0.20");
            engine.ListPendingDevices(10, "", pending);
            int pages = 0;
            int online = 0;
            store.QueryDevicePage(1, page, pages, online, 50, 1, true, "");
            page.clear();
            std::this_thread::sleep_for(1ms);
        }
        // Checked while the device is still talking: a silent one would age out.
        const auto record = engine.Presence().Find(mac);
        device.request_stop();
        device.join();
        newcomer.join();
        ASSERT_TRUE(record);
        EXPECT_EQ(record->state, registered);
        EXPECT_GT(engine.QueuedCount(EngineQueue::keepalive), 0u);
        engine.Stop();
    }
}

}  // namespace
}  // namespace fk
