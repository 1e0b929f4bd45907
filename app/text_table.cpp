#include "app/text_table.h"

#include <algorithm>

#include "app/utf8.h"

namespace fk {
namespace {

const std::string& CellAt(const TextRow& row, std::size_t i) {
    static const std::string kEmpty;
    return i < row.size() ? row[i] : kEmpty;
}

// Width in characters, not bytes, so UTF-8 names line up.
std::size_t DisplayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), StartsUtf8Character));
}

// Exactly the header's columns.
TextRow Fitted(const TextRow& header, const TextRow& row) {
    TextRow cells(header.size());
    for (std::size_t i = 0; i < header.size(); ++i) cells[i] = CellAt(row, i);
    return cells;
}

std::string FormatCsv(const TextRow& header, const std::vector<TextRow>& rows) {
    std::string out = CsvLine(header);
    for (const auto& row : rows) out += CsvLine(Fitted(header, row));
    return out;
}

std::string FormatTable(const TextRow& header, const std::vector<TextRow>& rows) {
    std::vector<std::size_t> width(header.size());
    for (std::size_t i = 0; i < header.size(); ++i) width[i] = DisplayWidth(header[i]);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < header.size(); ++i) {
            width[i] = std::max(width[i], DisplayWidth(CellAt(row, i)));
        }
    }
    auto line = [&](const TextRow& row) {
        std::string out;
        for (std::size_t i = 0; i < header.size(); ++i) {
            const std::string& cell = CellAt(row, i);
            out += cell;
            if (i + 1 < header.size()) out += std::string(width[i] - DisplayWidth(cell) + 2, ' ');
        }
        return out + "\n";
    };
    std::string out = line(header);
    for (const auto& row : rows) out += line(row);
    return out;
}

}  // namespace

std::string FormatTextRows(const TextRow& header, const std::vector<TextRow>& rows,
                           TextTableFormat format) {
    switch (format) {
        case TextTableFormat::Csv:
            return FormatCsv(header, rows);
        case TextTableFormat::Json:
            return JsonDocument(JsonRows(header, rows));
        case TextTableFormat::Table:
            break;
    }
    return FormatTable(header, rows);
}

Json JsonObject(const TextRow& header, const TextRow& row) {
    Json object = Json::object();
    for (std::size_t i = 0; i < header.size(); ++i) object[header[i]] = CellAt(row, i);
    return object;
}

Json JsonRows(const TextRow& header, const std::vector<TextRow>& rows) {
    Json array = Json::array();
    for (const auto& row : rows) array.push_back(JsonObject(header, row));
    return array;
}

std::string JsonDocument(const Json& value) {
    return value.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string CsvLine(const TextRow& cells) {
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::string& cell = cells[i];
        if (i) out += ',';
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            out += cell;
            continue;
        }
        out += '"';
        for (char c : cell) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out + "\n";
}

}  // namespace fk
