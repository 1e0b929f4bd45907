#include "operations/upgrade_page.h"

#include <QTimer>

#include "app/language.h"
#include "app/prompter.h"
#include "operations/upgrade_config_dlg.h"
#include "protocol/device_link.h"
#include "store/display_codes.h"
#include "ui/device_grid.h"
#include "ui/image_button.h"

namespace fk {

CUpgradeDlg::CUpgradeDlg(const UiContext& context, QWidget* parent)
    : CDeviceListPage(context, PAGE_UPGRADE, parent),
      run_window_([](CUpgradeConfigDlg& window) { window.exec(); }),
      make_server_([] { return MakeProgramFileServer(); }),
      sender_(context.link) {
    action_ = AddActionButton(FK_TR("Upgrade"));
    connect(action_, &CImageButton::clicked, this, &CUpgradeDlg::OnActionClicked);
}

CUpgradeDlg::~CUpgradeDlg() {
    sender_.Stop();
}

void CUpgradeDlg::OnActionClicked() {
    const std::vector<ap_select_stu> selection = TickedDevices();
    std::string refused = CheckUpgradeSelection(selection);
    if (refused.empty()) refused = CheckUpgradeModels(selection);
    if (!refused.empty()) {
        context_.prompter.Warn("", Translate(refused), MsgIcon::Warning);
        return;
    }
    emit busyChanged(true);
    {
        CUpgradeConfigDlg window(context_, sender_, selection, make_server_(), this);
        connect(&window, &CUpgradeConfigDlg::statusesChanged, this, &CUpgradeDlg::ShowStatuses);
        run_window_(window);
    }
    emit busyChanged(false);
    context_.link.SearchDevices();
    QTimer::singleShot(kRefreshAfterCloseMs, this, [this] { RefreshCurrent(); });
}

void CUpgradeDlg::ShowStatuses(const std::vector<StatusCell>& cells) {
    const int mac_column = ColumnIndex(PageCode(), ListColumn::Mac);
    const int status_column = ColumnIndex(PageCode(), ListColumn::Status);
    CDeviceGrid& grid = *Grid();
    for (const StatusCell& cell : cells) {
        for (int row = 0; row < grid.rowCount(); ++row) {
            if (grid.CellText(row, mac_column) != cell.mac) continue;
            grid.SetCellText(row, status_column, StatusName(cell.status));
            break;
        }
    }
}

}  // namespace fk
