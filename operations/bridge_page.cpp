#include "operations/bridge_page.h"

#include "app/language.h"
#include "app/prompter.h"
#include "operations/bridge_config_dlg.h"
#include "operations/bridge_wizard.h"
#include "store/store_view.h"
#include "ui/device_grid.h"
#include "ui/skin.h"

namespace fk {

CBridgeDlg::CBridgeDlg(const UiContext& context, QWidget* parent)
    : CDeviceListPage(context, PAGE_BRIDGE, parent),
      run_wizard_([](CBridgeConfigDlg& wizard) { wizard.exec(); }),
      survey_sender_(context.link),
      save_sender_(context.link) {
    Grid()->SetLinkColumn(ColumnIndex(PAGE_BRIDGE, ListColumn::Operate),
                          SkinPixmap(SkinImage::BridgePicture));
    refresh_timer_.setSingleShot(true);
    refresh_timer_.setInterval(kRefreshAfterWizardMs);
    connect(&refresh_timer_, &QTimer::timeout, this, &CBridgeDlg::RefreshCurrent);
    connect(Grid(), &CDeviceGrid::linkClicked, this, &CBridgeDlg::OnOperateClicked);
}

CBridgeDlg::~CBridgeDlg() {
    wizard_.reset();
    survey_sender_.Stop();
    save_sender_.Stop();
}

void CBridgeDlg::OnOperateClicked(int row) {
    if (row < 0 || row >= static_cast<int>(Rows().size())) return;
    chosen_ = RowDevice(row);
    wizard_.reset();
    emit busyChanged(true);
    // A device gone from the store since the refresh reads as zeros: its switch
    // reads as off, and the survey finds nothing.
    ap_info_stu record = ZeroRecord();
    context_.store.GetDevice(chosen_.mac, record);
    if (!ModeSwitchAllowsBridge(record)) {
        context_.prompter.Warn(Translate("CPEManagement"), Translate(kMsgModeSwitch),
                               MsgIcon::Warning);
    } else {
        wizard_ = std::make_unique<CBridgeConfigDlg>(context_, chosen_.ip, chosen_.mac, record,
                                                     survey_sender_, save_sender_, this);
        run_wizard_(*wizard_);
    }
    emit busyChanged(false);
    refresh_timer_.start();
}

}  // namespace fk
