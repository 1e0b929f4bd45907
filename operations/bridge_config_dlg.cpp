#include "operations/bridge_config_dlg.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/prompter.h"
#include "operations/bridge_search_ap_dlg.h"
#include "operations/bridge_steps_dlg.h"
#include "store/store_view.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

}  // namespace

CBridgeConfigDlg::CBridgeConfigDlg(const UiContext& context, std::string ip, std::string mac,
                                   const ap_info_stu& record, CCommandSender& survey_sender,
                                   CCommandSender& save_sender, QWidget* parent)
    : CSkinFrameDlg(FK_TR("Device bridge"), parent),
      context_(context),
      ip_(std::move(ip)),
      mac_(std::move(mac)),
      record_(record),
      save_sender_(save_sender) {
    resize(760, 520);
    stack_ = new QStackedWidget(this);
    survey_ = new CBridgeSearcgAPDlg(context_, ip_, mac_, survey_sender, this);
    security_ = new CBridgeSecureDlg(this);
    address_ = new CBridgeIPSetDlg(this);
    finish_ = new CBridgeFinishDlg(this);
    for (QWidget* panel : {static_cast<QWidget*>(survey_), static_cast<QWidget*>(security_),
                           static_cast<QWidget*>(address_), static_cast<QWidget*>(finish_)})
        stack_->addWidget(panel);
    Content()->addWidget(stack_, 1);

    back_ = AddButton(FK_TR("Back"));
    next_ = AddButton(FK_TR("Next"));
    connect(back_, &QPushButton::clicked, this, &CBridgeConfigDlg::Back);
    connect(next_, &QPushButton::clicked, this, &CBridgeConfigDlg::Next);
    connect(survey_, &CBridgeSearcgAPDlg::markedChanged, this, [this](bool marked) {
        if (step_ == kStepSurvey) next_->setEnabled(marked);
    });
    ShowStep(kStepSurvey);
    survey_->StartScan();
}

void CBridgeConfigDlg::ShowStep(int step) {
    step_ = step;
    stack_->setCurrentIndex(step);
    back_->setVisible(step != kStepSurvey);
    next_->setText(T(step == kStepFinish ? "Save" : "Next"));
    next_->setEnabled(step != kStepSurvey || !survey_->MarkedMac().empty());
}

void CBridgeConfigDlg::Refuse(const PaneRejection& rejection, int step) {
    context_.prompter.Warn(rejection.title, rejection.text, rejection.icon);
    if (step == kStepSecurity) security_->Focus(rejection.field);
    if (step == kStepAddress) address_->Focus(rejection.field);
}

void CBridgeConfigDlg::Next() {
    switch (step_) {
        case kStepSurvey: {
            const std::string mac = survey_->MarkedMac();
            if (mac.empty()) return;
            // A row the table no longer holds reads as an access point of zeros, as a
            // survey that emptied underneath would leave it.
            ap_ = config_otherwl_basic{};
            context_.store.GetScanEntry(mac, ap_);
            const BridgeSecurityInput shown = PresetSecurityStep(record_, ap_, security_->Input());
            security_->Show(shown, BridgeChannels(record_, ap_.channel));
            ShowStep(kStepSecurity);
            return;
        }
        case kStepSecurity: {
            const BridgeSecurityResult result = CheckSecurityStep(record_, ap_, security_->Input());
            if (result.rejection) return Refuse(*result.rejection, kStepSecurity);
            bridge_block_ = result.block;
            address_->Show(PresetIpStep(record_));
            ShowStep(kStepAddress);
            return;
        }
        case kStepAddress: {
            std::vector<std::string> stored_ips;
            context_.store.GetAllIps(stored_ips);
            const BridgeIpResult result = CheckIpStep(record_, address_->Input(), stored_ips);
            if (result.rejection) return Refuse(*result.rejection, kStepAddress);
            ip_block_ = result.block;
            ShowStep(kStepFinish);
            return;
        }
        default:
            Save();
    }
}

void CBridgeConfigDlg::Back() {
    if (step_ > kStepSurvey) ShowStep(step_ - 1);
}

void CBridgeConfigDlg::Save() {
    // An earlier Save's command still waiting is dropped: this one supersedes it.
    save_sender_.Stop();
    save_sender_.Send({BridgeCommand(ip_, mac_, BridgePayload(bridge_block_, ip_block_))});
    context_.store.ClearScanResults();
    accept();
}

void CBridgeConfigDlg::done(int result) {
    survey_->StopScan();
    CSkinFrameDlg::done(result);
}

void CBridgeConfigDlg::reject() {
    context_.store.ClearScanResults();
    CSkinFrameDlg::reject();
}

}  // namespace fk
