// The devices to tick for a firmware upgrade, with their firmware versions. The
// upgrade window runs the upgrade; the page follows every ticked row's status while it
// runs, and searches and re-reads its list once the window has closed.
#pragma once

#include <functional>
#include <memory>

#include "operations/command_sender.h"
#include "ui/device_list_page.h"

namespace fk {

class CImageButton;
class CUpgradeConfigDlg;
class IUpgradeServer;

class CUpgradeDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    static constexpr int kRefreshAfterCloseMs = 1000;
    // Shows the window modally; tests drive it themselves instead.
    using WindowRunner = std::function<void(CUpgradeConfigDlg&)>;
    using ServerFactory = std::function<std::unique_ptr<IUpgradeServer>()>;

    CUpgradeDlg(const UiContext& context, QWidget* parent);
    ~CUpgradeDlg() override;

    void SetWindowRunner(WindowRunner runner) { run_window_ = std::move(runner); }
    void SetServerFactory(ServerFactory factory) { make_server_ = std::move(factory); }
    CImageButton* ActionButton() const { return action_; }
    void JoinSender() { sender_.WaitUntilIdle(); }

    void OnActionClicked();

  private:
    void ShowStatuses(const std::vector<StatusCell>& cells);

    CImageButton* action_ = nullptr;
    WindowRunner run_window_;
    ServerFactory make_server_;
    CCommandSender sender_;
};

}  // namespace fk
