#include <cstdio>
#include <string>

#include "app/cli/commands.h"
#include "app/cli/device_rows.h"
#include "app/cli/engine_session.h"

namespace fk::cli {

// Runs the status page's search on the real network of this machine: only ever start
// it inside a network namespace that holds nothing but test addresses.
int RunDiscoverCommand(const CommandArgs& args) {
    SessionOptions session_options;
    ListFormat format = ListFormat::Table;
    int seconds = 6;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (TakeSessionOption(args, i, session_options, error)) {
            if (!error.empty()) {
                std::fprintf(stderr, "discover: %s\n", error.c_str());
                return kExitUsage;
            }
            continue;
        }
        std::string value;
        bool missing = false;
        if (TakeValue(args, i, "--seconds", value, missing)) {
            if (missing || !ParseCount(value, seconds)) {
                std::fprintf(stderr, "discover: --seconds needs a whole number of seconds\n");
                return kExitUsage;
            }
        } else if (TakeValue(args, i, "--format", value, missing)) {
            if (missing || !ParseTextTableFormat(value, format)) {
                std::fprintf(stderr, "discover: --format is table, csv or json\n");
                return kExitUsage;
            }
        } else {
            std::fprintf(stderr, "discover: unexpected argument '%s'\n", args[i].c_str());
            return kExitUsage;
        }
    }

    EngineSession session;
    if (!session.Open(session_options)) return kExitFailure;
    session.Discover(seconds);
    std::vector<DeviceRow> rows;
    for (const auto& record : session.ListDevices()) rows.push_back(MakeDeviceRow(record));
    std::fputs(FormatDeviceRows(rows, format).c_str(), stdout);
    std::fflush(stdout);
    return kExitOk;
}

}  // namespace fk::cli
