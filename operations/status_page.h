// The page shown at start: every device found, the discovery search, renaming in
// place, the device's web interface, the batch address and switch operations, and the
// site report.
#pragma once

#include <QTimer>
#include <functional>
#include <string>

#include "config/batch_ip.h"
#include "operations/batch_switch.h"
#include "operations/command_sender.h"
#include "operations/search_session.h"
#include "operations/sender_slot.h"
#include "operations/site_report.h"
#include "ui/device_list_page.h"
#include "ui/flow_driver.h"

class QLabel;
class QMovie;

namespace fk {

class CImageButton;

class CStatusDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    static constexpr int kRefreshAfterSendMs = 2000;

    // Opens a web address; tests replace it so nothing leaves the machine.
    using UrlOpener = std::function<void(const std::string&)>;
    // Shows a modal window and returns whether it was accepted; tests drive the
    // window themselves instead of entering a nested event loop.
    using DialogRunner = std::function<bool(QDialog&)>;

    CStatusDlg(const UiContext& context, QWidget* parent);
    ~CStatusDlg() override;

    void SetUrlOpener(UrlOpener opener) { open_url_ = std::move(opener); }
    void SetDialogRunner(DialogRunner runner) { run_dialog_ = std::move(runner); }

    bool Searching() const { return search_.Running(); }
    CImageButton* SearchButton() const { return search_button_; }
    CImageButton* SetIpButton() const { return set_ip_button_; }
    CImageButton* SetBridgeButton() const { return set_bridge_button_; }
    CImageButton* SlotraButton() const { return slotra_button_; }
    CImageButton* SiteReportButton() const { return site_report_button_; }
    QLabel* BusyAnimation() const { return busy_; }
    const QTimer& SearchTimer() const { return search_.Timer(); }
    const QTimer& RefreshTimer() const { return refresh_timer_; }
    const switch_set_stu& SwitchBlock() const { return switch_block_; }

    void OnSearchClicked();
    void OnSearchTick() { search_.TickNow(); }
    void OnSetIpClicked();
    void OnSwitchClicked(SwitchKind kind);
    void OnRefreshTimer();
    void OnSiteReportClicked();
    // The report of every radio the page knows, dated now.
    SiteReport MakeSiteReport() const;
    // Waits for the running senders to finish by themselves (tests and shutdown).
    void JoinSenders();
    bool SendersBusy() const;

  protected:
    IDeviceLink* PendingSource() override { return &context_.link; }

  private:
    void OnSearchStep(const FlowStep& step);
    void EndSearch();
    void OnNameEdited(int row, const QString& old_text, const QString& text);
    void OnLinkClicked(int row);
    void RefreshSoon();

    CImageButton* search_button_ = nullptr;
    CImageButton* set_ip_button_ = nullptr;
    CImageButton* set_bridge_button_ = nullptr;
    CImageButton* slotra_button_ = nullptr;
    CImageButton* site_report_button_ = nullptr;
    QLabel* busy_ = nullptr;
    QMovie* busy_movie_ = nullptr;
    QTimer refresh_timer_;
    UrlOpener open_url_;
    DialogRunner run_dialog_;

    // Data the senders read; each sender gets its own copy when it starts.
    std::vector<ap_select_stu> batch_;
    switch_set_stu switch_block_{};

    // Last members: destroyed first, so no sender outlives what it reads.
    CCommandSender search_sender_;
    CFlowDriver search_;
    CCommandSender ip_sender_;
    CSenderSlot bridge_sender_;
    CSenderSlot slotra_sender_;
    CSenderSlot rename_sender_;
};

}  // namespace fk
