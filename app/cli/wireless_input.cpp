#include "app/cli/wireless_input.h"

#include <algorithm>
#include <array>

#include "app/utf8.h"
#include "protocol/address_text.h"
#include "store/display_codes.h"

namespace fk::cli {
namespace {

// The order they are applied in.
constexpr std::array<const char*, 27> kFlags = {
    "--ssid",          "--ssid-hidden",   "--net-mode",
    "--bandwidth",     "--power",         "--country",
    "--channel",       "--ext-channel",   "--security",
    "--cipher",        "--psk",           "--key-interval",
    "--wep-auth",      "--wep-default",   "--wep-key1",
    "--wep-key2",      "--wep-key3",      "--wep-key4",
    "--wep-key1-type", "--wep-key2-type", "--wep-key3-type",
    "--wep-key4-type", "--radius-ip",     "--radius-port",
    "--radius-key",    "--radius-cipher", "--radius-key-interval"};

constexpr const char* kPskModes = "WPA-PSK, WPA2-PSK or Mixed WPA/WPA2-PSK";
constexpr const char* kCipherTexts[] = {"AES", "TKIP", "TKIP&AES"};

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), StartsUtf8Character));
}

bool AllDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The field takes at most `limit` characters, digits only when `digits`.
std::string Field(const SettingFlag& f, std::size_t limit, bool digits, std::string& into) {
    if (digits && !AllDigits(f.value)) return f.flag + " takes digits only";
    if (Characters(f.value) > limit) {
        return f.flag + " takes at most " + std::to_string(limit) +
               (digits ? " digits" : " characters");
    }
    into = f.value;
    return {};
}

std::string Offered(const SettingFlag& f, const ChoiceList& list) {
    return f.flag + ": '" + f.value + "' is not offered; this radio offers " + list.Offered();
}

// Finds the value among the list's texts; `choose` then takes its position.
template <typename Choose>
std::string Pick(const SettingFlag& f, const ChoiceList& list, Choose choose) {
    const int at = list.FindText(f.value);
    if (at < 0) return Offered(f, list);
    choose(at);
    return {};
}

int SecurityMode(const WirelessPaneInput& in) {
    return in.security.mode.Code(-1);
}

std::string NeedsMode(const SettingFlag& f, const WirelessPaneInput& in, const char* modes) {
    return f.flag + ": the security mode " +
           in.security.mode.items[in.security.mode.selected].text + " has no such input; " + modes +
           " has (see --security)";
}

std::string ApplyPsk(const SettingFlag& f, WirelessPaneInput& in) {
    SecurityPaneInput& s = in.security;
    if (!SecurityVisibilityFor(SecurityMode(in)).psk) return NeedsMode(f, in, kPskModes);
    if (f.flag == "--psk") return Field(f, kKeyTextBytes, false, s.psk_key);
    if (f.flag == "--key-interval") return Field(f, kKeyTimeDigits, true, s.psk_key_time);
    const bool tkip_aes = SecurityVisibilityFor(SecurityMode(in)).psk_tkip_aes;
    for (int c = kCipherAes; c <= kCipherTkipAes; ++c) {
        if (f.value != kCipherTexts[c]) continue;
        if (c == kCipherTkipAes && !tkip_aes) break;
        s.psk_cipher = c;
        return {};
    }
    return f.flag + ": '" + f.value + "' is not offered; this security mode offers " +
           (tkip_aes ? "AES, TKIP, TKIP&AES" : "AES, TKIP");
}

std::string ApplyWep(const SettingFlag& f, WirelessPaneInput& in) {
    SecurityPaneInput& s = in.security;
    if (!SecurityVisibilityFor(SecurityMode(in)).wep) return NeedsMode(f, in, "WEP");
    if (f.flag == "--wep-auth")
        return Pick(f, s.wep_auth, [&](int at) { s.wep_auth.selected = at; });
    if (f.flag == "--wep-default") {
        const int at = s.wep_default.FindText("Key " + f.value);
        if (at < 0) return f.flag + " is 1, 2, 3 or 4";
        s.wep_default.selected = at;
        return {};
    }
    const int k = f.flag[9] - '1';  // "--wep-keyN..."
    if (f.flag.size() > 10) {
        ChoiceList& type = s.wep_keys[k].type;
        return Pick(f, type, [&](int at) { type.selected = at; });
    }
    return Field(f, kWepKeyTextBytes, false, s.wep_keys[k].text);
}

