#include "ui/device_list_page.h"

#include <algorithm>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/prompter.h"
#include "operations/list_export.h"
#include "store/store_view.h"
#include "ui/device_grid.h"
#include "ui/image_button.h"
#include "ui/pager.h"
#include "ui/skin.h"

namespace fk {

namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

std::vector<std::string> Headers(int page_code) {
    std::vector<std::string> out;
    for (ListColumn column : PageColumns(page_code)) {
        const std::string key = ColumnHeaderKey(column);
        out.push_back(key.empty() ? key : Translate(key));
    }
    return out;
}

// The pack's text is only trusted to hold "%d": anything else a translator typed
// after a percent sign must not reach a printf.
std::string FormatCount(std::string text, int count) {
    const auto at = text.find("%d");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(count));
    return text;
}

}  // namespace

CDeviceListPage::CDeviceListPage(const UiContext& context, int page_code, QWidget* parent)
    : CPageBase(parent), context_(context), state_(page_code) {
    ApplySkinBackground(*this);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    action_bar_ = new QHBoxLayout;
    top->addLayout(action_bar_);
    top->addStretch(1);
    list_bar_ = new QHBoxLayout;
    top->addLayout(list_bar_);
    search_box_ = new QLineEdit(this);
    search_box_->setObjectName(QStringLiteral("listSearch"));
    search_box_->setFixedWidth(220);
    search_box_->setClearButtonEnabled(true);
    top->addWidget(search_box_);
    layout->addLayout(top);

    grid_ = new CDeviceGrid(this);
    grid_->SetColumns(Headers(page_code), HasTickColumn(page_code));
    layout->addWidget(grid_, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(Q(Translate("Each page number")), this));
    page_size_box_ = new QComboBox(this);
    for (int size : kPageSizes) page_size_box_->addItem(QString::number(size), size);
    page_size_box_->setCurrentIndex(page_size_box_->findData(kDefaultPageSize));
    bottom->addWidget(page_size_box_);
    refresh_button_ = new CImageButton(this);
    refresh_button_->setObjectName(QStringLiteral("listRefresh"));
    refresh_button_->SetSkinImages(SkinImage::UpdateNormal, SkinImage::UpdateDown);
    bottom->addWidget(refresh_button_);
    online_label_ = new QLabel(this);
    bottom->addWidget(online_label_);
    bottom->addStretch(1);
    pager_ = new CPager(this);
    bottom->addWidget(pager_);
    layout->addLayout(bottom);

    connect(grid_, &CDeviceGrid::headerClicked, this, &CDeviceListPage::OnHeaderClicked);
    connect(grid_, &CDeviceGrid::tickHeaderClicked, this, &CDeviceListPage::OnTickHeaderClicked);
    connect(search_box_, &QLineEdit::textChanged, this, &CDeviceListPage::OnSearchTextChanged);
    connect(page_size_box_, &QComboBox::currentIndexChanged, this,
            &CDeviceListPage::OnPageSizeChanged);
    connect(refresh_button_, &CImageButton::clicked, this, &CDeviceListPage::RefreshCurrent);
    connect(pager_, &CPager::pageChosen, this, &CDeviceListPage::GoToPage);
    grid_->MarkSortColumn(state_.SortColumn(), state_.AscendingForRefresh());
    AddListActions();
}

void CDeviceListPage::AddListActions() {
    choose_path_ = FileDialogChooser(this);
    export_button_ = AddListButton(FK_TR("Export..."));
    export_button_->setObjectName(QStringLiteral("listExport"));
    export_action_ = new QAction(Q(Translate("Export...")), this);
    copy_action_ = new QAction(Q(Translate("Copy")), this);
    copy_action_->setShortcut(QKeySequence::Copy);
    copy_action_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid_->addAction(copy_action_);
    grid_->addAction(export_action_);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(export_button_, &CImageButton::clicked, this, &CDeviceListPage::OnExportClicked);
    connect(export_action_, &QAction::triggered, this, &CDeviceListPage::OnExportClicked);
    connect(copy_action_, &QAction::triggered, this, &CDeviceListPage::OnCopyTriggered);
    connect(grid_, &CDeviceGrid::copyRequested, this, &CDeviceListPage::OnCopyTriggered);
}

void CDeviceListPage::RefreshPage() {
    RefreshCurrent();
}

void CDeviceListPage::GoToPage(int index) {
    RefreshList(index, state_.AscendingForRefresh(), state_.SortColumn(), state_.SearchText());
}

