#include "config/management_save.h"

#include <algorithm>

#include "protocol/packet.h"
#include "protocol/report.h"

namespace fk {
namespace {

constexpr std::size_t kVlanFlagOffset = 8;
constexpr std::size_t kSsidOffset =
    offsetof(ap_report_stu, ssid) - offsetof(ap_report_stu, rf_count);

wireless_set_stu WithWireSsid(wireless_set_stu block) {
    const std::size_t length =
        std::min<std::size_t>(block[kSsidOffset + kNameTextBytes], kNameTextBytes);
    const std::string local(block.begin() + kSsidOffset, block.begin() + kSsidOffset + length);
    const std::string wire = LocalToUtf8(local, kNameTextBytes);
    std::fill_n(block.begin() + kSsidOffset, kNameTextBytes, 0);
    std::copy(wire.begin(), wire.end(), block.begin() + kSsidOffset);
    block[kSsidOffset + kNameTextBytes] = static_cast<std::uint8_t>(wire.size());
    return block;
}

template <std::size_t N>
FlowCommand Command(const config_save_stu& save, std::uint16_t type,
                    const std::array<std::uint8_t, N>& block, std::size_t length = N) {
    FlowCommand c;
    c.ip = save.ip;
    c.mac = save.mac;
    c.type = type;
    c.payload.assign(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(length));
    return c;
}

}  // namespace

ManagementInput ManagementShown(const ap_info_stu& record) {
    return {WirelessPaneShown(record), IpPaneShown(record), VlanPaneShown(record),
            RebootPaneShown(RebootBytes(record))};
}

SavePlan PlanSave(const ap_info_stu& record, const std::string& ip, const std::string& mac,
                  int ap_type, const ManagementInput& input,
                  const std::vector<std::string>& stored_ips) {
    SavePlan plan;
    config_save_stu& save = plan.save;
    save.ip = ip;
    save.mac = mac;
    save.ap_type = ap_type;

    const WirelessPaneResult wireless = CollectWireless(record, input.wireless);
    if (wireless.rejection) {
        plan.rejection = wireless.rejection;
        plan.rejected_by = ManagementTab::Wireless;
        return plan;
    }
    save.wireless_block = wireless.block;
    save.wireless_changed = wireless.changed;

    const IpPaneResult addresses = CollectIpSettings(record, input.ip, stored_ips);
    if (addresses.rejection) {
        plan.rejection = addresses.rejection;
        plan.rejected_by = ManagementTab::Ip;
        return plan;
    }
    save.ip_block = addresses.ip_block;
    save.ip_changed = addresses.ip_changed;
    save.name_block = addresses.name_block;
    save.name_changed = addresses.name_changed;

    const VlanPaneResult vlan = CollectVlan(record, input.vlan);
    if (vlan.rejection) {
        plan.rejection = vlan.rejection;
        plan.rejected_by = ManagementTab::Vlan;
        return plan;
    }
    save.vlan_block = vlan.block;
    save.vlan_changed = vlan.changed;

    const RebootPaneResult reboot = CollectTimedReboot(RebootBytes(record), input.reboot);
    if (reboot.rejection) {
        plan.rejection = reboot.rejection;
        plan.rejected_by = ManagementTab::TimedReboot;
        return plan;
    }
    save.reboot_block = reboot.block;
    save.reboot_changed = reboot.changed;

    // The device applies both after the restart the VLAN change causes, so the address
    // must wait for it rather than restart the device a second time.
    if (save.ip_changed && save.vlan_changed) {
        save.ip_block[kIpBlockSize - 1] = 0;
        save.vlan_block[kVlanFlagOffset] = 1;
    }
    return plan;
}

std::vector<FlowCommand> SaveCommands(const config_save_stu& save) {
    std::vector<FlowCommand> commands;
    if (save.name_changed) commands.push_back(Command(save, MSG_SET_NAME, save.name_block));
    if (save.wireless_changed) {
        commands.push_back(Command(save, MSG_SET_WIRELESS, WithWireSsid(save.wireless_block)));
    }
    if (save.reboot_changed) {
        commands.push_back(Command(save, MSG_SET_TIMED_REBOOT, save.reboot_block));
    }
    if (save.vlan_changed) {
        commands.push_back(
            Command(save, MSG_SET_VLAN, save.vlan_block, VlanBlockSize(save.ap_type)));
    }
    if (save.ip_changed) {
        FlowCommand move = Command(save, MSG_SET_IP, save.ip_block);
        move.pending_ip = IpOctetsToText(
            {save.ip_block[1], save.ip_block[2], save.ip_block[3], save.ip_block[4]});
        commands.push_back(std::move(move));
    }
    return commands;
}

std::optional<WaitPlan> WaitAfterSave(const config_save_stu& save) {
    if (save.vlan_changed) return WaitPlan{60, false, 3};
    if (save.ip_changed) return WaitPlan{15, true, 3};
    return std::nullopt;
}

}  // namespace fk
