// The engine's counters as the command line prints them: a two-column table (or CSV)
// of counter and value, or one JSON object keyed by counter.
#pragma once

#include <string>

#include "app/text_table.h"
#include "protocol/engine_stats.h"

namespace fk::cli {

std::string FormatStats(const EngineStats& stats, TextTableFormat format);
Json StatsJson(const EngineStats& stats);

}  // namespace fk::cli
