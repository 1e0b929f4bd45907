// The devices with their bridge state, each row the way into the bridge wizard: the
// "Operate" cell opens it for that row unless the device's mode switch forbids a
// change of mode.
#pragma once

#include <QTimer>
#include <functional>
#include <memory>

#include "operations/command_sender.h"
#include "ui/device_list_page.h"

namespace fk {

class CBridgeConfigDlg;

class CBridgeDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    static constexpr int kRefreshAfterWizardMs = 2000;
    // Shows the wizard modally; tests drive it themselves instead.
    using WizardRunner = std::function<void(CBridgeConfigDlg&)>;

    CBridgeDlg(const UiContext& context, QWidget* parent);
    ~CBridgeDlg() override;

    void SetWizardRunner(WizardRunner runner) { run_wizard_ = std::move(runner); }
    void OnOperateClicked(int row);

    const QTimer& RefreshTimer() const { return refresh_timer_; }
    // The device of the last "Operate" click; it stays until the next one.
    const ap_select_stu& ChosenDevice() const { return chosen_; }
    CBridgeConfigDlg* LastWizard() const { return wizard_.get(); }
    CCommandSender& SaveSender() { return save_sender_; }

  private:
    WizardRunner run_wizard_;
    QTimer refresh_timer_;
    ap_select_stu chosen_;
    // Last: the wizard goes first, then the senders it used.
    CCommandSender survey_sender_;
    CCommandSender save_sender_;
    std::unique_ptr<CBridgeConfigDlg> wizard_;
};

}  // namespace fk