void CDeviceListPage::RefreshCurrent() {
    GoToPage(state_.CurrentPage());
}

void CDeviceListPage::RefreshList(int page, bool ascending, int sort_column,
                                  const std::string& text) {
    const ListResult result = QueryList(context_.store, PendingSource(), PageCode(), page,
                                        ascending, sort_column, text, state_.PageSize());
    state_.Remember(page, sort_column);
    rows_ = result.rows;

    std::vector<GridRow> grid_rows;
    for (const ListRow& row : rows_)
        grid_rows.push_back({row.cells, row.announced, row.unreachable});
    grid_->SetRows(grid_rows);
    grid_->MarkSortColumn(sort_column, ascending);
    pager_->SetPages(page, result.page_count);

    online_label_->setText(
        Q(FormatCount(Translate("Online device count:%d"), result.online_count)));
}

ap_select_stu CDeviceListPage::RowDevice(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    return SelectionOf(rows_[static_cast<std::size_t>(row)].record);
}

std::vector<ap_select_stu> CDeviceListPage::TickedDevices() const {
    std::vector<ap_select_stu> out;
    for (int row : grid_->TickedRows()) out.push_back(RowDevice(row));
    return out;
}

CImageButton* CDeviceListPage::AddActionButton(const char* caption_key) {
    auto* button = new CImageButton(this);
    button->SetSkinImage(SkinImage::SearchButton);
    button->setText(Q(Translate(caption_key)));
    action_bar_->addWidget(button);
    return button;
}

CImageButton* CDeviceListPage::AddListButton(const char* caption_key) {
    auto* button = new CImageButton(this);
    button->SetSkinImage(SkinImage::SearchButton);
    button->setText(Q(Translate(caption_key)));
    list_bar_->addWidget(button);
    return button;
}

std::string CDeviceListPage::ChooseSavePath(const SaveRequest& request) const {
    return choose_path_ ? choose_path_(request) : std::string();
}

void CDeviceListPage::WarnNotWritten(const std::string& path) {
    context_.prompter.Warn("", Translate("The file could not be written:") + "\n" + path,
                           MsgIcon::Warning);
}

void CDeviceListPage::OnExportClicked() {
    const std::string path = ChooseSavePath(
        {Translate("Export..."), "devices.csv", Translate("CSV files (*.csv)"), "csv"});
    if (path.empty()) return;
    const std::string csv =
        ListCsv(ExportHeader(PageCode()), ExportRows(context_.store, PendingSource(), state_));
    if (!WriteWholeFile(Q(path), csv)) WarnNotWritten(path);
}

std::vector<int> CDeviceListPage::CopiedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows.empty() ? grid_->TickedRows() : rows;
}

void CDeviceListPage::OnCopyTriggered() {
    // What the grid shows now: a renamed cell or a status the batch pages copied in
    // since the last refresh is what the user selected.
    std::vector<TextRow> copied;
    for (int row : CopiedRows()) {
        std::vector<std::string> shown;
        for (int column = 0; column < grid_->columnCount(); ++column)
            shown.push_back(grid_->CellText(row, column));
        copied.push_back(ExportCells(PageCode(), shown));
    }
    if (copied.empty()) return;
    QGuiApplication::clipboard()->setText(Q(TabSeparatedRows(copied)));
}

void CDeviceListPage::SetListControlsEnabled(bool enabled) {
    search_box_->setEnabled(enabled);
    grid_->setEnabled(enabled);
    page_size_box_->setEnabled(enabled);
}

void CDeviceListPage::OnHeaderClicked(int column) {
    bool ascending = false;
    if (!state_.HeaderClicked(column, ascending)) {
        // The header view moves its indicator on any click; put it back.
        grid_->MarkSortColumn(state_.SortColumn(), state_.AscendingForRefresh());
        return;
    }
    RefreshList(1, ascending, column, state_.SearchText());
}

void CDeviceListPage::OnTickHeaderClicked() {
    grid_->SetAllTicked(state_.ToggleSelectAll());
}

void CDeviceListPage::OnSearchTextChanged(const QString& text) {
    state_.SetSearchText(text.toStdString());
    RefreshList(1, state_.AscendingForRefresh(), state_.SortColumn(), state_.SearchText());
}

void CDeviceListPage::OnPageSizeChanged(int index) {
    state_.SetPageSize(page_size_box_->itemData(index).toInt());
    RefreshList(1, state_.AscendingForRefresh(), state_.SortColumn(), state_.SearchText());
}

}  // namespace fk
