// Rows of text cells under a header line, written out as an aligned table, as CSV or
// as a JSON array of objects keyed by the header: the listings of the command line.
#pragma once

#include <string>
#include <vector>

namespace fk {

enum class TextTableFormat { Table, Csv, Json };

// "table", "csv" or "json"; false (and `format` untouched) for anything else.
bool ParseTextTableFormat(const std::string& text, TextTableFormat& format);

using TextRow = std::vector<std::string>;

// One line per row after the header line. The header sets the columns: a row's
// missing cells are empty and cells beyond the header are not shown. The table form
// pads each column to its widest cell, counted in characters.
std::string FormatTextRows(const TextRow& header, const std::vector<TextRow>& rows,
                           TextTableFormat format);

// The row as one JSON object keyed by the header.
std::string JsonObjectText(const TextRow& header, const TextRow& row);
// A JSON string; bytes that are not valid UTF-8 become U+FFFD.
std::string JsonText(const std::string& text);
std::string CsvCell(const std::string& cell);

}  // namespace fk
