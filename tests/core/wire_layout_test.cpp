// Every field of the wire records and the device record sits at the byte the devices
// and the store expect; one shifted field silently corrupts everything behind it.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "protocol/packet.h"
#include "protocol/report.h"
#include "store/device_record.h"

namespace fk {
namespace {

struct FieldPos {
    std::string name;
    std::size_t actual_offset;
    std::size_t actual_size;
    std::size_t offset;
    std::size_t size;
};

#define FK_FIELD(T, f, off, sz)                          \
    FieldPos {                                           \
#T "." #f, offsetof(T, f), sizeof(T::f), off, sz \
    }

void ExpectLayout(const std::vector<FieldPos>& fields) {
    for (const auto& f : fields) {
        EXPECT_EQ(f.actual_offset, f.offset) << f.name;
        EXPECT_EQ(f.actual_size, f.size) << f.name;
    }
}

TEST(WireLayout, PacketHeader) {
    ExpectLayout({
        FK_FIELD(packet_head_stu, magic, 0, 2),
        FK_FIELD(packet_head_stu, ap_type, 2, 2),
        FK_FIELD(packet_head_stu, type, 4, 2),
        FK_FIELD(packet_head_stu, flag, 6, 1),
        FK_FIELD(packet_head_stu, reserved, 7, 1),
        FK_FIELD(packet_head_stu, mac, 8, 6),
        FK_FIELD(packet_head_stu, len, 14, 2),
    });
    EXPECT_EQ(sizeof(packet_head_stu), 16u);
}

// Offsets of the device report; text fields are the area plus the length byte.
std::vector<FieldPos> ReportFields() {
    return {
        FK_FIELD(ap_report_stu, work_mode, 0, 1),
        FK_FIELD(ap_report_stu, mode_btn_status, 1, 1),
        FK_FIELD(ap_report_stu, up_time, 4, 4),
        FK_FIELD(ap_report_stu, ip_mode, 8, 1),
        FK_FIELD(ap_report_stu, ip, 9, 4),
        FK_FIELD(ap_report_stu, ip_mask, 13, 4),
        FK_FIELD(ap_report_stu, ip_gateway, 17, 4),
        FK_FIELD(ap_report_stu, ip_dns1, 21, 4),
        FK_FIELD(ap_report_stu, ip_dns2, 25, 4),
        FK_FIELD(ap_report_stu, ip_flag, 29, 1),
        FK_FIELD(ap_report_stu, ap_name, 30, 33),
        FK_FIELD(ap_report_stu, version, 63, 33),
        FK_FIELD(ap_report_stu, restart_en, 96, 1),
        FK_FIELD(ap_report_stu, restart_type, 97, 1),
        FK_FIELD(ap_report_stu, restart_time, 98, 2),
        FK_FIELD(ap_report_stu, rf_count, 100, 1),
        FK_FIELD(ap_report_stu, rf_en, 101, 1),
        FK_FIELD(ap_report_stu, rf_type, 102, 1),
        FK_FIELD(ap_report_stu, country_code, 103, 1),
        FK_FIELD(ap_report_stu, network_mode, 104, 1),
        FK_FIELD(ap_report_stu, bandwidth, 105, 1),
        FK_FIELD(ap_report_stu, channel, 106, 1),
        FK_FIELD(ap_report_stu, expand_channel, 107, 1),
        FK_FIELD(ap_report_stu, tx_power, 108, 1),
        FK_FIELD(ap_report_stu, tx_power_min, 109, 1),
        FK_FIELD(ap_report_stu, tx_power_max, 110, 1),
        FK_FIELD(ap_report_stu, ssid_rf_type, 122, 1),
        FK_FIELD(ap_report_stu, ssid_id, 123, 1),
        FK_FIELD(ap_report_stu, ssid_hide, 124, 1),
        FK_FIELD(ap_report_stu, ssid_mac, 125, 6),
        FK_FIELD(ap_report_stu, ssid, 131, 33),
        FK_FIELD(ap_report_stu, secure_mode, 164, 1),
        FK_FIELD(ap_report_stu, wpapsk_auth_type, 165, 1),
        FK_FIELD(ap_report_stu, wpapsk_key_value, 166, 65),
        FK_FIELD(ap_report_stu, wpapsk_key_time, 231, 4),
        FK_FIELD(ap_report_stu, wep_auth_type, 235, 1),
        FK_FIELD(ap_report_stu, wep_key_index, 236, 1),
        FK_FIELD(ap_report_stu, wep_key, 237, 4 * 28),
        FK_FIELD(ap_report_stu, wpa_radius_ip, 350, 4),
        FK_FIELD(ap_report_stu, wpa_radius_port, 354, 2),
        FK_FIELD(ap_report_stu, wpa_auth_type, 356, 1),
        FK_FIELD(ap_report_stu, wpa_key, 357, 65),
        FK_FIELD(ap_report_stu, wpa_key_time, 422, 4),
        FK_FIELD(ap_report_stu, ssid_count, 426, 1),
        FK_FIELD(ap_report_stu, bridge_work_mode, 428, 1),
        FK_FIELD(ap_report_stu, bridge_mac, 429, 6),
        FK_FIELD(ap_report_stu, bridge_channel, 435, 1),
        FK_FIELD(ap_report_stu, bridge_ssid, 436, 33),
        FK_FIELD(ap_report_stu, vlan_en, 732, 1),
        FK_FIELD(ap_report_stu, vlan_id, 734, 2),
        FK_FIELD(ap_report_stu, vlan_id_wlan, 736, 2),
        FK_FIELD(ap_report_stu, vlan_id_lan, 738, 2),
        FK_FIELD(ap_report_stu, vlan_flag, 740, 1),
        FK_FIELD(ap_report_stu, bridge_transparent, 742, 1),
        FK_FIELD(ap_report_stu, tdmaEn, 743, 1),
        FK_FIELD(ap_report_stu, vlan_pvid, 744, 2),
        FK_FIELD(ap_report_stu, vlan_id_lan3, 746, 2),
        FK_FIELD(ap_report_stu, vlan_id_lan4, 748, 2),
    };
}

TEST(WireLayout, DeviceReport) {
    ExpectLayout(ReportFields());
    EXPECT_EQ(sizeof(ap_report_stu), 756u);
}

// The report follows the 24-byte head byte for byte, so every report offset moves by 24.
TEST(WireLayout, DeviceRecordIsHeadPlusReport) {
    ExpectLayout({
        FK_FIELD(ap_info_stu, mac, 0, 18),
        FK_FIELD(ap_info_stu, ap_type, 18, 2),
        FK_FIELD(ap_info_stu, ap_status, 20, 4),
        FK_FIELD(ap_info_stu, report, 24, 756),
    });
}

TEST(WireLayout, TextFieldLengthBytesAndWepKeys) {
    const struct {
        const char* name;
        std::size_t len_byte;
        std::size_t actual;
    } cases[] = {
        {"ap_name", 62, offsetof(ap_report_stu, ap_name) + offsetof(text32, len)},
        {"version", 95, offsetof(ap_report_stu, version) + offsetof(text32, len)},
        {"ssid", 163, offsetof(ap_report_stu, ssid) + offsetof(text32, len)},
        {"wpapsk_key_value", 230,
         offsetof(ap_report_stu, wpapsk_key_value) + offsetof(text64, len)},
        {"wpa_key", 421, offsetof(ap_report_stu, wpa_key) + offsetof(text64, len)},
        {"bridge_ssid", 468, offsetof(ap_report_stu, bridge_ssid) + offsetof(text32, len)},
        {"hello.version", 32, offsetof(ap_hello_stu, version) + offsetof(text32, len)},
        {"hello.ap_name", 72, offsetof(ap_hello_stu, ap_name) + offsetof(text32, len)},
        {"hello.ssid", 105, offsetof(ap_hello_stu, ssid) + offsetof(text32, len)},
        {"scan.ssid", 41, offsetof(scan_entry_stu, ssid) + offsetof(text32, len)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.len_byte) << c.name;

    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t base = offsetof(ap_report_stu, wep_key) + k * sizeof(wep_key_stu);
        EXPECT_EQ(base + offsetof(wep_key_stu, type), 237 + 28 * k);
        EXPECT_EQ(base + offsetof(wep_key_stu, value), 238 + 28 * k);
        EXPECT_EQ(base + offsetof(wep_key_stu, value) + offsetof(text26, len), 264 + 28 * k);
    }
}

TEST(WireLayout, AnnouncementKeepaliveAndScan) {
    ExpectLayout({
        FK_FIELD(ap_hello_stu, version, 0, 33),
        FK_FIELD(ap_hello_stu, work_mode, 33, 1),
        FK_FIELD(ap_hello_stu, mode_btn_status, 34, 1),
        FK_FIELD(ap_hello_stu, up_time, 36, 4),
        FK_FIELD(ap_hello_stu, ap_name, 40, 33),
        FK_FIELD(ap_hello_stu, ssid, 73, 33),
        FK_FIELD(ap_hello_stu, channel, 106, 1),
        FK_FIELD(ap_hello_stu, bridge_transparent, 107, 1),
        FK_FIELD(ap_hello_stu, tdmaEn, 108, 1),
        FK_FIELD(keepalive_stu, version, 0, 33),
        FK_FIELD(keepalive_stu, up_time, 36, 4),
        FK_FIELD(scan_reply_stu, packet_count, 0, 1),
        FK_FIELD(scan_reply_stu, packet_id, 1, 1),
        FK_FIELD(scan_reply_stu, icount, 2, 1),
        FK_FIELD(scan_reply_stu, entries, 3, 32 * 44),
        FK_FIELD(scan_entry_stu, mac, 0, 6),
        FK_FIELD(scan_entry_stu, signal, 6, 1),
        FK_FIELD(scan_entry_stu, channel, 7, 1),
        FK_FIELD(scan_entry_stu, secure_mode, 8, 1),
        FK_FIELD(scan_entry_stu, ssid, 9, 33),
        FK_FIELD(scan_entry_stu, exchannel, 42, 1),
        FK_FIELD(scan_entry_stu, bandwidth, 43, 1),
    });
    EXPECT_EQ(sizeof(config_otherwl_basic), 44u);
    EXPECT_EQ(sizeof(ap_hello_stu), 112u);
    EXPECT_EQ(sizeof(keepalive_stu), 40u);
}

}  // namespace
}  // namespace fk
