// The codes the page container numbers its pages by. The list tables below the
// windows key their columns by them too, so they live apart from any widget.
#pragma once

namespace fk {

enum PageCode : int {
    PAGE_STATUS = 133,
    PAGE_MANAGEMENT = 134,
    PAGE_BRIDGE = 135,
    PAGE_REBOOT = 136,
    PAGE_UPGRADE = 137,
    PAGE_RESTORE = 138,
    PAGE_INSTALL_HELP = 139,
    PAGE_SYSTEM_TOOL = 155,
};

}  // namespace fk
