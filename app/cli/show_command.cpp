#include <cstdio>
#include <string>

#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/cli/settings_rows.h"

namespace fk::cli {

// Searches until the radio has reported, then lists what its management window shows.
int RunShowCommand(const CommandArgs& args) {
    SessionOptions session_options;
    std::string mac;
    int seconds = 10;
    TextTableFormat format = TextTableFormat::Table;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (TakeSessionOption(args, i, session_options, error)) {
            if (error.empty()) continue;
        } else {
            std::string value;
            bool missing = false;
            if (TakeValue(args, i, "--mac", value, missing)) {
                if (missing || !ParseMacText(value, mac)) error = "--mac needs a MAC";
            } else if (TakeValue(args, i, "--seconds", value, missing)) {
                if (missing || !ParseCount(value, seconds)) error = "--seconds needs whole seconds";
            } else if (TakeValue(args, i, "--format", value, missing)) {
                if (missing || !ParseTextTableFormat(value, format))
                    error = "--format is table, csv or json";
            } else {
                error = "unexpected argument '" + args[i] + "'";
            }
            if (error.empty()) continue;
        }
        std::fprintf(stderr, "show: %s\n", error.c_str());
        return kExitUsage;
    }
    if (mac.empty()) {
        std::fprintf(stderr, "show: --mac is required\n");
        return kExitUsage;
    }
    EngineSession session;
    if (!session.Open(session_options)) return kExitFailure;
    ap_info_stu record = ZeroRecord();
    if (!session.FindDevice(mac, seconds, record)) {
        std::fprintf(stderr, "show: %s did not report within %d s\n", mac.c_str(), seconds);
        return kExitFailure;
    }
    std::fputs(FormatTextRows(SettingsHeader(), SettingsRows(record), format).c_str(), stdout);
    std::fflush(stdout);
    return kExitOk;
}

}  // namespace fk::cli
