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
#define H(f, off, sz) FK_FIELD(packet_head_stu, f, off, sz)
#define R(f, off, sz) FK_FIELD(ap_report_stu, f, off, sz)
#define A(f, off, sz) FK_FIELD(ap_hello_stu, f, off, sz)
#define E(f, off, sz) FK_FIELD(scan_entry_stu, f, off, sz)

void ExpectLayout(const std::vector<FieldPos>& fields) {
    for (const auto& f : fields) {
        EXPECT_EQ(f.actual_offset, f.offset) << f.name;
        EXPECT_EQ(f.actual_size, f.size) << f.name;
    }
}

TEST(WireLayout, PacketHeaderAndRecordHead) {
    ExpectLayout({H(magic, 0, 2), H(ap_type, 2, 2), H(type, 4, 2), H(flag, 6, 1), H(reserved, 7, 1),
                  H(mac, 8, 6), H(len, 14, 2)});
    EXPECT_EQ(sizeof(packet_head_stu), 16u);
    // The report follows the 24-byte head byte for byte, so every report offset moves by 24.
    ExpectLayout({FK_FIELD(ap_info_stu, mac, 0, 18), FK_FIELD(ap_info_stu, ap_type, 18, 2),
                  FK_FIELD(ap_info_stu, ap_status, 20, 4), FK_FIELD(ap_info_stu, report, 24, 756)});
}

// Text fields are the area plus the length byte.
TEST(WireLayout, DeviceReport) {
    ExpectLayout({R(work_mode, 0, 1), R(mode_btn_status, 1, 1), R(up_time, 4, 4), R(ip_mode, 8, 1),
                  R(ip, 9, 4), R(ip_mask, 13, 4), R(ip_gateway, 17, 4), R(ip_dns1, 21, 4),
                  R(ip_dns2, 25, 4), R(ip_flag, 29, 1), R(ap_name, 30, 33), R(version, 63, 33)});
    ExpectLayout({R(restart_en, 96, 1), R(restart_type, 97, 1), R(restart_time, 98, 2),
                  R(rf_count, 100, 1), R(rf_en, 101, 1), R(rf_type, 102, 1),
                  R(country_code, 103, 1), R(network_mode, 104, 1), R(bandwidth, 105, 1),
                  R(channel, 106, 1), R(expand_channel, 107, 1), R(tx_power, 108, 1)});
    ExpectLayout({R(tx_power_min, 109, 1), R(tx_power_max, 110, 1), R(ssid_rf_type, 122, 1),
                  R(ssid_id, 123, 1), R(ssid_hide, 124, 1), R(ssid_mac, 125, 6), R(ssid, 131, 33),
                  R(secure_mode, 164, 1), R(wpapsk_auth_type, 165, 1), R(wpapsk_key_value, 166, 65),
                  R(wpapsk_key_time, 231, 4), R(wep_auth_type, 235, 1)});
    ExpectLayout({R(wep_key_index, 236, 1), R(wep_key, 237, 4 * 28), R(wpa_radius_ip, 350, 4),
                  R(wpa_radius_port, 354, 2), R(wpa_auth_type, 356, 1), R(wpa_key, 357, 65),
                  R(wpa_key_time, 422, 4), R(ssid_count, 426, 1), R(bridge_work_mode, 428, 1),
                  R(bridge_mac, 429, 6), R(bridge_channel, 435, 1), R(bridge_ssid, 436, 33)});
    ExpectLayout({R(vlan_en, 732, 1), R(vlan_id, 734, 2), R(vlan_id_wlan, 736, 2),
                  R(vlan_id_lan, 738, 2), R(vlan_flag, 740, 1), R(bridge_transparent, 742, 1),
                  R(tdmaEn, 743, 1), R(vlan_pvid, 744, 2), R(vlan_id_lan3, 746, 2),
                  R(vlan_id_lan4, 748, 2)});
    EXPECT_EQ(sizeof(ap_report_stu), 756u);
}

// The length byte closes every text area, so a text field at offset o of width w has
// its count at o + w - 1; the WEP keys are four (type, text) pairs of 28 bytes.
TEST(WireLayout, TextLengthBytesAndWepKeys) {
    EXPECT_EQ(offsetof(text26, len), 26u);
    EXPECT_EQ(offsetof(text32, len), 32u);
    EXPECT_EQ(offsetof(text64, len), 64u);
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t base = offsetof(ap_report_stu, wep_key) + k * sizeof(wep_key_stu);
        EXPECT_EQ(base + offsetof(wep_key_stu, type), 237 + 28 * k);
        EXPECT_EQ(base + offsetof(wep_key_stu, value), 238 + 28 * k);
        EXPECT_EQ(base + offsetof(wep_key_stu, value) + offsetof(text26, len), 264 + 28 * k);
    }
}

TEST(WireLayout, AnnouncementKeepaliveAndScan) {
    ExpectLayout({A(version, 0, 33),
                  A(work_mode, 33, 1),
                  A(mode_btn_status, 34, 1),
                  A(up_time, 36, 4),
                  A(ap_name, 40, 33),
                  A(ssid, 73, 33),
                  A(channel, 106, 1),
                  A(bridge_transparent, 107, 1),
                  A(tdmaEn, 108, 1),
                  FK_FIELD(keepalive_stu, version, 0, 33),
                  FK_FIELD(keepalive_stu, up_time, 36, 4),
                  FK_FIELD(scan_reply_stu, packet_count, 0, 1),
                  FK_FIELD(scan_reply_stu, packet_id, 1, 1),
                  FK_FIELD(scan_reply_stu, icount, 2, 1),
                  FK_FIELD(scan_reply_stu, entries, 3, 32 * 44),
                  E(mac, 0, 6),
                  E(signal, 6, 1),
                  E(channel, 7, 1),
                  E(secure_mode, 8, 1),
                  E(ssid, 9, 33),
                  E(exchannel, 42, 1),
                  E(bandwidth, 43, 1)});
    EXPECT_EQ(sizeof(config_otherwl_basic), 44u);
    EXPECT_EQ(sizeof(ap_hello_stu), 112u);
    EXPECT_EQ(sizeof(keepalive_stu), 40u);
}

}  // namespace
}  // namespace fk
