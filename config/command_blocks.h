// Byte-exact command payloads that carry a slice of the device report: the device
// takes them as "these bytes of your report, replaced", so their layout is the
// report's own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/address_text.h"
#include "protocol/wire_sizes.h"

namespace fk {

using name_set_stu = std::array<std::uint8_t, kNameBlockSize>;
using ip_set_stu = std::array<std::uint8_t, kIpBlockSize>;
using switch_set_stu = std::array<std::uint8_t, kSwitchBlockSize>;
using wireless_set_stu = std::array<std::uint8_t, kWirelessBlockSize>;

// The name in UTF-8, at most 32 bytes, zero-filled, then its byte count.
name_set_stu BuildNameBlock(std::string_view local_name);

// ip_mode is always 1: the controller only ever hands out static settings.
ip_set_stu BuildIpBlock(const Ipv4Octets& ip, const Ipv4Octets& mask, const Ipv4Octets& gateway,
                        const Ipv4Octets& dns1, const Ipv4Octets& dns2, std::uint8_t ip_flag = 1);

}  // namespace fk
