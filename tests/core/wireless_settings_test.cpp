#include "config/wireless_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/language.h"
#include "config/channel_list.h"
#include "config/country_tables.h"
#include "config/management_save.h"
#include "config/validation.h"
#include "protocol/packet.h"

namespace fk {
namespace {

constexpr int kChinaCode = 0;  // row "China": 2.4 GHz channels 1 to 13
constexpr int kUsCode = 1;
constexpr int kTestCode = 61;
constexpr int kNoRowCode = 24;  // "AT": the code list has it, the table has no row

// Block offsets of the fields the tab writes.
enum : std::size_t {
    kAtCountry = 3,
    kAtNetMode = 4,
    kAtBandwidth = 5,
    kAtChannel = 6,
    kAtExpand = 7,
    kAtPower = 8,
    kAtHide = 24,
    kAtSsid = 31,
    kAtSsidLength = 63,
    kAtSecureMode = 64,
    kAtPskCipher = 65,
    kAtPskKey = 66,
    kAtPskLength = 130,
    kAtPskTime = 131,
    kAtWepAuth = 135,
    kAtWepIndex = 136,
    kAtWepType0 = 137,
    kAtWepKey0 = 138,
    kAtWepLength0 = 164,
    kAtRadiusIp = 250,
    kAtRadiusPort = 254,
    kAtRadiusCipher = 256,
    kAtRadiusKey = 257,
    kAtRadiusLength = 321,
    kAtRadiusTime = 322,
};

ap_info_stu Radio(int type = 3, int rf_type = 0, int work_mode = WORK_MODE_AP) {
    ap_info_stu r = ZeroRecord();
    r.SetMac("02:46:4b:00:00:01");
    r.ap_type = static_cast<std::uint16_t>(type);
    ap_report_stu& p = r.report;
    p.work_mode = static_cast<std::uint8_t>(work_mode);
    p.rf_count = p.rf_en = p.ssid_count = 1;
    p.rf_type = p.ssid_rf_type = static_cast<std::uint8_t>(rf_type);
    p.country_code = kChinaCode;
    p.network_mode = rf_type ? 1 : 4;
    p.bandwidth = 0;
    p.channel = rf_type ? 36 : 6;
    p.expand_channel = 2;
    p.tx_power = 20;
    p.tx_power_min = 1;
    p.tx_power_max = 27;
    p.ssid.Assign("mast-net");
    p.wpapsk_key_value.Assign("stored-pass-phrase");
    p.wpapsk_key_time = 3600;
    p.wep_key_index = 2;
    p.wep_key[1].value.Assign("abcde");
    const std::uint8_t radius[4] = {198, 18, 0, 9};
    std::copy(radius, radius + 4, p.wpa_radius_ip);
    p.wpa_radius_port = 1812;
    p.wpa_key.Assign("stored-secret");
    return r;
}

std::vector<int> Codes(const std::vector<ChoiceItem>& items) {
    std::vector<int> out;
    for (const ChoiceItem& item : items) out.push_back(item.code);
    return out;
}

std::vector<int> Codes(const ChoiceList& list) {
    return Codes(list.items);
}

int Index(const ChoiceList& list, const char* text) {
    const int at = list.FindText(text);
    EXPECT_GE(at, 0) << text << " not offered: " << list.Offered();
    return at;
}

std::string BlockText(const wireless_set_stu& block, std::size_t at, std::size_t length_at) {
    return std::string(block.begin() + at, block.begin() + at + block[length_at]);
}

std::uint32_t Le32(const wireless_set_stu& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

class WirelessSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { COperateLanguage::Instance().Init("/nonexistent-fk-dir/", 1033); }
};

TEST_F(WirelessSettingsTest, ExtensionChannelsFollowTheChannelAndAutoBandwidthSendsNone) {
    struct Case {
        int channel;
        int bandwidth;
        std::vector<int> offered;  // channel numbers
        int sent;                  // expand_channel in the block
    } cases[] = {
        {6, kBandwidth40, {2, 10}, kExpandBelow},  {11, kBandwidth40, {7}, kExpandBelow},
        {3, kBandwidth40, {7}, kExpandAbove},      {13, kBandwidth40, {9}, kExpandBelow},
        {6, kBandwidthAuto, {2, 10}, kExpandNone}, {6, kBandwidth20, {}, kExpandNone},
        {0, kBandwidth40, {}, kExpandNone},
    };
    for (const Case& c : cases) {
        ap_info_stu r = Radio();
        r.report.bandwidth = static_cast<std::uint8_t>(c.bandwidth);
        r.report.channel = static_cast<std::uint8_t>(c.channel);
        const WirelessPaneInput in = WirelessPaneShown(r);
        std::vector<int> offered;
        for (const ChoiceItem& item : in.ext_channel.items) offered.push_back(std::stoi(item.text));
        EXPECT_EQ(offered, c.offered) << c.channel << "/" << c.bandwidth;
        EXPECT_EQ(in.ext_channel.enabled, !c.offered.empty()) << c.channel;
        const WirelessPaneResult out = CollectWireless(r, in);
        ASSERT_FALSE(out.rejection);
        EXPECT_EQ(out.block[kAtExpand], c.sent) << c.channel << "/" << c.bandwidth;
    }
    // The stored code picks between two; a choice the user makes rebuilds with the first.
    ap_info_stu above = Radio();
    above.report.bandwidth = kBandwidth40;
    above.report.expand_channel = kExpandAbove;
    WirelessPaneInput in = WirelessPaneShown(above);
    EXPECT_EQ(in.ext_channel.items[in.ext_channel.selected].text, "10");
    ChooseChannel(above, in, Index(in.channel, "7"));
    EXPECT_EQ(in.ext_channel.items[in.ext_channel.selected].text, "3");
}

TEST_F(WirelessSettingsTest, RadarChannelsOnlyInTheTestRow) {
    for (int type : {4, 268}) {
        for (int row = 0; row < kCountryRowCount; ++row) {
            for (int bandwidth : {kBandwidth20, kBandwidth40, kBandwidth80}) {
                const std::vector<int> channels = CountryChannels(row, type, 1, bandwidth);
                ASSERT_FALSE(channels.empty());
                EXPECT_EQ(channels.front(), 0);
                const bool test = GetCountryName(row) == "Test";
                bool radar = false;
                bool odd = false;
                for (int ch : channels) {
                    radar |= (ch >= 52 && ch <= 64) || (ch >= 100 && ch <= 144);
                    odd |= ch == 8 || ch == 179 || ch == 181 || ch == 188;
                }
                if (test) {
                    EXPECT_TRUE(radar);
                    EXPECT_EQ(odd, type == 4) << type;
                } else {
                    EXPECT_FALSE(radar) << type << " row " << row << " bw " << bandwidth;
                }
            }
        }
    }
}

TEST_F(WirelessSettingsTest, ElevenAcBandwidthsAndTheWayBack) {
    ap_info_stu r = Radio(268, 1);
    r.report.network_mode = kNetMode11ac;
    r.report.bandwidth = kBandwidth80;
    WirelessPaneInput in = WirelessPaneShown(r);
    EXPECT_EQ(in.bandwidth.Offered(), "Auto, 10MHz, 20MHz, 30MHz, 40MHz, 50MHz, 60MHz, 80MHz");
    EXPECT_EQ(in.bandwidth.Code(-1), kBandwidth80);
    const int china = FindCountryRow(kChinaCode);
    EXPECT_EQ(Codes(in.channel), CountryChannels(china, 268, 1, kBandwidth80));

    ChooseNetMode(r, in, Index(in.net_mode, "11a/n"));
    EXPECT_EQ(in.bandwidth.Offered(), "Auto, 10MHz, 20MHz, 30MHz, 40MHz");
    EXPECT_EQ(in.bandwidth.Code(-1), kBandwidthAuto);
    // The channels stay the 80 MHz ones until a bandwidth is chosen again.
    EXPECT_EQ(Codes(in.channel), CountryChannels(china, 268, 1, kBandwidth80));
    ChooseBandwidth(r, in, Index(in.bandwidth, "40MHz"));
    EXPECT_EQ(Codes(in.channel), CountryChannels(china, 268, 1, kBandwidth40));

    // 11ac is not offered where the model lacks it.
    EXPECT_EQ(WirelessPaneShown(Radio(4, 1)).net_mode.Offered(), "11a, 11n, 11a/n");
}

TEST_F(WirelessSettingsTest, PowerBounds) {
    struct Case {
        const char* power;
        bool accepted;
    } cases[] = {{"1", true}, {"27", true}, {"0", false},           {"28", false},
                 {"", false}, {"x", false}, {"99999999999", false}, {"255", false}};
    for (const Case& c : cases) {
        const ap_info_stu r = Radio();
        WirelessPaneInput in = WirelessPaneShown(r);
        in.power = c.power;
        const WirelessPaneResult out = CollectWireless(r, in);
        EXPECT_EQ(!out.rejection, c.accepted) << c.power;
        if (out.rejection) {
            EXPECT_EQ(out.rejection->text, "Power value range:1-27");
            EXPECT_EQ(out.rejection->field, kWirelessFieldPower);
            EXPECT_EQ(out.rejection->title, "");
        } else {
            EXPECT_EQ(out.block[kAtPower], std::stoi(c.power));
        }
    }
}

TEST_F(WirelessSettingsTest, AnUntouchedTabChangesOnlyWhatTheTabWritesOnItsOwn) {
    struct Case {
        const char* label;
        void (*edit)(ap_report_stu&);
        bool changed;
    } cases[] = {
        {"as reported", [](ap_report_stu&) {}, false},
        {"counts never count", [](ap_report_stu& p) { p.rf_count = p.ssid_count = 0; }, false},
        {"radio off", [](ap_report_stu& p) { p.rf_en = 0; }, true},
        {"second SSID slot", [](ap_report_stu& p) { p.ssid_id = 1; }, true},
        {"extension without 40 MHz", [](ap_report_stu& p) { p.expand_channel = 0; }, true},
        {"DFS channel kept",
         [](ap_report_stu& p) {
             p.rf_type = p.ssid_rf_type = 1, p.network_mode = 1, p.channel = 100;
         },
         false},
        {"unknown mode kept", [](ap_report_stu& p) { p.network_mode = 9, p.bandwidth = 1; }, false},
        {"channel beyond the country kept",
         [](ap_report_stu& p) { p.country_code = kUsCode, p.channel = 13; }, false},
        {"country without a row",
         [](ap_report_stu& p) { p.country_code = kNoRowCode, p.channel = 11; }, false},
        {"unknown security mode", [](ap_report_stu& p) { p.secure_mode = 9; }, false},
    };
    for (const Case& c : cases) {
        ap_info_stu r = Radio();
        c.edit(r.report);
        const WirelessPaneResult out = CollectWireless(r, WirelessPaneShown(r));
        ASSERT_FALSE(out.rejection) << c.label << ": " << out.rejection->text;
        EXPECT_EQ(out.changed, c.changed) << c.label;
        EXPECT_EQ(out.block[0], 1) << c.label;
        EXPECT_EQ(out.block[326], 1) << c.label;
    }
}

TEST_F(WirelessSettingsTest, StoredValuesTheListsLackAreShownUntilAnotherIsPicked) {
    // Channel 100 in "China" is not offered: it stays, as it is, until the user picks.
    ap_info_stu r = Radio(3, 1);
    r.report.channel = 100;
    WirelessPaneInput in = WirelessPaneShown(r);
    ASSERT_EQ(in.channel.items.back().text, "100");
    EXPECT_EQ(in.channel.Code(-1), 100);
    ChooseBandwidth(r, in, Index(in.bandwidth, "40MHz"));
    EXPECT_EQ(in.channel.Code(-1), 100) << "a bandwidth choice keeps the stored channel";
    ChooseChannel(r, in, Index(in.channel, "36"));
    EXPECT_EQ(in.channel.FindText("100"), -1);
    ASSERT_FALSE(CollectWireless(r, in).rejection);
    EXPECT_EQ(CollectWireless(r, in).block[kAtChannel], 36);

    // Picking a country makes its list the channels: the stored one goes.
    in = WirelessPaneShown(r);
    ChooseCountry(r, in, FindCountryRow(kUsCode));
    EXPECT_EQ(in.channel.Code(-1), 0);
    EXPECT_EQ(in.channel.FindText("100"), -1);

    struct Mode {
        int rf_type;
        int net_mode;
        int bandwidth;
        const char* mode_text;
        const char* bandwidths;
    } modes[] = {
        {0, 9, 1, "9", "20MHz, 40MHz"},  // outside 0..4: 20 MHz, and the stored 40 as it is
        {0, 3, 1, "11n", "Auto, 20MHz, 40MHz"},
        {1, kNetMode11ac, 0, "11ac", "20MHz, 40MHz"},  // 11ac on a model without it
        {0, 1, 7, "11b", "20MHz, 60MHz"},
    };
    for (const Mode& m : modes) {
        ap_info_stu s = Radio(3, m.rf_type);
        s.report.network_mode = static_cast<std::uint8_t>(m.net_mode);
        s.report.bandwidth = static_cast<std::uint8_t>(m.bandwidth);
        WirelessPaneInput shown = WirelessPaneShown(s);
        EXPECT_EQ(shown.net_mode.items[shown.net_mode.selected].text, m.mode_text);
        EXPECT_EQ(shown.bandwidth.Offered(), m.bandwidths) << m.mode_text;
        EXPECT_EQ(shown.bandwidth.Code(-1), m.bandwidth) << m.mode_text;
        const WirelessPaneResult out = CollectWireless(s, shown);
        EXPECT_EQ(out.block[kAtNetMode], m.net_mode);
        EXPECT_EQ(out.block[kAtBandwidth], m.bandwidth);
        // Picking a listed mode takes the stored one out of the list.
        ChooseNetMode(s, shown, 0);
        EXPECT_EQ(shown.net_mode.items.size(), NetModeItems(3, m.rf_type).size());
    }
}

TEST_F(WirelessSettingsTest, ACountryCodeWithoutARowKeepsCodeAndChannelUntilOneIsPicked) {
    ap_info_stu r = Radio();
    r.report.country_code = kNoRowCode;
    r.report.channel = 11;
    WirelessPaneInput in = WirelessPaneShown(r);
    EXPECT_FALSE(in.country.HasSelection());
    EXPECT_EQ(in.country.items.size(), static_cast<std::size_t>(kCountryRowCount));
    EXPECT_EQ(in.channel.Offered(), "Auto, 11");
    EXPECT_EQ(in.channel.Code(-1), 11);
    WirelessPaneResult out = CollectWireless(r, in);
    EXPECT_EQ(out.block[kAtCountry], kNoRowCode);
    EXPECT_EQ(out.block[kAtChannel], 11);
    ChooseCountry(r, in, FindCountryRow(kUsCode));
    EXPECT_EQ(in.channel.Code(-1), 11) << "the United States offer 11";
    out = CollectWireless(r, in);
    EXPECT_EQ(out.block[kAtCountry], kUsCode);
    EXPECT_TRUE(out.changed);
}

TEST_F(WirelessSettingsTest, LockedControlsCarryTheRecordAndAreNotChecked) {
    for (int work_mode : {WORK_MODE_STATION, WORK_MODE_UNIVERSAL_REPEATER}) {
        // A restricted-name model with a space in its SSID and a key the rules refuse.
        ap_info_stu r = Radio(4, 0, work_mode);
        r.report.ssid.Assign("uplink ap");
        r.report.secure_mode = kSecureWpa2Psk;
        r.report.wpapsk_key_value.Assign("short");
        r.report.country_code = kUsCode;
        r.report.channel = 13;
        WirelessPaneInput in = WirelessPaneShown(r);
        EXPECT_FALSE(in.net_mode.enabled || in.country.enabled || in.channel.enabled ||
                     in.ext_channel.enabled || in.security.mode.enabled);
        in.ssid = "";
        in.net_mode.selected = 0;
        in.channel.selected = 0;
        in.security.mode.selected = kSecureNone;
        in.power = "25";
        ChooseBandwidth(r, in, Index(in.bandwidth, "40MHz"));
        const WirelessPaneResult out = CollectWireless(r, in);
        ASSERT_FALSE(out.rejection) << out.rejection->text;
        const wireless_set_stu stored = WirelessBytes(r);
        for (std::size_t i = 0; i < kWirelessBlockSize; ++i) {
            if (i == kAtPower || i == kAtBandwidth) continue;
            EXPECT_EQ(out.block[i], stored[i]) << "work mode " << work_mode << " byte " << i;
        }
        EXPECT_EQ(out.block[kAtPower], 25);
        EXPECT_EQ(out.block[kAtBandwidth], kBandwidth40);
    }
    // WISP: country and channels locked, the rest the user's.
    ap_info_stu wisp = Radio(3, 0, WORK_MODE_WISP);
    WirelessPaneInput in = WirelessPaneShown(wisp);
    EXPECT_TRUE(in.net_mode.enabled && in.security.mode.enabled);
    EXPECT_FALSE(in.country.enabled || in.channel.enabled);
    in.country.selected = FindCountryRow(kUsCode);
    in.channel.selected = 0;
    in.ssid = "";
    const WirelessPaneResult out = CollectWireless(wisp, in);
    ASSERT_TRUE(out.rejection);
    EXPECT_EQ(out.rejection->text, kMsgSsidEmpty);
    in.ssid = "wisp-net";
    const wireless_set_stu block = CollectWireless(wisp, in).block;
    EXPECT_EQ(block[kAtCountry], kChinaCode);
    EXPECT_EQ(block[kAtChannel], 6);
}

// A radio whose channel its operating mode locks still has its extension worked out
// from what is sent: narrowing the bandwidth drops it, widening again brings it back.
TEST_F(WirelessSettingsTest, LockedModesWorkTheExtensionChannelOut) {
    const struct {
        const char* bandwidths;  // chosen in turn, comma-free names
        int sent;
    } steps[] = {
        {"", kExpandAbove}, {"20MHz", kExpandNone}, {"40MHz", kExpandAbove}, {"Auto", kExpandNone}};
    for (int work_mode : {WORK_MODE_STATION, WORK_MODE_UNIVERSAL_REPEATER, WORK_MODE_WISP}) {
        ap_info_stu r = Radio(3, 0, work_mode);
        r.report.bandwidth = kBandwidth40;
        r.report.expand_channel = kExpandAbove;  // channel 6, extension 10
        WirelessPaneInput in = WirelessPaneShown(r);
        for (const auto& step : steps) {
            if (*step.bandwidths) ChooseBandwidth(r, in, Index(in.bandwidth, step.bandwidths));
            const WirelessPaneResult out = CollectWireless(r, in);
            ASSERT_FALSE(out.rejection) << out.rejection->text;
            EXPECT_EQ(out.block[kAtExpand], step.sent)
                << "work mode " << work_mode << " after " << step.bandwidths;
            EXPECT_EQ(out.block[kAtChannel], 6);
        }
    }
}

// Once the user has moved off a stored radar channel, no later choice offers it again.
TEST_F(WirelessSettingsTest, AStoredRadarChannelIsNotOfferedAgainOnceLeft) {
    ap_info_stu r = Radio(268, 1);
    r.report.channel = 100;
    const std::function<void(WirelessPaneInput&)> afterwards[] = {
        [&](WirelessPaneInput& in) { ChooseBandwidth(r, in, Index(in.bandwidth, "40MHz")); },
        [&](WirelessPaneInput& in) { ChooseNetMode(r, in, Index(in.net_mode, "11ac")); },
        [&](WirelessPaneInput& in) { ChooseCountry(r, in, FindCountryRow(kChinaCode)); },
        [&](WirelessPaneInput& in) { ChooseChannel(r, in, Index(in.channel, "Auto")); },
    };
    for (const auto& then : afterwards) {
        WirelessPaneInput in = WirelessPaneShown(r);
        EXPECT_EQ(in.channel.Code(-1), 100) << "shown as the radio's value";
        ChooseChannel(r, in, Index(in.channel, "36"));
        then(in);
        EXPECT_EQ(in.channel.FindText("100"), -1) << in.channel.Offered();
        EXPECT_NE(CollectWireless(r, in).block[kAtChannel], 100);
    }
}

TEST_F(WirelessSettingsTest, SsidRulesAndBytes) {
    struct Case {
        int type;
        std::string ssid;
        const char* message;  // empty: accepted
    } cases[] = {
        {3, "", kMsgSsidEmpty},
        {3, "field net, 2", ""},
        {4, "field net", kMsgSsidRestricted},
        {4, "field_net", ""},
        {3, std::string(33, 'a'), kMsgSsidPlain},
        {3, "\xE6\x97\xA0\xE7\xBA\xBF-net", ""},
    };
    for (const Case& c : cases) {
        const ap_info_stu r = Radio(c.type);
        WirelessPaneInput in = WirelessPaneShown(r);
        in.ssid = c.ssid;
        in.ssid_hidden = true;
        const WirelessPaneResult out = CollectWireless(r, in);
        if (*c.message) {
            ASSERT_TRUE(out.rejection) << c.ssid;
            EXPECT_EQ(out.rejection->text, c.message);
            EXPECT_EQ(out.rejection->field, kWirelessFieldSsid);
            continue;
        }
        ASSERT_FALSE(out.rejection) << c.ssid << ": " << out.rejection->text;
        EXPECT_EQ(BlockText(out.block, kAtSsid, kAtSsidLength), c.ssid);
        EXPECT_EQ(out.block[kAtHide], 1);
    }
}

TEST_F(WirelessSettingsTest, SecurityChecksAndTheirMessages) {
    const std::string hex64(64, 'a');
    const std::string app_title = Translate("CPEManagement");
    struct Case {
        const char* label;
        int mode;
        void (*edit)(SecurityPaneInput&);
        const char* message;  // empty: accepted
        bool titled;
        int field;
    } cases[] = {
        {"none needs nothing", kSecureNone, [](SecurityPaneInput& s) { s.psk_key = ""; }, "", false,
         0},
        {"5 ASCII", kSecureWep, [](SecurityPaneInput& s) { s.wep_keys[0].text = "abcde"; }, "",
         false, 0},
        {"5 ASCII typed as Hex", kSecureWep,
         [](SecurityPaneInput& s) {
             s.wep_keys[0].text = "abcde", s.wep_keys[0].type.selected = 1;
         },
         "WEP key is invalid! Please enter 10 or 26 HEX characters!", true, 0},
        {"10 hex digits", kSecureWep,
         [](SecurityPaneInput& s) {
             s.wep_keys[0].text = "0123456789", s.wep_keys[0].type.selected = 1;
         },
         "", false, 0},
        {"6 ASCII", kSecureWep, [](SecurityPaneInput& s) { s.wep_keys[0].text = "abcdef"; },
         "WEP key is invalid! Please enter 5 or 13 ASCII characters!", true, 0},
        {"non-ASCII", kSecureWep, [](SecurityPaneInput& s) { s.wep_keys[2].text = "abcd\xC3\xA9"; },
         "WEP key includes invalid characters (It should only include 0-9,a-z,A-Z,@,*,- and _.)!",
         true, 0},
        {"key 1 of spaces is empty", kSecureWep,
         [](SecurityPaneInput& s) { s.wep_keys[0].text = "     ", s.wep_default.selected = 0; },
         "Please enter the WEP key1!", true, 0},
        {"empty default key 4", kSecureWep,
         [](SecurityPaneInput& s) { s.wep_default.selected = 3; }, "Please enter the WEP key4!",
         true, 0},
        {"other keys may stay empty", kSecureWep,
         [](SecurityPaneInput& s) { s.wep_default.selected = 1; }, "", false, 0},
        {"63 ASCII", kSecureWpa2Psk, [](SecurityPaneInput& s) { s.psk_key = std::string(63, 'z'); },
         "", false, 0},
        {"64 hex", kSecureMixedPsk, [](SecurityPaneInput& s) { s.psk_key = std::string(64, 'F'); },
         "", false, 0},
        {"64 not hex", kSecureWpaPsk,
         [](SecurityPaneInput& s) { s.psk_key = std::string(64, 'z'); },
         "Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!", false, 0},
        {"7 characters", kSecureWpa2Psk, [](SecurityPaneInput& s) { s.psk_key = "1234567"; },
         "Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!", false, 0},
        {"interval 0", kSecureWpa2Psk, [](SecurityPaneInput& s) { s.psk_key_time = "0"; }, "",
         false, 0},
        {"interval 59", kSecureWpa2Psk, [](SecurityPaneInput& s) { s.psk_key_time = "59"; },
         "The key update interval range: 60~99999 or 0!", false, kWirelessFieldPskKeyTime},
        {"interval 100000", kSecureWpa2Psk, [](SecurityPaneInput& s) { s.psk_key_time = "100000"; },
         "The key update interval range: 60~99999 or 0!", false, kWirelessFieldPskKeyTime},
        {"interval past every bound", kSecureWpa2Psk,
         [](SecurityPaneInput& s) { s.psk_key_time = "4294967356"; },
         "The key update interval range: 60~99999 or 0!", false, kWirelessFieldPskKeyTime},
        {"interval empty", kSecureWpa2Psk, [](SecurityPaneInput& s) { s.psk_key_time = ""; },
         "The key update interval should not be empty!", false, kWirelessFieldPskKeyTime},
        {"RADIUS as stored", kSecureWpa2, [](SecurityPaneInput&) {}, "", false, 0},
        {"RADIUS blank server", kSecureWpa,
         [](SecurityPaneInput& s) { s.radius_server = "0.0.0.0"; },
         "Please enter a valid RADIUS Server address!", false, 0},
        {"RADIUS port 0", kSecureWpa, [](SecurityPaneInput& s) { s.radius_port = "0"; },
         "Please specify a valid RADIUS Port!", false, 0},
        {"RADIUS port 65536", kSecureWpa, [](SecurityPaneInput& s) { s.radius_port = "65536"; },
         "Please specify a valid RADIUS Port!", false, 0},
        {"RADIUS empty secret", kSecureWpa2, [](SecurityPaneInput& s) { s.radius_key = ""; },
         "Please enter a key for 1~64 ASCII characters!", false, 0},
        {"RADIUS interval empty", kSecureWpa2, [](SecurityPaneInput& s) { s.radius_key_time = ""; },
         "The key update interval should not be empty!", false, 0},
        {"RADIUS interval 59", kSecureWpa2, [](SecurityPaneInput& s) { s.radius_key_time = "59"; },
         "The key update interval range: 60~99999 or 0!", false, kWirelessFieldRadiusKeyTime},
    };
    for (const Case& c : cases) {
        const ap_info_stu r = Radio();
        WirelessPaneInput in = WirelessPaneShown(r);
        ChooseSecurityMode(in.security, c.mode);
        c.edit(in.security);
        const WirelessPaneResult out = CollectWireless(r, in);
        if (!*c.message) {
            EXPECT_FALSE(out.rejection) << c.label << ": " << out.rejection->text;
            EXPECT_EQ(out.block[kAtSecureMode], c.mode) << c.label;
            continue;
        }
        ASSERT_TRUE(out.rejection) << c.label;
        EXPECT_EQ(out.rejection->text, c.message) << c.label;
        EXPECT_EQ(out.rejection->title, c.titled ? app_title : "") << c.label;
        EXPECT_EQ(out.rejection->icon, MsgIcon::Warning) << c.label;
        EXPECT_EQ(out.rejection->field, c.field) << c.label;
    }
}

TEST_F(WirelessSettingsTest, EachModeWritesItsOwnBytesAndKeepsTheOthers) {
    ap_info_stu r = Radio();
    r.report.secure_mode = kSecureWpa2Psk;
    const wireless_set_stu stored = WirelessBytes(r);
    struct Case {
        int mode;
        void (*edit)(SecurityPaneInput&);
        std::size_t from, to;  // the bytes this mode may write, [from, to)
        std::vector<std::pair<std::size_t, std::uint32_t>> bytes;
    } cases[] = {
        {kSecureWep,
         [](SecurityPaneInput& s) {
             s.wep_auth.selected = 1;
             s.wep_default.selected = 0;
             s.wep_keys[0].text = "  abcde";
             s.wep_keys[3].text = "0123456789abcdef0123456789";
             s.wep_keys[3].type.selected = 1;
         },
         kAtWepAuth,
         kAtRadiusIp - 1,
         {{kAtWepAuth, 1},
          {kAtWepIndex, 1},
          {kAtWepType0, 0},
          {kAtWepKey0, 'a'},
          {kAtWepLength0, 5},
          {kAtWepType0 + 3 * 28, 1},
          {kAtWepLength0 + 3 * 28, 26}}},
        {kSecureWpaPsk,
         [](SecurityPaneInput& s) {
             s.psk_cipher = kCipherTkip;
             s.psk_key = "new-pass-phrase";
             s.psk_key_time = "86400";
         },
         kAtPskCipher,
         kAtWepAuth,
         {{kAtPskCipher, 1}, {kAtPskLength, 15}, {kAtPskKey, 'n'}}},
        {kSecureWpa2,
         [](SecurityPaneInput& s) {
             s.radius_server = "198.18.0.77";
             s.radius_port = "1645";
             s.radius_cipher.selected = 2;
             s.radius_key = "k";
             s.radius_key_time = "600";
         },
         kAtRadiusIp,
         kAtRadiusTime + 4,
         {{kAtRadiusIp, 198},
          {kAtRadiusIp + 3, 77},
          {kAtRadiusPort, 1645 & 0xFF},
          {kAtRadiusPort + 1, 1645 >> 8},
          {kAtRadiusCipher, 2},
          {kAtRadiusKey, 'k'},
          {kAtRadiusLength, 1}}},
    };
    for (const Case& c : cases) {
        WirelessPaneInput in = WirelessPaneShown(r);
        ChooseSecurityMode(in.security, c.mode);
        c.edit(in.security);
        const WirelessPaneResult out = CollectWireless(r, in);
        ASSERT_FALSE(out.rejection) << c.mode << ": " << out.rejection->text;
        EXPECT_EQ(out.block[kAtSecureMode], c.mode);
        for (std::size_t i = kAtSecureMode + 1; i < 326; ++i) {
            if (i < c.from || i >= c.to) {
                EXPECT_EQ(out.block[i], stored[i]) << c.mode << " byte " << i;
            }
        }
        for (const auto& [at, value] : c.bytes) {
            EXPECT_EQ(out.block[at], value) << c.mode << " @" << at;
        }
        if (c.mode == kSecureWpaPsk) {
            EXPECT_EQ(Le32(out.block, kAtPskTime), 86400u);
        }
        if (c.mode == kSecureWpa2) {
            EXPECT_EQ(Le32(out.block, kAtRadiusTime), 600u);
        }
    }
    // Key 1 goes out exactly as it was checked: without the blanks in front.
    WirelessPaneInput in = WirelessPaneShown(r);
    ChooseSecurityMode(in.security, kSecureWep);
    in.security.wep_default.selected = 0;
    in.security.wep_keys[0].text = "  abcde";
    EXPECT_EQ(BlockText(CollectWireless(r, in).block, kAtWepKey0, kAtWepLength0), "abcde");
}

TEST_F(WirelessSettingsTest, StoredSelectionsOutsideTheirListsShowTheFirstItem) {
    ap_info_stu r = Radio();
    r.report.secure_mode = kSecureWpaPsk;
    r.report.wpapsk_auth_type = kCipherTkipAes;
    r.report.wep_key_index = 0;
    r.report.wep_auth_type = 7;
    r.report.wpa_auth_type = 5;
    SecurityPaneInput s = SecurityPaneShown(r.report);
    EXPECT_EQ(s.psk_cipher, kCipherAes) << "WPA-PSK has no TKIP&AES";
    EXPECT_EQ(s.wep_default.items[s.wep_default.selected].text, "Key 1");
    EXPECT_EQ(s.wep_auth.Code(-1), 0);
    EXPECT_EQ(s.radius_cipher.Code(-1), 0);
    r.report.wpapsk_auth_type = 9;
    EXPECT_EQ(SecurityPaneShown(r.report).psk_cipher, kCipherAes);
    // Choosing WPA-PSK moves TKIP&AES to AES; the other PSK modes keep it.
    r.report.secure_mode = kSecureWpa2Psk;
    r.report.wpapsk_auth_type = kCipherTkipAes;
    s = SecurityPaneShown(r.report);
    EXPECT_EQ(s.psk_cipher, kCipherTkipAes);
    ChooseSecurityMode(s, kSecureMixedPsk);
    EXPECT_EQ(s.psk_cipher, kCipherTkipAes);
    ChooseSecurityMode(s, kSecureWpaPsk);
    EXPECT_EQ(s.psk_cipher, kCipherAes);
    EXPECT_FALSE(SecurityVisibilityFor(kSecureWpaPsk).psk_tkip_aes);
    EXPECT_TRUE(SecurityVisibilityFor(kSecureWpa2Psk).psk_tkip_aes);
}

TEST_F(WirelessSettingsTest, TheSenderSendsTheSsidInUtf8WithItsByteCount) {
    ap_info_stu r = Radio();
    r.report.ap_name.Assign("mast");
    ManagementInput in = ManagementShown(r);
    in.wireless.ssid = "\xE6\x97\xA0\xE7\xBA\xBF";  // two ideographs, six bytes
    const SavePlan plan = PlanSave(r, "198.18.0.20", r.MacText(), r.ap_type, in, {});
    ASSERT_FALSE(plan.rejection);
    ASSERT_TRUE(plan.save.wireless_changed);
    const std::vector<FlowCommand> commands = SaveCommands(plan.save);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].type, MSG_SET_WIRELESS);
    ASSERT_EQ(commands[0].payload.size(), kWirelessBlockSize);
    EXPECT_EQ(commands[0].payload[kAtSsidLength], 6);
    EXPECT_EQ(std::string(commands[0].payload.begin() + kAtSsid,
                          commands[0].payload.begin() + kAtSsid + 6),
              in.wireless.ssid);
    EXPECT_EQ(commands[0].payload[kAtSsid + 6], 0);
}

}  // namespace
}  // namespace fk
