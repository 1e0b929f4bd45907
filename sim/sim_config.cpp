#include "sim/sim_config.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "protocol/model_capabilities.h"
#include "protocol/packet.h"

namespace fk::sim {
namespace {

constexpr std::uint8_t kWorkModes[] = {1, 2, 1, 2, 3, 4, 5, 6, 7};
constexpr std::uint8_t kChannels24[] = {1, 6, 11, 0};
// 100 is a radar channel: only the "Test" country offers it, yet radios report it.
constexpr std::uint8_t kChannels5[] = {36, 149, 100, 0};
// China, the United States, "AT" (a code the country table has no row for), Test,
// Australia.
constexpr std::uint8_t kCountries[] = {0, 1, 24, 61, 44};
constexpr std::uint8_t kNetMode24 = 4;  // 11b/g/n
constexpr std::uint8_t kNetMode5 = 1;   // 11a/n
constexpr std::uint8_t kNetMode11ac = 2;
constexpr std::uint8_t kBandwidth40 = 1;
constexpr std::uint8_t kBandwidth80 = 3;
constexpr std::uint8_t kExpandNone = 2;

// The extension channel a 40 MHz 2.4 GHz radio on `channel` would report.
std::uint8_t ExpandFor(const ap_report_stu& r) {
    if (r.rf_type != 0 || r.network_mode != kNetMode24 || r.bandwidth != kBandwidth40 ||
        r.channel == 0) {
        return kExpandNone;
    }
    return r.channel <= 4 ? 1 : 0;
}

void HostToOctets(std::uint32_t ip, std::uint8_t* o) {
    const Ipv4Octets octets = OctetsOfHostOrder(ip);
    std::copy(octets.begin(), octets.end(), o);
}

std::uint32_t MaskOf(int prefix) {
    return prefix <= 0 ? 0 : prefix >= 32 ? 0xffffffffu : ~((1u << (32 - prefix)) - 1);
}

// Cuts at `n` bytes whatever the encoding: a real radio stores what fits in its area,
// so a name may end in the middle of a character.
void AssignRaw(text32& field, std::string_view s) {
    field.Assign(s.substr(0, 32));
}

std::string Printf(const char* format, int value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

std::string NameFor(int i) {
    switch (i % 10) {
        case 1:
            return Printf("楼顶北侧-%d", i);
        case 2:
            return "";
        case 3:  // 3 digits + ten 3-byte ideographs = 33 bytes: the last one is cut
            return Printf("%03d", i % 1000) + "天线塔天线塔天线塔天";
        case 4: {
            std::string s = Printf("Site-%03d-", i);
            s.resize(32, 'x');
            return s;
        }
        case 5:
            return Printf("Ferme Ü-%d", i);
        case 6:
            return Printf("Radio %03d North mast", i);
        default:
            return Printf("Radio-%03d", i);
    }
}

std::string SsidFor(int i) {
    switch (i % 7) {
        case 1:
            return Printf("无线网络-%d", i);
        case 2:
            return "";
        case 3:
            return Printf("ssid with spaces %d", i);
        case 4: {
            std::string s = Printf("LongSSID-%d-", i);
            s.resize(32, 'y');
            return s;
        }
        default:
            return Printf("fk-net-%d", i % 5);
    }
}

std::vector<ScanNeighbour> DefaultNeighbours(int i) {
    static const char* kSsids[] = {"neighbour-ap", "邻居热点", "", "farm-link", "mast-7"};
    std::vector<ScanNeighbour> out;
    for (int k = 0; k < 5; ++k) {
        ScanNeighbour n;
        n.mac = {0x02,
                 0xaa,
                 static_cast<std::uint8_t>(i >> 8),
                 static_cast<std::uint8_t>(i),
                 0x00,
                 static_cast<std::uint8_t>(k + 1)};
        n.signal = static_cast<std::int8_t>(-40 - 11 * k);
        n.channel = static_cast<std::uint8_t>(k % 2 ? 149 : 6);
        n.secure_mode = static_cast<std::uint8_t>(k * 2);
        n.ssid = kSsids[k];
        n.bandwidth = static_cast<std::uint8_t>(k % 3);
        out.push_back(n);
    }
    return out;
}

// One neighbour of every security code the survey list knows, and two it does not,
// with signals on both sides of each signal-image bound.
std::vector<ScanNeighbour> EveryCodeNeighbours(int i) {
    static const std::uint8_t kCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 255};
    static const std::int8_t kSignals[] = {-90, -76, -75, -74, -61, -60, -59, -40};
    std::vector<ScanNeighbour> out;
    for (std::size_t k = 0; k < std::size(kCodes); ++k) {
        ScanNeighbour n;
        n.mac = {0x02,
                 0xcc,
                 static_cast<std::uint8_t>(i >> 8),
                 static_cast<std::uint8_t>(i),
                 0x00,
                 static_cast<std::uint8_t>(k + 1)};
        n.secure_mode = kCodes[k];
        n.signal = kSignals[k % std::size(kSignals)];
        n.channel = static_cast<std::uint8_t>(k % 2 ? 149 : 6);
        n.ssid = Printf("code-%d", int{kCodes[k]});
        out.push_back(n);
    }
    return out;
}

bool ParseInt(std::string_view text, long long& out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && p == end;
}

// "2,0,1": packet ids; an empty text is the empty list.
bool ParseIds(std::string_view v, std::vector<int>& ids) {
    std::vector<int> out;
    std::stringstream in{std::string(v)};
    std::string item;
    while (std::getline(in, item, ',')) {
        long long n = 0;
        if (!ParseInt(item, n) || n < 0 || n > 254) return false;
        out.push_back(static_cast<int>(n));
    }
    ids = out;
    return true;
}

bool ParseDouble(std::string_view text, double& out) {
    std::string s(text);
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return !s.empty() && end == s.c_str() + s.size();
}

bool ParseMac(std::string_view text, std::array<std::uint8_t, 6>& mac) {
    unsigned v[6];
    std::string s(text);
    if (std::sscanf(s.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x", &v[0], &v[1], &v[2], &v[3], &v[4],
                    &v[5]) != 6 ||
        s.size() != 17) {
        return false;
    }
    for (int k = 0; k < 6; ++k) mac[k] = static_cast<std::uint8_t>(v[k]);
    return true;
}

bool ParseHex(std::string_view text, std::string& out) {
    if (text.size() % 2) return false;
    out.clear();
    for (std::size_t k = 0; k < text.size(); k += 2) {
        unsigned v = 0;
        auto [p, ec] = std::from_chars(text.data() + k, text.data() + k + 2, v, 16);
        if (ec != std::errc() || p != text.data() + k + 2) return false;
        out.push_back(static_cast<char>(v));
    }
    return true;
}

void SetMac(SimRadio& r, const std::array<std::uint8_t, 6>& mac) {
    r.mac = mac;
    r.mac_text = MacBytesToText(mac.data());
    std::copy(mac.begin(), mac.end(), r.report.ssid_mac);
    r.report.ssid_mac[5] = static_cast<std::uint8_t>(mac[5] + 1);
}

void SetIp(SimRadio& r, std::uint32_t ip, int prefix) {
    r.ip = ip;
    r.prefix = prefix;
    HostToOctets(ip, r.report.ip);
    HostToOctets(MaskOf(prefix), r.report.ip_mask);
    HostToOctets((ip & MaskOf(prefix)) + 1, r.report.ip_gateway);
}

using Setter = std::function<bool(SimRadio&, std::string_view)>;

Setter IntSetter(long long lo, long long hi, std::function<void(SimRadio&, long long)> set) {
    return [=](SimRadio& r, std::string_view v) {
        long long n = 0;
        if (!ParseInt(v, n) || n < lo || n > hi) return false;
        set(r, n);
        return true;
    };
}

Setter BoolSetter(std::function<void(SimRadio&, bool)> set) {
    return [=](SimRadio& r, std::string_view v) {
        if (v != "0" && v != "1") return false;
        set(r, v == "1");
        return true;
    };
}

template <typename F>
Setter Byte(F field) {
    return IntSetter(
        0, 255, [field](SimRadio& r, long long n) { field(r) = static_cast<std::uint8_t>(n); });
}

const std::map<std::string, Setter, std::less<>>& Setters() {
    static const std::map<std::string, Setter, std::less<>> table = {
        {"mac",
         [](SimRadio& r, std::string_view v) {
             std::array<std::uint8_t, 6> mac{};
             if (!ParseMac(v, mac)) return false;
             SetMac(r, mac);
             return true;
         }},
        {"ip",
         [](SimRadio& r, std::string_view v) {
             bool ok = false;
             const std::uint32_t ip = ParseIp(v, ok);
             if (ok) SetIp(r, ip, r.prefix);
             return ok;
         }},
        {"prefix", IntSetter(1, 32, [](SimRadio& r, long long n) {
             SetIp(r, r.ip, static_cast<int>(n));
         })},
        {"iface",
         [](SimRadio& r, std::string_view v) {
             r.iface = std::string(v);
             return true;
         }},
        {"model", IntSetter(0, 65535,
                            [](SimRadio& r, long long n) { r.ap_type = static_cast<std::uint16_t>(n); })},
        {"name",
         [](SimRadio& r, std::string_view v) {
             AssignRaw(r.report.ap_name, v);
             return true;
         }},
        {"name_hex",
         [](SimRadio& r, std::string_view v) {
             std::string raw;
             if (!ParseHex(v, raw)) return false;
             AssignRaw(r.report.ap_name, raw);
             return true;
         }},
        {"ssid",
         [](SimRadio& r, std::string_view v) {
             AssignRaw(r.report.ssid, v);
             return true;
         }},
        {"version",
         [](SimRadio& r, std::string_view v) {
             AssignRaw(r.report.version, v);
             return true;
         }},
        {"channel", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.channel; })},
        {"band",
         [](SimRadio& r, std::string_view v) {
             if (v != "2.4" && v != "5") return false;
             r.report.rf_type = v == "5" ? 1 : 0;
             r.report.ssid_rf_type = r.report.rf_type;
             // A mode of the new band; net_mode= given after this one still wins.
             r.report.network_mode = r.report.rf_type ? kNetMode5 : kNetMode24;
             r.report.expand_channel = ExpandFor(r.report);
             return true;
         }},
        {"country", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.country_code; })},
        {"net_mode", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.network_mode; })},
        {"bandwidth", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.bandwidth; })},
        {"expand", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.expand_channel; })},
        {"power", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.tx_power; })},
        {"power_min", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.tx_power_min; })},
        {"power_max", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.tx_power_max; })},
        {"ssid_hide", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.ssid_hide; })},
        {"psk",
         [](SimRadio& r, std::string_view v) {
             r.report.wpapsk_key_value.Assign(v);
             return true;
         }},
        {"work_mode", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.work_mode; })},
        {"secure_mode", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.secure_mode; })},
        {"transparent",
         Byte([](SimRadio& r) -> std::uint8_t& { return r.report.bridge_transparent; })},
        {"tdma", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.tdmaEn; })},
        {"uptime", IntSetter(0, 0xffffffffLL,
                             [](SimRadio& r, long long n) { r.uptime_base = static_cast<std::uint32_t>(n); })},
        {"keepalive_ms", IntSetter(50, 3600000, [](SimRadio& r, long long n) {
             r.keepalive_ms = static_cast<int>(n);
         })},
        {"restart_ms", IntSetter(0, 3600000, [](SimRadio& r, long long n) {
             r.restart_ms = static_cast<int>(n);
         })},
        {"loss",
         [](SimRadio& r, std::string_view v) {
             double p = 0;
             if (!ParseDouble(v, p) || p < 0 || p > 1) return false;
             r.faults.loss = p;
             return true;
         }},
        {"dup", IntSetter(0, 10, [](SimRadio& r, long long n) {
             r.faults.duplicates = static_cast<int>(n);
         })},
        {"delay_ms", IntSetter(0, 600000, [](SimRadio& r, long long n) {
             r.faults.delay_ms = static_cast<int>(n);
         })},
        {"silent", BoolSetter([](SimRadio& r, bool b) { r.faults.silent = b; })},
        {"silent_after_report",
         BoolSetter([](SimRadio& r, bool b) { r.faults.silent_after_report = b; })},
        {"reply_from",
         [](SimRadio& r, std::string_view v) {
             bool ok = false;
             r.faults.reply_from = v.empty() ? 0 : ParseIp(v, ok);
             return v.empty() || ok;
         }},
        {"wrong_answer", BoolSetter([](SimRadio& r, bool b) { r.faults.wrong_answer = b; })},
        {"wrong_mac", BoolSetter([](SimRadio& r, bool b) { r.faults.wrong_mac = b; })},
        {"malformed", BoolSetter([](SimRadio& r, bool b) { r.faults.malformed = b; })},
        {"keepalives", BoolSetter([](SimRadio& r, bool b) { r.faults.keepalives = b; })},
        {"short_announce", BoolSetter([](SimRadio& r, bool b) { r.short_announce = b; })},
        {"tftp", BoolSetter([](SimRadio& r, bool b) { r.tftp_fetch = b; })},
        {"unanswered",
         [](SimRadio& r, std::string_view v) {
             std::set<int> types;
             std::stringstream in{std::string(v)};
             std::string item;
             while (std::getline(in, item, ',')) {
                 long long n = 0;
                 if (!ParseInt(item, n) || n < 0 || n > 65535) return false;
                 types.insert(static_cast<int>(n));
             }
             r.faults.unanswered = types;
             return true;
         }},
        {"ssid_mac",
         [](SimRadio& r, std::string_view v) {
             std::array<std::uint8_t, 6> mac{};
             if (!ParseMac(v, mac)) return false;
             std::copy(mac.begin(), mac.end(), r.report.ssid_mac);
             return true;
         }},
        {"bridge_mac",
         [](SimRadio& r, std::string_view v) {
             std::array<std::uint8_t, 6> mac{};
             if (!ParseMac(v, mac)) return false;
             std::copy(mac.begin(), mac.end(), r.report.bridge_mac);
             return true;
         }},
        {"factory_ip",
         [](SimRadio& r, std::string_view v) {
             bool ok = false;
             r.factory_ip = ParseIp(v, ok);
             return ok;
         }},
        {"reboot_result", Byte([](SimRadio& r) -> std::uint8_t& { return r.results.reboot; })},
        {"restore_result", Byte([](SimRadio& r) -> std::uint8_t& { return r.results.restore; })},
        {"vlan_result", Byte([](SimRadio& r) -> std::uint8_t& { return r.results.vlan; })},
        {"bridge_result", Byte([](SimRadio& r) -> std::uint8_t& { return r.results.bridge; })},
        {"upgrade_fetch",
         Byte([](SimRadio& r) -> std::uint8_t& { return r.results.upgrade_fetch; })},
        {"upgrade_final",
         Byte([](SimRadio& r) -> std::uint8_t& { return r.results.upgrade_final; })},
        {"scan_count", IntSetter(0, 255 * 32, [](SimRadio& r, long long n) {
             const int index = (r.mac[4] << 8) | r.mac[5];
             std::vector<ScanNeighbour> base = DefaultNeighbours(index);
             r.neighbours.clear();
             for (long long k = 0; k < n; ++k) {
                 ScanNeighbour nb = base[k % base.size()];
                 nb.mac[4] = static_cast<std::uint8_t>(k >> 8);
                 nb.mac[5] = static_cast<std::uint8_t>(k + 1);
                 r.neighbours.push_back(nb);
             }
         })},
        {"scan_profile",
         [](SimRadio& r, std::string_view v) {
             const int index = (r.mac[4] << 8) | r.mac[5];
             if (v == "codes") {
                 r.neighbours = EveryCodeNeighbours(index);
             } else if (v == "default") {
                 r.neighbours = DefaultNeighbours(index);
             } else {
                 return false;
             }
             return true;
         }},
        // MAC/CHANNEL/SECURE/SIGNAL/SSID: one more neighbour; the SSID is the rest.
        {"scan_ap",
         [](SimRadio& r, std::string_view v) {
             std::vector<std::string> parts;
             std::size_t pos = 0;
             while (parts.size() < 4) {
                 const std::size_t slash = v.find('/', pos);
                 if (slash == std::string_view::npos) return false;
                 parts.emplace_back(v.substr(pos, slash - pos));
                 pos = slash + 1;
             }
             ScanNeighbour n;
             long long channel = 0, secure = 0, signal = 0;
             if (!ParseMac(parts[0], n.mac) || !ParseInt(parts[1], channel) || channel < 0 ||
                 channel > 255 || !ParseInt(parts[2], secure) || secure < 0 || secure > 255 ||
                 !ParseInt(parts[3], signal) || signal < -128 || signal > 127)
                 return false;
             n.channel = static_cast<std::uint8_t>(channel);
             n.secure_mode = static_cast<std::uint8_t>(secure);
             n.signal = static_cast<std::int8_t>(signal);
             n.ssid = std::string(v.substr(pos));
             r.neighbours.push_back(n);
             return true;
         }},
        {"scan_packets", IntSetter(1, 255, [](SimRadio& r, long long n) {
             r.scan_packets = static_cast<int>(n);
         })},
        {"scan_order", [](SimRadio& r, std::string_view v) { return ParseIds(v, r.scan_order); }},
        {"scan_drop", [](SimRadio& r, std::string_view v) { return ParseIds(v, r.scan_drop); }},
        {"scan_gap_ms", IntSetter(0, 60000, [](SimRadio& r, long long n) {
             r.scan_gap_ms = static_cast<int>(n);
         })},
        {"mode_btn", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.mode_btn_status; })},
        {"country", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.country_code; })},
        {"bandwidth", Byte([](SimRadio& r) -> std::uint8_t& { return r.report.bandwidth; })},
    };
    return table;
}

