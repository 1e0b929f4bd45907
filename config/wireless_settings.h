// The wireless tab as a rule: the lists it offers a radio (by band, model, country and
// each other), how they react to the user's choices, and what Save makes of them.
//
// What the user did not touch is sent as the device reported it: a stored network
// mode, bandwidth or channel that the lists would not offer is offered as it is, as
// an extra item, until the user picks another item of that list (for the channel: or
// another country). So a radar channel (52 to 64, 100 to 144) a radio holds outside
// the "Test" country is shown as its current value, but once changed away it is not
// offered again; the tab says so (kRadarChannelRule). A control that the radio's
// operating mode locks carries the record's bytes and is never checked; the extension
// channel is worked out from what is sent in every mode.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/language.h"
#include "config/choice_list.h"
#include "config/command_blocks.h"
#include "config/pane_rejection.h"
#include "config/wireless_security.h"
#include "store/device_record.h"

namespace fk {

enum WirelessField : int {
    kWirelessFieldNone = kSecurityFieldNone,
    kWirelessFieldSsid = 1,
    kWirelessFieldPower,
    kWirelessFieldPskKeyTime = kSecurityFieldPskKeyTime,
    kWirelessFieldRadiusKeyTime = kSecurityFieldRadiusKeyTime,
};

enum BandwidthCode : int {
    kBandwidth20 = 0,
    kBandwidth40 = 1,
    kBandwidthAuto = 2,
    kBandwidth80 = 3,
    kBandwidth10 = 4,
    kBandwidth30 = 5,
    kBandwidth50 = 6,
    kBandwidth60 = 7,
};

inline constexpr int kNetMode24N = 3;      // 11n alone: not listed, yet 40 MHz capable
inline constexpr int kNetMode24Mixed = 4;  // 11b/g/n, the one 2.4 GHz mode with extension
inline constexpr int kNetMode11ac = 2;     // in the 5 GHz band
inline constexpr int kExpandBelow = 0;
inline constexpr int kExpandAbove = 1;
inline constexpr int kExpandNone = 2;
inline constexpr std::size_t kPowerDigits = 3;
inline constexpr const char* kRadarChannelRule =
    FK_TR("Channels 52-64 and 100-144 are offered only in the Test country.");

// What the radio's operating mode leaves the user.
struct WirelessLayout {
    bool radio = true;    // SSID, hiding, network mode, security: not on a station or repeater
    bool channel = true;  // country, channel, extension: not there, nor on a WISP radio
    bool five_ghz = false;
};

struct WirelessPaneInput {
    std::string ssid;
    bool ssid_hidden = false;
    ChoiceList net_mode;
    ChoiceList bandwidth;
    std::string power;
    ChoiceList country;  // item code = country table row
    ChoiceList channel;  // item code = channel number, 0 = Auto
    ChoiceList ext_channel;
    SecurityPaneInput security;
    // The record's values offered only as extra items, while they are still selected.
    std::optional<int> kept_net_mode;
    std::optional<int> kept_bandwidth;
    std::optional<int> kept_channel;
};

struct WirelessPaneResult {
    wireless_set_stu block{};
    bool changed = false;
    std::optional<PaneRejection> rejection;
};

WirelessLayout WirelessLayoutFor(const ap_info_stu& record);

// The lists the rules offer, without the record's extra values.
std::vector<ChoiceItem> NetModeItems(int ap_type, int rf_type);
std::vector<ChoiceItem> BandwidthItems(int ap_type, int rf_type, int net_mode);
// `channel_count` is the number of items of the channel list, Auto included.
std::vector<ChoiceItem> ExtChannelItems(int channel, int rf_type, int net_mode, int bandwidth,
                                        int channel_count);

WirelessPaneInput WirelessPaneShown(const ap_info_stu& record);
// "(%d-%d)" of the record's power bounds.
std::string PowerRangeText(const ap_info_stu& record);

// The user's choices, by position in the list as shown; each rebuilds what depends on
// it. A position outside the list changes nothing.
void ChooseNetMode(const ap_info_stu& record, WirelessPaneInput& input, int index);
void ChooseBandwidth(const ap_info_stu& record, WirelessPaneInput& input, int index);
void ChooseCountry(const ap_info_stu& record, WirelessPaneInput& input, int row);
void ChooseChannel(const ap_info_stu& record, WirelessPaneInput& input, int index);
void ChooseExtChannel(WirelessPaneInput& input, int index);

// The record's bytes 100 to 427 of the report, with rf_count and ssid_count as 1.
wireless_set_stu WirelessBytes(const ap_info_stu& record);
WirelessPaneResult CollectWireless(const ap_info_stu& record, const WirelessPaneInput& input);

}  // namespace fk
