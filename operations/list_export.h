// What leaves the program from a device list: every row the page's search and sort
// select (not only the page the pager shows), under the captions the grid shows, as
// CSV for a file or tab-separated text for the clipboard.
#pragma once

#include <string>
#include <vector>

#include "app/text_table.h"
#include "operations/device_list_model.h"

namespace fk {

class IStoreView;
class IDeviceLink;

// The page's columns that carry text: the tick box and the link cell show none.
std::vector<ListColumn> ExportColumns(int page_code);
// Their captions in the running language, as the grid's header shows them.
TextRow ExportHeader(int page_code);
// One row's cells, one per page column, reduced to the exported columns.
TextRow ExportCells(int page_code, const std::vector<std::string>& cells);

// Every row that matches the page's search text, in its sort column and direction,
// numbered from 1; the status page's announced devices follow the stored ones as on
// its last page. `pending` is null on the pages that show stored devices only.
std::vector<TextRow> ExportRows(IStoreView& store, IDeviceLink* pending, const CListState& state);

// Header line and rows as CSV records. In both forms a cell that a spreadsheet would
// take for a formula is led by an apostrophe.
std::string ListCsv(const TextRow& header, const std::vector<TextRow>& rows);
// One line per row, cells separated by tabs. A tab or line break inside a cell would
// split it into cells or rows where it is pasted, so it becomes a space.
std::string TabSeparatedRows(const std::vector<TextRow>& rows);

}  // namespace fk
