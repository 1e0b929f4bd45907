// Byte-exact command payloads that carry a slice of the device report: the device
// takes them as "these bytes of your report, replaced", so their layout is the
// report's own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fk {

inline constexpr std::size_t kNameBlockSize = 33;
inline constexpr std::size_t kIpBlockSize = 22;
inline constexpr std::size_t kSwitchBlockSize = 12;
inline constexpr std::size_t kNameBytesMax = 32;

using name_set_stu = std::array<std::uint8_t, kNameBlockSize>;
using ip_set_stu = std::array<std::uint8_t, kIpBlockSize>;
using switch_set_stu = std::array<std::uint8_t, kSwitchBlockSize>;

using ip_octets = std::array<std::uint8_t, 4>;

// The name in UTF-8, at most 32 bytes, zero-filled, then its byte count.
name_set_stu BuildNameBlock(std::string_view local_name);

// ip_mode is always 1: the controller only ever hands out static settings.
ip_set_stu BuildIpBlock(const ip_octets& ip, const ip_octets& mask, const ip_octets& gateway,
                        const ip_octets& dns1, const ip_octets& dns2, std::uint8_t ip_flag = 1);

ip_octets OctetsFromText(std::string_view text);
std::string OctetsToText(const ip_octets& octets);

}  // namespace fk
