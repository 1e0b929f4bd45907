#include "sim/state_json.h"

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>

#include "protocol/packet.h"
#include "sim/sim_config.h"

namespace fk::sim {
namespace {

// Keys stay in the order written, so a person reading a dump finds identity first.
using Json = nlohmann::ordered_json;

std::string Hex(const void* data, std::size_t size) {
    static const char* kDigits = "0123456789abcdef";
    std::string out;
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t k = 0; k < size; ++k) {
        out.push_back(kDigits[p[k] >> 4]);
        out.push_back(kDigits[p[k] & 15]);
    }
    return out;
}

const char* PhaseName(Phase phase) {
    switch (phase) {
        case Phase::kOnline:
            return "online";
        case Phase::kRestarting:
            return "restarting";
        default:
            return "gone";
    }
}

// JSON object keys are texts; the command type maps are keyed by number.
template <typename Key, typename Value>
Json ByTextKey(const std::map<Key, Value>& map) {
    Json out = Json::object();
    for (const auto& [key, value] : map) {
        if constexpr (std::is_same_v<Key, std::string>) {
            out[key] = value;
        } else {
            out[std::to_string(key)] = value;
        }
    }
    return out;
}

Json Payloads(const std::map<int, std::vector<std::uint8_t>>& map) {
    Json out = Json::object();
    for (const auto& [type, bytes] : map)
        out[std::to_string(type)] = Hex(bytes.data(), bytes.size());
    return out;
}

Json Vlan(const ap_report_stu& p) {
    return {{"en", int{p.vlan_en}},  {"id", p.vlan_id},     {"wlan", p.vlan_id_wlan},
            {"lan", p.vlan_id_lan},  {"pvid", p.vlan_pvid}, {"lan3", p.vlan_id_lan3},
            {"lan4", p.vlan_id_lan4}};
}

Json Schedule(const ap_report_stu& p) {
    return {{"en", int{p.restart_en}}, {"days", int{p.restart_type}}, {"minutes", p.restart_time}};
}

Json Bridge(const ap_report_stu& p) {
    return {{"mode", int{p.bridge_work_mode}},
            {"mac", MacBytesToText(p.bridge_mac)},
            {"channel", int{p.bridge_channel}},
            {"ssid", p.bridge_ssid.View()}};
}

Json Wireless(const ap_report_stu& p) {
    return {{"country", int{p.country_code}},
            {"net_mode", int{p.network_mode}},
            {"bandwidth", int{p.bandwidth}},
            {"expand", int{p.expand_channel}},
            {"power", int{p.tx_power}},
            {"ssid_hide", int{p.ssid_hide}},
            {"psk", p.wpapsk_key_value.View()},
            {"wep_index", int{p.wep_key_index}},
            {"wep_key1", p.wep_key[0].value.View()},
            {"radius_key", p.wpa_key.View()}};
}

Json Upgrade(const SimRadio& r) {
    return {{"file", r.upgrade_file},
            {"size", r.upgrade_size},
            {"fetched", r.fetched_bytes},
            {"error", r.fetch_error}};
}

Json Radio(std::size_t index, const SimRadio& r, Clock now) {
    const ap_report_stu& p = r.report;
    Json o;
    o["index"] = index;
    o["mac"] = r.mac_text;
    o["ip"] = IpText(r.ip);
    o["prefix"] = r.prefix;
    o["iface"] = r.iface;
    o["model"] = r.ap_type;
    o["name"] = p.ap_name.View();
    o["name_hex"] = Hex(p.ap_name.text, p.ap_name.Length());
    o["ssid"] = p.ssid.View();
    o["ssid_hex"] = Hex(p.ssid.text, p.ssid.Length());
    o["version"] = p.version.View();
    o["channel"] = int{p.channel};
    o["band"] = p.rf_type ? "5" : "2.4";
    o["work_mode"] = int{p.work_mode};
    o["secure_mode"] = int{p.secure_mode};
    o["transparent"] = int{p.bridge_transparent};
    o["tdma"] = int{p.tdmaEn};
    o["uptime"] = r.UptimeAt(now);
    o["ip_mode"] = int{p.ip_mode};
    o["ip_mask"] = IpOctetsToText(p.ip_mask);
    o["gateway"] = IpOctetsToText(p.ip_gateway);
    o["dns1"] = IpOctetsToText(p.ip_dns1);
    o["dns2"] = IpOctetsToText(p.ip_dns2);
    o["vlan"] = Vlan(p);
    o["schedule"] = Schedule(p);
    o["ssid_mac"] = MacBytesToText(p.ssid_mac);
    o["bridge"] = Bridge(p);
    o["wireless"] = Wireless(p);
    o["wireless_hex"] = Hex(&p.rf_count, kWirelessBlockSize);
    o["phase"] = PhaseName(r.phase);
    o["registered"] = r.registered;
    o["controller"] = r.controller ? IpText(r.controller) : "";
    o["received"] = ByTextKey(r.received);
    o["first_heard_ms"] = ByTextKey(r.first_heard_ms);
    o["payloads"] = Payloads(r.last_payload);
    o["command_sources"] = ByTextKey(r.command_sources);
    o["lost"] = r.lost;
    o["keepalives_sent"] = r.keepalives_sent;
    o["announcements_sent"] = r.announcements_sent;
    o["reports_sent"] = r.reports_sent;
    o["restarts"] = r.restarts;
    o["upgrade"] = Upgrade(r);
    return o;
}

}  // namespace

std::string StateJson(const std::vector<SimRadio>& radios, Clock now,
                      const std::map<std::string, int>& searches) {
    Json state;
    state["now_ms"] = now;
    state["searches"] = ByTextKey(searches);
    Json& list = state["radios"] = Json::array();
    for (std::size_t k = 0; k < radios.size(); ++k) list.push_back(Radio(k, radios[k], now));
    // Names and SSIDs cut to their byte areas may end inside a character.
    return state.dump(-1, ' ', false, Json::error_handler_t::ignore) + "\n";
}

}  // namespace fk::sim
