// The eight pages as the navigation shows them, top to bottom.
#pragma once

#include <array>

#include "app/language.h"
#include "ui/page.h"

namespace fk {

struct NavigationEntry {
    int page_code;
    int command_id;
    const char* caption_key;
};

inline constexpr std::array<NavigationEntry, 8> kNavigationEntries = {{
    {PAGE_STATUS, 1004, FK_TR("Device status")},
    {PAGE_MANAGEMENT, 1007, FK_TR("Device management")},
    {PAGE_BRIDGE, 1003, FK_TR("Device bridge")},
    {PAGE_REBOOT, 1009, FK_TR("Device reboot")},
    {PAGE_UPGRADE, 1006, FK_TR("Device upgrade")},
    {PAGE_RESTORE, 1005, FK_TR("Device restore")},
    {PAGE_SYSTEM_TOOL, 1001, FK_TR("System tool")},
    {PAGE_INSTALL_HELP, 1008, FK_TR("Install Help")},
}};

// The order the container builds its pages in.
inline constexpr std::array<int, 8> kPageCreationOrder = {
    PAGE_SYSTEM_TOOL, PAGE_STATUS,  PAGE_MANAGEMENT, PAGE_BRIDGE,
    PAGE_REBOOT,      PAGE_RESTORE, PAGE_UPGRADE,    PAGE_INSTALL_HELP};

// The caption key of a page code, or nullptr for an unknown code.
constexpr const char* PageCaptionKey(int code) {
    for (const auto& entry : kNavigationEntries)
        if (entry.page_code == code) return entry.caption_key;
    return nullptr;
}

}  // namespace fk
