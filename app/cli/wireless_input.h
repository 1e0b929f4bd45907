// The wireless and security flags of `configure`, put into the wireless tab's input
// through the tab's own choices, in the order the lists depend on each other (mode,
// bandwidth, country, channel, extension; security mode before its fields), whatever
// order they were typed in. A value the tab would not offer this radio, and a flag
// for an input the tab keeps locked or hidden, is refused with what is offered.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/cli/settings_input.h"
#include "config/wireless_settings.h"

namespace fk::cli {

std::span<const char* const> WirelessFlagNames();
bool IsWirelessFlag(const std::string& flag);

// Empty when every wireless flag found its input; else the refusal to print.
std::string ApplyWirelessFlags(const ap_info_stu& record, const std::vector<SettingFlag>& flags,
                               WirelessPaneInput& input);

}  // namespace fk::cli
