#include "protocol/packet.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace fk {
namespace {

void PutU16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xff);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

// Reads a decimal number the way "%d" does: leading blanks, an optional sign, then
// digits. Only the low eight bits survive, so arithmetic wraps instead of overflowing.
bool ReadDecimal(std::string_view text, std::size_t& pos, std::uint8_t& out) {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t first_digit = pos;
    std::uint32_t value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
        ++pos;
    }
    if (pos == first_digit) return false;
    if (negative) value = 0u - value;
    out = static_cast<std::uint8_t>(value & 0xff);
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one "%02x" field: leading blanks, then one or two hex digits.
bool ReadHexByte(std::string_view text, std::size_t& pos, std::uint8_t& out) {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    int value = 0;
    int digits = 0;
    while (digits < 2 && pos < text.size() && HexDigit(text[pos]) >= 0) {
        value = value * 16 + HexDigit(text[pos]);
        ++pos;
        ++digits;
    }
    if (digits == 0) return false;
    out = static_cast<std::uint8_t>(value);
    return true;
}

// Both address parsers follow scanf: fields are read until one fails, a separator
// must match exactly, and fields never reached stay 0.
template <std::size_t N, typename ReadField>
std::array<std::uint8_t, N> ParseFields(std::string_view text, char separator, ReadField read) {
    std::array<std::uint8_t, N> out{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != separator) break;
            ++pos;
        }
        if (!read(text, pos, out[i])) break;
    }
    return out;
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

std::string MacBytesToText(const std::uint8_t* mac) {
    char buf[24];
    std::snprintf(buf, sizeof(buf), "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3],
                  mac[4], mac[5]);
    return buf;
}

std::string IpOctetsToText(const std::uint8_t* octets) {
    char buf[20];
    std::snprintf(buf, sizeof(buf), "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
    return buf;
}

std::string IpHostOrderToText(std::uint32_t ip) {
    const std::uint8_t octets[4] = {
        static_cast<std::uint8_t>(ip >> 24), static_cast<std::uint8_t>(ip >> 16),
        static_cast<std::uint8_t>(ip >> 8), static_cast<std::uint8_t>(ip)};
    return IpOctetsToText(octets);
}

std::array<std::uint8_t, 4> IpTextToOctets(std::string_view text) {
    return ParseFields<4>(text, '.', ReadDecimal);
}

std::array<std::uint8_t, 6> MacTextToBytes(std::string_view text) {
    return ParseFields<6>(text, ':', ReadHexByte);
}

}  // namespace fk
