#include "app/adapter_table.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "protocol/packet.h"

namespace fk {
namespace {

constexpr std::array<const char*, 4> kHeaders = {"ID", "Description", "MAC", "IP"};

std::array<std::string, 4> Cells(const adapter_row_stu& row) {
    return {row.id, row.description, row.mac, row.ip};
}

std::string CsvCell(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof(buf), "\\u%04x", c);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string FormatCsv(const std::vector<adapter_row_stu>& rows) {
    std::string out = "ID,Description,MAC,IP\n";
    for (const auto& row : rows) {
        const auto cells = Cells(row);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += (i ? "," : "") + CsvCell(cells[i]);
        }
        out += "\n";
    }
    return out;
}

std::string FormatJson(const std::vector<adapter_row_stu>& rows) {
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto cells = Cells(rows[r]);
        out += r ? ",\n " : "\n ";
        out += "{";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += (i ? ", " : "") + JsonString(kHeaders[i]) + ": " + JsonString(cells[i]);
        }
        out += "}";
    }
    return out + (rows.empty() ? "]\n" : "\n]\n");
}

std::string FormatTable(const std::vector<adapter_row_stu>& rows) {
    std::array<std::size_t, 4> widths{};
    for (std::size_t i = 0; i < kHeaders.size(); ++i) widths[i] = std::string(kHeaders[i]).size();
    for (const auto& row : rows) {
        const auto cells = Cells(row);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            widths[i] = std::max(widths[i], cells[i].size());
        }
    }
    auto line = [&widths](const std::array<std::string, 4>& cells) {
        std::string out;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += cells[i];
            if (i + 1 < cells.size()) out += std::string(widths[i] - cells[i].size() + 2, ' ');
        }
        return out + "\n";
    };
    std::string out = line({kHeaders[0], kHeaders[1], kHeaders[2], kHeaders[3]});
    for (const auto& row : rows) out += line(Cells(row));
    return out;
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
    switch (format) {
        case AdapterTableFormat::Csv:
            return FormatCsv(rows);
        case AdapterTableFormat::Json:
            return FormatJson(rows);
        case AdapterTableFormat::Table:
            break;
    }
    return FormatTable(rows);
}

}  // namespace fk
