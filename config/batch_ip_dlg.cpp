#include "config/batch_ip_dlg.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/language.h"
#include "config/validation.h"
#include "ui/ipv4_field.h"

namespace fk {

namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

QString Text(const std::uint8_t (&o)[4]) {
    return QString::fromStdString(IpOctetsToText(o));
}

}  // namespace

CIpsetMutilDlg::CIpsetMutilDlg(const UiContext& context, std::vector<ap_select_stu> selection,
                               const ap_info_stu& first, CCommandSender& sender, QWidget* parent)
    : CSkinFrameDlg(FK_TR("Set IP"), parent),
      context_(context),
      selection_(std::move(selection)),
      sender_(sender),
      driver_(context.link, context.store, sender) {
    auto* form = new QFormLayout;
    const char* captions[6] = {FK_TR("IP_Address_Begin"), FK_TR("IP_Address_End"),
                               FK_TR("Sub_Network"),      FK_TR("Gate_Way"),
                               FK_TR("Major_Dns"),        FK_TR("Dns")};
    for (int i = 0; i < 6; ++i) {
        fields_[i] = new QLineEdit(this);
        MakeIpv4Field(fields_[i]);
        auto* label = new QLabel(T(captions[i]), this);
        if (i == 0) begin_label_ = label;
        if (i == 1) end_label_ = label;
        form->addRow(label, fields_[i]);
    }
    Content()->addLayout(form);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 2 * CBatchIpFlow::kSeconds);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->hide();
    Content()->addWidget(progress_);
    save_ = AddButton(FK_TR("Save"));
    cancel_ = AddButton(FK_TR("Cancel"));

    const ap_report_stu& r = first.report;
    BeginField()->setText(Text(r.ip));
    MaskField()->setText(Text(r.ip_mask));
    GatewayField()->setText(Text(r.ip_gateway));
    Dns1Field()->setText(Text(r.ip_dns1));
    Dns2Field()->setText(Text(r.ip_dns2));
    if (selection_.size() == 1) {
        begin_label_->setText(T("IP_Address"));
        end_label_->hide();
        EndField()->hide();
    }

    connect(&driver_, &CFlowDriver::stepped, this, &CIpsetMutilDlg::OnStep);
    connect(save_, &QPushButton::clicked, this, &CIpsetMutilDlg::Save);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

std::string CIpsetMutilDlg::FieldText(int index) const {
    const std::string text = fields_[index]->text().trimmed().toStdString();
    return text.empty() ? "0.0.0.0" : text;
}

void CIpsetMutilDlg::Save() {
    ip_range_stu range;
    const IpRangeInput typed{FieldText(0), FieldText(1), FieldText(2),
                             FieldText(3), FieldText(4), FieldText(5)};
    const ValidationResult check =
        CollectIpRange(typed, static_cast<int>(selection_.size()), range);
    if (!ShowValidationMessage(context_.prompter, check)) return;

    for (QLineEdit* field : fields_) field->setEnabled(false);
    save_->setEnabled(false);
    cancel_->setEnabled(false);
    progress_->show();
    // A new Save ends what an earlier one has not sent yet.
    sender_.Stop();
    driver_.Run(std::make_unique<CBatchIpFlow>(selection_, range));
}

void CIpsetMutilDlg::OnCloseClicked() {
    // The commands already handed to the page's sender stay handed; only the
    // rediscovery passes of the progress are given up.
    if (driver_.Running())
        driver_.Stop();
    else
        reject();
}

void CIpsetMutilDlg::OnStep(const FlowStep& step) {
    if (step.progress) progress_->setValue(step.progress->position);
    if (!step.Finished()) return;
    if (step.outcome == FlowOutcome::Stopped)
        reject();
    else
        accept();
}

}  // namespace fk
