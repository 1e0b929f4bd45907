#include "app/cli/stats_rows.h"

#include <vector>

namespace fk::cli {

std::string FormatStats(const EngineStats& stats, TextTableFormat format) {
    if (format == TextTableFormat::Json) return JsonDocument(StatsJson(stats));
    std::vector<TextRow> rows;
    for (const auto& [name, value] : StatsFields(stats)) {
        rows.push_back({name, std::to_string(value)});
    }
    return FormatTextRows({"Counter", "Value"}, rows, format);
}

Json StatsJson(const EngineStats& stats) {
    Json object = Json::object();
    for (const auto& [name, value] : StatsFields(stats)) object[name] = value;
    return object;
}

}  // namespace fk::cli
