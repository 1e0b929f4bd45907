#include "protocol/report.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace fk {
namespace {

// Copies what the sender actually sent, up to the structure's size; the rest stays 0.
template <typename T>
T DecodeInto(std::span<const std::uint8_t> payload, std::size_t readable) {
    T out;
    std::memset(&out, 0, sizeof(out));
    const std::size_t n = std::min({payload.size(), readable, sizeof(T)});
    if (n > 0) std::memcpy(&out, payload.data(), n);  // an empty span may carry no pointer
    return out;
}

inline constexpr std::size_t kShortAnnouncement = 33;

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Length of the longest prefix made of whole, valid characters.
std::size_t ValidPrefixLength(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t n = Utf8SequenceLength(text, pos);
        if (n == 0) break;
        pos += n;
    }
    return pos;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    const auto b0 = static_cast<unsigned char>(text[pos]);
    if (b0 < 0x80) return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (pos + len > text.size()) return 0;
    const auto b1 = static_cast<unsigned char>(text[pos + 1]);
    if (b1 < lo || b1 > hi) return 0;
    for (std::size_t i = 2; i < len; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[pos + i]))) return 0;
    }
    return len;
}

ap_report_stu DecodeReport(std::span<const std::uint8_t> payload) {
    return DecodeInto<ap_report_stu>(payload, sizeof(ap_report_stu));
}

ap_hello_stu DecodeAnnouncement(std::span<const std::uint8_t> payload, std::size_t declared_len) {
    const std::size_t readable =
        declared_len <= kShortAnnouncement ? kShortAnnouncement : sizeof(ap_hello_stu);
    return DecodeInto<ap_hello_stu>(payload, readable);
}

keepalive_stu DecodeKeepalive(std::span<const std::uint8_t> payload) {
    return DecodeInto<keepalive_stu>(payload, sizeof(keepalive_stu));
}

scan_reply_stu DecodeScanReply(std::span<const std::uint8_t> payload) {
    return DecodeInto<scan_reply_stu>(payload, sizeof(scan_reply_stu));
}

ScanResults DecodeScanResults(std::span<const std::uint8_t> payload) {
    const scan_reply_stu reply = DecodeScanReply(payload);
    constexpr std::size_t kHead = offsetof(scan_reply_stu, entries);
    // The count byte is the sender's claim; a short datagram holds fewer entries.
    const std::size_t held =
        payload.size() > kHead ? (payload.size() - kHead) / sizeof(scan_entry_stu) : 0;
    const std::size_t count = std::min(reply.EntryCount(), held);
    ScanResults out;
    out.packet_count = reply.packet_count;
    out.packet_id = reply.packet_id;
    out.icount = static_cast<std::uint8_t>(reply.EntryCount());
    out.entries.assign(reply.entries, reply.entries + count);
    for (scan_entry_stu& entry : out.entries) ConvertFieldToLocal(entry.ssid);
    return out;
}

// A fixed text area often ends in the middle of a character, and devices are not
// above sending garbage: everything from the first broken character on is dropped,
// but every whole character before it is kept, whatever its byte count.
std::string Utf8ToLocal(std::string_view text) {
    return std::string(text.substr(0, ValidPrefixLength(text)));
}

std::string LocalToUtf8(std::string_view text) {
    return std::string(text);
}

std::string LocalToUtf8(std::string_view text, std::size_t area) {
    if (text.size() <= area) return std::string(text);
    // Cutting inside a character would hand the device a broken name.
    return std::string(text.substr(0, ValidPrefixLength(text.substr(0, area))));
}

}  // namespace fk
