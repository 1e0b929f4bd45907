#include "protocol/packet.h"

#include <algorithm>

namespace fk {
namespace {

void PutU16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xff);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::vector<std::uint8_t> BuildDatagram(std::uint16_t type, std::span<const std::uint8_t> payload,
                                        std::string_view mac, bool flag) {
    const std::size_t len = std::min(payload.size(), kMaxPayload);
    std::vector<std::uint8_t> out(kHeaderSize + len, 0);
    PutU16(&out[0], kPacketMagic);
    PutU16(&out[4], type);
    out[6] = flag ? 1 : 0;
    if (!mac.empty()) {
        const auto bytes = MacTextToBytes(mac);
        std::copy(bytes.begin(), bytes.end(), out.begin() + 8);
    }
    PutU16(&out[14], static_cast<std::uint16_t>(len));
    std::copy_n(payload.begin(), len, out.begin() + kHeaderSize);
    return out;
}

bool IsAcceptableDatagram(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kHeaderSize || datagram.size() > kMaxDatagram) return false;
    const auto magic = static_cast<std::uint16_t>(datagram[0] | (datagram[1] << 8));
    return magic == kPacketMagic;
}

std::optional<udp_packet_stu> MakeQueueElement(std::span<const std::uint8_t> datagram,
                                               std::uint32_t source_ip, std::uint16_t source_port) {
    if (!IsAcceptableDatagram(datagram)) return std::nullopt;
    udp_packet_stu element;
    element.source_ip = source_ip;
    element.source_port = source_port;
    element.size = datagram.size();
    std::copy(datagram.begin(), datagram.end(), element.data.begin());
    return element;
}

std::string udp_packet_stu::SourceIpText() const {
    return IpHostOrderToText(source_ip);
}

std::string udp_packet_stu::HeaderMacText() const {
    return MacBytesToText(head().mac);
}

}  // namespace fk
