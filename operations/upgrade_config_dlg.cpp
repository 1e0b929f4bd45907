#include "operations/upgrade_config_dlg.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/program_dir.h"
#include "app/prompter.h"
#include "store/store_view.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

class CProgramFileServer final : public IUpgradeServer {
  public:
    explicit CProgramFileServer(std::uint16_t port) : control_(DefaultFileServerPaths()) {
        if (port != 0) control_.SetPort(port);
    }
    FileServerStart Start(const std::string& image_path, std::stop_token stop) override {
        control_.EndLeftover();
        return control_.Start(image_path, stop);
    }
    void Stop() override { control_.Stop(); }

  private:
    CFileServerControl control_;
};

// The chooser's filter comes from the language pack in the old "a|b|c|d||" form.
QString QtFilter() {
    const QStringList parts =
        T("Files (*.bin)|*.bin|All files (*.*)|*.*||").split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i];
    return filters.join(";;");
}

}  // namespace

std::unique_ptr<IUpgradeServer> MakeProgramFileServer(std::uint16_t port) {
    return std::make_unique<CProgramFileServer>(port);
}

CUpgradeConfigDlg::CUpgradeConfigDlg(const UiContext& context, CCommandSender& sender,
                                     std::vector<ap_select_stu> selection,
                                     std::unique_ptr<IUpgradeServer> server, QWidget* parent)
    : CSkinFrameDlg(FK_TR("Device upgrade"), parent),
      context_(context),
      selection_(std::move(selection)),
      server_(std::move(server)),
      driver_(context.link, context.store, sender),
      choose_([](QWidget* owner) {
          QFileDialog dialog(owner);
          dialog.setFileMode(QFileDialog::ExistingFile);
          dialog.setNameFilter(QtFilter());
          dialog.setOption(QFileDialog::ReadOnly, false);
          return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                     ? dialog.selectedFiles().front()
                     : QString();
      }) {
    resize(520, 220);
    auto* type_row = new QHBoxLayout;
    type_row->addWidget(new QLabel(T("Type"), this));
    type_box_ = new QComboBox(this);
    for (const UpgradeType& type : UpgradeTypes(selection_))
        type_box_->addItem(QString::fromStdString(type.name), type.code);
    type_box_->setCurrentIndex(0);
    type_row->addWidget(type_box_, 1);
    Content()->addLayout(type_row);

    auto* file_row = new QHBoxLayout;
    file_row->addWidget(new QLabel(T("ChooseFile"), this));
    file_edit_ = new QLineEdit(this);
    file_edit_->setReadOnly(true);
    file_row->addWidget(file_edit_, 1);
    scan_ = new QPushButton(T("Scan"), this);
    file_row->addWidget(scan_);
    Content()->addLayout(file_row);

    progress_label_ = new QLabel(this);
    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);
    progress_label_->hide();
    progress_->hide();
    Content()->addWidget(progress_label_);
    Content()->addWidget(progress_);

    upgrade_ = AddButton(FK_TR("Upgrade"));

    connect(scan_, &QPushButton::clicked, this, &CUpgradeConfigDlg::OnScanClicked);
    connect(upgrade_, &QPushButton::clicked, this, &CUpgradeConfigDlg::OnUpgradeClicked);
    connect(&driver_, &CFlowDriver::stepped, this, &CUpgradeConfigDlg::OnStep);
}

CUpgradeConfigDlg::~CUpgradeConfigDlg() {
    if (driver_.Running()) driver_.Stop();
    EndServer();
}

void CUpgradeConfigDlg::OnScanClicked() {
    const QString path = choose_(this);
    if (!path.isEmpty()) file_edit_->setText(path);
}

void CUpgradeConfigDlg::OnUpgradeClicked() {
    const std::string title = Translate("CPEManagement");
    UpgradeFile file;
    const std::string refused = CheckUpgradeFile(file_edit_->text().toStdString(), file);
    if (!refused.empty()) {
        context_.prompter.Warn(title, Translate(refused), MsgIcon::Warning);
        return;
    }
    if (!context_.prompter.Confirm(Translate("Are you sure you want to upgrade?"))) return;
    file_ = file;
    const auto type = static_cast<std::uint16_t>(type_box_->currentData().toInt());
    scan_->setEnabled(false);
    upgrade_->hide();
    type_box_->setEnabled(false);
    progress_label_->show();
    progress_->show();
    auto flow = std::make_unique<CUpgradeFlow>(
        selection_, type, UpgradePayload(file.name, file.size), context_.store, write_seconds_);
    ended_ = false;
    driver_.Run(std::move(flow));
}

void CUpgradeConfigDlg::OnCloseClicked() {
    if (driver_.Running()) {
        driver_.Stop();
    } else {
        EndServer();
        reject();
    }
}

void CUpgradeConfigDlg::ShowProgress(const FlowProgress& progress) {
    progress_->setRange(progress.minimum, progress.maximum);
    progress_->setValue(progress.position);
    if (!progress.label.empty())
        progress_label_->setText(QString::fromStdString(Translate(progress.label)));
}

void CUpgradeConfigDlg::OnStep(const FlowStep& step) {
    if (step.progress) ShowProgress(*step.progress);
    if (!step.statuses.empty()) emit statusesChanged(step.statuses);
    if (step.file_server == FileServerAction::Start) {
        PrepareServer(step);
    } else if (step.file_server == FileServerAction::Stop) {
        EndServer();
    }
    if (ended_ || !step.Finished()) return;
    ended_ = true;
    scan_->setEnabled(true);
    upgrade_->show();
    if (step.outcome == FlowOutcome::Stopped) {
        reject();
    } else {
        accept();
    }
}

// Copying the image and waiting for the server to bind take seconds; the flow holds
// meanwhile, so no radio hears of an image before it is served.
void CUpgradeConfigDlg::PrepareServer(const FlowStep& step) {
    StopPreparing();
    driver_.Hold();
    resume_progress_ = step.progress;
    progress_label_->setText(T("Preparing the upgrade file..."));
    progress_->setRange(0, 0);
    awaiting_server_ = true;
    preparing_ =
        std::jthread([this, server = server_.get(), path = file_.path](std::stop_token stop) {
            const FileServerStart start = server->Start(path, stop);
            // Queued to the window, which joins this thread before it goes away.
            QMetaObject::invokeMethod(
                this, [this, start] { OnServerPrepared(start); }, Qt::QueuedConnection);
        });
}

void CUpgradeConfigDlg::OnServerPrepared(const FileServerStart& start) {
    if (!awaiting_server_) return;  // the upgrade was abandoned meanwhile
    StopPreparing();
    serving_ = start.Serving();
    if (!serving_) {
        // Nothing has been sent yet: the commands wait for the server.
        context_.prompter.Warn(Translate("CPEManagement"),
                               Translate("The file server could not start!") + "\n" + start.message,
                               MsgIcon::Warning);
        driver_.Stop();
        return;
    }
    if (resume_progress_) ShowProgress(*resume_progress_);
    driver_.Resume();
}

void CUpgradeConfigDlg::StopPreparing() {
    awaiting_server_ = false;
    if (!preparing_.joinable()) return;
    preparing_.request_stop();
    preparing_.join();
}

void CUpgradeConfigDlg::EndServer() {
    StopPreparing();
    if (server_) server_->Stop();
    serving_ = false;
}

}  // namespace fk
