#include "ui/system_tool_page.h"

#include <QHeaderView>
#include <QPainter>
#include <cstdio>

#include "app/language.h"
#include "protocol/device_link.h"
#include "ui/device_grid.h"
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

}  // namespace

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
    const int w = width() - 2 * kMargin;
    count_->setGeometry(kMargin, 8, w, kTopBar - 16);
    grid_->setGeometry(kMargin, kTopBar + 8, w, height() - kTopBar - kFootBar - 16);
    const QSize pager = pager_->sizeHint();
    pager_->setGeometry(width() - kMargin - pager.width(), height() - kFootBar + 6, pager.width(),
                        kFootBar - 12);
}

}  // namespace fk
