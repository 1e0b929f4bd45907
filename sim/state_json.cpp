#include "sim/state_json.h"

#include <cstdio>
#include <sstream>

#include "protocol/packet.h"
#include "sim/sim_config.h"

namespace fk::sim {
namespace {

// Length of the well-formed UTF-8 character starting at `i`, or 0.
std::size_t CharLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return 0;
    }
    return n;
}

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

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
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

template <typename Map>
std::string CountMap(const Map& map) {
    std::string out = "{";
    for (const auto& [key, count] : map) {
        if (out.size() > 1) out += ", ";
        std::ostringstream k;
        k << key;
        out += JsonString(k.str()) + ": " + std::to_string(count);
    }
    return out + "}";
}

std::string PayloadMap(const std::map<int, std::vector<std::uint8_t>>& map) {
    std::string out = "{";
    for (const auto& [type, bytes] : map) {
        if (out.size() > 1) out += ", ";
        out += JsonString(std::to_string(type)) + ": " + Quoted(Hex(bytes.data(), bytes.size()));
    }
    return out + "}";
}

void RadioJson(std::ostringstream& o, std::size_t index, const SimRadio& r, Clock now) {
    const ap_report_stu& p = r.report;
    o << "{\"index\": " << index << ", \"mac\": " << Quoted(r.mac_text)
      << ", \"ip\": " << Quoted(IpText(r.ip)) << ", \"prefix\": " << r.prefix
      << ", \"iface\": " << JsonString(r.iface) << ", \"model\": " << r.ap_type
      << ", \"name\": " << JsonString(p.ap_name.View())
      << ", \"name_hex\": " << Quoted(Hex(p.ap_name.text, p.ap_name.Length()))
      << ", \"ssid\": " << JsonString(p.ssid.View())
      << ", \"ssid_hex\": " << Quoted(Hex(p.ssid.text, p.ssid.Length()))
      << ", \"version\": " << JsonString(p.version.View()) << ", \"channel\": " << int{p.channel}
      << ", \"band\": " << (p.rf_type ? "\"5\"" : "\"2.4\"")
      << ", \"work_mode\": " << int{p.work_mode} << ", \"secure_mode\": " << int{p.secure_mode}
      << ", \"transparent\": " << int{p.bridge_transparent} << ", \"tdma\": " << int{p.tdmaEn}
      << ", \"uptime\": " << r.UptimeAt(now) << ", \"ip_mode\": " << int{p.ip_mode}
      << ", \"ip_mask\": " << Quoted(IpOctetsToText(p.ip_mask))
      << ", \"gateway\": " << Quoted(IpOctetsToText(p.ip_gateway))
      << ", \"dns1\": " << Quoted(IpOctetsToText(p.ip_dns1))
      << ", \"dns2\": " << Quoted(IpOctetsToText(p.ip_dns2))
      << ", \"vlan\": {\"en\": " << int{p.vlan_en} << ", \"id\": " << p.vlan_id
      << ", \"wlan\": " << p.vlan_id_wlan << ", \"lan\": " << p.vlan_id_lan
      << ", \"pvid\": " << p.vlan_pvid << ", \"lan3\": " << p.vlan_id_lan3
      << ", \"lan4\": " << p.vlan_id_lan4 << "}"
      << ", \"schedule\": {\"en\": " << int{p.restart_en} << ", \"days\": " << int{p.restart_type}
      << ", \"minutes\": " << p.restart_time << "}"
      << ", \"ssid_mac\": " << Quoted(MacBytesToText(p.ssid_mac))
      << ", \"bridge\": {\"mode\": " << int{p.bridge_work_mode}
      << ", \"mac\": " << Quoted(MacBytesToText(p.bridge_mac))
      << ", \"channel\": " << int{p.bridge_channel}
      << ", \"ssid\": " << JsonString(p.bridge_ssid.View()) << "}"
      << ", \"wireless\": {\"country\": " << int{p.country_code}
      << ", \"net_mode\": " << int{p.network_mode} << ", \"bandwidth\": " << int{p.bandwidth}
      << ", \"expand\": " << int{p.expand_channel} << ", \"power\": " << int{p.tx_power}
      << ", \"ssid_hide\": " << int{p.ssid_hide}
      << ", \"psk\": " << JsonString(p.wpapsk_key_value.View())
      << ", \"wep_index\": " << int{p.wep_key_index}
      << ", \"wep_key1\": " << JsonString(p.wep_key[0].value.View())
      << ", \"radius_key\": " << JsonString(p.wpa_key.View()) << "}"
      << ", \"wireless_hex\": " << Quoted(Hex(&p.rf_count, 328))
      << ", \"phase\": " << Quoted(PhaseName(r.phase))
      << ", \"registered\": " << (r.registered ? "true" : "false")
      << ", \"controller\": " << Quoted(r.controller ? IpText(r.controller) : "")
      << ", \"received\": " << CountMap(r.received)
      << ", \"first_heard_ms\": " << CountMap(r.first_heard_ms)
      << ", \"payloads\": " << PayloadMap(r.last_payload)
      << ", \"command_sources\": " << CountMap(r.command_sources) << ", \"lost\": " << r.lost
      << ", \"keepalives_sent\": " << r.keepalives_sent
      << ", \"announcements_sent\": " << r.announcements_sent
      << ", \"reports_sent\": " << r.reports_sent << ", \"restarts\": " << r.restarts
      << ", \"upgrade\": {\"file\": " << JsonString(r.upgrade_file)
      << ", \"size\": " << r.upgrade_size << ", \"fetched\": " << r.fetched_bytes
      << ", \"error\": " << JsonString(r.fetch_error) << "}}";
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = CharLength(bytes, i);
        if (n == 0) {
            ++i;
            continue;
        }
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out.append(bytes.substr(i, n));
        }
        i += n;
    }
    return out + "\"";
}

std::string StateJson(const std::vector<SimRadio>& radios, Clock now,
                      const std::map<std::string, int>& searches) {
    std::ostringstream o;
    o << "{\"now_ms\": " << now << ", \"searches\": " << CountMap(searches) << ", \"radios\": [\n";
    for (std::size_t k = 0; k < radios.size(); ++k) {
        RadioJson(o, k, radios[k], now);
        o << (k + 1 < radios.size() ? ",\n" : "\n");
    }
    o << "]}\n";
    return o.str();
}

}  // namespace fk::sim
