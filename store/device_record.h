// The in-memory device record: a 24-byte head the controller fills (MAC text, model
// code, status) followed by the device report byte for byte, so a report field sits
// at its report offset plus 24. Every list page and configuration window holds these.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "protocol/report.h"

namespace fk {

// Status 10 is never stored: it marks a device that announced itself but whose
// report has not been accepted yet (offered on the status page only).
inline constexpr int kStatusAnnounced = 10;

enum DeviceStatus : int {
    STATUS_OUTLINE = 0,
    STATUS_ONLINE = 1,
    STATUS_BRIDGE_SUCCESS = 2,
    STATUS_BRIDGE_FAIL = 3,
    STATUS_RESTARTING = 4,
    STATUS_RESETING = 5,
    STATUS_UPGRADE_WAIT = 6,
    STATUS_UPGRADING = 7,
    STATUS_UPGRADE_SUCCESS = 8,
    STATUS_UPGRADE_FAIL = 9,
};

enum WorkMode : int {
    WORK_MODE_AP = 1,
    WORK_MODE_STATION = 2,
    WORK_MODE_UNIVERSAL_REPEATER = 3,
    WORK_MODE_REPEATER = 4,
    WORK_MODE_P2MP = 5,
    WORK_MODE_WISP = 6,
    WORK_MODE_ROUTER = 7,
};

#pragma pack(push, 1)
struct ap_info_stu {
    char mac[18];            // 0  MAC text, NUL-terminated; the store's key
    std::uint16_t ap_type;   // 18 model code from the packet header
    std::int32_t ap_status;  // 20
    ap_report_stu report;    // 24

    std::string MacText() const { return std::string(mac, strnlen(mac, sizeof(mac))); }
    void SetMac(std::string_view text) {
        std::memset(mac, 0, sizeof(mac));
        std::memcpy(mac, text.data(),
                    text.size() < sizeof(mac) - 1 ? text.size() : sizeof(mac) - 1);
    }
    std::string IpText() const;  // report.ip as dotted text
};

// One access point seen by a device's site survey; the layout of a scan entry.
using config_otherwl_basic = scan_entry_stu;
#pragma pack(pop)

static_assert(sizeof(ap_info_stu) == 780);
static_assert(offsetof(ap_info_stu, report) == 24);

inline ap_info_stu ZeroRecord() {
    ap_info_stu r;
    std::memset(&r, 0, sizeof(r));
    return r;
}

// One ticked device of a batch operation.
struct ap_select_stu {
    std::string ip;
    std::string mac;
    int ap_type = 0;
};

inline ap_select_stu SelectionOf(const ap_info_stu& record) {
    return {record.IpText(), record.MacText(), record.ap_type};
}

}  // namespace fk
