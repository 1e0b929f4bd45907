#include "operations/list_export.h"

#include <algorithm>
#include <utility>

#include "app/language.h"

namespace fk {
namespace {

bool CarriesText(ListColumn column) {
    return column != ListColumn::Tick && column != ListColumn::Operate;
}

bool IsNumber(const std::string& text) {
    return text.size() > 1 && std::all_of(text.begin() + 1, text.end(), [](char c) {
               return (c >= '0' && c <= '9') || c == '.';
           });
}

// Radio names and SSIDs come from the LAN; a spreadsheet would run one that starts like
// a formula when the customer opens the file. A leading apostrophe shows it as text.
// A negative reading such as a signal level stays a number.
std::string SpreadsheetCell(std::string cell) {
    if (cell.empty()) return cell;
    const char first = cell.front();
    if (first == '=' || first == '+' || first == '@' || (first == '-' && !IsNumber(cell)))
        cell.insert(cell.begin(), '\'');
    return cell;
}

std::vector<TextRow> SpreadsheetRows(std::vector<TextRow> rows) {
    for (TextRow& row : rows)
        for (std::string& cell : row) cell = SpreadsheetCell(std::move(cell));
    return rows;
}

std::string TabCell(std::string cell) {
    std::replace_if(
        cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return cell;
}

}  // namespace

std::vector<ListColumn> ExportColumns(int page_code) {
    std::vector<ListColumn> out;
    for (ListColumn column : PageColumns(page_code))
        if (CarriesText(column)) out.push_back(column);
    return out;
}

TextRow ExportHeader(int page_code) {
    TextRow header;
    for (ListColumn column : ExportColumns(page_code))
        header.push_back(Translate(ColumnHeaderKey(column)));
    return header;
}

TextRow ExportCells(int page_code, const std::vector<std::string>& cells) {
    TextRow out;
    const auto& columns = PageColumns(page_code);
    for (std::size_t i = 0; i < columns.size() && i < cells.size(); ++i)
        if (CarriesText(columns[i])) out.push_back(cells[i]);
    return out;
}

std::vector<TextRow> ExportRows(IStoreView& store, IDeviceLink* pending, const CListState& state) {
    const ListResult all =
        QueryList(store, pending, state.PageCode(), 1, state.AscendingForRefresh(),
                  state.SortColumn(), state.SearchText(), kEveryRowPageSize);
    std::vector<TextRow> rows;
    rows.reserve(all.rows.size());
    for (const ListRow& row : all.rows) rows.push_back(ExportCells(state.PageCode(), row.cells));
    return rows;
}

std::string ListCsv(const TextRow& header, const std::vector<TextRow>& rows) {
    return FormatTextRows(header, SpreadsheetRows(rows), TextTableFormat::Csv);
}

std::string TabSeparatedRows(const std::vector<TextRow>& rows) {
    std::string out;
    for (const TextRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out += '\t';
            out += TabCell(SpreadsheetCell(row[i]));
        }
        out += '\n';
    }
    return out;
}

}  // namespace fk
