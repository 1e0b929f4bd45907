// The VLAN tab as a rule: which identifiers a model shows, what the tab shows for a
// record, and what Save makes of the input. Only an access point's VLAN settings can
// be changed; on any other device the tab is shown disabled and never blocks a Save.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/language.h"
#include "config/pane_rejection.h"
#include "store/device_record.h"

namespace fk {

inline constexpr std::size_t kVlanBlockSize = 22;
using vlan_set_stu = std::array<std::uint8_t, kVlanBlockSize>;

enum VlanField : int {
    kVlanFieldNone,
    kVlanFieldPvid,
    kVlanFieldManage,
    kVlanFieldWlan,
    kVlanFieldLan2,
    kVlanFieldLan3,
    kVlanFieldLan4
};

struct VlanLayout {
    bool pvid = false;
    bool lan2 = false;
    bool lan3 = false;
    bool lan4 = false;
    const char* lan2_label = FK_TR("LAN2");  // "LAN" on the one-port models
    // False unless the device works as an access point.
    bool editable = false;
    // Bytes of MSG_SET_VLAN this model takes: the head alone or the whole block.
    std::size_t block_size = 10;
};

struct VlanPaneInput {
    bool enabled = false;
    std::string pvid;
    std::string manage;
    std::string wlan;
    std::string lan2;
    std::string lan3;
    std::string lan4;
};

struct VlanPaneResult {
    vlan_set_stu block{};
    bool changed = false;
    std::optional<PaneRejection> rejection;
};

VlanLayout VlanLayoutFor(const ap_info_stu& record);
// Bytes of MSG_SET_VLAN a model of `ap_type` takes.
std::size_t VlanBlockSize(int ap_type);
vlan_set_stu VlanBytes(const ap_info_stu& record);
VlanPaneInput VlanPaneShown(const ap_info_stu& record);
VlanPaneResult CollectVlan(const ap_info_stu& record, const VlanPaneInput& input);

}  // namespace fk
