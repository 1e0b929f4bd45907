// The one channel list of the wireless tab and the bridge wizard.
#include "config/channel_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "config/country_tables.h"

namespace fk {
namespace {

constexpr int kChina = 0;
constexpr int kTest = 61;

TEST(CountryChannels, DfsOnlyInTheTestRowAndTestOnlyChannelsByModel) {
    const auto has = [](const std::vector<int>& list, int channel) {
        return std::find(list.begin(), list.end(), channel) != list.end();
    };
    const int test_row = FindCountryRow(kTest);
    const auto plain = CountryChannels(FindCountryRow(kChina), 3, 1, 0);
    EXPECT_FALSE(has(plain, 52));
    EXPECT_FALSE(has(plain, 144));
    EXPECT_TRUE(has(plain, 48));
    EXPECT_TRUE(has(plain, 149));
    const auto test_any = CountryChannels(test_row, 3, 1, 0);
    EXPECT_TRUE(has(test_any, 100));
    EXPECT_TRUE(has(test_any, 8));
    EXPECT_TRUE(has(test_any, 188));
    const auto test_skipping = CountryChannels(test_row, 10, 1, 0);
    EXPECT_TRUE(has(test_skipping, 100));
    EXPECT_FALSE(has(test_skipping, 8));
    EXPECT_FALSE(has(test_skipping, 181));
    // A country the table lacks still offers Auto, the list's first entry everywhere.
    EXPECT_EQ(CountryChannels(-1, 3, 1, 0), std::vector<int>{0});
    EXPECT_EQ(CountryChannels(kCountryRowCount, 3, 0, 0), std::vector<int>{0});
    EXPECT_EQ(ChannelEntryText(0), "Auto");
    EXPECT_EQ(ChannelEntryText(161), "161");
}

}  // namespace
}  // namespace fk
