// The channels a device may be set to, as the wireless tab and the bridge wizard offer
// them: the country row's list for the band and bandwidth, with the DFS channels left
// out everywhere but in the "Test" row. 0 stands for Auto.
#pragma once

#include <string>
#include <vector>

namespace fk {

// The offered channel numbers in list order, Auto (0) first. A row that does not exist
// (a country code the table lacks) offers Auto alone: every list starts with Auto, and
// automatic selection is the one choice that fits whatever country the device keeps.
std::vector<int> CountryChannels(int row, int ap_type, int rf_type, int bandwidth);

// "Auto" (translated) for 0, the number otherwise.
std::string ChannelEntryText(int channel);

}  // namespace fk
