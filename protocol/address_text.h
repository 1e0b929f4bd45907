// The text forms of device addresses, shared by every layer: one reader and one
// writer of the dotted IPv4 form, and the MAC text the store keys devices by.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace fk {

// First octet first, as addresses travel.
using Ipv4Octets = std::array<std::uint8_t, 4>;

// "%d.%d.%d.%d", first octet first.
std::string IpOctetsToText(const std::uint8_t* octets);
inline std::string IpOctetsToText(const Ipv4Octets& octets) {
    return IpOctetsToText(octets.data());
}
std::string IpHostOrderToText(std::uint32_t ip);

// The text read as "%d.%d.%d.%d" is: fields are read until one fails, each keeps the
// low eight bits of its number, and fields never reached are 0. `exact` tells whether
// the text was four plain decimal numbers of 0..255 without leading zeros, with one
// dot between them and nothing else: the only form an address may be typed in, and the
// one IpOctetsToText writes, so equal addresses are equal texts.
struct Ipv4Reading {
    Ipv4Octets octets{};
    bool exact = false;
};
Ipv4Reading ReadIpv4(std::string_view text);

// Where text the program wrote itself (the store, its own settings) is read back.
// Never for what a user typed: that goes through ParseIpv4.
inline Ipv4Octets IpTextToOctets(std::string_view text) {
    return ReadIpv4(text).octets;
}
// The one reading of an address a user typed (window fields, command-line flags);
// all zeros when the text is not exact.
bool ParseIpv4(std::string_view text, Ipv4Octets& out);
bool ParseIpv4(std::string_view text, std::uint32_t& host_order);

std::uint32_t HostOrderOf(const std::uint8_t* octets);
inline std::uint32_t HostOrderOf(const Ipv4Octets& octets) {
    return HostOrderOf(octets.data());
}
Ipv4Octets OctetsOfHostOrder(std::uint32_t ip);

// "%02x:%02x:%02x:%02x:%02x:%02x"; read with hex digits of either case, fields never
// reached are 0.
std::string MacBytesToText(const std::uint8_t* mac);
std::array<std::uint8_t, 6> MacTextToBytes(std::string_view text);

}  // namespace fk
