#include <atomic>
#include <set>
#include <thread>

#include "store_test_support.h"

namespace fk::testing {
namespace {

constexpr int kDevices = 12;
constexpr int kRounds = 60;

// Every field a report writes carries the same stamp, so a row mixed from two
// reports shows as two different stamps.
ap_info_stu StampedReport(int device, int stamp) {
    const std::string s = std::to_string(stamp);
    ap_info_stu r = MakeDevice(MacOf(device), "198.18.0." + std::to_string(device), "n" + s);
    r.report.version.Assign("v" + s);
    r.report.ssid.Assign("s" + s);
    r.report.up_time = static_cast<std::uint32_t>(stamp);
    return r;
}

bool IsWhole(const ap_info_stu& r) {
    const std::string s = std::to_string(r.report.up_time);
    return r.report.ap_name.View() == "n" + s && r.report.version.View() == "v" + s &&
           r.report.ssid.View() == "s" + s;
}

TEST_F(StoreTest, ConcurrentReportsAndQueriesKeepOneWholeRowPerDevice) {
    std::atomic<int> torn{0}, failed{0};
    auto writer = [&](int base) {
        for (int round = 0; round < kRounds; ++round) {
            for (int d = 0; d < kDevices; ++d) {
                if (!store->SaveDeviceReport(StampedReport(d, base + round))) ++failed;
                if (round % 7 == 0 && !store->SetStatus(MacOf(d), STATUS_RESTARTING)) ++failed;
            }
        }
    };
    auto reader = [&] {
        for (int round = 0; round < kRounds; ++round) {
            std::vector<ap_info_stu> list;
            int pages = 0, online = 0;
            if (!store->QueryDevicePage(round % 14, list, pages, online, 5, 1 + round % 3,
                                        round % 2 == 0, round % 4 == 0 ? "n1" : "")) {
                ++failed;
            }
            for (const auto& r : list) {
                if (!IsWhole(r)) ++torn;
            }
            ap_info_stu one{};
            if (!store->GetDevice(MacOf(round % kDevices), one)) ++failed;
            if (one.MacText() != "" && !IsWhole(one)) ++torn;
        }
    };
    { std::jthread a(writer, 1000), b(writer, 5000), c(reader), d(reader); }
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(failed.load(), 0);
    std::vector<std::string> macs;
    ASSERT_TRUE(store->GetAllMacs(macs));
    EXPECT_EQ(macs.size(), static_cast<std::size_t>(kDevices));
    EXPECT_EQ(std::set<std::string>(macs.begin(), macs.end()).size(),
              static_cast<std::size_t>(kDevices));
    for (int d = 0; d < kDevices; ++d) {
        ap_info_stu r{};
        ASSERT_TRUE(store->GetDevice(MacOf(d), r));
        EXPECT_TRUE(IsWhole(r));
        EXPECT_EQ(r.ap_status, STATUS_ONLINE);  // each writer ends with a report
    }
}

}  // namespace
}  // namespace fk::testing
