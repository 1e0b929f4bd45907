// The countries a device can be set to and the channels each allows per band and
// bandwidth. Devices carry their country as an index into a fixed code list; the
// controller maps it to a row of its own country table.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fk {

inline constexpr std::size_t kCountryCodeCount = 256;
inline constexpr int kCountryRowCount = 42;

struct country_channel_stu {
    const char* code;  // an entry of the country code list
    const char* name;  // English; shown translated
    const char* channels_24g;
    const char* channels_5g_20m;
    const char* channels_5g_40m;
    const char* channels_5g_80m;
};

// Entry `code` of the country code list; empty for 62..255 and out-of-range codes.
std::string_view CountryCodeText(int code);

// The row whose code is entry `country_code` of the list; -1 when there is none.
int FindCountryRow(int country_code);
// The first code-list position holding the row's code; -1 for a row that does not exist.
int GetCountryCode(int row);
// The row's English name; empty for a row that does not exist.
std::string GetCountryName(int row);
// `rf_type` 0 is the 2.4 GHz band, anything else 5 GHz. In 5 GHz the bandwidth
// codes 0, 2, 4 and 5 use the 20 MHz list, 1 the 40 MHz list, the rest 80 MHz.
std::string GetChannelList(int row, int bandwidth, int rf_type);

// The channel numbers of a list text: the leading number of each item, so "36l"
// reads as 36. Auto is the 0 at the front.
std::vector<int> ParseChannelList(std::string_view list);

const country_channel_stu& CountryRow(int row);  // row must be in 0..kCountryRowCount-1

}  // namespace fk
