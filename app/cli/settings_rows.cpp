#include "app/cli/settings_rows.h"

#include <cstdio>
#include <tuple>

#include "app/language.h"
#include "config/management_save.h"
#include "store/display_codes.h"

namespace fk::cli {
namespace {

std::string OnOff(bool on) {
    return on ? "on" : "off";
}

void IpRows(const ap_info_stu& record, std::vector<TextRow>& rows) {
    const IpPaneInput ip = IpPaneShown(record);
    const std::string tab = Translate("IPSET");
    const std::pair<const char*, const std::string*> fields[] = {
        {"IP_Address", &ip.ip},  {"Sub_Network", &ip.mask}, {"Gate_Way", &ip.gateway},
        {"Major_Dns", &ip.dns1}, {"Dns", &ip.dns2},         {"Wireless_location", &ip.name}};
    for (const auto& [key, value] : fields) rows.push_back({tab, Translate(key), *value});
}

void VlanRows(const ap_info_stu& record, std::vector<TextRow>& rows) {
    const VlanLayout layout = VlanLayoutFor(record);
    const VlanPaneInput vlan = VlanPaneShown(record);
    const std::string tab = Translate("VLAN");
    rows.push_back({tab, Translate("VLAN configuration"), OnOff(vlan.enabled)});
    const std::tuple<bool, const char*, const std::string*> fields[] = {
        {layout.pvid, "PVID", &vlan.pvid}, {true, "Manage VLAN", &vlan.manage},
        {true, "WLAN", &vlan.wlan},        {layout.lan2, layout.lan2_label, &vlan.lan2},
        {layout.lan3, "LAN3", &vlan.lan3}, {layout.lan4, "LAN4", &vlan.lan4}};
    for (const auto& [shown, key, value] : fields)
        if (shown) rows.push_back({tab, Translate(key), *value});
    if (!layout.editable) rows.push_back({tab, "changeable", "no (not an access point)"});
}

void RebootRows(const ap_info_stu& record, std::vector<TextRow>& rows) {
    const RebootPaneInput reboot = RebootPaneShown(RebootBytes(record));
    const std::string tab = Translate("TimeReboot");
    rows.push_back({tab, Translate("Time_to_restart"), OnOff(reboot.enabled)});
    const int hour = std::stoi(reboot.hour);
    const int minute = std::stoi(reboot.minute);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", hour % 100, minute % 100);
    rows.push_back({tab, Translate("Restart_time"), time});
    std::string days;
    for (int day = 0; day < 7; ++day)
        if (reboot.days[day]) days += (days.empty() ? "" : ",") + Translate(kRebootDayKeys[day]);
    rows.push_back({tab, Translate("Date"), reboot.everyday ? Translate("Everyday") : days});
}

}  // namespace

TextRow SettingsHeader() {
    return {"Tab", "Setting", "Value"};
}

std::vector<TextRow> SettingsRows(const ap_info_stu& record) {
    std::vector<TextRow> rows;
    rows.push_back({"Device", "Type", ModelName(record.ap_type)});
    rows.push_back({"Device", "MAC", record.MacText()});
    rows.push_back({"Device", "OperationMode", WorkModeName(record.report.work_mode)});
    IpRows(record, rows);
    VlanRows(record, rows);
    RebootRows(record, rows);
    return rows;
}

}  // namespace fk::cli
