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

std::string Shown(const ChoiceList& list) {
    return list.HasSelection() ? ShownText(list.items[list.selected]) : "-";
}

void SecurityRows(const SecurityPaneInput& s, const std::string& tab, std::vector<TextRow>& rows) {
    const SecurityVisibility shown = SecurityVisibilityFor(s.mode.Code(-1));
    if (shown.psk) {
        const char* ciphers[] = {"AES", "TKIP", "TKIP&AES"};
        rows.push_back({tab, Translate("Wireless_AutoType"), ciphers[s.psk_cipher]});
        rows.push_back({tab, Translate("Wireless_Key_time"), s.psk_key_time});
        rows.push_back({tab, Translate("Wireless_Key"), s.psk_key});
    }
    if (shown.wep) {
        rows.push_back({tab, Translate("Encryption_Type"), Shown(s.wep_auth)});
        rows.push_back({tab, Translate("Default_key"), Shown(s.wep_default)});
        const char* keys[] = {"Key1", "Key2", "Key3", "Key4"};
        for (int k = 0; k < kWepKeyCount; ++k) {
            rows.push_back({tab, Translate(keys[k]),
                            s.wep_keys[k].text + " (" + Shown(s.wep_keys[k].type) + ")"});
        }
    }
    if (shown.radius) {
        rows.push_back({tab, Translate("Encryption_Type"), Shown(s.radius_cipher)});
        rows.push_back({tab, Translate("Radius_server_ip"), s.radius_server});
        rows.push_back({tab, Translate("Radius_port"), s.radius_port});
        rows.push_back({tab, Translate("Radius_Key"), s.radius_key});
        rows.push_back({tab, Translate("Radius_Key_time"), s.radius_key_time});
    }
}

void WirelessRows(const ap_info_stu& record, std::vector<TextRow>& rows) {
    const WirelessPaneInput w = WirelessPaneShown(record);
    const WirelessLayout layout = WirelessLayoutFor(record);
    const std::string tab = Translate("WirelessSet");
    // A country code without a row has no name; its code says what the radio holds.
    const std::string country = w.country.HasSelection()
                                    ? Shown(w.country)
                                    : "- (code " + std::to_string(record.report.country_code) + ")";
    const std::pair<const char*, std::string> fields[] = {
        {"Wireless_ssid", w.ssid},
        {"Wireless_ssid_hide", OnOff(w.ssid_hidden)},
        {"NetMode", Shown(w.net_mode)},
        {"BandWidth", Shown(w.bandwidth)},
        {"Wireless_power", w.power + " " + PowerRangeText(record)},
        {"Wireless_country", country},
        {"Wireless_channel", Shown(w.channel)},
        {"ExpandChannel", Shown(w.ext_channel)},
        {"Wireless_secureMode", Shown(w.security.mode)}};
    for (const auto& [key, value] : fields) rows.push_back({tab, Translate(key), value});
    SecurityRows(w.security, tab, rows);
    if (!layout.radio) {
        rows.push_back(
            {tab, "changeable",
             "power and bandwidth only (" + WorkModeName(record.report.work_mode) + ")"});
    } else if (!layout.channel) {
        rows.push_back(
            {tab, "changeable",
             "all but country and channel (" + WorkModeName(record.report.work_mode) + ")"});
    }
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
    WirelessRows(record, rows);
    IpRows(record, rows);
    VlanRows(record, rows);
    RebootRows(record, rows);
    return rows;
}

}  // namespace fk::cli
