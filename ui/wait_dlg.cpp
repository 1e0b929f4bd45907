#include "ui/wait_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "app/language.h"
#include "ui/image_button.h"

namespace fk {

CWaitDlg::CWaitDlg(const UiContext& context, CCommandSender& sender, std::unique_ptr<IFlow> flow,
                   QWidget* parent)
    : CSkinDialog(parent, Qt::FramelessWindowHint | Qt::Dialog),
      driver_(context.link, context.store, sender),
      flow_(std::move(flow)) {
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    label_ = new QLabel(this);
    top->addWidget(label_, 1);
    close_ = new CImageButton(this);
    close_->SetSkinImage(SkinImage::CloseWait);
    top->addWidget(close_, 0, Qt::AlignTop | Qt::AlignRight);
    layout->addLayout(top);
    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);
    progress_->setMinimumWidth(320);
    layout->addWidget(progress_);

    connect(&driver_, &CFlowDriver::stepped, this, &CWaitDlg::OnStep);
    connect(close_, &CImageButton::clicked, this, &CWaitDlg::OnCloseClicked);
}

void CWaitDlg::OnCloseClicked() {
    closed_by_user_ = true;
    driver_.Stop();
}

void CWaitDlg::showEvent(QShowEvent* event) {
    CSkinDialog::showEvent(event);
    StartFlow();
}

void CWaitDlg::StartFlow() {
    if (flow_) driver_.Run(std::move(flow_));
}

void CWaitDlg::OnStep(const FlowStep& step) {
    if (step.progress) {
        progress_->setRange(step.progress->minimum, step.progress->maximum);
        progress_->setValue(step.progress->position);
        if (!step.progress->label.empty())
            label_->setText(QString::fromStdString(Translate(step.progress->label)));
    }
    emit stepped(step);
    if (ended_ || !(step.Finished() || step.wait_over)) return;
    ended_ = true;
    if (closed_by_user_ || step.outcome == FlowOutcome::Stopped) {
        reject();
    } else {
        accept();
    }
}

}  // namespace fk
