// The bridge wizard's steps as rules: what each step shows for the chosen access point
// and the device's record, what its "Next" accepts, and the one MSG_SET_BRIDGE
// payload Save sends. The window and `fieldkit-cli bridge` both call these, so the
// same choices give the same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/language.h"
#include "config/command_blocks.h"
#include "config/pane_rejection.h"
#include "config/wireless_security.h"
#include "operations/flow.h"
#include "protocol/report.h"
#include "store/device_record.h"

namespace fk {

inline constexpr const char* kMsgModeSwitch = FK_TR(
    "The Mode Switch is at AP position, please switch it to Off position to modify to "
    "other operating mode.");

// A radio whose hardware switch is at the AP position ignores mode changes, so the
// wizard is not opened for it.
bool ModeSwitchAllowsBridge(const ap_info_stu& record);

// Entries of the "SecureMode" list, by the secure_mode code they send.
// The codes are the wireless tab's secure_mode codes; the wizard offers the first five.
enum BridgeSecurity : int {
    kBridgeNone = kSecureNone,
    kBridgeWep = kSecureWep,
    kBridgeWpaPsk = kSecureWpaPsk,
    kBridgeWpa2Psk = kSecureWpa2Psk,
    kBridgeMixedPsk = kSecureMixedPsk,
};
// The cipher codes are the wireless tab's own.
using BridgeCipher = PskCipher;

struct BridgeSecurityEntry {
    int code;
    const char* key;  // language key of the entry
};
std::span<const BridgeSecurityEntry> BridgeSecurityEntries();
bool IsPskSecurity(int security);
// WPA-PSK has no TKIP&AES; the modes without a pass phrase have no cipher at all.
bool CipherOffered(int security, int cipher);

struct SecurityPreset {
    int security = kBridgeNone;
    int cipher = -1;  // -1: the cipher choice stays as it is
};
// The entry and cipher that match what the survey said of the access point.
SecurityPreset PresetForScanCode(int scan_code);

// Where a step's refusal puts the focus.
enum BridgeField : int {
    kBridgeFieldNone,
    kBridgeFieldSsid,
    kBridgeFieldKey,
    kBridgeFieldWepKey1,  // keys 2 to 4 follow
    kBridgeFieldIp = kBridgeFieldWepKey1 + 4,
    kBridgeFieldMask,
    kBridgeFieldGateway,
    kBridgeFieldDns1,
    kBridgeFieldDns2,
};

struct BridgeSecurityInput {
    std::string ssid;
    int channel = 0;
    int security = kBridgeNone;
    int cipher = kCipherAes;
    std::string key;
    std::string key_time = "0";  // at most five digits
    WepKeysInput wep;
};

// The channel entries of step 1: the device's country list for its band and
// bandwidth; for a country code without a row, Auto and the access point's channel.
std::vector<int> BridgeChannels(const ap_info_stu& record, int ap_channel);

// Step 1 as it opens for `ap`: SSID, channel and security from the access point, the
// key fields as `kept` holds them.
BridgeSecurityInput PresetSecurityStep(const ap_info_stu& record, const config_otherwl_basic& ap,
                                       BridgeSecurityInput kept);

#pragma pack(push, 1)
// Bytes 164 to 425 of the device report, the device's own security fields, describing
// the link to the access point instead.
struct bridge_security_stu {
    std::uint8_t secure_mode;
    std::uint8_t cipher;
    text64 psk;
    std::uint32_t key_time;
    std::uint8_t wep_auth_type;
    std::uint8_t wep_key_index;
    wep_key_stu wep_key[4];
    std::uint8_t reserved;
    std::uint8_t radius_ip[4];
    std::uint16_t radius_port;
    std::uint8_t radius_cipher;
    text64 radius_key;
    std::uint32_t radius_key_time;
};

// The MSG_SET_BRIDGE payload: the report's bridge block, then a MSG_SET_IP block.
struct bridge_set_stu {
    std::uint8_t bridge_work_mode;
    std::uint8_t bridge_mac[6];
    std::uint8_t bridge_channel;
    text32 bridge_ssid;
    std::uint8_t reserved;
    bridge_security_stu security;
    ip_set_stu ip;
};
#pragma pack(pop)
static_assert(offsetof(bridge_set_stu, security) == 42);
static_assert(offsetof(bridge_set_stu, security) + offsetof(bridge_security_stu, wep_auth_type) ==
              113);
static_assert(offsetof(bridge_set_stu, security) + offsetof(bridge_security_stu, radius_ip) == 228);
static_assert(offsetof(bridge_set_stu, ip) == kBridgeBlockSize);
static_assert(sizeof(bridge_set_stu) == kBridgePayloadSize);

struct BridgeSecurityResult {
    bridge_set_stu block{};  // the bridge part; `ip` stays zero here
    std::optional<PaneRejection> rejection;
};
// "Next" on step 1: the SSID rule for the model, then the key rules of the chosen
// entry; on success the bridge block with the SSID as typed, cut to its area.
BridgeSecurityResult CheckSecurityStep(const ap_info_stu& record, const config_otherwl_basic& ap,
                                       const BridgeSecurityInput& input);

struct BridgeIpInput {
    std::string ip;
    std::string mask;
    std::string gateway;
    std::string dns1;
    std::string dns2;
};
// Step 2 shows the record's addresses each time it is entered from step 1.
BridgeIpInput PresetIpStep(const ap_info_stu& record);

struct BridgeIpResult {
    ip_set_stu block{};
    std::optional<PaneRejection> rejection;
};
// "Next" on step 2: the address rules without the secondary DNS, which a station
// never uses, then the address must not belong to another stored device.
BridgeIpResult CheckIpStep(const ap_info_stu& record, const BridgeIpInput& input,
                           const std::vector<std::string>& stored_ips);

// The 326 bytes Save sends: the SSID in UTF-8 with its byte count.
std::vector<std::uint8_t> BridgePayload(const bridge_set_stu& bridge, const ip_set_stu& ip);
// Repeated until the device answers; its answer carries the outcome.
FlowCommand BridgeCommand(const std::string& ip, const std::string& mac,
                          std::vector<std::uint8_t> payload);

}  // namespace fk
