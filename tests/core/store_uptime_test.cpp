// The keep-alive write touches exactly the row a lookup by MAC finds, and nothing else.
#include <gtest/gtest.h>

#include <string>

#include "store_test_support.h"

namespace fk::testing {
namespace {

struct UptimeCase {
    const char* name;
    const char* ip;
    const char* mac;
    bool written;
    const char* rows;  // "ID ip up_time up_time_str" of every row, in ID order
};

class StoreUptimeTest : public StoreTest, public ::testing::WithParamInterface<UptimeCase> {};

// Two rows share a MAC (written behind the store's back), a third has another one.
TEST_P(StoreUptimeTest, WritesOnlyTheFirstRowWithTheMac) {
    const UptimeCase& c = GetParam();
    for (const char* values : {"(1,'02:00:00:00:00:01','198.18.0.20',5,'0 0:0:5')",
                               "(2,'02:00:00:00:00:01','198.18.0.21',6,'0 0:0:6')",
                               "(3,'02:00:00:00:00:02','198.18.0.22',7,'0 0:0:7')"}) {
        ASSERT_TRUE(store->ExecuteSql(
            std::string("insert into ap_info(ID,mac,ip,up_time,up_time_str) values") + values));
    }
    EXPECT_EQ(store->UpdateUptime(c.ip, c.mac, 3661), c.written);
    EXPECT_EQ(Peek("select group_concat(ID || ' ' || ifnull(ip,'-') || ' ' || up_time || ' ' || "
                   "up_time_str, '; ') from (select * from ap_info order by ID)"),
              c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoreUptimeTest,
    ::testing::Values(
        UptimeCase{"first_of_two", "198.18.0.40", "02:00:00:00:00:01", true,
                   "1 198.18.0.40 3661 1:1:1; 2 198.18.0.21 6 0 0:0:6; 3 198.18.0.22 7 0 0:0:7"},
        UptimeCase{"single", "198.18.0.40", "02:00:00:00:00:02", true,
                   "1 198.18.0.20 5 0 0:0:5; 2 198.18.0.21 6 0 0:0:6; 3 198.18.0.40 3661 1:1:1"},
        UptimeCase{"empty_address_is_null", "", "02:00:00:00:00:02", true,
                   "1 198.18.0.20 5 0 0:0:5; 2 198.18.0.21 6 0 0:0:6; 3 - 3661 1:1:1"},
        UptimeCase{"unknown_adds_nothing", "198.18.0.40", "02:00:00:00:00:03", false,
                   "1 198.18.0.20 5 0 0:0:5; 2 198.18.0.21 6 0 0:0:6; 3 198.18.0.22 7 0 0:0:7"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fk::testing
