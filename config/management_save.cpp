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

struct PaneContext {
    const ap_info_stu& record;
    const ManagementInput& input;
    const std::vector<std::string>& stored_ips;
};

// A pane's blocks go into the save only when the pane accepts.
template <typename Result, typename Block>
std::optional<PaneRejection> Accept(const Result& result, Block& block, bool& changed) {
    if (!result.rejection) {
        block = result.block;
        changed = result.changed;
    }
    return result.rejection;
}

std::optional<PaneRejection> CollectWirelessPane(const PaneContext& c, config_save_stu& save) {
    return Accept(CollectWireless(c.record, c.input.wireless), save.wireless_block,
                  save.wireless_changed);
}

std::optional<PaneRejection> CollectIpPane(const PaneContext& c, config_save_stu& save) {
    const IpPaneResult r = CollectIpSettings(c.record, c.input.ip, c.stored_ips);
    if (!r.rejection) {
        save.ip_block = r.ip_block;
        save.ip_changed = r.ip_changed;
        save.name_block = r.name_block;
        save.name_changed = r.name_changed;
    }
    return r.rejection;
}

std::optional<PaneRejection> CollectVlanPane(const PaneContext& c, config_save_stu& save) {
    return Accept(CollectVlan(c.record, c.input.vlan), save.vlan_block, save.vlan_changed);
}

std::optional<PaneRejection> CollectRebootPane(const PaneContext& c, config_save_stu& save) {
    return Accept(CollectTimedReboot(RebootBytes(c.record), c.input.reboot), save.reboot_block,
                  save.reboot_changed);
}

struct Pane {
    ManagementTab tab;
    std::optional<PaneRejection> (*collect)(const PaneContext&, config_save_stu&);
};

// The order the window asks its tabs in: the first refusal is the one the user sees.
constexpr Pane kPanes[] = {
    {ManagementTab::Wireless, CollectWirelessPane},
    {ManagementTab::Ip, CollectIpPane},
    {ManagementTab::Vlan, CollectVlanPane},
    {ManagementTab::TimedReboot, CollectRebootPane},
};

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

    const PaneContext context{record, input, stored_ips};
    for (const Pane& pane : kPanes) {
        plan.rejection = pane.collect(context, save);
        if (plan.rejection) {
            plan.rejected_by = pane.tab;
            return plan;
        }
    }

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
