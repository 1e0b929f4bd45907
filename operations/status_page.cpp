#include "operations/status_page.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QUrl>

#include "app/language.h"
#include "app/prompter.h"
#include "config/batch_ip_dlg.h"
#include "operations/batch_switch_dlg.h"
#include "operations/device_rename.h"
#include "operations/site_report_pdf.h"
#include "store/store_view.h"
#include "ui/device_grid.h"
#include "ui/image_button.h"
#include "ui/skin.h"

namespace fk {

namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

}  // namespace

CStatusDlg::CStatusDlg(const UiContext& context, QWidget* parent)
    : CDeviceListPage(context, PAGE_STATUS, parent),
      search_sender_(context.link),
      search_(context.link, context.store, search_sender_),
      ip_sender_(context.link) {
    search_button_ = AddActionButton(FK_TR("Search"));
    set_ip_button_ = AddActionButton(FK_TR("Set IP"));
    set_bridge_button_ = AddActionButton(FK_TR("Set Bridge"));
    slotra_button_ = AddActionButton(FK_TR("Slotra"));
    site_report_button_ = AddListButton(FK_TR("Site report..."));
    site_report_button_->setObjectName(QStringLiteral("siteReport"));
    busy_ = new QLabel(this);
    busy_movie_ = new QMovie(Q(CurrentSkin().ImagePath(SkinImage::WaitAnimation)), {}, this);
    busy_->setMovie(busy_movie_);
    busy_->hide();
    ActionBar()->addWidget(busy_);

    Grid()->SetEditableColumn(ColumnIndex(PAGE_STATUS, ListColumn::Location));
    Grid()->SetLinkColumn(ColumnIndex(PAGE_STATUS, ListColumn::Operate),
                          SkinPixmap(SkinImage::WebButton));

    open_url_ = [](const std::string& url) { QDesktopServices::openUrl(QUrl(Q(url))); };
    run_dialog_ = [](QDialog& dialog) { return dialog.exec() == QDialog::Accepted; };

    refresh_timer_.setSingleShot(true);
    refresh_timer_.setInterval(kRefreshAfterSendMs);
    connect(&search_, &CFlowDriver::stepped, this, &CStatusDlg::OnSearchStep);
    connect(&refresh_timer_, &QTimer::timeout, this, &CStatusDlg::OnRefreshTimer);
    connect(search_button_, &CImageButton::clicked, this, &CStatusDlg::OnSearchClicked);
    connect(set_ip_button_, &CImageButton::clicked, this, &CStatusDlg::OnSetIpClicked);
    connect(set_bridge_button_, &CImageButton::clicked, this,
            [this] { OnSwitchClicked(SwitchKind::TransparentBridge); });
    connect(slotra_button_, &CImageButton::clicked, this,
            [this] { OnSwitchClicked(SwitchKind::Slotra); });
    connect(site_report_button_, &CImageButton::clicked, this, &CStatusDlg::OnSiteReportClicked);
    connect(Grid(), &CDeviceGrid::editFinished, this, &CStatusDlg::OnNameEdited);
    connect(Grid(), &CDeviceGrid::linkClicked, this, &CStatusDlg::OnLinkClicked);
}

CStatusDlg::~CStatusDlg() {
    ip_sender_.Stop();
    bridge_sender_.Stop();
    slotra_sender_.Stop();
    rename_sender_.Stop();
}

void CStatusDlg::JoinSenders() {
    ip_sender_.WaitUntilIdle();
    bridge_sender_.Join();
    slotra_sender_.Join();
    rename_sender_.Join();
}

bool CStatusDlg::SendersBusy() const {
    return ip_sender_.Busy() || bridge_sender_.Busy() || slotra_sender_.Busy() ||
           rename_sender_.Busy();
}

void CStatusDlg::OnSearchClicked() {
    if (search_.Running()) {
        search_.Stop();
        return;
    }
    // Emptying the box refreshes through its change signal only when it held text.
    SearchBox()->blockSignals(true);
    SearchBox()->clear();
    SearchBox()->blockSignals(false);
    state_.SetSearchText("");
    search_.Run(std::make_unique<CSearchSession>());
    RefreshList(1, state_.AscendingForRefresh(), state_.SortColumn(), "");
    busy_->show();
    busy_movie_->start();
    search_button_->setText(Q(Translate("Stop")));
    SetListControlsEnabled(false);
    emit busyChanged(true);
}

