#include "ui/device_grid.h"

#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "app/skin_values.h"
#include "ui/skin.h"

namespace fk {

namespace {

constexpr int kTickWidth = 36;
const QString kHeaderClear = QStringLiteral("\u2610");
const QString kHeaderTicked = QStringLiteral("\u2611");

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

}  // namespace

// Hands the edited text to the grid instead of writing it: the name only changes
// once the owner has accepted it, so a rejected name never flashes in the cell.
class CGridEditDelegate : public QStyledItemDelegate {
  public:
    explicit CGridEditDelegate(CDeviceGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            grid_->CommitEdit(index.row(), line->text());
    }

  private:
    CDeviceGrid* grid_;
};

CDeviceGrid::CDeviceGrid(QWidget* parent) : QTableWidget(parent) {
    const SkinValues& skin = CurrentSkin();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(skin.grid_row_height);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows at once, for copying them out.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setWordWrap(false);
    setItemDelegate(new CGridEditDelegate(this));

    horizontalHeader()->setFont(ToQFont(skin.grid_title_font));
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; padding: 4px; }")
            .arg(ToQColor(skin.grid_title_bk_color).name(),
                 ToQColor(skin.grid_title_text_color).name()));
    setFont(ToQFont(skin.grid_font));

    connect(this, &QTableWidget::cellClicked, this, &CDeviceGrid::OnCellClicked);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CDeviceGrid::OnHeaderClicked);
}

void CDeviceGrid::SetColumns(const std::vector<std::string>& headers, bool tick_column) {
    tick_column_ = tick_column;
    setColumnCount(static_cast<int>(headers.size()));
    for (int c = 0; c < columnCount(); ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem(Q(headers[c])));
    if (tick_column_) {
        horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
        setColumnWidth(0, kTickWidth);
        UpdateTickHeader();
    }
}

void CDeviceGrid::SetLinkColumn(int column, const QPixmap& image) {
    link_column_ = column;
    link_image_ = image;
    if (!image.isNull()) setIconSize(image.size());
}

void CDeviceGrid::SetRows(const std::vector<GridRow>& rows) {
    const SkinValues& skin = CurrentSkin();
    const QColor normal = ToQColor(skin.grid_text_color);
    const QColor offline = ToQColor(skin.text_unline_color);
    const QColor warning = ToQColor(skin.text_down_color);
    setRowCount(0);
    setRowCount(static_cast<int>(rows.size()));
    offline_rows_.clear();
    for (int r = 0; r < rowCount(); ++r) {
        const GridRow& row = rows[r];
        offline_rows_.push_back(row.offline);
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem(
                c < static_cast<int>(row.cells.size()) ? Q(row.cells[c]) : QString());
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c == editable_column_ && !row.offline) flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            item->setForeground(row.offline ? offline : normal);
            if (!row.warning.empty()) {
                item->setForeground(warning);
                item->setToolTip(Q(row.warning));
            }
            if (tick_column_ && c == 0) {
                item->setText(QString());
                item->setCheckState(Qt::Unchecked);
            }
            if (c == link_column_ && !row.offline && !link_image_.isNull()) {
                item->setData(Qt::DecorationRole, link_image_);
            } else if (c == link_column_ && !row.offline) {
                QFont f = font();
                f.setUnderline(true);
                item->setFont(f);
                item->setForeground(QColor(0, 102, 204));
            }
            setItem(r, c, item);
        }
    }
    // Addresses and MACs must be readable whole; the grid scrolls sideways instead.
    resizeColumnsToContents();
    if (tick_column_) setColumnWidth(0, kTickWidth);
}

std::string CDeviceGrid::RowWarning(int row) const {
    const QTableWidgetItem* it = columnCount() > 0 ? item(row, columnCount() - 1) : nullptr;
    return it ? it->toolTip().toStdString() : std::string();
}

bool CDeviceGrid::IsTicked(int row) const {
    const QTableWidgetItem* it = tick_column_ ? item(row, 0) : nullptr;
    return it && it->checkState() == Qt::Checked;
}

void CDeviceGrid::SetTicked(int row, bool ticked) {
    if (QTableWidgetItem* it = tick_column_ ? item(row, 0) : nullptr)
        it->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void CDeviceGrid::SetAllTicked(bool ticked) {
    for (int r = 0; r < rowCount(); ++r) SetTicked(r, ticked);
    header_ticked_ = ticked;
    UpdateTickHeader();
}

std::vector<int> CDeviceGrid::TickedRows() const {
    std::vector<int> out;
    for (int r = 0; r < rowCount(); ++r)
        if (IsTicked(r)) out.push_back(r);
    return out;
}

std::string CDeviceGrid::CellText(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text().toStdString() : std::string();
}

void CDeviceGrid::SetCellText(int row, int column, const std::string& text) {
    if (QTableWidgetItem* it = item(row, column)) it->setText(Q(text));
}

bool CDeviceGrid::IsOfflineRow(int row) const {
    return row >= 0 && row < static_cast<int>(offline_rows_.size()) && offline_rows_[row];
}

void CDeviceGrid::MarkSortColumn(int column, bool ascending) {
    horizontalHeader()->setSortIndicatorShown(column >= 0 && column < columnCount());
    horizontalHeader()->setSortIndicator(column,
                                         ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

bool CDeviceGrid::BeginEdit(int row) {
    QTableWidgetItem* it = item(row, editable_column_);
    if (!it || IsOfflineRow(row)) return false;
    edit_old_text_ = it->text();
    setCurrentItem(it);
    editItem(it);
    return true;
}

void CDeviceGrid::OnCellClicked(int row, int column) {
    if (tick_column_ && column == 0) {
        SetTicked(row, !IsTicked(row));
        return;
    }
    if (column == editable_column_) {
        BeginEdit(row);
        return;
    }
    if (column == link_column_ && !IsOfflineRow(row)) emit linkClicked(row);
}

void CDeviceGrid::OnHeaderClicked(int column) {
    if (tick_column_ && column == 0) {
        emit tickHeaderClicked();
        return;
    }
    emit headerClicked(column);
}

void CDeviceGrid::UpdateTickHeader() {
    if (QTableWidgetItem* it = tick_column_ ? horizontalHeaderItem(0) : nullptr)
        it->setText(header_ticked_ ? kHeaderTicked : kHeaderClear);
}

void CDeviceGrid::CommitEdit(int row, const QString& text) {
    emit editFinished(row, edit_old_text_, text);
}

void CDeviceGrid::keyPressEvent(QKeyEvent* event) {
    // The item view's own copy takes the current cell alone.
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace fk
