#include "config/country_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace fk {
namespace {

TEST(CountryTables, DeviceCodesMapToRows) {
    const struct {
        int code;
        int row;
        const char* name;
    } cases[] = {
        {0, 4, "China"},
        {1, 31, "United States"},
        {59, 39, "Austria"},
        {60, 40, "Chile"},
        {61, 41, "Test"},
        {44, 0, "Australia"},
        {49, 25, "South Afica"},
        {24, -1, ""},
        {7, -1, ""},
        {62, -1, ""},
        {255, -1, ""},
        {-1, -1, ""},
        {256, -1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindCountryRow(c.code), c.row) << c.code;
        EXPECT_EQ(GetCountryName(c.row), c.name) << c.code;
    }
}

TEST(CountryTables, EveryRowRoundTripsThroughItsCode) {
    const std::set<int> codes_without_row = {7,  10, 13, 14, 15, 16, 17, 19, 20, 21,
                                             23, 24, 25, 30, 33, 43, 51, 52, 53, 55};
    std::set<int> seen;
    for (int row = 0; row < kCountryRowCount; ++row) {
        const int code = GetCountryCode(row);
        ASSERT_GE(code, 0) << row;
        EXPECT_EQ(FindCountryRow(code), row) << row;
        seen.insert(code);
    }
    for (int code = 0; code < 62; ++code) {
        EXPECT_EQ(seen.count(code) == 0, codes_without_row.count(code) == 1) << code;
    }
    EXPECT_EQ(GetCountryCode(0), 44);
    EXPECT_EQ(GetCountryCode(39), 59);
    EXPECT_EQ(GetCountryCode(-1), -1);
    EXPECT_EQ(GetCountryCode(kCountryRowCount), -1);
}

TEST(CountryTables, ChannelListChoiceByBandAndBandwidth) {
    const int italy = FindCountryRow(4);
    const int us = FindCountryRow(1);
    const struct {
        int row;
        int bandwidth;
        int rf_type;
        std::vector<int> channels;
    } cases[] = {
        {italy, 1, 1, {0, 36, 40, 44, 48}},
        {italy, 3, 1, {0, 36, 40, 44, 48}},
        {us, 0, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {us, 1, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {FindCountryRow(1), 1, 2, {0,   36,  40,  44,  48,  52,  56,  60,  64,  100, 104,
                                   108, 112, 120, 128, 132, 136, 140, 149, 153, 157, 161}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseChannelList(GetChannelList(c.row, c.bandwidth, c.rf_type)), c.channels)
            << c.row << "/" << c.bandwidth << "/" << c.rf_type;
    }
    const auto& china = CountryRow(FindCountryRow(0));
    const struct {
        int bandwidth;
        const char* list;
    } by_bandwidth[] = {{0, china.channels_5g_20m}, {1, china.channels_5g_40m},
                        {2, china.channels_5g_20m}, {3, china.channels_5g_80m},
                        {4, china.channels_5g_20m}, {5, china.channels_5g_20m},
                        {6, china.channels_5g_80m}, {7, china.channels_5g_80m}};
    for (const auto& c : by_bandwidth) {
        EXPECT_EQ(GetChannelList(4, c.bandwidth, 1), c.list) << c.bandwidth;
    }
    EXPECT_EQ(GetChannelList(-1, 0, 0), "");
}

TEST(CountryTables, EveryListStartsWithAutoAndTwoPointFourEndsRight) {
    const std::set<std::string> ends_at_11 = {"Canada", "Colombia", "Mexico", "Taiwan",
                                              "United States"};
    for (int row = 0; row < kCountryRowCount; ++row) {
        const auto& r = CountryRow(row);
        for (const char* list :
             {r.channels_24g, r.channels_5g_20m, r.channels_5g_40m, r.channels_5g_80m}) {
            const auto channels = ParseChannelList(list);
            ASSERT_FALSE(channels.empty()) << r.name;
            EXPECT_EQ(channels.front(), 0) << r.name;
        }
        const int last = ParseChannelList(r.channels_24g).back();
        EXPECT_EQ(last, ends_at_11.count(r.name) ? 11 : 13) << r.name;
    }
}

TEST(CountryTables, ListReaderTakesTheLeadingNumber) {
    EXPECT_EQ(ParseChannelList("0,36l,40u,149"), (std::vector<int>{0, 36, 40, 149}));
    EXPECT_EQ(ParseChannelList(""), std::vector<int>{});
    EXPECT_EQ(ParseChannelList("0,,x,7"), (std::vector<int>{0, 7}));
}

}  // namespace
}  // namespace fk
