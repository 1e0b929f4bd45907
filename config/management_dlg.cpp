#include "config/management_dlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/prompter.h"
#include "config/ip_set_dlg.h"
#include "config/time_reboot_dlg.h"
#include "config/vlan_dlg.h"
#include "config/wireless_set_dlg.h"
#include "operations/flow_executor.h"
#include "operations/send_and_wait.h"
#include "store/store_view.h"
#include "ui/image_button.h"
#include "ui/skin.h"
#include "ui/wait_dlg.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

constexpr int kTabIconWidth = 30;
constexpr const char* kTabCaptions[4] = {FK_TR("WirelessSet"), FK_TR("IPSET"), FK_TR("VLAN"),
                                         FK_TR("TimeReboot")};

}  // namespace

CManagementConfigDlg::CManagementConfigDlg(const UiContext& context, const ap_info_stu& record,
                                           std::string ip, std::string mac, int ap_type,
                                           CCommandSender& sender, QWidget* parent)
    : CSkinFrameDlg(FK_TR("Device management"), parent),
      context_(context),
      record_(record),
      ip_(std::move(ip)),
      mac_(std::move(mac)),
      ap_type_(ap_type),
      sender_(sender),
      run_wait_([](CWaitDlg& wait) { wait.exec(); }) {
    BuildTabs();
    auto* tab_row = new QHBoxLayout;
    for (CImageButton* tab : tabs_) tab_row->addWidget(tab);
    tab_row->addStretch(1);
    Content()->addLayout(tab_row);
    Content()->addWidget(stack_, 1);

    save_ = AddButton(FK_TR("Save"));
    cancel_ = AddButton(FK_TR("Cancel"));
    connect(save_, &QPushButton::clicked, this, &CManagementConfigDlg::Save);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    ShowTab(ManagementTab::Wireless);
}

void CManagementConfigDlg::BuildTabs() {
    stack_ = new QStackedWidget(this);
    wireless_pane_ = new CWirelessSetDlg(record_, this);
    ip_pane_ = new CIPSetDlg(record_, this);
    vlan_pane_ = new CVlanDlg(record_, this);
    reboot_pane_ = new CTimeRebootDlg(RebootBytes(record_), this);
    for (QWidget* pane : {static_cast<QWidget*>(wireless_pane_), static_cast<QWidget*>(ip_pane_),
                          static_cast<QWidget*>(vlan_pane_), static_cast<QWidget*>(reboot_pane_)})
        stack_->addWidget(pane);
    for (int i = 0; i < 4; ++i) {
        tabs_[i] = new CImageButton(this);
        tabs_[i]->SetImages(SkinPixmap(SkinImage::WirelessBasic), {},
                            SkinPixmap(SkinImage::WirelessConfig), {});
        tabs_[i]->setText(T(kTabCaptions[i]));
        // The tab image carries its symbol at the left; the caption starts after it.
        tabs_[i]->SetCaptionIndent(kTabIconWidth);
        const auto tab = static_cast<ManagementTab>(i);
        connect(tabs_[i], &CImageButton::clicked, this, [this, tab] { ShowTab(tab); });
    }
}

void CManagementConfigDlg::ShowTab(ManagementTab tab) {
    current_ = tab;
    stack_->setCurrentIndex(static_cast<int>(tab));
    for (int i = 0; i < 4; ++i) tabs_[i]->SetSelected(i == static_cast<int>(tab));
}

void CManagementConfigDlg::Focus(ManagementTab tab, int field) {
    ShowTab(tab);
    if (tab == ManagementTab::Wireless) wireless_pane_->Focus(field);
    if (tab == ManagementTab::Ip) ip_pane_->Focus(field);
    if (tab == ManagementTab::Vlan) vlan_pane_->Focus(field);
    if (tab == ManagementTab::TimedReboot) reboot_pane_->Focus(field);
}

void CManagementConfigDlg::Save() {
    std::vector<std::string> stored_ips;
    context_.store.GetAllIps(stored_ips);
    const ManagementInput input{wireless_pane_->Input(), ip_pane_->Input(), vlan_pane_->Input(),
                                reboot_pane_->Input()};
    const SavePlan plan = PlanSave(record_, ip_, mac_, ap_type_, input, stored_ips);
    if (plan.rejection) {
        context_.prompter.Warn(plan.rejection->title, plan.rejection->text, plan.rejection->icon);
        Focus(plan.rejected_by, plan.rejection->field);
        return;
    }
    // A sender of an earlier Save still running is ended first; this Save's commands
    // are copies, so nothing of that one reaches the device afterwards.
    sender_.Stop();
    const std::optional<WaitPlan> wait = WaitAfterSave(plan.save);
    auto flow = std::make_unique<CSendAndWait>(SaveCommands(plan.save), wait);
    if (wait) {
        CWaitDlg window(context_, sender_, std::move(flow), this);
        run_wait_(window);
    } else {
        CFlowExecutor(context_.link, context_.store, sender_)
            .CarryOut(flow->Start(FlowClock::now()));
    }
    accept();
}

}  // namespace fk