std::vector<std::pair<std::string, std::string>> SplitPairs(std::string_view text, char sep) {
    std::vector<std::pair<std::string, std::string>> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(sep, pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view item = text.substr(pos, end - pos);
        pos = end + 1;
        if (item.empty()) continue;
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos) {
            out.emplace_back(std::string(item), "");
        } else {
            out.emplace_back(std::string(item.substr(0, eq)), std::string(item.substr(eq + 1)));
        }
    }
    return out;
}

}  // namespace

std::uint32_t ParseIp(std::string_view text, bool& ok) {
    std::uint32_t ip = 0;
    ok = ParseIpv4(text, ip);
    return ip;
}

std::string IpText(std::uint32_t ip) {
    return IpHostOrderToText(ip);
}

SimRadio PlainRadio(int index, Clock now) {
    SimRadio r;
    SetMac(r, {0x02, 0x46, 0x4b, static_cast<std::uint8_t>(index >> 16),
               static_cast<std::uint8_t>(index >> 8), static_cast<std::uint8_t>(index)});
    r.boot_ms = now;
    r.report.work_mode = 1;
    r.report.ip_mode = 1;
    r.report.ip_flag = 1;
    r.report.rf_count = 1;
    r.report.rf_en = 1;
    r.report.ssid_count = 1;
    r.report.tx_power = 20;
    r.report.tx_power_min = 1;
    r.report.tx_power_max = 27;
    r.report.bandwidth = 0;
    r.report.network_mode = kNetMode24;
    r.report.expand_channel = kExpandNone;
    r.report.country_code = 1;
    // Every security mode's settings as a configured radio holds them, so that whichever
    // mode a radio is in, its stored settings pass the controller's checks.
    r.report.wpapsk_key_value.Assign("fk-pass-phrase");
    r.report.wpapsk_key_time = 3600;
    r.report.wep_key_index = 1;
    r.report.wep_key[0].value.Assign("fkwep");
    HostToOctets(0xC6120002u, r.report.wpa_radius_ip);  // 198.18.0.2
    r.report.wpa_radius_port = 1812;
    r.report.wpa_key.Assign("fk-radius-secret");
    r.report.vlan_id = r.report.vlan_id_wlan = r.report.vlan_id_lan = 1;
    r.report.vlan_pvid = r.report.vlan_id_lan3 = r.report.vlan_id_lan4 = 1;
    AssignRaw(r.report.version, "FK-2.4.1 build 20261201");
    AssignRaw(r.report.ap_name, Printf("Radio-%03d", index));
    AssignRaw(r.report.ssid, "fk-net");
    r.neighbours = DefaultNeighbours(index);
    return r;
}

