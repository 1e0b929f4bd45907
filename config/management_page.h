// The devices with their main wireless settings, each row the way into its settings:
// the "Operate" cell opens the device management window for that row.
#pragma once

#include <QTimer>
#include <functional>

#include "operations/command_sender.h"
#include "ui/device_list_page.h"

namespace fk {

class CManagementConfigDlg;

class CManagementDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    static constexpr int kRefreshAfterWindowMs = 2000;
    // Shows the window modally; tests drive it themselves instead.
    using WindowRunner = std::function<void(CManagementConfigDlg&)>;

    CManagementDlg(const UiContext& context, QWidget* parent);
    ~CManagementDlg() override;

    void SetWindowRunner(WindowRunner runner) { run_window_ = std::move(runner); }
    void OnOperateClicked(int row);
    const QTimer& RefreshTimer() const { return refresh_timer_; }
    CCommandSender& Sender() { return sender_; }

  private:
    WindowRunner run_window_;
    QTimer refresh_timer_;
    // Last: the sender of the latest Save ends before the page's data goes.
    CCommandSender sender_;
};

}  // namespace fk
