#include "app/cli/settings_input.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "app/cli/wireless_input.h"

#include "store/display_codes.h"

namespace fk::cli {
namespace {

constexpr std::array<const char*, 16> kPaneFlags = {
    "--name",      "--ip",           "--mask",        "--gateway",    "--dns1",      "--dns2",
    "--vlan",      "--manage-vlan",  "--wlan-vlan",   "--pvid",       "--lan2-vlan", "--lan3-vlan",
    "--lan4-vlan", "--timed-reboot", "--reboot-time", "--reboot-days"};

std::vector<const char*> AllFlags() {
    std::vector<const char*> all(WirelessFlagNames().begin(), WirelessFlagNames().end());
    all.insert(all.end(), kPaneFlags.begin(), kPaneFlags.end());
    return all;
}

bool ParseOnOff(const std::string& value, bool& on) {
    if (value != "on" && value != "off") return false;
    on = value == "on";
    return true;
}

// "mon,fri" or "everyday".
bool ParseDays(const std::string& value, RebootPaneInput& reboot) {
    static const char* kNames[7] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    reboot.days = {};
    reboot.everyday = value == "everyday";
    if (reboot.everyday) return true;
    std::stringstream list(value);
    std::string name;
    bool any = false;
    while (std::getline(list, name, ',')) {
        bool known = false;
        for (int day = 0; day < 7; ++day) {
            if (name == kNames[day]) reboot.days[day] = known = true;
        }
        if (!known) return false;
        any = true;
    }
    return any;
}

bool ParseTime(const std::string& value, RebootPaneInput& reboot) {
    const auto colon = value.find(':');
    if (colon == std::string::npos) return false;
    reboot.hour = value.substr(0, colon);
    reboot.minute = value.substr(colon + 1);
    return true;
}

std::string OfferedVlanFlags(const VlanLayout& layout) {
    std::string offered = "--vlan, --manage-vlan, --wlan-vlan";
    if (layout.pvid) offered += ", --pvid";
    if (layout.lan2) offered += ", --lan2-vlan";
    if (layout.lan3) offered += ", --lan3-vlan, --lan4-vlan";
    return offered;
}

std::string ApplyVlan(const ap_info_stu& record, const SettingFlag& f, VlanPaneInput& vlan) {
    const VlanLayout layout = VlanLayoutFor(record);
    if (!layout.editable) {
        return f.flag + ": the VLAN settings of a radio in " +
               WorkModeName(record.report.work_mode) +
               " mode cannot be changed; only an access point's can";
    }
    if (f.flag == "--vlan") {
        return ParseOnOff(f.value, vlan.enabled) ? "" : "--vlan is on or off";
    }
    const std::pair<const char*, std::pair<bool, std::string*>> fields[] = {
        {"--manage-vlan", {true, &vlan.manage}},    {"--wlan-vlan", {true, &vlan.wlan}},
        {"--pvid", {layout.pvid, &vlan.pvid}},      {"--lan2-vlan", {layout.lan2, &vlan.lan2}},
        {"--lan3-vlan", {layout.lan3, &vlan.lan3}}, {"--lan4-vlan", {layout.lan4, &vlan.lan4}}};
    for (const auto& [name, field] : fields) {
        if (f.flag != name) continue;
        if (!field.first) {
            return f.flag + ": this model has no such port; it offers " + OfferedVlanFlags(layout);
        }
        *field.second = f.value;
    }
    return {};
}

std::string ApplyReboot(const SettingFlag& f, RebootPaneInput& reboot) {
    if (f.flag == "--timed-reboot") {
        return ParseOnOff(f.value, reboot.enabled) ? "" : "--timed-reboot is on or off";
    }
    if (f.flag == "--reboot-time") {
        return ParseTime(f.value, reboot) ? "" : "--reboot-time is HH:MM";
    }
    if (f.flag == "--reboot-days") {
        return ParseDays(f.value, reboot) ? ""
                                          : "--reboot-days lists mon,tue,wed,thu,fri,sat,sun "
                                            "or says everyday";
    }
    return {};
}

std::string ApplyOne(const ap_info_stu& record, const SettingFlag& f, ManagementInput& in) {
    const std::pair<const char*, std::string*> texts[] = {
        {"--name", &in.ip.name},       {"--ip", &in.ip.ip},     {"--mask", &in.ip.mask},
        {"--gateway", &in.ip.gateway}, {"--dns1", &in.ip.dns1}, {"--dns2", &in.ip.dns2}};
    for (const auto& [name, field] : texts) {
        if (f.flag == name) {
            *field = f.value;
            return {};
        }
    }
    if (f.flag.find("vlan") != std::string::npos || f.flag == "--pvid") {
        return ApplyVlan(record, f, in.vlan);
    }
    return ApplyReboot(f, in.reboot);
}

}  // namespace

std::span<const char* const> SettingFlagNames() {
    static const std::vector<const char*> all = AllFlags();
    return all;
}

std::string ApplySettingFlags(const ap_info_stu& record, const std::vector<SettingFlag>& flags,
                              ManagementInput& input) {
    const std::string wireless = ApplyWirelessFlags(record, flags, input.wireless);
    if (!wireless.empty()) return wireless;
    for (const SettingFlag& f : flags) {
        if (IsWirelessFlag(f.flag)) continue;
        const std::string refused = ApplyOne(record, f, input);
        if (!refused.empty()) return refused;
    }
    // Values for inputs the window keeps disabled would be ignored there; here they are
    // refused, so a script never believes it set them.
    const bool vlan_ids = std::any_of(flags.begin(), flags.end(), [](const SettingFlag& f) {
        return f.flag != "--vlan" &&
               (f.flag.find("vlan") != std::string::npos || f.flag == "--pvid");
    });
    if (vlan_ids && !input.vlan.enabled) return "VLAN identifiers need --vlan on";
    const bool schedule = std::any_of(flags.begin(), flags.end(), [](const SettingFlag& f) {
        return f.flag == "--reboot-time" || f.flag == "--reboot-days";
    });
    if (schedule && !input.reboot.enabled) return "a reboot time or days need --timed-reboot on";
    return {};
}

}  // namespace fk::cli
