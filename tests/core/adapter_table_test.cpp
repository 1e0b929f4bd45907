#include "app/adapter_table.h"

#include <gtest/gtest.h>

namespace fk {
namespace {

adapter_info_stu Adapter(std::string name, std::array<std::uint8_t, 6> mac,
                         std::vector<std::string> ips) {
    adapter_info_stu a;
    a.state = 1;
    a.name = name;
    a.description = name;
    a.mac = mac;
    for (auto& ip : ips) a.addresses.push_back({ip, "255.255.255.0"});
    return a;
}

const std::vector<adapter_info_stu> kAdapters = {
    Adapter("eth0", {0x02, 0xfc, 0, 0, 0, 0x01}, {"198.18.0.1"}),
    Adapter("lan, \"office\"", {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF},
            {"198.18.1.1", "198.19.0.1", "198.18.2.1"}),
};

TEST(AdapterTable, RowsNumberFromOneAndJoinAddresses) {
    const auto rows = AdapterRows(kAdapters);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, "1");
    EXPECT_EQ(rows[0].mac, "02:fc:00:00:00:01");
    EXPECT_EQ(rows[0].ip, "198.18.0.1");
    EXPECT_EQ(rows[1].id, "2");
    EXPECT_EQ(rows[1].mac, "aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(rows[1].ip, "198.18.1.1--198.19.0.1--198.18.2.1");
    EXPECT_EQ(AdapterAddressText(Adapter("x", {}, {})), "");
}

TEST(AdapterTable, Formats) {
    const auto rows = AdapterRows(kAdapters);
    const struct {
        AdapterTableFormat format;
        std::string expected;
    } cases[] = {
        {AdapterTableFormat::Csv,
         "ID,Description,MAC,IP\n"
         "1,eth0,02:fc:00:00:00:01,198.18.0.1\n"
         "2,\"lan, \"\"office\"\"\",aa:bb:cc:dd:ee:ff,198.18.1.1--198.19.0.1--198.18.2.1\n"},
        {AdapterTableFormat::Table,
         "ID  Description    MAC                IP\n"
         "1   eth0           02:fc:00:00:00:01  198.18.0.1\n"
         "2   lan, \"office\"  aa:bb:cc:dd:ee:ff  198.18.1.1--198.19.0.1--198.18.2.1\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatAdapterRows(rows, c.format), c.expected);
    EXPECT_EQ(Json::parse(FormatAdapterRows(rows, AdapterTableFormat::Json)),
              Json::parse(R"([{"ID": "1", "Description": "eth0", "MAC": "02:fc:00:00:00:01",
                               "IP": "198.18.0.1"},
                              {"ID": "2", "Description": "lan, \"office\"", "MAC": "aa:bb:cc:dd:ee:ff",
                               "IP": "198.18.1.1--198.19.0.1--198.18.2.1"}])"));
    EXPECT_EQ(Json::parse(FormatAdapterRows({}, AdapterTableFormat::Json)), Json::array());
    EXPECT_EQ(FormatAdapterRows({}, AdapterTableFormat::Csv), "ID,Description,MAC,IP\n");
}

}  // namespace
}  // namespace fk
