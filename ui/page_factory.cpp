#include "ui/page_factory.h"

#include "config/management_page.h"
#include "operations/bridge_page.h"
#include "operations/reboot_page.h"
#include "operations/restore_page.h"
#include "operations/status_page.h"
#include "operations/upgrade_page.h"
#include "ui/install_help_page.h"
#include "ui/system_tool_page.h"

namespace fk {

CPageBase* CreatePage(int code, const UiContext& context, QWidget* parent) {
    switch (code) {
        case PAGE_SYSTEM_TOOL:
            return new CSystemToolDlg(context, parent);
        case PAGE_INSTALL_HELP:
            return new CInstallHelpDlg(context, parent);
        case PAGE_STATUS:
            return new CStatusDlg(context, parent);
        case PAGE_MANAGEMENT:
            return new CManagementDlg(context, parent);
        case PAGE_BRIDGE:
            return new CBridgeDlg(context, parent);
        case PAGE_REBOOT:
            return new CRebootDlg(context, parent);
        case PAGE_UPGRADE:
            return new CUpgradeDlg(context, parent);
        case PAGE_RESTORE:
            return new CRestoreDlg(context, parent);
        default:
            return nullptr;
    }
}

}  // namespace fk
