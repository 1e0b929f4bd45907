// The list behaviour the six device pages share: search box filtering while typed,
// page size, pager, refresh button, header sorting, serial numbers, online count and,
// where the page acts on several devices, ticks with select-all; and the list out of
// the program: export to a CSV file and copy of the selected rows.
#pragma once

#include <QPixmap>
#include <string>
#include <vector>

#include "operations/device_list_model.h"
#include "ui/page.h"
#include "ui/save_file.h"

class QAction;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace fk {

class CDeviceGrid;
class CImageButton;
class CPager;

class CDeviceListPage : public CPageBase {
    Q_OBJECT
  public:
    CDeviceListPage(const UiContext& context, int page_code, QWidget* parent);

    int PageCode() const override { return state_.PageCode(); }
    void RefreshPage() override;
    void GoToPage(int index) override;

    // One refresh of the list: the store's page, sorted by the grid column.
    void RefreshList(int page, bool ascending, int sort_column, const std::string& text);

    CDeviceGrid* Grid() const { return grid_; }
    CPager* Pager() const { return pager_; }
    QLineEdit* SearchBox() const { return search_box_; }
    QComboBox* PageSizeBox() const { return page_size_box_; }
    QLabel* OnlineLabel() const { return online_label_; }
    const CListState& State() const { return state_; }
    const std::vector<ListRow>& Rows() const { return rows_; }

    // The device of the record a row shows; an empty one for a row that does not exist.
    ap_select_stu RowDevice(int row) const;
    // The ticked rows' devices, in grid order.
    std::vector<ap_select_stu> TickedDevices() const;

    void SetSavePathChooser(SavePathChooser chooser) { choose_path_ = std::move(chooser); }
    CImageButton* ExportButton() const { return export_button_; }
    QAction* ExportAction() const { return export_action_; }
    QAction* CopyAction() const { return copy_action_; }
    // Writes every row the search and sort select to a file the user names.
    void OnExportClicked();
    // The selected rows, or the ticked ones where none is selected, to the clipboard.
    void OnCopyTriggered();

  protected:
    // Devices shown after the stored ones on the last page; only the status page has
    // any.
    virtual IDeviceLink* PendingSource() { return nullptr; }
    // The bar above the grid where a page puts its action buttons.
    QHBoxLayout* ActionBar() const { return action_bar_; }
    CImageButton* AddActionButton(const char* caption_key);
    // A button beside the search box, for what takes the list out of the program.
    CImageButton* AddListButton(const char* caption_key);
    // An empty path: the user cancelled.
    std::string ChooseSavePath(const SaveRequest& request) const;
    void WarnNotWritten(const std::string& path);
    void SetListControlsEnabled(bool enabled);
    void RefreshCurrent();

    const UiContext& context_;
    CListState state_;

  private:
    void OnHeaderClicked(int column);
    void OnTickHeaderClicked();
    void OnSearchTextChanged(const QString& text);
    void OnPageSizeChanged(int index);
    void AddListActions();
    std::vector<int> CopiedRows() const;

    CDeviceGrid* grid_ = nullptr;
    CPager* pager_ = nullptr;
    QLineEdit* search_box_ = nullptr;
    QComboBox* page_size_box_ = nullptr;
    QLabel* online_label_ = nullptr;
    QHBoxLayout* action_bar_ = nullptr;
    CImageButton* refresh_button_ = nullptr;
    QHBoxLayout* list_bar_ = nullptr;
    CImageButton* export_button_ = nullptr;
    QAction* export_action_ = nullptr;
    QAction* copy_action_ = nullptr;
    SavePathChooser choose_path_;
    std::vector<ListRow> rows_;
};

}  // namespace fk
