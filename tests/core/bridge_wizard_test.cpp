// The bridge wizard's step rules and the one payload Save sends: presets from the
// survey, the checks of each step, and every byte region of MSG_SET_BRIDGE.
#include "operations/bridge_wizard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/country_tables.h"
#include "protocol/packet.h"

namespace fk {
namespace {

constexpr int kChina = 0;  // country code with a row offering 149 in every 5 GHz list
constexpr int kItaly = 4;  // 5 GHz lists of Auto, 36, 40, 44 and 48 only
constexpr int kNoRow = 7;  // "NL" has no row in the country table

ap_info_stu Device(int country = kChina, int rf_type = 1, int type = 3) {
    ap_info_stu r = ZeroRecord();
    r.SetMac("02:46:4b:00:00:01");
    r.ap_type = static_cast<std::uint16_t>(type);
    r.report.country_code = static_cast<std::uint8_t>(country);
    r.report.rf_type = static_cast<std::uint8_t>(rf_type);
    const std::uint8_t ip[4] = {198, 18, 0, 20}, mask[4] = {255, 255, 255, 0},
                       gw[4] = {198, 18, 0, 1}, dns[4] = {198, 18, 0, 2};
    std::memcpy(r.report.ip, ip, 4);
    std::memcpy(r.report.ip_mask, mask, 4);
    std::memcpy(r.report.ip_gateway, gw, 4);
    std::memcpy(r.report.ip_dns1, dns, 4);
    return r;
}

config_otherwl_basic AccessPoint(int code, int channel = 149, const std::string& ssid = "uplink") {
    config_otherwl_basic ap{};
    const std::uint8_t mac[6] = {0x02, 0xaa, 0x00, 0x01, 0x00, 0x05};
    std::memcpy(ap.mac, mac, 6);
    ap.secure_mode = static_cast<std::uint8_t>(code);
    ap.channel = static_cast<std::uint8_t>(channel);
    ap.signal = -50;
    ap.ssid.Assign(ssid);
    return ap;
}

std::vector<std::uint8_t> Payload(const BridgeSecurityInput& in, const ap_info_stu& device,
                                  const config_otherwl_basic& ap) {
    const BridgeSecurityResult step1 = CheckSecurityStep(device, ap, in);
    EXPECT_FALSE(step1.rejection) << step1.rejection->text;
    const BridgeIpResult step2 = CheckIpStep(device, PresetIpStep(device), {});
    EXPECT_FALSE(step2.rejection) << step2.rejection->text;
    return BridgePayload(step1.block, step2.block);
}

bool AllZero(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i <= to; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

struct PresetCase {
    int scan_code;
    int security;
    int cipher;  // after the preset, from a step that held AES
};

class ScanCodePreset : public ::testing::TestWithParam<PresetCase> {};

TEST_P(ScanCodePreset, EntryAndCipherFollowWhatTheListShows) {
    BridgeSecurityInput kept;
    kept.cipher = kCipherTkip;  // what the step held before, kept where no cipher is preset
    const BridgeSecurityInput shown =
        PresetSecurityStep(Device(), AccessPoint(GetParam().scan_code), kept);
    EXPECT_EQ(shown.security, GetParam().security) << "code " << GetParam().scan_code;
    EXPECT_EQ(shown.cipher, GetParam().cipher) << "code " << GetParam().scan_code;
    EXPECT_TRUE(shown.security == kBridgeNone || shown.security == kBridgeWep ||
                CipherOffered(shown.security, shown.cipher));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ScanCodePreset,
    ::testing::Values(
        PresetCase{0, kBridgeNone, kCipherTkip}, PresetCase{1, kBridgeWep, kCipherTkip},
        PresetCase{2, kBridgeWpaPsk, kCipherAes}, PresetCase{3, kBridgeWpaPsk, kCipherTkip},
        PresetCase{4, kBridgeWpa2Psk, kCipherAes}, PresetCase{5, kBridgeWpa2Psk, kCipherTkip},
        PresetCase{6, kBridgeWpa2Psk, kCipherTkipAes}, PresetCase{7, kBridgeMixedPsk, kCipherAes},
        PresetCase{8, kBridgeMixedPsk, kCipherTkip}, PresetCase{9, kBridgeMixedPsk, kCipherTkipAes},
        PresetCase{10, kBridgeWpaPsk, kCipherAes}, PresetCase{11, kBridgeWpaPsk, kCipherAes},
        PresetCase{12, kBridgeWpaPsk, kCipherAes}, PresetCase{255, kBridgeWpaPsk, kCipherAes}));

TEST(BridgePreset, SsidKeyAndIntervalOfTheStep) {
    BridgeSecurityInput kept;
    kept.key = "typed-before";
    kept.key_time = "3600";
    const BridgeSecurityInput shown =
        PresetSecurityStep(Device(), AccessPoint(4, 149, "\xe6\xa1\xa5-ap"), kept);
    EXPECT_EQ(shown.ssid, "\xe6\xa1\xa5-ap");
    EXPECT_EQ(shown.key, "typed-before");
    EXPECT_EQ(shown.key_time, "3600");
    EXPECT_EQ(BridgeSecurityInput{}.key_time, "0");
}

struct ChannelCase {
    const char* name;
    int country;
    int rf_type;
    int ap_channel;
    int chosen;
    std::vector<int> offered;  // empty: not compared
};

class BridgeChannel : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(BridgeChannel, TheAccessPointsChannelWhenTheCountryOffersIt) {
    const ChannelCase& c = GetParam();
    const ap_info_stu device = Device(c.country, c.rf_type);
    const BridgeSecurityInput shown =
        PresetSecurityStep(device, AccessPoint(6, c.ap_channel), BridgeSecurityInput{});
    EXPECT_EQ(shown.channel, c.chosen);
    if (!c.offered.empty()) {
        EXPECT_EQ(BridgeChannels(device, c.ap_channel), c.offered);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Countries, BridgeChannel,
    ::testing::Values(ChannelCase{"listed", kChina, 1, 149, 149, {}},
                      ChannelCase{"not_listed", kItaly, 1, 149, 0, {0, 36, 40, 44, 48}},
                      ChannelCase{"dfs_left_out", kChina, 1, 100, 0, {}},
                      ChannelCase{"band_24", kChina, 0, 6, 6, {}},
                      ChannelCase{"no_row", kNoRow, 1, 149, 149, {0, 149}},
                      ChannelCase{"no_row_auto_ap", kNoRow, 1, 0, 0, {0}},
                      ChannelCase{"code_beyond_list", 200, 0, 11, 11, {0, 11}}),
    [](const auto& info) { return std::string(info.param.name); });

struct StepOneCase {
    const char* name;
    int type;
    std::string ssid;
    int security;
    std::string key;
    const char* message;  // nullptr: passes
    int field;
};

class SecurityStep : public ::testing::TestWithParam<StepOneCase> {};

TEST_P(SecurityStep, SsidRuleThenTheKeyRuleOfTheEntry) {
    const StepOneCase& c = GetParam();
    BridgeSecurityInput in;
    in.ssid = c.ssid;
    in.security = c.security;
    in.key = c.key;
    const BridgeSecurityResult result =
        CheckSecurityStep(Device(kChina, 1, c.type), AccessPoint(4), in);
    if (!c.message) {
        EXPECT_FALSE(result.rejection) << result.rejection->text;
        return;
    }
    ASSERT_TRUE(result.rejection);
    EXPECT_EQ(result.rejection->text, c.message);
    EXPECT_EQ(result.rejection->field, c.field);
    EXPECT_EQ(result.rejection->icon, MsgIcon::Warning);
    // WEP keeps the wireless tab's way of showing its messages, under the program's title.
    EXPECT_EQ(result.rejection->title, c.security == kBridgeWep ? Translate("CPEManagement") : "");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SecurityStep,
    ::testing::Values(
        StepOneCase{"empty_ssid", 3, "", kBridgeWpa2Psk, "secret-key", kMsgSsidEmpty,
                    kBridgeFieldSsid},
        StepOneCase{"restricted_blank", 4, "farm link", kBridgeNone, "", kMsgSsidRestricted,
                    kBridgeFieldSsid},
        StepOneCase{"plain_blank", 3, "farm link", kBridgeNone, "", nullptr, 0},
        StepOneCase{"ssid_33_bytes", 3, std::string(33, 's'), kBridgeNone, "", kMsgSsidPlain,
                    kBridgeFieldSsid},
        StepOneCase{"key_7", 3, "ap", kBridgeWpaPsk, "1234567", kMsgPskKey, kBridgeFieldKey},
        // The key field is hidden with None and WEP: whatever it holds is not checked.
        StepOneCase{"none_ignores_key", 3, "ap", kBridgeNone, "x", nullptr, 0},
        StepOneCase{"wep_ignores_psk_key", 3, "ap", kBridgeWep, "x", kMsgWepKeyMissing[0],
                    kBridgeFieldWepKey1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BridgePayload, WpaLinkBytes) {
    BridgeSecurityInput in;
    in.ssid = "uplink";
    in.channel = 149;
    in.security = kBridgeWpa2Psk;
    in.cipher = kCipherTkipAes;
    in.key = "correct horse";
    in.key_time = "86400";
    in.wep.keys[0] = "abcde";  // another mode's fields never travel
    const auto bytes = Payload(in, Device(), AccessPoint(6));
    ASSERT_EQ(bytes.size(), kBridgePayloadSize);
    EXPECT_EQ(bytes[0], 2) << "station";
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1, bytes.begin() + 7),
              (std::vector<std::uint8_t>{0x02, 0xaa, 0x00, 0x01, 0x00, 0x05}));
    EXPECT_EQ(bytes[7], 149);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 14), "uplink");
    EXPECT_TRUE(AllZero(bytes, 14, 39));
    EXPECT_EQ(bytes[40], 6);
    EXPECT_EQ(bytes[41], 0);
    EXPECT_EQ(bytes[42], kBridgeWpa2Psk);
    EXPECT_EQ(bytes[43], kCipherTkipAes);
    EXPECT_EQ(std::string(bytes.begin() + 44, bytes.begin() + 57), "correct horse");
    EXPECT_TRUE(AllZero(bytes, 57, 107));
    EXPECT_EQ(bytes[108], 13);
    EXPECT_EQ(bytes[109] | bytes[110] << 8 | bytes[111] << 16 | bytes[112] << 24, 86400);
    EXPECT_TRUE(AllZero(bytes, 113, 303)) << "WEP and RADIUS fields stay zero";
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 304, bytes.end()),
              (std::vector<std::uint8_t>{1, 198, 18,  0,  20, 255, 255, 255, 0, 198, 18,
                                         0, 1,   198, 18, 0,  2,   0,   0,   0, 0,   0}));
}

