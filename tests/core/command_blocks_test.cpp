#include "config/command_blocks.h"

#include <gtest/gtest.h>

#include <string>

namespace fk {
namespace {

struct NameCase {
    const char* label;
    std::string name;
    std::string expected_bytes;
};

class NameBlock : public testing::TestWithParam<NameCase> {};

TEST_P(NameBlock, CarriesUtf8BytesZeroFilledWithTheirCount) {
    const NameCase& c = GetParam();
    const name_set_stu block = BuildNameBlock(c.name);
    ASSERT_EQ(block.size(), 33u);
    EXPECT_EQ(block[32], c.expected_bytes.size());
    for (std::size_t i = 0; i < 32; ++i) {
        const std::uint8_t want =
            i < c.expected_bytes.size() ? static_cast<std::uint8_t>(c.expected_bytes[i]) : 0;
        EXPECT_EQ(block[i], want) << c.label << " byte " << i;
    }
}

const std::string k32Ascii(32, 'a');
// "\xe5\x8c\x97" is one ideograph, three bytes.
const std::string kIdeograph = "\xe5\x8c\x97";

INSTANTIATE_TEST_SUITE_P(
    Cases, NameBlock,
    testing::Values(NameCase{"ascii", "roof-east", "roof-east"}, NameCase{"empty", "", ""},
                    NameCase{"full ascii", k32Ascii, k32Ascii},
                    NameCase{"longer ascii is cut", k32Ascii + "bc", k32Ascii},
                    NameCase{"chinese as utf8", "ap" + kIdeograph, "ap" + kIdeograph},
                    // 10 ideographs (30 bytes) + 1 more would split at byte 32: the
                    // whole last character goes, never a part of it.
                    NameCase{"cut keeps whole characters",
                             [] {
                                 std::string s;
                                 for (int i = 0; i < 11; ++i) s += kIdeograph;
                                 return s;
                             }(),
                             [] {
                                 std::string s;
                                 for (int i = 0; i < 10; ++i) s += kIdeograph;
                                 return s;
                             }()}),
    [](const testing::TestParamInfo<NameCase>& info) {
        std::string n = info.param.label;
        for (char& ch : n)
            if (ch == ' ') ch = '_';
        return n;
    });

TEST(IpBlock, LaysOutModeFiveAddressesAndFlag) {
    const ip_set_stu block = BuildIpBlock(
        IpTextToOctets("192.168.1.20"), IpTextToOctets("255.255.255.0"),
        IpTextToOctets("192.168.1.1"), IpTextToOctets("8.8.8.8"), IpTextToOctets(""), 1);
    const ip_set_stu want = {1, 192, 168, 1, 20, 255, 255, 255, 0, 192, 168,
                             1, 1,   8,   8, 8,  8,   0,   0,   0, 0,   1};
    EXPECT_EQ(block, want);
    EXPECT_EQ(BuildIpBlock({}, {}, {}, {}, {}, 0)[21], 0);
}

TEST(IpText, OctetsRoundTripAndKeepLowBits) {
    EXPECT_EQ(IpOctetsToText(IpTextToOctets("10.0.0.254")), "10.0.0.254");
    EXPECT_EQ(IpOctetsToText(IpTextToOctets("192.168.0.300")), "192.168.0.44");
    EXPECT_EQ(IpOctetsToText(IpTextToOctets("")), "0.0.0.0");
}

}  // namespace
}  // namespace fk
