#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/commands.h"
#include "app/cli/device_rows.h"
#include "app/cli/engine_session.h"

namespace fk::cli {
namespace {

struct DiscoverOptions {
    SessionOptions session;
    int seconds = 6;
    TextTableFormat format = TextTableFormat::Table;
};

// Runs the status page's search on the real network of this machine: only ever start
// it inside a network namespace that holds nothing but test addresses.
int RunDiscover(const DiscoverOptions& o) {
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    session.Discover(o.seconds);
    std::vector<DeviceRow> rows;
    for (const auto& record : session.ListDevices())
        rows.push_back(MakeDeviceRow(record, session.Engine().UnreachableReason(record.IpText())));
    std::fputs(FormatDeviceRows(rows, o.format).c_str(), stdout);
    std::fflush(stdout);
    return kExitOk;
}

}  // namespace

void AddDiscoverCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<DiscoverOptions>();
    CLI::App* command =
        cli.add_subcommand("discover", "search the local networks and list the devices found");
    AddSecondsOption(*command, o->seconds, "how long the search runs");
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunDiscover(*o); });
}

}  // namespace fk::cli
