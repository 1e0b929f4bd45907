// Rows of text cells under a header line, written out as an aligned table, as CSV or
// as a JSON array of objects keyed by the header: the listings of the command line.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace fk {

enum class TextTableFormat { Table, Csv, Json };

using TextRow = std::vector<std::string>;
// Keys keep the order they were added in, so a row reads in its columns' order.
using Json = nlohmann::ordered_json;

// One line per row after the header line. The header sets the columns: a row's
// missing cells are empty and cells beyond the header are not shown. The table form
// pads each column to its widest cell, counted in characters.
std::string FormatTextRows(const TextRow& header, const std::vector<TextRow>& rows,
                           TextTableFormat format);

// The row as one JSON object keyed by the header, and the rows as an array of them.
Json JsonObject(const TextRow& header, const TextRow& row);
Json JsonRows(const TextRow& header, const std::vector<TextRow>& rows);
// A value as the command line prints it, with a line break after it. Device and
// adapter texts are not always valid UTF-8; a JSON reader must still load them, so
// what is not UTF-8 is written as U+FFFD.
std::string JsonDocument(const Json& value);

// One CSV record ending in a line break, quoted where RFC 4180 requires it.
std::string CsvLine(const TextRow& cells);

}  // namespace fk
