#include "operations/bridge_search_ap_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMovie>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/language.h"
#include "operations/command_sender.h"
#include "operations/site_survey.h"
#include "protocol/device_link.h"
#include "store/store_view.h"
#include "ui/image_button.h"
#include "ui/skin.h"

namespace fk {
namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QString T(const char* key) {
    return Q(Translate(key));
}

SkinImage SignalImage(int index) {
    return static_cast<SkinImage>(static_cast<int>(SkinImage::Signal0) + index);
}

constexpr int kSelectWidth = 56;

}  // namespace

CBridgeSearcgAPDlg::CBridgeSearcgAPDlg(const UiContext& context, std::string ip, std::string mac,
                                       CCommandSender& sender, QWidget* parent)
    : QWidget(parent),
      context_(context),
      ip_(std::move(ip)),
      mac_(std::move(mac)),
      sender_(sender),
      driver_(context.link, context.store, sender) {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(T("SearchOtherAP"), this));
    rescan_ = new CImageButton(this);
    rescan_->setObjectName(QStringLiteral("surveyRescan"));
    rescan_->SetSkinImages(SkinImage::UpdateNormal, SkinImage::UpdateDown);
    top->addWidget(rescan_);
    busy_ = new QLabel(this);
    busy_movie_ = new QMovie(Q(CurrentSkin().ImagePath(SkinImage::WaitAnimation)), {}, this);
    busy_->setMovie(busy_movie_);
    top->addWidget(busy_);
    scanning_label_ = new QLabel(T("Scanning..."), this);
    top->addWidget(scanning_label_);
    top->addStretch(1);
    layout->addLayout(top);

    grid_ = new QTableWidget(this);
    grid_->setColumnCount(kSurveyColumnCount);
    for (int c = 0; c < kSurveyColumnCount; ++c)
        grid_->setHorizontalHeaderItem(c, new QTableWidgetItem(T(SurveyHeaderKey(c))));
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setIconSize(QSize(30, 16));
    grid_->horizontalHeader()->setSectionsClickable(true);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->horizontalHeader()->setSortIndicatorShown(true);
    grid_->setColumnWidth(kSurveySelect, kSelectWidth);
    grid_->setColumnWidth(kSurveySsid, 150);
    grid_->setColumnWidth(kSurveyChannel, 70);
    grid_->setColumnWidth(kSurveyMac, 140);
    grid_->setColumnWidth(kSurveySecure, 170);
    layout->addWidget(grid_, 1);

    connect(rescan_, &CImageButton::clicked, this, &CBridgeSearcgAPDlg::StartScan);
    connect(&driver_, &CFlowDriver::stepped, this, &CBridgeSearcgAPDlg::OnStep);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CBridgeSearcgAPDlg::OnHeaderClicked);
    connect(grid_, &QTableWidget::cellClicked, this, &CBridgeSearcgAPDlg::OnCellClicked);
}

void CBridgeSearcgAPDlg::StartScan() {
    rows_.clear();
    grid_->setRowCount(0);
    state_.ClearMark();
    SetScanning(true);
    emit markedChanged(false);
    // A request still queued from an earlier survey is dropped; this one replaces it.
    sender_.Stop();
    driver_.Run(std::make_unique<CSiteSurvey>(ip_, mac_, context_.link));
}

void CBridgeSearcgAPDlg::StopScan() {
    if (driver_.Running()) driver_.Stop();
}

void CBridgeSearcgAPDlg::SetScanning(bool scanning) {
    scanning_ = scanning;
    busy_->setVisible(scanning);
    scanning_label_->setVisible(scanning);
    rescan_->setVisible(!scanning);
    if (scanning)
        busy_movie_->start();
    else
        busy_movie_->stop();
}

void CBridgeSearcgAPDlg::OnStep(const FlowStep& step) {
    if (!step.Finished()) return;
    SetScanning(false);
    if (step.outcome != FlowOutcome::Stopped) Fill();
}

void CBridgeSearcgAPDlg::Fill() {
    std::vector<config_otherwl_basic> entries;
    context_.store.GetScanList(state_.SortIndex(), entries, state_.Ascending());
    rows_ = SurveyRows(entries);
    state_.ClearMark();
    grid_->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const SurveyRow& row = rows_[static_cast<std::size_t>(r)];
        const QString texts[kSurveyColumnCount] = {QString(),  Q(row.ssid),     Q(row.channel),
                                                   Q(row.mac), Q(row.security), QString()};
        for (int c = 0; c < kSurveyColumnCount; ++c)
            grid_->setItem(r, c, new QTableWidgetItem(texts[c]));
        grid_->item(r, kSurveySignal)
            ->setData(Qt::DecorationRole, SkinPixmap(SignalImage(row.signal_image)));
        grid_->item(r, kSurveySignal)->setData(Qt::UserRole, row.signal_image);
        grid_->item(r, kSurveySignal)->setToolTip(QString::number(row.signal_dbm) + " dBm");
    }
    ShowMarks();
    grid_->horizontalHeader()->setSortIndicator(
        state_.SortColumn(), state_.Ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    emit markedChanged(false);
}

void CBridgeSearcgAPDlg::ShowMarks() {
    for (int r = 0; r < grid_->rowCount(); ++r) {
        if (QTableWidgetItem* cell = grid_->item(r, kSurveySelect))
            cell->setData(Qt::CheckStateRole,
                          r == state_.MarkedRow() ? Qt::Checked : Qt::Unchecked);
    }
}

void CBridgeSearcgAPDlg::OnHeaderClicked(int column) {
    if (!state_.HeaderClicked(column)) {
        grid_->horizontalHeader()->setSortIndicator(
            state_.SortColumn(), state_.Ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
        return;
    }
    // A survey still running fills the list when it ends, in the order chosen now.
    if (scanning_) {
        grid_->horizontalHeader()->setSortIndicator(
            state_.SortColumn(), state_.Ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
        return;
    }
    Fill();
}

void CBridgeSearcgAPDlg::OnCellClicked(int row, int column) {
    if (column != kSurveySelect || row < 0 || row >= grid_->rowCount()) return;
    const bool marked = state_.SelectClicked(row);
    ShowMarks();
    emit markedChanged(marked);
}

std::string CBridgeSearcgAPDlg::MarkedMac() const {
    const int row = state_.MarkedRow();
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    return rows_[static_cast<std::size_t>(row)].mac;
}

}  // namespace fk
