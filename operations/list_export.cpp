#include "operations/list_export.h"

#include <algorithm>

#include "app/language.h"

namespace fk {
namespace {

bool CarriesText(ListColumn column) {
    return column != ListColumn::Tick && column != ListColumn::Operate;
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
    return FormatTextRows(header, rows, TextTableFormat::Csv);
}

std::string TabSeparatedRows(const std::vector<TextRow>& rows) {
    std::string out;
    for (const TextRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out += '\t';
            out += TabCell(row[i]);
        }
        out += '\n';
    }
    return out;
}

}  // namespace fk
