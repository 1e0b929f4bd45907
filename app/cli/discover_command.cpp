#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/commands.h"
#include "app/cli/device_rows.h"
#include "app/cli/engine_session.h"
#include "app/cli/stats_rows.h"

namespace fk::cli {
namespace {

struct DiscoverOptions {
    SessionOptions session;
    int seconds = 6;
    TextTableFormat format = TextTableFormat::Table;
    bool stats = false;
};

// The list, and with --stats the engine's counters: in the same JSON document, after
// the table, or on standard error where a second table would spoil the CSV.
void PrintDiscovery(const std::vector<DeviceRow>& rows, const EngineStats& stats,
                    const DiscoverOptions& o) {
    if (o.stats && o.format == TextTableFormat::Json) {
        Json devices = Json::array();
        for (const DeviceRow& row : rows) devices.push_back(DeviceRowJson(row));
        Json document = Json::object();
        document["devices"] = std::move(devices);
        document["stats"] = StatsJson(stats);
        std::fputs(JsonDocument(document).c_str(), stdout);
        return;
    }
    std::fputs(FormatDeviceRows(rows, o.format).c_str(), stdout);
    if (!o.stats) return;
    if (o.format == TextTableFormat::Csv) {
        std::fputs(FormatStats(stats, o.format).c_str(), stderr);
    } else {
        std::fputs(("\n" + FormatStats(stats, o.format)).c_str(), stdout);
    }
}

// Runs the status page's search on the real network of this machine: only ever start
// it inside a network namespace that holds nothing but test addresses.
int RunDiscover(const DiscoverOptions& o) {
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    session.Discover(o.seconds);
    std::vector<DeviceRow> rows;
    for (const auto& record : session.ListDevices())
        rows.push_back(MakeDeviceRow(record, session.Engine().UnreachableReason(record.IpText())));
    PrintDiscovery(rows, session.Engine().Stats(), o);
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
    command->add_flag("--stats", o->stats,
                      "also print the engine's counters: datagrams per port and what each "
                      "bound on the LAN's traffic turned away (in the JSON document as "
                      "\"stats\", next to \"devices\")");
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunDiscover(*o); });
}

}  // namespace fk::cli
