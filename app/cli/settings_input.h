// The settings flags of `configure`, put into the input the window would hold: a flag
// the window has no input for on this radio (a LAN3 id on a model without LAN3, VLAN
// on a station) is refused with what is offered, as the window would not let the user
// type it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "config/management_save.h"

namespace fk::cli {

struct SettingFlag {
    std::string flag;
    std::string value;
};

std::span<const char* const> SettingFlagNames();

// Empty when every flag found its input; else the refusal to print.
std::string ApplySettingFlags(const ap_info_stu& record, const std::vector<SettingFlag>& flags,
                              ManagementInput& input);

}  // namespace fk::cli