TEST(BridgePayload, NoneSendsZerosAfterTheMode) {
    BridgeSecurityInput in;
    in.ssid = "open-ap";
    in.security = kBridgeNone;
    in.cipher = kCipherTkip;
    in.key = "left-in-the-hidden-field";
    in.key_time = "600";
    const auto bytes = Payload(in, Device(), AccessPoint(0));
    EXPECT_EQ(bytes[42], 0);
    EXPECT_TRUE(AllZero(bytes, 43, 303));
}

TEST(BridgePayload, WpaPskNeverSendsBothCiphersAndAnEmptyIntervalIsZero) {
    BridgeSecurityInput in;
    in.ssid = "ap";
    in.security = kBridgeWpaPsk;
    in.cipher = kCipherTkipAes;
    in.key = "12345678";
    in.key_time = "";
    const auto bytes = Payload(in, Device(), AccessPoint(10));
    EXPECT_EQ(bytes[43], kCipherAes);
    EXPECT_TRUE(AllZero(bytes, 109, 112));
}

TEST(BridgePayload, WepKeysFillTheirFields) {
    BridgeSecurityInput in;
    in.ssid = "old-ap";
    in.security = kBridgeWep;
    in.key = "not-sent";
    in.wep.auth_type = 1;
    in.wep.default_key = 2;
    in.wep.keys = {"  abcde", "0123456789", "", ""};
    in.wep.types = {kWepAscii, kWepHex, kWepAscii, kWepHex};
    const auto bytes = Payload(in, Device(), AccessPoint(1));
    EXPECT_EQ(bytes[42], kBridgeWep);
    EXPECT_TRUE(AllZero(bytes, 43, 112)) << "no pass phrase with WEP";
    EXPECT_EQ(bytes[113], 1);
    EXPECT_EQ(bytes[114], 2);
    // key k: type at 115 + 28k, text at 116 + 28k, length at 142 + 28k
    EXPECT_EQ(bytes[115], kWepAscii);
    EXPECT_EQ(std::string(bytes.begin() + 116, bytes.begin() + 121), "abcde");
    EXPECT_EQ(bytes[142], 5);
    EXPECT_EQ(bytes[143], kWepHex);
    EXPECT_EQ(std::string(bytes.begin() + 144, bytes.begin() + 154), "0123456789");
    EXPECT_EQ(bytes[170], 10);
    EXPECT_EQ(bytes[199], kWepHex);
    EXPECT_EQ(bytes[226], 0);
    EXPECT_TRUE(AllZero(bytes, 227, 303));
}

