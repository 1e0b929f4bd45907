#include "config/management_page.h"

#include "app/language.h"
#include "app/prompter.h"
#include "config/management_dlg.h"
#include "store/store_view.h"
#include "ui/device_grid.h"
#include "ui/skin.h"

namespace fk {

namespace {
constexpr const char* kMsgDeviceGone =
    FK_TR("The device is no longer listed, please search again!");
}  // namespace

CManagementDlg::CManagementDlg(const UiContext& context, QWidget* parent)
    : CDeviceListPage(context, PAGE_MANAGEMENT, parent),
      run_window_([](CManagementConfigDlg& window) { window.exec(); }),
      sender_(context.link) {
    Grid()->SetLinkColumn(ColumnIndex(PAGE_MANAGEMENT, ListColumn::Operate),
                          SkinPixmap(SkinImage::ConfigButton));
    refresh_timer_.setSingleShot(true);
    refresh_timer_.setInterval(kRefreshAfterWindowMs);
    connect(&refresh_timer_, &QTimer::timeout, this, &CManagementDlg::RefreshCurrent);
    connect(Grid(), &CDeviceGrid::linkClicked, this, &CManagementDlg::OnOperateClicked);
}

CManagementDlg::~CManagementDlg() = default;

void CManagementDlg::OnOperateClicked(int row) {
    if (row < 0 || row >= static_cast<int>(Rows().size())) return;
    const ap_select_stu device = RowDevice(row);
    ap_info_stu record = ZeroRecord();
    // A device that aged out since the last refresh would open a window of zeros, and
    // its Save could send blocks built from them.
    if (!context_.store.GetDevice(device.mac, record) || record.MacText() != device.mac) {
        context_.prompter.Warn("", Translate(kMsgDeviceGone), MsgIcon::Warning);
        RefreshCurrent();
        return;
    }
    emit busyChanged(true);
    {
        CManagementConfigDlg window(context_, record, device.ip, device.mac, device.ap_type,
                                    sender_, this);
        run_window_(window);
    }
    emit busyChanged(false);
    refresh_timer_.start();
}

}  // namespace fk
