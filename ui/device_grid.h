// The grid every device list shows: a tick column with a select-all header, link
// cells, in-place editing of one column, header clicks reported by column, the sort
// column marked, and announced devices drawn in the offline colour.
#pragma once

#include <QPixmap>
#include <QTableWidget>
#include <string>
#include <vector>

namespace fk {

struct GridRow {
    std::vector<std::string> cells;
    bool offline = false;  // drawn in the offline colour; no editing, no links
    // Set for a device the PC cannot reach: the row is drawn in the skin's warning
    // colour and every cell's tooltip says why and what fixes it.
    std::string warning;
};

class CDeviceGrid : public QTableWidget {
    Q_OBJECT
  public:
    explicit CDeviceGrid(QWidget* parent = nullptr);

    // Column 0 becomes a tick column when `tick_column` is set; its header cell is
    // the select-all box.
    void SetColumns(const std::vector<std::string>& headers, bool tick_column);
    // Link cells of reported devices show `image` (the skin's button for the link).
    void SetLinkColumn(int column, const QPixmap& image = {});
    void SetEditableColumn(int column) { editable_column_ = column; }
    // Replaces every data row; ticks start clear.
    void SetRows(const std::vector<GridRow>& rows);

    bool HasTickColumn() const { return tick_column_; }
    bool IsTicked(int row) const;
    void SetTicked(int row, bool ticked);
    void SetAllTicked(bool ticked);
    bool HeaderTicked() const { return header_ticked_; }
    std::vector<int> TickedRows() const;

    std::string CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::string& text);
    bool IsOfflineRow(int row) const;
    // The warning the row was given (its tooltip), empty for none.
    std::string RowWarning(int row) const;

    // Marks the column the list is sorted by, with the direction of the sort.
    void MarkSortColumn(int column, bool ascending);

    // Opens the editor on the editable column of `row`; false for offline rows.
    bool BeginEdit(int row);

  signals:
    void headerClicked(int column);
    void tickHeaderClicked();
    void linkClicked(int row);
    // The editor of the editable column closed with `text`; the grid leaves the cell
    // as it was, so the owner decides what it shows.
    void editFinished(int row, const QString& old_text, const QString& text);
    // The copy keys pressed in the grid; the owner decides what a row copies.
    void copyRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend class CGridEditDelegate;
    void OnCellClicked(int row, int column);
    void OnHeaderClicked(int column);
    void UpdateTickHeader();
    void CommitEdit(int row, const QString& text);

    bool tick_column_ = false;
    bool header_ticked_ = false;
    int link_column_ = -1;
    QPixmap link_image_;
    int editable_column_ = -1;
    QString edit_old_text_;
    std::vector<bool> offline_rows_;
};

}  // namespace fk