std::string ApplyRadius(const SettingFlag& f, WirelessPaneInput& in) {
    SecurityPaneInput& s = in.security;
    if (!SecurityVisibilityFor(SecurityMode(in)).radius) return NeedsMode(f, in, "WPA or WPA2");
    if (f.flag == "--radius-ip") {
        Ipv4Octets octets;
        if (!ParseIpv4(f.value, octets)) return f.flag + " needs an address like 198.18.0.5";
        s.radius_server = f.value;
        return {};
    }
    if (f.flag == "--radius-port") return Field(f, kRadiusPortDigits, false, s.radius_port);
    if (f.flag == "--radius-key") return Field(f, kKeyTextBytes, false, s.radius_key);
    if (f.flag == "--radius-key-interval") return Field(f, kKeyTimeDigits, true, s.radius_key_time);
    return Pick(f, s.radius_cipher, [&](int at) { s.radius_cipher.selected = at; });
}

std::string ApplyOne(const ap_info_stu& record, const SettingFlag& f, WirelessPaneInput& in) {
    const WirelessLayout layout = WirelessLayoutFor(record);
    const std::string mode = WorkModeName(record.report.work_mode);
    const bool channel_flag =
        f.flag == "--country" || f.flag == "--channel" || f.flag == "--ext-channel";
    const bool any_mode = f.flag == "--power" || f.flag == "--bandwidth";
    if (!layout.radio && !any_mode) {
        return f.flag + ": a radio in " + mode +
               " mode takes its SSID, security and channel from the access point it joins; "
               "only --power and --bandwidth can be changed";
    }
    if (!layout.channel && channel_flag) {
        return f.flag + ": a radio in " + mode + " mode keeps its country and channel";
    }
    if (f.flag == "--ssid") return Field(f, kNameTextBytes, false, in.ssid);
    if (f.flag == "--ssid-hidden") {
        if (f.value != "on" && f.value != "off") return "--ssid-hidden is on or off";
        in.ssid_hidden = f.value == "on";
        return {};
    }
    if (f.flag == "--power") return Field(f, kPowerDigits, true, in.power);
    if (f.flag == "--net-mode")
        return Pick(f, in.net_mode, [&](int at) { ChooseNetMode(record, in, at); });
    if (f.flag == "--bandwidth")
        return Pick(f, in.bandwidth, [&](int at) { ChooseBandwidth(record, in, at); });
    if (f.flag == "--country")
        return Pick(f, in.country, [&](int at) { ChooseCountry(record, in, at); });
    if (f.flag == "--channel")
        return Pick(f, in.channel, [&](int at) { ChooseChannel(record, in, at); });
    if (f.flag == "--ext-channel") {
        if (in.ext_channel.items.empty()) {
            return f.flag +
                   ": no extension channel is offered; it needs 2.4 GHz, 11b/g/n, a bandwidth "
                   "other than 20MHz and a channel other than Auto";
        }
        return Pick(f, in.ext_channel, [&](int at) { ChooseExtChannel(in, at); });
    }
    if (f.flag == "--security")
        return Pick(f, in.security.mode, [&](int at) { ChooseSecurityMode(in.security, at); });
    if (f.flag == "--cipher" || f.flag == "--psk" || f.flag == "--key-interval")
        return ApplyPsk(f, in);
    if (StartsWith(f.flag, "--wep-")) return ApplyWep(f, in);
    return ApplyRadius(f, in);
}

}  // namespace

std::span<const char* const> WirelessFlagNames() {
    return kFlags;
}

bool IsWirelessFlag(const std::string& flag) {
    const auto names = WirelessFlagNames();
    return std::find(names.begin(), names.end(), flag) != names.end();
}

std::string ApplyWirelessFlags(const ap_info_stu& record, const std::vector<SettingFlag>& flags,
                               WirelessPaneInput& input) {
    for (const char* name : WirelessFlagNames()) {
        for (const SettingFlag& f : flags) {
            if (f.flag != name) continue;
            const std::string refused = ApplyOne(record, f, input);
            if (!refused.empty()) return refused;
        }
    }
    return {};
}

}  // namespace fk::cli
