#include "ui/system_tool_page.h"

#include <QHeaderView>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include <unistd.h>

#include "app/language.h"
#include "app/program_dir.h"
#include "operations/diagnosis_probes.h"
#include "protocol/device_link.h"
#include "store/store_view.h"
#include "ui/device_grid.h"
#include "ui/image_button.h"
#include "ui/pager.h"
#include "ui/skin.h"
#include "ui/skin_static.h"
#include "ui/translate_widgets.h"

namespace fk {
namespace {

struct Column {
    const char* header;
    int width;
};
constexpr std::array<Column, 4> kColumns = {
    {{FK_TR("ID"), 60}, {FK_TR("Description"), 400}, {FK_TR("MAC"), 140}, {FK_TR("IP"), 400}}};

constexpr std::array<Column, 4> kDiagnosisColumns = {
    {{"Check", 100}, {"Status", 80}, {"Finding", 420}, {"Fix", 480}}};
constexpr int kDiagnoseWidth = 120;
constexpr int kEveryRow = 1 << 30;
constexpr int kSortByAddress = 1;
constexpr int kMaxPendingListed = 100000;

constexpr int kMargin = 16;
constexpr int kTopBar = 48;
constexpr int kFootBar = 44;

std::string MacText(const std::array<std::uint8_t, 6>& mac) {
    char text[18];
    std::snprintf(text, sizeof(text), "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::string CountText(std::size_t count) {
    const std::string format = Translate("Adapter count:%d");
    // The pack supplies the format; only a single %d in it is honoured, so a
    // translator's stray directive can never read past the argument list.
    const std::size_t at = format.find("%d");
    if (at == std::string::npos) return format + std::to_string(count);
    return format.substr(0, at) + std::to_string(count) + format.substr(at + 2);
}

// Every radio heard: those that reported and those that only announced themselves.
std::vector<ap_info_stu> HeardRadios(const UiContext& context) {
    std::vector<ap_info_stu> heard;
    int page_count = 0;
    int online = 0;
    context.store.QueryDevicePage(kSortByAddress, heard, page_count, online, kEveryRow, 1, true,
                                  "");
    std::vector<ap_info_stu> pending;
    context.link.ListPendingDevices(kMaxPendingListed, "", pending);
    heard.insert(heard.end(), pending.begin(), pending.end());
    return heard;
}

}  // namespace

GridRow DiagnosisRow(const DiagnosisLine& line) {
    GridRow row{
        {line.check, Translate(SeverityName(line.severity)), line.finding, line.fix}, false, {}};
    if (line.severity == DiagnosisSeverity::Blocking) row.warning = line.fix;
    return row;
}

std::array<std::string, 4> AdapterRowCells(std::size_t position, const adapter_info_stu& adapter) {
    std::string addresses;
    for (std::size_t k = 0; k < adapter.addresses.size(); ++k) {
        addresses += adapter.addresses[k].ip;
        if (k + 1 < adapter.addresses.size()) addresses += "--";
    }
    const std::string& description =
        adapter.description.empty() ? adapter.name : adapter.description;
    return {std::to_string(position + 1), description, MacText(adapter.mac), addresses};
}

CSystemToolDlg::CSystemToolDlg(const UiContext& context, QWidget* parent)
    : CPageBase(parent), context_(context) {
    const SkinValues& skin = CurrentSkin();
    ApplySkinBackground(*this);

    grid_ = new CDeviceGrid(this);
    std::vector<std::string> headers;
    for (const auto& column : kColumns) headers.push_back(Translate(column.header));
    grid_->SetColumns(headers, false);
    grid_->horizontalHeader()->setStretchLastSection(true);
    ApplyColumnWidths();

    pager_ = new CPager(this);
    pager_->SetPages(1, 1);

    count_ = new CSkinStatic(this);
    count_->SetTextColor(skin.static_text_number_color);
    count_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    diagnose_button_ = new CImageButton(this);
    diagnose_button_->SetSkinImage(SkinImage::SearchButton);
    diagnose_button_->setText(QString::fromStdString(Translate("Diagnose")));
    connect(diagnose_button_, &CImageButton::clicked, this, &CSystemToolDlg::StartDiagnosis);

    diagnosis_ = new CDeviceGrid(this);
    std::vector<std::string> diagnosis_headers;
    for (const auto& column : kDiagnosisColumns)
        diagnosis_headers.push_back(Translate(column.header));
    diagnosis_->SetColumns(diagnosis_headers, false);
    diagnosis_->horizontalHeader()->setStretchLastSection(true);
    diagnosis_->hide();

    TranslateWindow(this);
    RefreshAdapters();
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &CSystemToolDlg::RefreshAdapters);
    timer_.start();
}

void CSystemToolDlg::RefreshAdapters() {
    adapters_.clear();
    context_.link.GetLocalAdapters(adapters_);
    std::vector<GridRow> rows;
    rows.reserve(adapters_.size());
    for (std::size_t i = 0; i < adapters_.size(); ++i) {
        const auto cells = AdapterRowCells(i, adapters_[i]);
        rows.push_back({{cells.begin(), cells.end()}, false});
    }
    grid_->SetRows(rows);
    // The grid fits its columns to each new content; this page keeps its fixed widths
    // so the columns do not jump every five seconds.
    ApplyColumnWidths();
    count_->setText(QString::fromStdString(CountText(adapters_.size())));
    count_->update();
}

void CSystemToolDlg::StartDiagnosis() {
    diagnose_button_->setEnabled(false);
    context_.link.SearchDevices();
    QTimer::singleShot(kDiagnoseSearchMs, this, &CSystemToolDlg::ShowDiagnosis);
}

void CSystemToolDlg::ShowDiagnosis() {
    // This program's own engine holds the radio ports; only another one is in the way.
    DiagnosisFacts facts = ProbeSystem(FileServerExecutable(), getpid());
    AddRadioFacts(context_.link, HeardRadios(context_), facts);
    lines_ = Diagnose(facts);
    // What stands in the way first, then what is worth knowing, then what is fine.
    std::stable_sort(lines_.begin(), lines_.end(),
                     [](const DiagnosisLine& a, const DiagnosisLine& b) {
                         return static_cast<int>(a.severity) > static_cast<int>(b.severity);
                     });
    std::vector<GridRow> rows;
    for (const DiagnosisLine& line : lines_) rows.push_back(DiagnosisRow(line));
    diagnosis_->SetRows(rows);
    for (std::size_t c = 0; c < kDiagnosisColumns.size(); ++c)
        diagnosis_->setColumnWidth(static_cast<int>(c), kDiagnosisColumns[c].width);
    diagnosis_->show();
    diagnose_button_->setEnabled(true);
    LayOut();
}

void CSystemToolDlg::ApplyColumnWidths() {
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        grid_->setColumnWidth(static_cast<int>(c), kColumns[c].width);
}

void CSystemToolDlg::paintEvent(QPaintEvent* event) {
    CPageBase::paintEvent(event);
    QPainter painter(this);
    painter.setPen(ToQColor(CurrentSkin().line_color));
    painter.drawLine(kMargin, kTopBar - 1, width() - kMargin, kTopBar - 1);
    painter.drawLine(kMargin, height() - kFootBar, width() - kMargin, height() - kFootBar);
}

void CSystemToolDlg::resizeEvent(QResizeEvent* event) {
    CPageBase::resizeEvent(event);
    LayOut();
}

void CSystemToolDlg::LayOut() {
    const int w = width() - 2 * kMargin;
    count_->setGeometry(kMargin, 8, w - kDiagnoseWidth - 8, kTopBar - 16);
    diagnose_button_->setGeometry(width() - kMargin - kDiagnoseWidth, 8, kDiagnoseWidth,
                                  kTopBar - 16);
    const int top = kTopBar + 8;
    const int room = height() - kTopBar - kFootBar - 16;
    if (diagnosis_->isVisible()) {
        // The adapters keep a quarter; the checks and their fixes need the rest.
        const int adapters = room / 4;
        grid_->setGeometry(kMargin, top, w, adapters);
        diagnosis_->setGeometry(kMargin, top + adapters + 8, w, room - adapters - 8);
    } else {
        grid_->setGeometry(kMargin, top, w, room);
    }
    const QSize pager = pager_->sizeHint();
    pager_->setGeometry(width() - kMargin - pager.width(), height() - kFootBar + 6, pager.width(),
                        kFootBar - 12);
}

}  // namespace fk
