#include "protocol/packet.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace fk {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

TEST(BuildDatagram, CommandToOneDeviceHasExactHeaderAndPayload) {
    const auto payload = Bytes({0xAA, 0xBB, 0xCC});
    const auto d = BuildDatagram(MSG_SET_NAME, payload, "00:1A:2b:3c:4d:5e", true);
    const auto expected = Bytes(
        {0x88, 0x19, 0, 0, 8, 0, 1, 0, 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 3, 0, 0xAA, 0xBB, 0xCC});
    EXPECT_EQ(d, expected);
}

TEST(BuildDatagram, SearchHasNoFlagAndZeroMac) {
    const auto d = BuildDatagram(MSG_DISCOVER, {}, "", false);
    EXPECT_EQ(d, Bytes({0x88, 0x19, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const auto answer = BuildDatagram(MSG_DISCOVER, {}, "01:02:03:04:05:06", true);
    EXPECT_EQ(answer[6], 1);
}

TEST(BuildDatagram, PayloadIsCutToTheLargestDatagram) {
    const std::vector<std::uint8_t> big(2000, 0x5A);
    const auto d = BuildDatagram(MSG_UPGRADE, big, "", true);
    ASSERT_EQ(d.size(), kMaxDatagram);
    EXPECT_EQ(d[14] | (d[15] << 8), static_cast<int>(kMaxPayload));
    EXPECT_EQ(d.back(), 0x5A);
}

TEST(IsAcceptableDatagram, SizeAndMagicRules) {
    auto good = [](std::size_t n) {
        std::vector<std::uint8_t> d(n, 0);
        if (n >= 2) {
            d[0] = 0x88;
            d[1] = 0x19;
        }
        return d;
    };
    auto swapped = good(40);
    swapped[0] = 0x19;
    swapped[1] = 0x88;
    const struct {
        const char* name;
        std::vector<std::uint8_t> datagram;
        bool accepted;
    } cases[] = {
        {"header only", good(16), true},
        {"one byte short", good(15), false},
        {"largest", good(1472), true},
        {"one byte too long", good(1473), false},
        {"empty", {}, false},
        {"byte-swapped magic", swapped, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsAcceptableDatagram(c.datagram), c.accepted) << c.name;
}

TEST(MakeQueueElement, ShortDatagramReadsZeroBeyondWhatWasSent) {
    // A device claims 100 payload bytes but sends 24.
    std::vector<std::uint8_t> d(40, 0xEE);
    d[0] = 0x88;
    d[1] = 0x19;
    d[14] = 100;
    d[15] = 0;
    const auto e = MakeQueueElement(d, 0xC0A80A05, 9785);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->size, 40u);
    EXPECT_EQ(e->head().len, 100);
    EXPECT_EQ(e->payload().size(), kMaxPayload);
    EXPECT_EQ(e->payload()[23], 0xEE);
    for (std::size_t i = 24; i < 100; ++i) ASSERT_EQ(e->payload()[i], 0) << i;
    EXPECT_EQ(e->SourceIpText(), "192.168.10.5");
    EXPECT_EQ(e->source_port, 9785);
    EXPECT_EQ(e->HeaderMacText(), "ee:ee:ee:ee:ee:ee");

    EXPECT_FALSE(MakeQueueElement(std::vector<std::uint8_t>(15, 0), 0, 0).has_value());
}

}  // namespace
}  // namespace fk
