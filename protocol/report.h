// Payloads a device sends about itself: the full 756-byte report, the announcement
// (short and long form), the keep-alive and the site-survey result packets.
// Layouts are packed and little-endian, exactly as they travel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/utf8.h"
#include "protocol/wire_sizes.h"

namespace fk {

#pragma pack(push, 1)
// A fixed text area followed by its byte count; not NUL-terminated when full.
template <std::size_t N>
struct fixed_text {
    char text[N];
    std::uint8_t len;

    // The count is clamped to the area: a device may claim more than it can hold.
    std::size_t Length() const { return len > N ? N : len; }
    std::string_view View() const { return std::string_view(text, Length()); }
    void Assign(std::string_view s) {
        const std::size_t n = s.size() > N ? N : s.size();
        for (std::size_t i = 0; i < N; ++i) text[i] = i < n ? s[i] : '\0';
        len = static_cast<std::uint8_t>(n);
    }
};
using text32 = fixed_text<kNameTextBytes>;
using text64 = fixed_text<kKeyTextBytes>;
using text26 = fixed_text<kWepKeyTextBytes>;

struct wep_key_stu {
    std::uint8_t type;
    text26 value;
};

struct ap_report_stu {
    std::uint8_t work_mode;           // 0
    std::uint8_t mode_btn_status;     // 1
    std::uint8_t reserved0[2];        // 2
    std::uint32_t up_time;            // 4
    std::uint8_t ip_mode;             // 8  first byte of the MSG_SET_IP block
    std::uint8_t ip[4];               // 9
    std::uint8_t ip_mask[4];          // 13
    std::uint8_t ip_gateway[4];       // 17
    std::uint8_t ip_dns1[4];          // 21
    std::uint8_t ip_dns2[4];          // 25
    std::uint8_t ip_flag;             // 29 last byte of the MSG_SET_IP block
    text32 ap_name;                   // 30
    text32 version;                   // 63
    std::uint8_t restart_en;          // 96
    std::uint8_t restart_type;        // 97
    std::uint16_t restart_time;       // 98
    std::uint8_t rf_count;            // 100 first byte of the MSG_SET_WIRELESS block
    std::uint8_t rf_en;               // 101
    std::uint8_t rf_type;             // 102
    std::uint8_t country_code;        // 103
    std::uint8_t network_mode;        // 104
    std::uint8_t bandwidth;           // 105
    std::uint8_t channel;             // 106
    std::uint8_t expand_channel;      // 107
    std::uint8_t tx_power;            // 108
    std::uint8_t tx_power_min;        // 109
    std::uint8_t tx_power_max;        // 110
    std::uint8_t reserved1[11];       // 111
    std::uint8_t ssid_rf_type;        // 122
    std::uint8_t ssid_id;             // 123
    std::uint8_t ssid_hide;           // 124
    std::uint8_t ssid_mac[6];         // 125
    text32 ssid;                      // 131
    std::uint8_t secure_mode;         // 164
    std::uint8_t wpapsk_auth_type;    // 165
    text64 wpapsk_key_value;          // 166
    std::uint32_t wpapsk_key_time;    // 231 (unaligned)
    std::uint8_t wep_auth_type;       // 235
    std::uint8_t wep_key_index;       // 236
    wep_key_stu wep_key[4];           // 237 + 28k
    std::uint8_t reserved2;           // 349
    std::uint8_t wpa_radius_ip[4];    // 350
    std::uint16_t wpa_radius_port;    // 354
    std::uint8_t wpa_auth_type;       // 356
    text64 wpa_key;                   // 357
    std::uint32_t wpa_key_time;       // 422 (unaligned)
    std::uint8_t ssid_count;          // 426
    std::uint8_t reserved3;           // 427 last byte of the MSG_SET_WIRELESS block
    std::uint8_t bridge_work_mode;    // 428
    std::uint8_t bridge_mac[6];       // 429
    std::uint8_t bridge_channel;      // 435
    text32 bridge_ssid;               // 436
    std::uint8_t reserved4[263];      // 469
    std::uint8_t vlan_en;             // 732 first byte of the MSG_SET_VLAN block
    std::uint8_t reserved5;           // 733
    std::uint16_t vlan_id;            // 734
    std::uint16_t vlan_id_wlan;       // 736
    std::uint16_t vlan_id_lan;        // 738
    std::uint8_t vlan_flag;           // 740
    std::uint8_t reserved6;           // 741
    std::uint8_t bridge_transparent;  // 742
    std::uint8_t tdmaEn;              // 743
    std::uint16_t vlan_pvid;          // 744
    std::uint16_t vlan_id_lan3;       // 746
    std::uint16_t vlan_id_lan4;       // 748
    std::uint8_t reserved7[6];        // 750
};

// Long form of the announcement; the short form is its first 33 bytes (version only).
struct ap_hello_stu {
    text32 version;                   // 0
    std::uint8_t work_mode;           // 33
    std::uint8_t mode_btn_status;     // 34
    std::uint8_t reserved0;           // 35
    std::uint32_t up_time;            // 36
    text32 ap_name;                   // 40
    text32 ssid;                      // 73
    std::uint8_t channel;             // 106
    std::uint8_t bridge_transparent;  // 107
    std::uint8_t tdmaEn;              // 108
    std::uint8_t reserved1[3];        // 109
};

// The keep-alive is the head of the long announcement.
struct keepalive_stu {
    text32 version;         // 0
    std::uint8_t skip[3];   // 33
    std::uint32_t up_time;  // 36
};

struct scan_entry_stu {
    std::uint8_t mac[6];       // 0
    std::int8_t signal;        // 6 dBm
    std::uint8_t channel;      // 7
    std::uint8_t secure_mode;  // 8
    text32 ssid;               // 9
    std::uint8_t exchannel;    // 42
    std::uint8_t bandwidth;    // 43
};

struct scan_reply_stu {
    std::uint8_t packet_count;                // 0
    std::uint8_t packet_id;                   // 1
    std::uint8_t icount;                      // 2 entries in this packet; never trusted beyond 32
    scan_entry_stu entries[kMaxScanEntries];  // 3
    std::uint8_t tail[3];                     // pads the read area to 1414 bytes