void CStatusDlg::OnSearchStep(const FlowStep& step) {
    if (step.Finished()) {
        EndSearch();
    } else if (step.refresh_list) {
        RefreshList(1, state_.AscendingForRefresh(), state_.SortColumn(), state_.SearchText());
    }
}

void CStatusDlg::EndSearch() {
    busy_movie_->stop();
    busy_->hide();
    search_button_->setText(Q(Translate("Search")));
    SetListControlsEnabled(true);
    emit busyChanged(false);
    RefreshCurrent();
}

void CStatusDlg::OnRefreshTimer() {
    refresh_timer_.stop();
    RefreshCurrent();
}

void CStatusDlg::RefreshSoon() {
    refresh_timer_.start(kRefreshAfterSendMs);
}

void CStatusDlg::OnNameEdited(int row, const QString& old_text, const QString& text) {
    const int column = ColumnIndex(PAGE_STATUS, ListColumn::Location);
    const ap_select_stu target = RowDevice(row);
    const RenameDecision decision =
        DecideRename(old_text.toStdString(), text.toStdString(), target.ap_type);
    switch (decision.outcome) {
        case RenameOutcome::Unchanged:
            return;
        case RenameOutcome::Restore:
            Grid()->SetCellText(row, column, old_text.toStdString());
            if (!decision.message.empty())
                context_.prompter.Warn("", Translate(decision.message), MsgIcon::Warning);
            return;
        case RenameOutcome::Send:
            break;
    }
    Grid()->SetCellText(row, column, decision.name);
    IDeviceLink& link = context_.link;
    rename_sender_.Start([&link, target, name = decision.name](std::stop_token stop) {
        SendRename(link, target, name, stop);
    });
    RefreshSoon();
}

void CStatusDlg::OnLinkClicked(int row) {
    if (row < 0 || row >= static_cast<int>(Rows().size()) || Rows()[row].announced) return;
    open_url_("http://" + RowDevice(row).ip);
}

void CStatusDlg::OnSetIpClicked() {
    batch_ = TickedDevices();
    if (batch_.empty()) {
        context_.prompter.Warn("", Translate("Please select the devices!"), MsgIcon::Warning);
        return;
    }
    ap_info_stu first = ZeroRecord();
    context_.store.GetDevice(batch_.front().mac, first);
    CIpsetMutilDlg dialog(context_, batch_, first, ip_sender_, this);
    run_dialog_(dialog);
}

void CStatusDlg::OnSwitchClicked(SwitchKind kind) {
    std::vector<ap_info_stu> ticked;
    for (int row : Grid()->TickedRows()) {
        if (row >= 0 && row < static_cast<int>(Rows().size()))
            ticked.push_back(Rows()[static_cast<std::size_t>(row)].record);
    }
    batch_ = SelectSwitchable(kind, ticked);
    switch_block_ = switch_set_stu{};
    if (batch_.empty()) {
        context_.prompter.Warn("", Translate("Please select configurable devices!"),
                               MsgIcon::Warning);
        return;
    }
    switch_block_ = PresetSwitchBlock(context_.store, kind, batch_.front());
    const int current = switch_block_[SwitchByte(kind)];
    std::unique_ptr<CSwitchSetMultiDlg> dialog;
    if (kind == SwitchKind::TransparentBridge)
        dialog = std::make_unique<CBridgeSetMultiDlg>(current, this);
    else
        dialog = std::make_unique<CSlotraenSetMultiDlg>(current, this);
    if (!run_dialog_(*dialog)) return;

    SetSwitchChoice(switch_block_, kind, dialog->Value() != 0);
    IDeviceLink& link = context_.link;
    CSenderSlot& slot = kind == SwitchKind::TransparentBridge ? bridge_sender_ : slotra_sender_;
    slot.Start([this, &link, kind, block = switch_block_, batch = batch_](std::stop_token stop) {
        SendSwitchBatch(link, kind, block, batch, stop, [this] {
            QMetaObject::invokeMethod(this, &CStatusDlg::RefreshSoon, Qt::QueuedConnection);
        });
    });
}

SiteReport CStatusDlg::MakeSiteReport() const {
    const std::string now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    return BuildSiteReport(context_.store, context_.link, now);
}

void CStatusDlg::OnSiteReportClicked() {
    const std::string path = ChooseSavePath(
        {Translate("Site report..."), "site-report.pdf", Translate("PDF files (*.pdf)"), "pdf"});
    if (path.empty()) return;
    if (WriteSiteReportPdf(MakeSiteReport(), Q(path)) == 0) WarnNotWritten(path);
}

}  // namespace fk
