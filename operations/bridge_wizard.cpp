#include "operations/bridge_wizard.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "app/utf8.h"
#include "config/channel_list.h"
#include "config/country_tables.h"
#include "config/number_text.h"
#include "protocol/packet.h"

namespace fk {
namespace {

constexpr BridgeSecurityEntry kEntries[] = {
    {kBridgeNone, FK_TR("None")},
    {kBridgeWep, FK_TR("WEP")},
    {kBridgeWpaPsk, FK_TR("WPA-PSK")},
    {kBridgeWpa2Psk, FK_TR("WPA2-PSK")},
    {kBridgeMixedPsk, FK_TR("Mixed WPA/WPA2-PSK")},
};

// Read only once the rules have passed every field, so the text is an exact address
// (or empty, 0.0.0.0).
Ipv4Octets Checked(const std::string& text) {
    Ipv4Octets octets{};
    ParseIpv4(text, octets);
    return octets;
}

std::string Text(const std::uint8_t (&o)[4]) {
    return IpOctetsToText(o);
}

int IpFocus(ValidationField field) {
    switch (field) {
        case ValidationField::Mask:
            return kBridgeFieldMask;
        case ValidationField::Gateway:
            return kBridgeFieldGateway;
        case ValidationField::Dns1:
            return kBridgeFieldDns1;
        case ValidationField::Dns2:
            return kBridgeFieldDns2;
        default:
            return kBridgeFieldIp;
    }
}

std::uint32_t KeyTime(const std::string& text) {
    const long n = LeadingNumber(text);
    return n < 0 ? 0 : static_cast<std::uint32_t>(std::min<long>(n, 0xffffffffL));
}

void WriteSecurity(const BridgeSecurityInput& in, bridge_security_stu& out) {
    out.secure_mode = static_cast<std::uint8_t>(in.security);
    if (IsPskSecurity(in.security)) {
        const int cipher = CipherOffered(in.security, in.cipher) ? in.cipher : kCipherAes;
        out.cipher = static_cast<std::uint8_t>(cipher);
        out.psk.Assign(in.key);
        out.key_time = KeyTime(in.key_time);
    } else if (in.security == kBridgeWep) {
        out.wep_auth_type = static_cast<std::uint8_t>(in.wep.auth_type);
        out.wep_key_index = static_cast<std::uint8_t>(in.wep.default_key);
        for (int k = 0; k < 4; ++k) {
            out.wep_key[k].type =
                static_cast<std::uint8_t>(in.wep.types[static_cast<std::size_t>(k)]);
            out.wep_key[k].value.Assign(WepKeyText(in.wep, k));
        }
    }
}

}  // namespace

bool ModeSwitchAllowsBridge(const ap_info_stu& record) {
    const int status = record.report.mode_btn_status;
    return status == 0 || status == 2;
}

std::span<const BridgeSecurityEntry> BridgeSecurityEntries() {
    return kEntries;
}

bool IsPskSecurity(int security) {
    return SecurityVisibilityFor(security).psk;
}

bool CipherOffered(int security, int cipher) {
    const SecurityVisibility shown = SecurityVisibilityFor(security);
    if (!shown.psk || cipher < kCipherAes || cipher > kCipherTkipAes) return false;
    return cipher != kCipherTkipAes || shown.psk_tkip_aes;
}

SecurityPreset PresetForScanCode(int scan_code) {
    // By the survey's security code: 1 WEP, then WPA-PSK, WPA2-PSK and the mixed mode,
    // each with AES, TKIP and both (WPA-PSK has no "both").
    static constexpr SecurityPreset kByScanCode[] = {
        {kBridgeNone, -1},
        {kBridgeWep, -1},
        {kBridgeWpaPsk, kCipherAes},
        {kBridgeWpaPsk, kCipherTkip},
        {kBridgeWpa2Psk, kCipherAes},
        {kBridgeWpa2Psk, kCipherTkip},
        {kBridgeWpa2Psk, kCipherTkipAes},
        {kBridgeMixedPsk, kCipherAes},
        {kBridgeMixedPsk, kCipherTkip},
        {kBridgeMixedPsk, kCipherTkipAes},
    };
    if (scan_code >= 0 && scan_code < static_cast<int>(std::size(kByScanCode)))
        return kByScanCode[scan_code];
    // The list shows 10 and above as WPA-PSK with both ciphers; WPA-PSK offers AES of
    // the two, so that is what the link starts with.
    return {kBridgeWpaPsk, kCipherAes};
}

std::vector<int> BridgeChannels(const ap_info_stu& record, int ap_channel) {
    const ap_report_stu& r = record.report;
    const int row = FindCountryRow(r.country_code);
    std::vector<int> channels = CountryChannels(row, record.ap_type, r.rf_type, r.bandwidth);
    // Without a country row nothing says which channels the device may use; the one
    // the access point is heard on evidently works, so it is offered beside Auto.
    if (row < 0 && ap_channel != 0) channels.push_back(ap_channel);
    return channels;
}

BridgeSecurityInput PresetSecurityStep(const ap_info_stu& record, const config_otherwl_basic& ap,
                                       BridgeSecurityInput kept) {
    kept.ssid = std::string(ap.ssid.View());
    const std::vector<int> channels = BridgeChannels(record, ap.channel);
    const bool listed = std::find(channels.begin(), channels.end(), ap.channel) != channels.end();
    kept.channel = listed ? ap.channel : (channels.empty() ? 0 : channels.front());
    const SecurityPreset preset = PresetForScanCode(ap.secure_mode);
    kept.security = preset.security;
    if (preset.cipher >= 0) kept.cipher = preset.cipher;
    if (!CipherOffered(kept.security, kept.cipher) && IsPskSecurity(kept.security))
        kept.cipher = kCipherAes;
    return kept;
}

BridgeSecurityResult CheckSecurityStep(const ap_info_stu& record, const config_otherwl_basic& ap,
                                       const BridgeSecurityInput& in) {
    BridgeSecurityResult out;
    const ValidationResult ssid = CheckSsid(in.ssid, record.ap_type);
    if (!ssid) {
        out.rejection = RejectionOf(ssid, kBridgeFieldSsid);
        return out;
    }
    if (IsPskSecurity(in.security)) {
        const ValidationResult key = CheckPskKey(in.key);
        if (!key) {
            out.rejection = RejectionOf(key, kBridgeFieldKey);
            return out;
        }
    } else if (in.security == kBridgeWep) {
        const WepCheck wep = CheckWepKeys(in.wep);
        if (!wep.result) {
            out.rejection = RejectionOf(wep.result, kBridgeFieldWepKey1 + wep.key - 1);
            return out;
        }
    }
    bridge_set_stu& b = out.block;
    b.bridge_work_mode = WORK_MODE_STATION;
    std::memcpy(b.bridge_mac, ap.mac, sizeof(b.bridge_mac));
    b.bridge_channel = static_cast<std::uint8_t>(in.channel);
    b.bridge_ssid.Assign(CutUtf8(in.ssid, kNameTextBytes));
    WriteSecurity(in, b.security);
    return out;
}

BridgeIpInput PresetIpStep(const ap_info_stu& record) {
    const ap_report_stu& r = record.report;
    return {Text(r.ip), Text(r.ip_mask), Text(r.ip_gateway), Text(r.ip_dns1), Text(r.ip_dns2)};
}

BridgeIpResult CheckIpStep(const ap_info_stu& record, const BridgeIpInput& in,
                           const std::vector<std::string>& stored_ips) {
    BridgeIpResult out;
    const ValidationResult check = CheckIpSettings(in.ip, in.mask, in.gateway, in.dns1, "");
    if (!check) {
        out.rejection = RejectionOf(check, IpFocus(check.field));
        return out;
    }
    // The secondary DNS has no rule of its own here, but it is sent, so it must be an
    // address as typed.
    const ValidationResult dns2 = CheckAnyAddress(in.dns2, kMsgDns2Invalid, ValidationField::Dns2);
    if (!dns2) {
        out.rejection = RejectionOf(dns2, kBridgeFieldDns2);
        return out;
    }
    const Ipv4Octets current{record.report.ip[0], record.report.ip[1], record.report.ip[2],
                             record.report.ip[3]};
    const ValidationResult free_address = CheckAddressNotInUse(in.ip, current, stored_ips);
    if (!free_address) {
        out.rejection = RejectionOf(free_address, kBridgeFieldIp);
        return out;
    }
    out.block = BuildIpBlock(Checked(in.ip), Checked(in.mask), Checked(in.gateway),
                             Checked(in.dns1), Checked(in.dns2), 0);
    return out;
}

std::vector<std::uint8_t> BridgePayload(const bridge_set_stu& bridge, const ip_set_stu& ip) {
    bridge_set_stu wire = bridge;
    wire.bridge_ssid.Assign(LocalToUtf8(bridge.bridge_ssid.View(), kNameTextBytes));
    wire.ip = ip;
    std::vector<std::uint8_t> bytes(sizeof(wire));
    std::memcpy(bytes.data(), &wire, sizeof(wire));
    return bytes;
}

FlowCommand BridgeCommand(const std::string& ip, const std::string& mac,
                          std::vector<std::uint8_t> payload) {
    FlowCommand command;
    command.ip = ip;
    command.mac = mac;
    command.type = MSG_SET_BRIDGE;
    command.payload = std::move(payload);
    command.retransmit = true;
    return command;
}

}  // namespace fk
