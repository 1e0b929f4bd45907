// A pass of keep-alives is written in one transaction: every known device's row gets
// its uptime and address, unknown ones add nothing, and a second connection sees the
// whole pass once the call returns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store_test_support.h"

namespace fk::testing {
namespace {

struct BatchCase {
    const char* name;
    std::vector<UptimeUpdate> updates;
    std::size_t written;
    const char* rows;  // "mac ip up_time" of every row, in MAC order
};

class StoreUptimeBatchTest : public StoreTest, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(StoreUptimeBatchTest, WritesKnownDevicesTogether) {
    const BatchCase& c = GetParam();
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20", "one")));
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(2), "198.18.0.21", "two")));
    EXPECT_EQ(store->UpdateUptimes(c.updates), c.written);
    EXPECT_EQ(Peek("select group_concat(mac || ' ' || ip || ' ' || up_time, '; ') from "
                   "(select * from ap_info order by mac)"),
              c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Passes, StoreUptimeBatchTest,
    ::testing::Values(
        BatchCase{
            "none", {}, 0, "02:00:00:00:00:01 198.18.0.20 0; 02:00:00:00:00:02 198.18.0.21 0"},
        BatchCase{"both",
                  {{"198.18.0.20", MacOf(1), 11}, {"198.18.0.31", MacOf(2), 22}},
                  2,
                  "02:00:00:00:00:01 198.18.0.20 11; 02:00:00:00:00:02 198.18.0.31 22"},
        BatchCase{"unknown_in_between",
                  {{"198.18.0.20", MacOf(1), 11},
                   {"198.18.0.40", MacOf(9), 99},
                   {"198.18.0.21", MacOf(2), 22}},
                  2,
                  "02:00:00:00:00:01 198.18.0.20 11; 02:00:00:00:00:02 198.18.0.21 22"},
        BatchCase{"same_device_twice_last_wins",
                  {{"198.18.0.20", MacOf(1), 11}, {"198.18.0.25", MacOf(1), 12}},
                  2,
                  "02:00:00:00:00:01 198.18.0.25 12; 02:00:00:00:00:02 198.18.0.21 0"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fk::testing