std::vector<SimRadio> GenerateGroup(const RadioGroup& plan, int first_index, Clock now) {
    std::vector<SimRadio> out;
    for (int k = 0; k < plan.count; ++k) {
        const int i = first_index + k;
        SimRadio r = PlainRadio(i + 1, now);
        r.iface = plan.iface;
        SetIp(r, plan.base_ip + static_cast<std::uint32_t>(k), plan.prefix);
        r.ap_type = KnownModels()[static_cast<std::size_t>(i) % KnownModels().size()].code;
        r.report.rf_type = static_cast<std::uint8_t>(i % 2);
        r.report.ssid_rf_type = r.report.rf_type;
        r.report.channel = r.report.rf_type ? kChannels5[(i / 2) % 4] : kChannels24[(i / 2) % 4];
        const bool has_11ac = ModelByCode(r.ap_type).has_11ac;
        if (r.report.rf_type) {
            r.report.network_mode = has_11ac ? kNetMode11ac : kNetMode5;
            r.report.bandwidth = has_11ac ? kBandwidth80 : 0;
        } else {
            r.report.network_mode = kNetMode24;
            r.report.bandwidth = (i / 2) % 2 ? kBandwidth40 : 0;
        }
        r.report.expand_channel = ExpandFor(r.report);
        r.report.country_code = kCountries[(i / 3) % std::size(kCountries)];
        r.report.work_mode = kWorkModes[i % std::size(kWorkModes)];
        r.report.secure_mode = static_cast<std::uint8_t>(i % 7);
        r.report.bridge_transparent = i % 3 == 0;
        r.report.tdmaEn = i % 2;
        AssignRaw(r.report.ap_name, NameFor(i));
        AssignRaw(r.report.ssid, SsidFor(i));
        AssignRaw(r.report.version, Printf("FK-2.4.%d build 20261201", i % 9));
        r.uptime_base = static_cast<std::uint32_t>(37 * i + (i % 5 == 0 ? 90061 : 0));
        out.push_back(std::move(r));
    }
    return out;
}

