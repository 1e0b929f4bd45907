#include "protocol/address_text.h"

#include <cctype>
#include <charconv>

namespace fk {
namespace {

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// One "%d" field: leading blanks, an optional sign, then digits. Only the low eight
// bits survive, so arithmetic wraps instead of overflowing. `plain` tells whether the
// field was one to three digits and nothing else, without a leading zero (so one
// address has one spelling), with a value of at most 255.
bool ReadDecimal(std::string_view text, std::size_t& pos, std::uint8_t& out, bool& plain) {
    const std::size_t start = pos;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t first_digit = pos;
    std::uint32_t value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
        ++pos;
    }
    const std::size_t digits = pos - first_digit;
    if (digits == 0) return false;
    const bool leading_zero = digits > 1 && text[first_digit] == '0';
    plain = first_digit == start && digits <= 3 && !leading_zero && value <= 255;
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

// One "%02x" field: leading blanks, then one or two hex digits.
bool ReadHexByte(std::string_view text, std::size_t& pos, std::uint8_t& out) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
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

// Separators must match exactly; the number of fields read is returned.
template <std::size_t N, typename ReadField>
std::size_t ReadFields(std::string_view text, char separator, std::array<std::uint8_t, N>& out,
                       std::size_t& pos, ReadField read) {
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != separator) return i;
            ++pos;
        }
        if (!read(text, pos, out[i])) return i;
    }
    return N;
}

}  // namespace

// Addresses are written for every datagram the engine handles; std::to_chars does
// what the printf family did here at a fraction of the cost.
std::string IpOctetsToText(const std::uint8_t* octets) {
    char buf[16];
    char* end = buf;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) *end++ = '.';
        end = std::to_chars(end, buf + sizeof(buf), octets[i]).ptr;
    }
    return std::string(buf, end);
}

std::string IpHostOrderToText(std::uint32_t ip) {
    return IpOctetsToText(OctetsOfHostOrder(ip));
}

Ipv4Reading ReadIpv4(std::string_view text) {
    Ipv4Reading reading;
    std::size_t pos = 0;
    bool all_plain = true;
    const std::size_t fields =
        ReadFields(text, '.', reading.octets, pos,
                   [&all_plain](std::string_view t, std::size_t& p, std::uint8_t& out) {
                       bool plain = false;
                       const bool read = ReadDecimal(t, p, out, plain);
                       all_plain = all_plain && plain;
                       return read;
                   });
    reading.exact = fields == 4 && all_plain && pos == text.size();
    return reading;
}

bool ParseIpv4(std::string_view text, Ipv4Octets& out) {
    const Ipv4Reading reading = ReadIpv4(text);
    out = reading.exact ? reading.octets : Ipv4Octets{};
    return reading.exact;
}

bool ParseIpv4(std::string_view text, std::uint32_t& host_order) {
    Ipv4Octets octets;
    if (!ParseIpv4(text, octets)) return false;
    host_order = HostOrderOf(octets);
    return true;
}

std::uint32_t HostOrderOf(const std::uint8_t* o) {
    return (std::uint32_t{o[0]} << 24) | (std::uint32_t{o[1]} << 16) | (std::uint32_t{o[2]} << 8) |
           o[3];
}

Ipv4Octets OctetsOfHostOrder(std::uint32_t ip) {
    return {static_cast<std::uint8_t>(ip >> 24), static_cast<std::uint8_t>(ip >> 16),
            static_cast<std::uint8_t>(ip >> 8), static_cast<std::uint8_t>(ip)};
}

std::string MacBytesToText(const std::uint8_t* mac) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(17, ':');
    for (int i = 0; i < 6; ++i) {
        text[static_cast<std::size_t>(i) * 3] = kHex[mac[i] >> 4];
        text[static_cast<std::size_t>(i) * 3 + 1] = kHex[mac[i] & 15];
    }
    return text;
}

std::array<std::uint8_t, 6> MacTextToBytes(std::string_view text) {
    std::array<std::uint8_t, 6> out{};
    std::size_t pos = 0;
    ReadFields(text, ':', out, pos, ReadHexByte);
    return out;
}

}  // namespace fk
