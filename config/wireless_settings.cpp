#include "config/wireless_settings.h"

#include <cstring>
#include <initializer_list>
#include <span>

#include "app/language.h"
#include "app/utf8.h"
#include "config/channel_list.h"
#include "config/country_tables.h"
#include "config/number_text.h"
#include "config/validation.h"
#include "protocol/model_capabilities.h"

namespace fk {
namespace {

constexpr std::size_t kBlockOffset = offsetof(ap_report_stu, rf_count);
constexpr const char* kMsgPowerRange = FK_TR("Power value range:%d-%d");
constexpr const char* kPowerRangeLabel = FK_TR("(%d-%d)");
constexpr int kNetModeFallback = 2;  // the third item: 11b/g, or 11a/n

struct CodeText {
    int code;
    const char* text;
};

constexpr CodeText kNetModes24[] = {
    {1, FK_TR("11b")}, {2, FK_TR("11g")}, {0, FK_TR("11b/g")}, {4, FK_TR("11b/g/n")}};
constexpr CodeText kNetModes5[] = {
    {0, FK_TR("11a")}, {3, FK_TR("11n")}, {1, FK_TR("11a/n")}, {kNetMode11ac, FK_TR("11ac")}};
constexpr CodeText kBandwidths[] = {
    {kBandwidth20, FK_TR("20MHz")}, {kBandwidth40, FK_TR("40MHz")}, {kBandwidthAuto, FK_TR("Auto")},
    {kBandwidth80, FK_TR("80MHz")}, {kBandwidth10, FK_TR("10MHz")}, {kBandwidth30, FK_TR("30MHz")},
    {kBandwidth50, FK_TR("50MHz")}, {kBandwidth60, FK_TR("60MHz")}};

bool IsFiveGhz(int rf_type) {
    return rf_type != 0;
}

// A code the rules name somewhere shows its name; any other code shows as a number.
ChoiceItem NamedItem(int code, std::initializer_list<std::span<const CodeText>> tables) {
    for (std::span<const CodeText> table : tables)
        for (const CodeText& entry : table)
            if (entry.code == code) return {entry.text, code, true};
    return {std::to_string(code), code, false};
}

ChoiceItem NetModeItem(int code, int rf_type) {
    // 2.4 GHz code 3 is the 11n-only mode: the bandwidth rules know it, the list does not.
    return IsFiveGhz(rf_type) ? NamedItem(code, {kNetModes5})
                              : NamedItem(code, {kNetModes24, std::span(kNetModes5 + 1, 1)});
}

ChoiceItem BandwidthItem(int code) {
    return NamedItem(code, {kBandwidths});
}

ChoiceItem ChannelItem(int channel) {
    if (channel == 0) return {FK_TR("Auto"), 0, true};
    return {std::to_string(channel), channel, false};
}

std::vector<ChoiceItem> Items(const std::vector<int>& codes, ChoiceItem (*make)(int)) {
    std::vector<ChoiceItem> out;
    for (int code : codes) out.push_back(make(code));
    return out;
}

std::vector<ChoiceItem> ChannelItems(int row, int ap_type, int rf_type, int bandwidth) {
    return Items(CountryChannels(row, ap_type, rf_type, bandwidth), ChannelItem);
}

// The list with `wanted` selected. A wanted value the items lack is offered as it is
// while it is the record's value still kept; otherwise the item at `fallback` is taken
// and the kept value is gone for good.
ChoiceList Offer(std::vector<ChoiceItem> items, int wanted, std::optional<int>& kept, int fallback,
                 ChoiceItem extra) {
    ChoiceList list;
    list.items = std::move(items);
    list.selected = list.Find(wanted);
    if (list.selected >= 0) {
        kept.reset();
        return list;
    }
    if (kept && *kept == wanted) {
        list.items.push_back(std::move(extra));
        list.selected = static_cast<int>(list.items.size()) - 1;
        return list;
    }
    kept.reset();
    const int last = static_cast<int>(list.items.size()) - 1;
    list.selected = fallback <= last ? fallback : last;
    return list;
}

// The user picks `index`: a kept extra item leaves the list once another is picked.
bool Pick(ChoiceList& list, std::optional<int>& kept, int index) {
    if (index < 0 || index >= static_cast<int>(list.items.size())) return false;
    const int code = list.items[index].code;
    if (kept && code != *kept) {
        list.items.pop_back();
        kept.reset();
    }
    list.selected = list.Find(code);
    return true;
}

int SelectedRow(const WirelessPaneInput& in) {
    return in.country.Code(-1);
}

void RebuildChannels(const ap_info_stu& record, WirelessPaneInput& in, int bandwidth) {
    const bool enabled = in.channel.enabled;
    const int wanted = in.channel.Code(0);
    in.channel =
        Offer(ChannelItems(SelectedRow(in), record.ap_type, record.report.rf_type, bandwidth),
              wanted, in.kept_channel, 0, ChannelItem(wanted));
    in.channel.enabled = enabled;
}

void RebuildExtChannels(const ap_info_stu& record, WirelessPaneInput& in, int wanted) {
    const ap_report_stu& r = record.report;
    ChoiceList& ext = in.ext_channel;
    ext.items =
        ExtChannelItems(in.channel.Code(0), r.rf_type, in.net_mode.Code(r.network_mode),
                        in.bandwidth.Code(r.bandwidth), static_cast<int>(in.channel.items.size()));
    if (ext.items.empty()) {
        ext.selected = -1;
    } else {
        ext.selected = ext.items.size() == 2 && wanted == kExpandAbove ? 1 : 0;
    }
    ext.enabled = !ext.items.empty() && WirelessLayoutFor(record).channel;
}

// From the mode, bandwidth and channel the block carries, whichever of them the
// radio's operating mode lets the user choose.
int ExpandSent(const ap_report_stu& sent, const WirelessPaneInput& in) {
    const bool extends = !IsFiveGhz(sent.rf_type) && sent.network_mode == kNetMode24Mixed &&
                         sent.bandwidth == kBandwidth40 && sent.channel != 0;
    return extends ? in.ext_channel.Code(kExpandNone) : kExpandNone;
}

// The pack's text is trusted to hold "%d" and nothing else that formats.
std::string FillNumbers(std::string text, std::initializer_list<int> numbers) {
    std::size_t at = 0;
    for (int n : numbers) {
        at = text.find("%d", at);
        if (at == std::string::npos) break;
        const std::string digits = std::to_string(n);
        text.replace(at, 2, digits);
        at += digits.size();
    }
    return text;
}

wireless_set_stu Slice(const ap_report_stu& report) {
    wireless_set_stu block{};
    std::memcpy(block.data(), reinterpret_cast<const std::uint8_t*>(&report) + kBlockOffset,
                kWirelessBlockSize);
    return block;
}

}  // namespace

WirelessLayout WirelessLayoutFor(const ap_info_stu& record) {
    const int mode = record.report.work_mode;
    WirelessLayout layout;
    layout.radio = mode != WORK_MODE_STATION && mode != WORK_MODE_UNIVERSAL_REPEATER;
    layout.channel = layout.radio && mode != WORK_MODE_WISP;
    layout.five_ghz = IsFiveGhz(record.report.rf_type);
    return layout;
}

std::vector<ChoiceItem> NetModeItems(int ap_type, int rf_type) {
    std::vector<ChoiceItem> out;
    const std::span<const CodeText> table =
        IsFiveGhz(rf_type) ? std::span(kNetModes5) : std::span(kNetModes24);
    for (const CodeText& entry : table) {
        if (entry.code == kNetMode11ac && IsFiveGhz(rf_type) && !ModelByCode(ap_type).has_11ac)
            continue;
        out.push_back({entry.text, entry.code, true});
    }
    return out;
}

std::vector<ChoiceItem> BandwidthItems(int ap_type, int rf_type, int net_mode) {
    if (IsFiveGhz(rf_type)) {
        switch (ModelByCode(ap_type).bandwidths) {
            case BandwidthFamily::Narrow:
                return Items({kBandwidth10, kBandwidth20, kBandwidth30, kBandwidth40},
                             BandwidthItem);
            case BandwidthFamily::Wide:
                if (net_mode == kNetMode11ac) {
                    return Items({kBandwidthAuto, kBandwidth10, kBandwidth20, kBandwidth30,
                                  kBandwidth40, kBandwidth50, kBandwidth60, kBandwidth80},
                                 BandwidthItem);
                }
                return Items(
                    {kBandwidthAuto, kBandwidth10, kBandwidth20, kBandwidth30, kBandwidth40},
                    BandwidthItem);
            case BandwidthFamily::Basic:
                return Items({kBandwidth20, kBandwidth40}, BandwidthItem);
        }
    }
    if (net_mode == kNetMode24N || net_mode == kNetMode24Mixed)
        return Items({kBandwidthAuto, kBandwidth20, kBandwidth40}, BandwidthItem);
    // Modes the rules do not name get 20 MHz too: an empty list would leave nothing to send.
    return Items({kBandwidth20}, BandwidthItem);
}

std::vector<ChoiceItem> ExtChannelItems(int channel, int rf_type, int net_mode, int bandwidth,
                                        int channel_count) {
    if (IsFiveGhz(rf_type) || net_mode != kNetMode24Mixed || bandwidth == kBandwidth20 ||
        channel == 0) {
        return {};
    }
    const auto item = [](int number, int code) {
        return ChoiceItem{std::to_string(number), code, false};
    };
    if (channel >= 1 && channel <= 4) return {item(channel + 4, kExpandAbove)};
    if (channel > channel_count - 5) return {item(channel - 4, kExpandBelow)};
    return {item(channel - 4, kExpandBelow), item(channel + 4, kExpandAbove)};
}

WirelessPaneInput WirelessPaneShown(const ap_info_stu& record) {
    const ap_report_stu& r = record.report;
    const WirelessLayout layout = WirelessLayoutFor(record);
    WirelessPaneInput in;
    in.ssid = std::string(r.ssid.View());
    in.ssid_hidden = r.ssid_hide != 0;
    for (int row = 0; row < kCountryRowCount; ++row)
        in.country.items.push_back({GetCountryName(row), row, true});
    in.country.selected = FindCountryRow(r.country_code);
    in.country.enabled = layout.channel;

    in.kept_net_mode = r.network_mode;
    in.net_mode = Offer(NetModeItems(record.ap_type, r.rf_type), r.network_mode, in.kept_net_mode,
                        kNetModeFallback, NetModeItem(r.network_mode, r.rf_type));
    in.net_mode.enabled = layout.radio;

    in.security = SecurityPaneShown(r);
    in.security.mode.enabled = layout.radio;
    in.power = std::to_string(r.tx_power);

    in.kept_bandwidth = r.bandwidth;
    in.bandwidth = Offer(BandwidthItems(record.ap_type, r.rf_type, r.network_mode), r.bandwidth,
                         in.kept_bandwidth, 0, BandwidthItem(r.bandwidth));

    in.kept_channel = r.channel;
    in.channel = Offer(ChannelItems(SelectedRow(in), record.ap_type, r.rf_type, r.bandwidth),
                       r.channel, in.kept_channel, 0, ChannelItem(r.channel));
    in.channel.enabled = layout.channel;
    RebuildExtChannels(record, in, r.expand_channel);
    return in;
}

std::string PowerRangeText(const ap_info_stu& record) {
    return FillNumbers(Translate(kPowerRangeLabel),
                       {record.report.tx_power_min, record.report.tx_power_max});
}

void ChooseNetMode(const ap_info_stu& record, WirelessPaneInput& in, int index) {
    if (!Pick(in.net_mode, in.kept_net_mode, index)) return;
    const ap_report_stu& r = record.report;
    const int bandwidth = in.bandwidth.Code(r.bandwidth);
    in.bandwidth = Offer(BandwidthItems(record.ap_type, r.rf_type, in.net_mode.Code(0)), bandwidth,
                         in.kept_bandwidth, 0, BandwidthItem(bandwidth));
    if (!WirelessLayoutFor(record).channel) return;
    // The channels follow the bandwidth read before the rebuild, until a bandwidth is
    // chosen again.
    RebuildChannels(record, in, bandwidth);
    RebuildExtChannels(record, in, kExpandNone);
}

void ChooseBandwidth(const ap_info_stu& record, WirelessPaneInput& in, int index) {
    if (!Pick(in.bandwidth, in.kept_bandwidth, index)) return;
    if (!WirelessLayoutFor(record).channel) {
        // The channel stays the radio's; its extension follows the bandwidth all the same.
        RebuildExtChannels(record, in, in.ext_channel.Code(record.report.expand_channel));
        return;
    }
    RebuildChannels(record, in, in.bandwidth.Code(0));
    RebuildExtChannels(record, in, kExpandNone);
}

void ChooseCountry(const ap_info_stu& record, WirelessPaneInput& in, int row) {
    if (row < 0 || row >= static_cast<int>(in.country.items.size())) return;
    in.country.selected = row;
    // The channels are the country's now: a stored channel it lacks is not kept.
    in.kept_channel.reset();
    RebuildChannels(record, in, in.bandwidth.Code(record.report.bandwidth));
    RebuildExtChannels(record, in, kExpandNone);
}

void ChooseChannel(const ap_info_stu& record, WirelessPaneInput& in, int index) {
    if (!Pick(in.channel, in.kept_channel, index)) return;
    RebuildExtChannels(record, in, kExpandNone);
}

void ChooseExtChannel(WirelessPaneInput& in, int index) {
    if (index >= 0 && index < static_cast<int>(in.ext_channel.items.size()))
        in.ext_channel.selected = index;
}

wireless_set_stu WirelessBytes(const ap_info_stu& record) {
    ap_report_stu r = record.report;
    r.rf_count = 1;
    r.ssid_count = 1;
    return Slice(r);
}

WirelessPaneResult CollectWireless(const ap_info_stu& record, const WirelessPaneInput& in) {
    WirelessPaneResult result;
    const ap_report_stu& stored = record.report;
    const WirelessLayout layout = WirelessLayoutFor(record);
    if (layout.radio) {
        const ValidationResult ssid = CheckSsid(in.ssid, record.ap_type);
        if (!ssid) {
            result.rejection = RejectionOf(ssid, kWirelessFieldSsid);
            return result;
        }
    }
    const long power = LeadingNumber(in.power);
    if (power < stored.tx_power_min || power > stored.tx_power_max) {
        result.rejection = PaneRejection{
            FillNumbers(Translate(kMsgPowerRange), {stored.tx_power_min, stored.tx_power_max}), "",
            MsgIcon::Warning, kWirelessFieldPower};
        return result;
    }
    if (layout.radio) {
        result.rejection = CheckSecurity(in.security);
        if (result.rejection) return result;
    }

    ap_report_stu out = stored;
    out.rf_count = 1;
    out.ssid_count = 1;
    out.rf_en = 1;
    out.ssid_rf_type = stored.rf_type;
    out.ssid_id = 0;
    out.tx_power = static_cast<std::uint8_t>(power);
    out.bandwidth = static_cast<std::uint8_t>(in.bandwidth.Code(stored.bandwidth));
    if (layout.radio) {
        out.ssid_hide = in.ssid_hidden ? 1 : 0;
        out.ssid.Assign(CutUtf8(in.ssid, kNameTextBytes));
        out.network_mode = static_cast<std::uint8_t>(in.net_mode.Code(stored.network_mode));
        WriteSecurity(in.security, out);
    }
    if (layout.channel) {
        const int row = SelectedRow(in);
        // A country code without a row stays as the device reported it.
        out.country_code =
            row < 0 ? stored.country_code : static_cast<std::uint8_t>(GetCountryCode(row));
        out.channel = static_cast<std::uint8_t>(in.channel.Code(stored.channel));
    }
    // In every mode: a station whose bandwidth was narrowed must not keep the extension
    // channel of its wider past.
    out.expand_channel = static_cast<std::uint8_t>(ExpandSent(out, in));
    result.block = Slice(out);
    result.changed = result.block != WirelessBytes(record);
    return result;
}

}  // namespace fk
