// Save of the device management window as a rule: the panes asked in their fixed
// order (wireless, IP and name, VLAN, timed reboot), the first refusal ending it; the
// commands that follow, in their fixed order (name, wireless, timed reboot, VLAN,
// address); and the wait that covers the device applying them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/ip_settings.h"
#include "config/timed_reboot.h"
#include "config/vlan_settings.h"
#include "config/wireless_settings.h"
#include "operations/flow.h"
#include "operations/send_and_wait.h"

namespace fk {

enum class ManagementTab { Wireless, Ip, Vlan, TimedReboot };

// Everything one Save sends, and to which device. Each Save builds its own, and the
// sender thread gets copies of its commands, so no later Save rewrites what is sent.
struct config_save_stu {
    std::string ip;
    std::string mac;
    int ap_type = 0;
    bool name_changed = false;
    bool wireless_changed = false;
    bool ip_changed = false;
    bool vlan_changed = false;
    bool reboot_changed = false;
    name_set_stu name_block{};
    // The SSID in it is the tab's text; the sender converts it for the device.
    wireless_set_stu wireless_block{};
    ip_set_stu ip_block{};
    vlan_set_stu vlan_block{};
    reboot_set_stu reboot_block{};
};

struct ManagementInput {
    WirelessPaneInput wireless;
    IpPaneInput ip;
    VlanPaneInput vlan;
    RebootPaneInput reboot;
};

struct SavePlan {
    config_save_stu save;
    std::optional<PaneRejection> rejection;
    ManagementTab rejected_by = ManagementTab::Wireless;
};

// What the window shows when it opens for `record`.
ManagementInput ManagementShown(const ap_info_stu& record);

// `ip`, `mac` and `ap_type` are the list row's: commands go to where the row said the
// device was.
SavePlan PlanSave(const ap_info_stu& record, const std::string& ip, const std::string& mac,
                  int ap_type, const ManagementInput& input,
                  const std::vector<std::string>& stored_ips);

// In sending order, each with retransmission; the address change tells the engine the
// new address first. The SSID goes out in UTF-8 with its byte count.
std::vector<FlowCommand> SaveCommands(const config_save_stu& save);

// A VLAN change restarts the device: a minute without searching. An address change
// alone: 15 s with three searches for the device at its new address. Otherwise none.
std::optional<WaitPlan> WaitAfterSave(const config_save_stu& save);

}  // namespace fk
