// The reboot page and, built the same way, the restore page: tick the devices, press
// the page's button, confirm, and follow each device's status in its row while the wait
// window covers the minute the devices need to restart.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "operations/command_sender.h"
#include "operations/reboot_batch.h"
#include "ui/device_list_page.h"

namespace fk {

class CImageButton;
class CWaitDlg;

class CRebootPageBase : public CDeviceListPage {
    Q_OBJECT
  public:
    // Shows the wait window modally; tests step it themselves instead.
    using WaitRunner = std::function<void(CWaitDlg&)>;

    CRebootPageBase(const UiContext& context, RebootKind kind, int page_code, QWidget* parent);
    ~CRebootPageBase() override;

    void SetWaitRunner(WaitRunner runner) { run_wait_ = std::move(runner); }
    CImageButton* ActionButton() const { return action_; }
    // The window of the latest batch; it stays (hidden) until the next batch, since its
    // flow refreshes the list a second after the window has closed.
    CWaitDlg* WaitWindow() const { return wait_.get(); }
    const std::vector<ap_select_stu>& Batch() const { return batch_; }
    bool BatchRunning() const;
    // Waits until every command of the batch has been handed to the engine.
    void JoinSender() { sender_.WaitUntilIdle(); }

    void OnActionClicked();

  private:
    void OnBatchStep(const FlowStep& step);
    void ShowStatuses(const std::vector<StatusCell>& cells);

    RebootKind kind_;
    CImageButton* action_ = nullptr;
    std::vector<ap_select_stu> batch_;
    WaitRunner run_wait_;
    // The sender before the window: the window's driver hands its commands over, so it
    // goes first.
    CCommandSender sender_;
    std::unique_ptr<CWaitDlg> wait_;
};

class CRebootDlg : public CRebootPageBase {
    Q_OBJECT
  public:
    CRebootDlg(const UiContext& context, QWidget* parent)
        : CRebootPageBase(context, RebootKind::Reboot, PAGE_REBOOT, parent) {}
};

}  // namespace fk
