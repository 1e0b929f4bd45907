// What every device list page shares, without the widgets: which columns a page
// shows, which store column a header sorts by, the direction rule of header clicks,
// the page arithmetic, and the text of every cell.
#pragma once

#include <string>
#include <vector>

#include "store/device_record.h"
#include "ui/page_codes.h"

namespace fk {

class IStoreView;
class IDeviceLink;

enum class ListColumn {
    Tick,
    Serial,
    Location,
    Type,
    Ip,
    Mac,
    OperationMode,
    Ssid,
    Channel,
    SecureMode,
    Power,
    Version,
    TransparentBridge,
    Slotra,
    Time,
    Status,
    Operate,
};

inline constexpr int kSortByIpNum = 1;
inline constexpr int kDefaultPageSize = 30;
inline constexpr int kPageSizes[] = {15, 30, 50, 100};
// A page size that makes one page of every row: the store pages each query, and what
// leaves the program (export, the site report) wants them all.
inline constexpr int kEveryRowPageSize = 1 << 30;

const std::vector<ListColumn>& PageColumns(int page_code);
bool HasTickColumn(int page_code);
int ColumnIndex(int page_code, ListColumn column);  // -1 when the page lacks it
// The language key of a column header; the tick column has none.
std::string ColumnHeaderKey(ListColumn column);
// The store's sort index for a grid column, or -1 when its header does not sort.
int SortIndexForColumn(int page_code, int grid_column);
// What a refresh sorts by: unsortable columns fall back to the address order.
int EffectiveSortIndex(int page_code, int grid_column);

// Running number of a row across pages, from 1.
int SerialNumber(int page, int page_size, int row);
// The page the pager shows: a list that shrank below the current page shows page 1.
int PagerPage(int current_page, int page_count);

std::string CellText(ListColumn column, const ap_info_stu& record, int serial);

// The state one list page keeps between refreshes.
class CListState {
  public:
    explicit CListState(int page_code);

    int PageCode() const { return page_code_; }
    int SortColumn() const { return sort_column_; }
    int CurrentPage() const { return current_page_; }
    int PageSize() const { return page_size_; }
    const std::string& SearchText() const { return search_text_; }
    bool SelectAll() const { return select_all_; }

    // Header clicks pass the toggle and invert it; every other refresh keeps the
    // direction of the last click. The toggle starts at 1, so the list starts in
    // descending address order and the first click sorts ascending.
    bool AscendingForRefresh() const { return !sort_toggle_; }
    // True (and the direction in `ascending`) when the column sorts.
    bool HeaderClicked(int grid_column, bool& ascending);
    bool ToggleSelectAll() { return select_all_ = !select_all_; }

    void SetPageSize(int size) { page_size_ = size; }
    void SetSearchText(std::string text) { search_text_ = std::move(text); }
    void Remember(int page, int sort_column) {
        current_page_ = page;
        sort_column_ = sort_column;
    }

  private:
    int page_code_;
    int sort_column_;
    bool sort_toggle_ = true;
    int current_page_ = 1;
    int page_size_ = kDefaultPageSize;
    std::string search_text_;
    bool select_all_ = false;
};

struct ListRow {
    std::vector<std::string> cells;  // one per column; the tick column's is empty
    ap_info_stu record;              // what the cells show
    bool announced = false;
    // Why the PC cannot reach it and what fixes that; empty when it can.
    std::string unreachable;
};

struct ListResult {
    std::vector<ListRow> rows;
    int page_count = 0;
    int online_count = 0;
};

// One refresh: the store's page, then, for the status page, devices that announced
// themselves but have not reported yet in the free rows of the last page. `pending`
// is null on the pages that show stored devices only.
ListResult QueryList(IStoreView& store, IDeviceLink* pending, int page_code, int page,
                     bool ascending, int grid_sort_column, const std::string& text, int page_size);

}  // namespace fk