TEST(BridgePayload, ChineseSsidTravelsAsUtf8WithItsByteCount) {
    BridgeSecurityInput in;
    in.ssid = "\xe6\xa1\xa5\xe6\x8e\xa5\xe7\x82\xb9";  // three ideographs, nine bytes
    in.security = kBridgeNone;
    const auto bytes = Payload(in, Device(), AccessPoint(0));
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 17), in.ssid);
    EXPECT_EQ(bytes[17], 0);
    EXPECT_EQ(bytes[40], 9);
}

struct IpCase {
    const char* name;
    BridgeIpInput input;
    const char* message;  // nullptr: passes
    int field;
};

class AddressStep : public ::testing::TestWithParam<IpCase> {};

TEST_P(AddressStep, AddressRulesWithoutTheSecondaryDns) {
    const IpCase& c = GetParam();
    const std::vector<std::string> stored = {"198.18.0.20", "198.18.0.21"};
    const BridgeIpResult result = CheckIpStep(Device(), c.input, stored);
    if (!c.message) {
        EXPECT_FALSE(result.rejection) << result.rejection->text;
        return;
    }
    ASSERT_TRUE(result.rejection);
    EXPECT_EQ(result.rejection->text, c.message);
    EXPECT_EQ(result.rejection->field, c.field);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, AddressStep,
    ::testing::Values(
        IpCase{"own_address", {"198.18.0.20", "255.255.255.0", "198.18.0.1", "", ""}, nullptr, 0},
        IpCase{"dns2_all_ones",
               {"198.18.0.30", "255.255.255.0", "198.18.0.1", "198.18.0.2", "255.255.255.255"},
               nullptr,
               0},
        IpCase{"blank_ip", {"", "255.255.255.0", "", "", ""}, kMsgIpInvalid, kBridgeFieldIp},
        IpCase{"bad_mask",
               {"198.18.0.30", "255.255.255.255", "", "", ""},
               kMsgMaskInvalid,
               kBridgeFieldMask},
        IpCase{"gateway_elsewhere",
               {"198.18.0.30", "255.255.255.0", "198.18.1.1", "", ""},
               kMsgNotSameSubnet,
               kBridgeFieldGateway},
        IpCase{"bad_dns1",
               {"198.18.0.30", "255.255.255.0", "", "127.0.0.1", ""},
               kMsgDns1Invalid,
               kBridgeFieldDns1},
        IpCase{
            "in_use", {"198.18.0.21", "255.255.255.0", "", "", ""}, kMsgIpInUse, kBridgeFieldIp}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AddressStep, BlockHasModeOneBlankGatewayZeroAndFlagZero) {
    const BridgeIpResult result =
        CheckIpStep(Device(), {"198.18.0.30", "255.255.0.0", "", "8.8.8.8", "255.255.255.255"}, {});
    ASSERT_FALSE(result.rejection);
    EXPECT_EQ(result.block, (ip_set_stu{1, 198, 18, 0, 30, 255, 255, 0,   0,   0,   0,
                                        0, 0,   8,  8, 8,  8,   255, 255, 255, 255, 0}));
}

TEST(ModeSwitch, OnlyOffAndStationPositionsAllowTheWizard) {
    const struct {
        int position;
        bool allowed;
    } cases[] = {{0, true}, {1, false}, {2, true}, {3, false}, {255, false}};
    for (const auto& c : cases) {
        ap_info_stu r = Device();
        r.report.mode_btn_status = static_cast<std::uint8_t>(c.position);
        EXPECT_EQ(ModeSwitchAllowsBridge(r), c.allowed) << c.position;
    }
}

}  // namespace
}  // namespace fk
