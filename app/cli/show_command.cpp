#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/cli/settings_rows.h"

namespace fk::cli {
namespace {

struct ShowOptions {
    SessionOptions session;
    std::string mac;
    int seconds = 10;
    TextTableFormat format = TextTableFormat::Table;
};

// Searches until the radio has reported, then lists what its management window shows.
int RunShow(const ShowOptions& o) {
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    ap_info_stu record = ZeroRecord();
    if (!session.FindDevice(o.mac, o.seconds, "show", record)) return kExitFailure;
    std::fputs(FormatTextRows(SettingsHeader(), SettingsRows(record), o.format).c_str(), stdout);
    std::fflush(stdout);
    return kExitOk;
}

}  // namespace

void AddShowCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<ShowOptions>();
    CLI::App* command = cli.add_subcommand(
        "show",
        "search until the radio reports, then list every setting its management window "
        "shows");
    AddMacOption(*command, o->mac);
    AddSecondsOption(*command, o->seconds, "the longest search for the radio");
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunShow(*o); });
}

}  // namespace fk::cli
