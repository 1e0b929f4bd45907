// The device management window: the tabs of one device's settings, Save and Cancel.
// Save asks the tab rules in their order and shows only the first refusal; otherwise
// the page's sender gets the commands, the wait window covers the device applying
// them, and the window closes. It never writes the store: the device's next report
// tells the store what landed.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "config/management_save.h"
#include "operations/command_sender.h"
#include "ui/page.h"
#include "ui/skin_frame_dlg.h"

class QPushButton;
class QStackedWidget;

namespace fk {

class CImageButton;
class CIPSetDlg;
class CTimeRebootDlg;
class CVlanDlg;
class CWaitDlg;
class CWirelessSetDlg;

class CManagementConfigDlg : public CSkinFrameDlg {
    Q_OBJECT
  public:
    // Shows a modal window; tests answer it themselves instead of entering its loop.
    using WaitRunner = std::function<void(CWaitDlg&)>;

    // `ip`, `mac` and `ap_type` come from the list row; `sender` is the page's and
    // outlives this window.
    CManagementConfigDlg(const UiContext& context, const ap_info_stu& record, std::string ip,
                         std::string mac, int ap_type, CCommandSender& sender, QWidget* parent);

    void SetWaitRunner(WaitRunner runner) { run_wait_ = std::move(runner); }
    void Save();
    void ShowTab(ManagementTab tab);

    ManagementTab CurrentTab() const { return current_; }
    CImageButton* TabButton(ManagementTab tab) const { return tabs_[static_cast<int>(tab)]; }
    CWirelessSetDlg* WirelessPane() const { return wireless_pane_; }
    CIPSetDlg* IpPane() const { return ip_pane_; }
    CVlanDlg* VlanPane() const { return vlan_pane_; }
    CTimeRebootDlg* RebootPane() const { return reboot_pane_; }
    QPushButton* SaveButton() const { return save_; }
    QPushButton* CancelButton() const { return cancel_; }

  private:
    void BuildTabs();
    void Focus(ManagementTab tab, int field);

    const UiContext& context_;
    const ap_info_stu record_;
    const std::string ip_;
    const std::string mac_;
    const int ap_type_;
    CCommandSender& sender_;
    WaitRunner run_wait_;
    ManagementTab current_ = ManagementTab::Wireless;
    std::array<CImageButton*, 4> tabs_{};
    QStackedWidget* stack_ = nullptr;
    CWirelessSetDlg* wireless_pane_ = nullptr;
    CIPSetDlg* ip_pane_ = nullptr;
    CVlanDlg* vlan_pane_ = nullptr;
    CTimeRebootDlg* reboot_pane_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace fk