    std::size_t EntryCount() const { return icount > kMaxScanEntries ? kMaxScanEntries : icount; }
};
#pragma pack(pop)

static_assert(sizeof(ap_report_stu) == kReportSize);
static_assert(sizeof(ap_hello_stu) == kAnnouncementSize);
static_assert(sizeof(keepalive_stu) == kKeepaliveSize);
static_assert(sizeof(scan_entry_stu) == kScanEntrySize);
static_assert(sizeof(scan_reply_stu) == kScanPayloadRead);
static_assert(offsetof(ap_report_stu, wpapsk_key_time) == 231);
static_assert(offsetof(ap_report_stu, wep_key) == 237);
static_assert(offsetof(ap_report_stu, wpa_radius_ip) == 350);
static_assert(offsetof(ap_report_stu, bridge_ssid) == 436);
static_assert(offsetof(ap_report_stu, vlan_en) == 732);
static_assert(offsetof(ap_report_stu, vlan_id_lan4) == 748);
// The command blocks are slices of the report, so their sizes are its offsets.
static_assert(offsetof(ap_report_stu, ap_name) - offsetof(ap_report_stu, ip_mode) == kIpBlockSize);
static_assert(sizeof(text32) == kNameBlockSize);
static_assert(offsetof(ap_report_stu, rf_count) - offsetof(ap_report_stu, restart_en) ==
              kTimedRebootBlockSize);
static_assert(offsetof(ap_report_stu, bridge_work_mode) - offsetof(ap_report_stu, rf_count) ==
              kWirelessBlockSize);
static_assert(offsetof(ap_report_stu, vlan_en) - offsetof(ap_report_stu, bridge_work_mode) ==
              kBridgeBlockSize);
static_assert(offsetof(ap_report_stu, bridge_transparent) - offsetof(ap_report_stu, vlan_en) ==
              kVlanBlockShort);
static_assert(kVlanBlockShort + kSwitchBlockSize == kVlanBlockFull);

// Decoders copy at most the structure's size out of `payload` and zero the rest:
// they never read past the span, whatever a length byte claims.
ap_report_stu DecodeReport(std::span<const std::uint8_t> payload);
ap_hello_stu DecodeAnnouncement(std::span<const std::uint8_t> payload, std::size_t declared_len);
keepalive_stu DecodeKeepalive(std::span<const std::uint8_t> payload);
scan_reply_stu DecodeScanReply(std::span<const std::uint8_t> payload);

// One scan result packet as the controller keeps it: the head, with the count cut to
// what a packet can hold, and only the entries the payload really carries, their
// SSIDs already in the local code page.
struct ScanResults {
    std::uint8_t packet_count = 0;
    std::uint8_t packet_id = 0;
    std::uint8_t icount = 0;
    std::vector<scan_entry_stu> entries;
};
ScanResults DecodeScanResults(std::span<const std::uint8_t> payload);

// A device text (name, SSID) as received, in UTF-8. Keeps every complete character
// and drops only a character cut off at the end of the fixed area.
std::string Utf8ToLocal(std::string_view text);
// Text about to be sent to a device; the local code page is UTF-8 here.
std::string LocalToUtf8(std::string_view text);
// The same, cut at a character boundary so that it fits an area of `area` bytes.
std::string LocalToUtf8(std::string_view text, std::size_t area);
// Applies Utf8ToLocal to a fixed text field in place and rewrites its length byte.
template <std::size_t N>
void ConvertFieldToLocal(fixed_text<N>& field) {
    field.Assign(Utf8ToLocal(field.View()));
}

}  // namespace fk
