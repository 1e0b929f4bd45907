#include "app/adapter_table.h"

#include "protocol/packet.h"

namespace fk {
namespace {

TextRow Cells(const adapter_row_stu& row) {
    return {row.id, row.description, row.mac, row.ip};
}

}  // namespace

std::string AdapterAddressText(const adapter_info_stu& adapter) {
    std::string out;
    for (std::size_t k = 0; k < adapter.addresses.size(); ++k) {
        if (k > 0) out += "--";
        out += adapter.addresses[k].ip;
    }
    return out;
}

std::vector<adapter_row_stu> AdapterRows(const std::vector<adapter_info_stu>& adapters) {
    std::vector<adapter_row_stu> rows;
    rows.reserve(adapters.size());
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        rows.push_back({std::to_string(i + 1), adapters[i].description,
                        MacBytesToText(adapters[i].mac.data()), AdapterAddressText(adapters[i])});
    }
    return rows;
}

std::string FormatAdapterRows(const std::vector<adapter_row_stu>& rows, AdapterTableFormat format) {
    std::vector<TextRow> cells;
    cells.reserve(rows.size());
    for (const auto& row : rows) cells.push_back(Cells(row));
    return FormatTextRows({"ID", "Description", "MAC", "IP"}, cells, format);
}

}  // namespace fk
