#include "app/cli/hex_payload.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/wire_sizes.h"

namespace fk::cli {
namespace {

TEST(HexPayload, ReadsDigitPairsWithSeparatorsBetweenBytes) {
    const struct {
        std::string text;
        bool ok;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"", true, {}},
        {"00ff7A", true, {0x00, 0xff, 0x7a}},
        {"de:ad be:EF", true, {0xde, 0xad, 0xbe, 0xef}},
        {" :01: ", true, {0x01}},
        {"0", false, {}},
        {"0 1", false, {}},
        {"0:1", false, {}},
        {"0g", false, {}},
        {"0x12", false, {}},
        {"12-34", false, {}},
        {std::string("1\0"
                     "2",
                     3),
         false,
         {}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes{0x99};
        EXPECT_EQ(ParseHex(c.text, bytes), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(bytes, c.bytes) << c.text;
        }
    }
}

TEST(HexPayload, TakesAtMostOneDatagramOfPayload) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(ParseHex(std::string(2 * kMaxPayload, 'a'), bytes));
    EXPECT_EQ(bytes.size(), kMaxPayload);
    EXPECT_FALSE(ParseHex(std::string(2 * kMaxPayload + 2, 'a'), bytes));
}

}  // namespace
}  // namespace fk::cli