bool ApplySetting(SimRadio& radio, std::string_view key, std::string_view value,
                  std::string& error) {
    const auto& table = Setters();
    auto it = table.find(key);
    if (it == table.end()) {
        error = "unknown setting '" + std::string(key) + "'";
        return false;
    }
    if (!it->second(radio, value)) {
        error = "bad value '" + std::string(value) + "' for " + std::string(key);
        return false;
    }
    return true;
}

bool ApplySettings(SimRadio& radio, std::string_view settings, std::string& error) {
    for (const auto& [key, value] : SplitPairs(settings, ' ')) {
        if (!ApplySetting(radio, key, value, error)) return false;
    }
    return true;
}

std::vector<SimRadio*> SelectRadios(std::vector<SimRadio>& radios, std::string_view selector) {
    std::vector<SimRadio*> out;
    long long index = -1;
    if (!selector.empty() && selector[0] == '#' && !ParseInt(selector.substr(1), index)) index = -1;
    for (std::size_t k = 0; k < radios.size(); ++k) {
        SimRadio& r = radios[k];
        if (selector == "*" || r.mac_text == selector || IpText(r.ip) == selector ||
            static_cast<long long>(k) == index) {
            out.push_back(&r);
        }
    }
    return out;
}

bool ParseGroup(std::string_view text, RadioGroup& plan, std::string& error) {
    for (const auto& [key, value] : SplitPairs(text, ',')) {
        long long n = 0;
        bool ok = true;
        if (key == "count") {
            ok = ParseInt(value, n) && n >= 0 && n <= 60000;
            plan.count = static_cast<int>(n);
        } else if (key == "base") {
            plan.base_ip = ParseIp(value, ok);
        } else if (key == "prefix") {
            ok = ParseInt(value, n) && n >= 1 && n <= 32;
            plan.prefix = static_cast<int>(n);
        } else if (key == "iface") {
            plan.iface = value;
        } else {
            ok = false;
        }
        if (!ok) {
            error = "bad group item '" + key + "=" + value + "'";
            return false;
        }
    }
    if (plan.base_ip == 0) {
        error = "a group needs base=ADDRESS";
        return false;
    }
    return true;
}

