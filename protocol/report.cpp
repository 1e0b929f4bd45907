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

}  // namespace

ap_report_stu DecodeReport(std::span<const std::uint8_t> payload) {
    return DecodeInto<ap_report_stu>(payload, sizeof(ap_report_stu));
}

ap_hello_stu DecodeAnnouncement(std::span<const std::uint8_t> payload, std::size_t declared_len) {
    const std::size_t readable =
        declared_len <= kShortAnnouncementSize ? kShortAnnouncementSize : sizeof(ap_hello_stu);
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
    return std::string(text.substr(0, Utf8ValidPrefixLength(text)));
}

std::string LocalToUtf8(std::string_view text) {
    return std::string(text);
}

std::string LocalToUtf8(std::string_view text, std::size_t area) {
    // Cutting inside a character would hand the device a broken name.
    return CutUtf8(LocalToUtf8(text), area);
}

}  // namespace fk
