#include "app/text_table.h"

#include <algorithm>
#include <cstdio>

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

std::string CsvLine(const TextRow& header, const TextRow& row) {
    std::string out;
    for (std::size_t i = 0; i < header.size(); ++i) out += (i ? "," : "") + CsvCell(CellAt(row, i));
    return out + "\n";
}

std::string FormatCsv(const TextRow& header, const std::vector<TextRow>& rows) {
    std::string out = CsvLine(header, header);
    for (const auto& row : rows) out += CsvLine(header, row);
    return out;
}

std::string FormatJson(const TextRow& header, const std::vector<TextRow>& rows) {
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += (r ? ",\n " : "\n ") + JsonObjectText(header, rows[r]);
    }
    return out + (rows.empty() ? "]\n" : "\n]\n");
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

void AppendJsonAscii(char c, std::string& out) {
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
        out += escaped;
    } else {
        out += c;
    }
}

}  // namespace

bool ParseTextTableFormat(const std::string& text, TextTableFormat& format) {
    if (text == "table") {
        format = TextTableFormat::Table;
    } else if (text == "csv") {
        format = TextTableFormat::Csv;
    } else if (text == "json") {
        format = TextTableFormat::Json;
    } else {
        return false;
    }
    return true;
}

std::string FormatTextRows(const TextRow& header, const std::vector<TextRow>& rows,
                           TextTableFormat format) {
    switch (format) {
        case TextTableFormat::Csv:
            return FormatCsv(header, rows);
        case TextTableFormat::Json:
            return FormatJson(header, rows);
        case TextTableFormat::Table:
            break;
    }
    return FormatTable(header, rows);
}

std::string JsonObjectText(const TextRow& header, const TextRow& row) {
    std::string out = "{";
    for (std::size_t i = 0; i < header.size(); ++i) {
        out += (i ? ", " : "") + JsonText(header[i]) + ": " + JsonText(CellAt(row, i));
    }
    return out + "}";
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8SequenceLength(text, i);
        // Device and adapter texts are not always valid UTF-8; a JSON reader must
        // still load them, so each broken byte stands for one replacement character.
        if (n == 0) {
            out += "\\ufffd";
            i += 1;
        } else if (n == 1) {
            AppendJsonAscii(text[i], out);
            i += 1;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out + "\"";
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

}  // namespace fk
