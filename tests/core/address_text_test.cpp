#include "protocol/address_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace fk {
namespace {

TEST(AddressText, IpTextToOctetsReadsLikeScanf) {
    const struct {
        const char* text;
        std::array<std::uint8_t, 4> octets;
    } cases[] = {
        {"", {0, 0, 0, 0}},
        {"192.168.0.1", {192, 168, 0, 1}},
        {"192.168.0.300", {192, 168, 0, 44}},
        {"10.1", {10, 1, 0, 0}},
        {"10..3.4", {10, 0, 0, 0}},
        {"abc", {0, 0, 0, 0}},
        {" 1. 2.3.4", {1, 2, 3, 4}},
        {"1.2.3.-1", {1, 2, 3, 255}},
        {"99999999999999.1.2.3", {255, 1, 2, 3}},
    };
    for (const auto& c : cases) EXPECT_EQ(IpTextToOctets(c.text), c.octets) << c.text;
}

TEST(AddressText, MacTextToBytesReadsEitherCase) {
    const struct {
        const char* text;
        std::array<std::uint8_t, 6> bytes;
    } cases[] = {
        {"", {0, 0, 0, 0, 0, 0}},
        {"00:1a:2B:3c:4D:ff", {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xff}},
        {"AA:BB", {0xaa, 0xbb, 0, 0, 0, 0}},
        {"1:2:3:4:5:6", {1, 2, 3, 4, 5, 6}},
        {"aa-bb-cc-dd-ee-ff", {0xaa, 0, 0, 0, 0, 0}},
        {"zz:11:22:33:44:55", {0, 0, 0, 0, 0, 0}},
        {"abc:11", {0xab, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(MacTextToBytes(c.text), c.bytes) << c.text;
}

TEST(AddressText, FormattingRoundTrips) {
    const std::uint8_t mac[6] = {0x00, 0x0A, 0xBC, 0xDE, 0xF0, 0x01};
    EXPECT_EQ(MacBytesToText(mac), "00:0a:bc:de:f0:01");
    EXPECT_EQ(MacTextToBytes(MacBytesToText(mac)),
              (std::array<std::uint8_t, 6>{0x00, 0x0A, 0xBC, 0xDE, 0xF0, 0x01}));
    const std::uint8_t ip[4] = {198, 18, 0, 255};
    EXPECT_EQ(IpOctetsToText(ip), "198.18.0.255");
    EXPECT_EQ(IpHostOrderToText(0x7F000001), "127.0.0.1");
    EXPECT_EQ(IpHostOrderToText(0), "0.0.0.0");
}

// Only a plain dotted quad is an address a user may type or a socket may be given;
// whatever else the lenient reading makes of a text is never taken for one.
TEST(AddressText, ParseIpv4TakesOnlyFourPlainOctets) {
    const struct {
        const char* text;
        bool exact;
        Ipv4Octets octets;
    } cases[] = {
        {"192.168.0.1", true, {192, 168, 0, 1}},
        {"0.0.0.0", true, {0, 0, 0, 0}},
        {"255.255.255.255", true, {255, 255, 255, 255}},
        {"10.1.0.9", true, {10, 1, 0, 9}},
        {"010.001.0.9", false, {}},
        {"192.168.1.010", false, {}},
        {"000.0.0.0", false, {}},
        {"192.168.1.01", false, {}},
        {"1.2.00.4", false, {}},
        {"", false, {}},
        {"10.1", false, {}},
        {"1.2.3", false, {}},
        {"1.2.3.4.", false, {}},
        {"1.2.3.4.5", false, {}},
        {"1..3.4", false, {}},
        {"192.168.0.256", false, {}},
        {"192.168.0.300", false, {}},
        {"1000.1.1.1", false, {}},
        {"0001.2.3.4", false, {}},
        {" 1.2.3.4", false, {}},
        {"1. 2.3.4", false, {}},
        {"1.2.3.4 ", false, {}},
        {"+1.2.3.4", false, {}},
        {"1.2.3.-4", false, {}},
        {"1.2.3.4x", false, {}},
        {"a.b.c.d", false, {}},
    };
    for (const auto& c : cases) {
        Ipv4Octets octets{9, 9, 9, 9};
        EXPECT_EQ(ParseIpv4(c.text, octets), c.exact) << c.text;
        EXPECT_EQ(octets, c.octets) << c.text;
        EXPECT_EQ(ReadIpv4(c.text).exact, c.exact) << c.text;
        std::uint32_t host = 7;
        EXPECT_EQ(ParseIpv4(c.text, host), c.exact) << c.text;
        if (c.exact) {
            EXPECT_EQ(OctetsOfHostOrder(host), c.octets) << c.text;
        }
    }
}

TEST(AddressText, HostOrderPutsTheFirstOctetHighest) {
    const Ipv4Octets octets{198, 18, 0, 255};
    EXPECT_EQ(HostOrderOf(octets), 0xC61200FFu);
    EXPECT_EQ(OctetsOfHostOrder(0xC61200FFu), octets);
    EXPECT_EQ(IpHostOrderToText(HostOrderOf(octets)), IpOctetsToText(octets));
}

}  // namespace
}  // namespace fk
