#include "config/channel_list.h"

#include "app/language.h"
#include "config/country_tables.h"
#include "protocol/model_capabilities.h"

namespace fk {
namespace {

// Radar-detection channels: the devices leave them to the regulator's test mode.
bool IsDfsChannel(int channel) {
    return (channel >= 52 && channel <= 64) || (channel >= 100 && channel <= 144);
}

bool IsTestOnlyChannel(int channel) {
    return channel == 8 || channel == 179 || channel == 181 || channel == 188;
}

}  // namespace

std::vector<int> CountryChannels(int row, int ap_type, int rf_type, int bandwidth) {
    if (row < 0 || row >= kCountryRowCount) return {0};
    const bool test_row = GetCountryName(row) == "Test";
    const bool skip_test_only = test_row && ModelByCode(ap_type).test_row_skips_channels;
    std::vector<int> out;
    for (int channel : ParseChannelList(GetChannelList(row, bandwidth, rf_type))) {
        if (!test_row && IsDfsChannel(channel)) continue;
        if (skip_test_only && IsTestOnlyChannel(channel)) continue;
        out.push_back(channel);
    }
    return out;
}

std::string ChannelEntryText(int channel) {
    return channel == 0 ? Translate("Auto") : std::to_string(channel);
}

}  // namespace fk