bool ParseStorm(std::string_view text, StormPlan& plan, std::string& error) {
    for (const auto& [key, value] : SplitPairs(text, ',')) {
        long long n = 0;
        bool ok = true;
        if (key == "from") {
            plan.from = ParseIp(value, ok);
        } else if (key == "rate") {
            ok = ParseInt(value, n) && n >= 1 && n <= 1000000;
            plan.rate = static_cast<int>(n);
        } else if (key == "count") {
            ok = ParseInt(value, n) && n >= 0;
            plan.count = static_cast<std::uint64_t>(n);
        } else if (key == "prefix") {
            ok = ParseInt(value, n) && n >= 1 && n <= 32;
            plan.prefix = static_cast<int>(n);
        } else if (key == "iface") {
            plan.iface = value;
        } else {
            ok = false;
        }
        if (!ok) {
            error = "bad storm item '" + key + "=" + value + "'";
            return false;
        }
    }
    if (plan.from == 0 || plan.rate == 0) {
        error = "a storm needs from=ADDRESS and rate=N";
        return false;
    }
    return true;
}

bool LoadConfigFile(const std::string& path, std::vector<RadioGroup>& groups,
                    std::vector<std::string>& radio_lines, std::vector<std::string>& set_lines,
                    std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb) || verb[0] == '#') continue;
        std::string rest;
        std::getline(words, rest);
        rest.erase(0, rest.find_first_not_of(" \t"));
        if (verb == "group") {
            RadioGroup plan;
            std::string joined;
            for (const auto& [k, v] : SplitPairs(rest, ' ')) joined += k + "=" + v + ",";
            if (!ParseGroup(joined, plan, error)) {
                error = path + ":" + std::to_string(number) + ": " + error;
                return false;
            }
            groups.push_back(plan);
        } else if (verb == "radio") {
            radio_lines.push_back(rest);
        } else if (verb == "set") {
            set_lines.push_back(rest);
        } else {
            error = path + ":" + std::to_string(number) + ": unknown line '" + verb + "'";
            return false;
        }
    }
    return true;
}

}  // namespace fk::sim
