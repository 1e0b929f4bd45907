// The one datagram shape every controller and device message shares: a 16-byte
// header followed by a payload, at most 1472 bytes in all (one Ethernet MTU of UDP).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/address_text.h"
#include "protocol/wire_sizes.h"

namespace fk {

inline constexpr std::uint16_t kPacketMagic = 0x1988;

inline constexpr std::uint16_t kPortAnnounce = 9785;   // devices announce themselves here
inline constexpr std::uint16_t kPortSearch = 9786;     // search broadcasts go here
inline constexpr std::uint16_t kPortKeepalive = 9787;  // keep-alives in, commands out
inline constexpr std::uint16_t kPortReply = 9788;      // every answer to a command
inline constexpr const char* kCommandGroup = "239.255.255.250";

enum MsgType : std::uint16_t {
    MSG_DISCOVER = 1,
    MSG_GET_DEVICE_INFO = 2,
    MSG_SET_IP = 3,
    MSG_SET_WIRELESS = 4,
    MSG_SET_TIMED_REBOOT = 5,
    MSG_SCAN_AP = 6,
    MSG_SET_BRIDGE = 7,
    MSG_SET_NAME = 8,
    MSG_REBOOT = 9,
    MSG_RESTORE = 10,
    MSG_UPGRADE = 11,
    MSG_UPGRADE_RESULT = 12,
    MSG_SET_VLAN = 13,
    MSG_KEEPALIVE = 15,
    MSG_UPGRADE_STATUS = 16,
    MSG_RELEASE = 17,
    MSG_SET_TRANSPARENT_BRIDGE = 18,
    MSG_SET_TDMA = 19,
};

#pragma pack(push, 1)
struct packet_head_stu {
    std::uint16_t magic;
    std::uint16_t ap_type;
    std::uint16_t type;
    std::uint8_t flag;
    std::uint8_t reserved;
    std::uint8_t mac[6];
    std::uint16_t len;
};
#pragma pack(pop)
static_assert(sizeof(packet_head_stu) == kHeaderSize);

// A received datagram copied into a zero-filled area, so that payload bytes the
// sender did not send read as 0 (devices rely on this for result bytes they omit).
struct udp_packet_stu {
    std::uint32_t source_ip = 0;  // host byte order
    std::uint16_t source_port = 0;
    std::size_t size = 0;  // bytes actually received
    std::array<std::uint8_t, kMaxDatagram> data{};

    const packet_head_stu& head() const {
        return *reinterpret_cast<const packet_head_stu*>(data.data());
    }
    // The payload area behind the header; always kMaxPayload bytes, zero beyond `size`.
    std::span<const std::uint8_t> payload() const {
        return std::span<const std::uint8_t>(data).subspan(kHeaderSize);
    }
    // Only the payload bytes that actually arrived.
    std::span<const std::uint8_t> ReceivedPayload() const {
        return payload().first(size > kHeaderSize ? std::min(size - kHeaderSize, kMaxPayload) : 0);
    }
    std::string SourceIpText() const;
    std::string HeaderMacText() const;
};

// Builds the exact bytes SendPacket puts on the wire: header plus `payload`
// (cut to kMaxPayload). `mac` may be empty (six zero bytes).
std::vector<std::uint8_t> BuildDatagram(std::uint16_t type, std::span<const std::uint8_t> payload,
                                        std::string_view mac, bool flag);

// The checks every receiver applies before queueing: size 16..1472 and the magic.
bool IsAcceptableDatagram(std::span<const std::uint8_t> datagram);

// Copies an accepted datagram into a queue element; nullopt when the checks fail.
std::optional<udp_packet_stu> MakeQueueElement(std::span<const std::uint8_t> datagram,
                                               std::uint32_t source_ip, std::uint16_t source_port);

}  // namespace fk
