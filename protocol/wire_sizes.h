// Byte counts of what travels between the controller and the devices, defined once:
// the structures assert against them, codecs, command blocks, the name rules and the
// simulator size what they read and write by them.
#pragma once

#include <cstddef>

namespace fk {

// A datagram fits one Ethernet MTU of UDP.
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kMaxDatagram = 1472;
inline constexpr std::size_t kMaxPayload = kMaxDatagram - kHeaderSize;  // 1456

// Text areas of the report, each followed by its length byte.
inline constexpr std::size_t kNameTextBytes = 32;  // names, SSIDs, the version
inline constexpr std::size_t kKeyTextBytes = 64;   // WPA pass phrase, RADIUS key
inline constexpr std::size_t kWepKeyTextBytes = 26;

// What devices send.
inline constexpr std::size_t kReportSize = 756;
inline constexpr std::size_t kShortAnnouncementSize = kNameTextBytes + 1;  // the version only
inline constexpr std::size_t kAnnouncementSize = 112;
inline constexpr std::size_t kKeepaliveSize = 40;
inline constexpr std::size_t kScanEntrySize = 44;
inline constexpr std::size_t kMaxScanEntries = 32;
inline constexpr std::size_t kScanPayloadRead = 1414;

// What the controller sends: slices of the report, and the two commands that are not.
inline constexpr std::size_t kIpBlockSize = 22;
inline constexpr std::size_t kNameBlockSize = kNameTextBytes + 1;
inline constexpr std::size_t kTimedRebootBlockSize = 4;
inline constexpr std::size_t kWirelessBlockSize = 328;
inline constexpr std::size_t kBridgeBlockSize = 304;  // followed by an IP block
inline constexpr std::size_t kBridgePayloadSize = kBridgeBlockSize + kIpBlockSize;
inline constexpr std::size_t kUpgradePayloadSize = 268;
inline constexpr std::size_t kVlanBlockShort = 10;
inline constexpr std::size_t kVlanBlockFull = 22;
inline constexpr std::size_t kSwitchBlockSize = 12;

}  // namespace fk
