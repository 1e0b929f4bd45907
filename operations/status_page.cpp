#include "operations/status_page.h"

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
#include "store/sql_management.h"
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
    : CDeviceListPage(context, PAGE_STATUS, parent), session_(context.link) {
    search_button_ = AddActionButton(FK_TR("Search"));
    set_ip_button_ = AddActionButton(FK_TR("Set IP"));
    set_bridge_button_ = AddActionButton(FK_TR("Set Bridge"));
    slotra_button_ = AddActionButton(FK_TR("Slotra"));
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

    search_timer_.setInterval(kSearchTickMs);
    refresh_timer_.setSingleShot(true);
    refresh_timer_.setInterval(kRefreshAfterSendMs);
    connect(&search_timer_, &QTimer::timeout, this, &CStatusDlg::OnSearchTick);
    connect(&refresh_timer_, &QTimer::timeout, this, &CStatusDlg::OnRefreshTimer);
    connect(search_button_, &CImageButton::clicked, this, &CStatusDlg::OnSearchClicked);
    connect(set_ip_button_, &CImageButton::clicked, this, &CStatusDlg::OnSetIpClicked);
    connect(set_bridge_button_, &CImageButton::clicked, this,
            [this] { OnSwitchClicked(SwitchKind::TransparentBridge); });
    connect(slotra_button_, &CImageButton::clicked, this,
            [this] { OnSwitchClicked(SwitchKind::Slotra); });
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
    ip_sender_.Join();
    bridge_sender_.Join();
    slotra_sender_.Join();
    rename_sender_.Join();
}

bool CStatusDlg::SendersBusy() const {
    return ip_sender_.Busy() || bridge_sender_.Busy() || slotra_sender_.Busy() ||
           rename_sender_.Busy();
}

void CStatusDlg::OnSearchClicked() {
    if (session_.Running()) {
        StopSearch();
        return;
    }
    session_.Start();
    // Emptying the box refreshes through its change signal only when it held text.
    SearchBox()->blockSignals(true);
    SearchBox()->clear();
    SearchBox()->blockSignals(false);
    state_.SetSearchText("");
    RefreshList(1, state_.AscendingForRefresh(), state_.SortColumn(), "");
    busy_->show();
    busy_movie_->start();
    search_button_->setText(Q(Translate("Stop")));
    SetListControlsEnabled(false);
    emit busyChanged(true);
    search_timer_.start();
}

void CStatusDlg::OnSearchTick() {
    switch (session_.Tick()) {
        case CSearchSession::Step::Wait:
            break;
        case CSearchSession::Step::Refresh:
            RefreshList(1, state_.AscendingForRefresh(), state_.SortColumn(), state_.SearchText());
            break;
        case CSearchSession::Step::Finish:
            StopSearch();
            break;
    }
}

void CStatusDlg::StopSearch() {
    session_.Stop();
    search_timer_.stop();
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
    IDeviceLink& link = context_.link;
    CIpsetMutilDlg dialog(
        context_, batch_, first,
        [this, &link](const ip_range_stu& range) {
            ip_range_ = range;
            ip_sender_.Start([&link, batch = batch_, range](std::stop_token stop) {
                SendBatchIp(link, batch, range, stop);
            });
        },
        this);
    run_dialog_(dialog);
}

void CStatusDlg::OnSwitchClicked(SwitchKind kind) {
    const int column = ColumnIndex(PAGE_STATUS, kind == SwitchKind::TransparentBridge
                                                    ? ListColumn::TransparentBridge
                                                    : ListColumn::Slotra);
    std::vector<SwitchCandidate> ticked;
    for (int row : Grid()->TickedRows())
        ticked.push_back({RowDevice(row), Grid()->CellText(row, column)});
    batch_ = SelectSwitchable(ticked);
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

}  // namespace fk
