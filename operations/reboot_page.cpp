#include "operations/reboot_page.h"

#include "app/language.h"
#include "app/prompter.h"
#include "store/display_codes.h"
#include "store/store_view.h"
#include "ui/device_grid.h"
#include "ui/image_button.h"
#include "ui/wait_dlg.h"

namespace fk {

CRebootPageBase::CRebootPageBase(const UiContext& context, RebootKind kind, int page_code,
                                 QWidget* parent)
    : CDeviceListPage(context, page_code, parent),
      kind_(kind),
      run_wait_([](CWaitDlg& wait) { wait.exec(); }),
      sender_(context.link) {
    action_ = AddActionButton(PlanFor(kind).button_key);
    connect(action_, &CImageButton::clicked, this, &CRebootPageBase::OnActionClicked);
}

CRebootPageBase::~CRebootPageBase() {
    wait_.reset();
    sender_.Stop();
}

bool CRebootPageBase::BatchRunning() const {
    return wait_ && wait_->Driver().Running();
}

void CRebootPageBase::OnActionClicked() {
    // Offline rows count like online ones: a device that fell silent may still hear.
    batch_ = TickedDevices();
    if (batch_.empty()) {
        context_.prompter.Warn("", Translate("Please select the devices!"), MsgIcon::Warning);
        return;
    }
    if (!context_.prompter.Confirm(Translate(PlanFor(kind_).confirm_key))) return;
    // What an earlier batch has not sent yet is dropped; its window and flow go too.
    wait_.reset();
    sender_.Stop();
    wait_ = std::make_unique<CWaitDlg>(
        context_, sender_, std::make_unique<CRebootBatch>(kind_, batch_, context_.store), this);
    connect(wait_.get(), &CWaitDlg::stepped, this, &CRebootPageBase::OnBatchStep);
    run_wait_(*wait_);
}

void CRebootPageBase::OnBatchStep(const FlowStep& step) {
    if (!step.statuses.empty()) ShowStatuses(step.statuses);
    if (step.refresh_list) RefreshCurrent();
}

void CRebootPageBase::ShowStatuses(const std::vector<StatusCell>& cells) {
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
