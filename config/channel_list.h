// The channels a device may be set to, as its wireless settings offer them: the
// country row's list for the band and bandwidth, with the DFS channels left out
// everywhere but in the "Test" row. 0 stands for Auto.
#pragma once

#include <string>
#include <vector>

namespace fk {

// The offered channel numbers in list order, Auto (0) first; empty for a row that
// does not exist.
std::vector<int> CountryChannels(int row, int ap_type, int rf_type, int bandwidth);

// "Auto" (translated) for 0, the number otherwise.
std::string ChannelEntryText(int channel);

}  // namespace fk
