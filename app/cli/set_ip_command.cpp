// `set-ip`: the batch address window without a desktop. The named radios are the
// selection in the order named; the window's range rules and messages decide whether
// anything is sent, its hand-out gives the addresses and its flow sends and searches
// for the radios under their new addresses. Beyond the window, each radio's row says
// which address it was given and whether it reported from there before the wait ended.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/batch_report.h"
#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/cli/message_names.h"
#include "app/language.h"
#include "app/text_table.h"
#include "config/batch_ip.h"

namespace fk::cli {
namespace {

// The flow's last rediscovery pass falls on its last tick; its answers need a moment.
constexpr auto kLastPassAnswers = std::chrono::seconds(3);
constexpr auto kPoll = std::chrono::milliseconds(100);

struct SetIpOptions {
    SessionOptions session;
    std::vector<std::string> macs;
    IpRangeInput range;
    int seconds = 6;
    bool dry_run = false;
    TextTableFormat format = TextTableFormat::Table;
};

struct RadioLine {
    std::string mac;
    bool found = false;
    std::string old_ip;
    std::string given;
    bool reported = false;
    std::string now_ip;
    std::string note;
};

int Refuse(const std::string& text) {
    std::fprintf(stderr, "set-ip: %s\n", text.c_str());
    return kExitRefused;
}

// The window leaves the radios a short range cannot serve as they are; a script would
// not notice, so here nothing is sent unless every named radio gets an address.
std::string CheckRangeCoversSelection(const ip_range_stu& range, std::size_t count) {
    const std::vector<ap_select_stu> placeholders(count);
    const std::size_t usable = AssignAddresses(placeholders, range).size();
    if (usable >= count) return {};
    return "the range " + IpOctetsToText(range.begin) + " to " + IpOctetsToText(range.end) +
           " holds " + std::to_string(usable) + " usable addresses for " + std::to_string(count) +
           " radios; nothing was sent";
}

void PrintDryRun(const std::vector<FlowCommand>& commands) {
    for (const FlowCommand& c : commands) {
        std::printf("%s %s -> %s %s %zu %s\n", c.mac.c_str(), c.ip.c_str(), c.pending_ip.c_str(),
                    MessageTypeName(c.type).c_str(), c.payload.size(), HexText(c.payload).c_str());
    }
    std::fflush(stdout);
}

bool ReportedFrom(CSqlManagement& store, const std::string& mac, const std::string& ip,
                  std::string& now_ip) {
    ap_info_stu record = ZeroRecord();
    if (!store.GetDevice(mac, record) || record.MacText() != mac) return false;
    now_ip = record.IpText();
    return now_ip == ip;
}

// Reads each given radio's stored address until all report from their new one or the
// last pass's answers have had their time.
void CollectReports(EngineSession& session, std::vector<RadioLine>& radios) {
    const auto until = std::chrono::steady_clock::now() + kLastPassAnswers;
    for (;;) {
        bool all = true;
        for (RadioLine& r : radios) {
            if (r.given.empty()) continue;
            r.reported = ReportedFrom(session.Store(), r.mac, r.given, r.now_ip);
            all = all && r.reported;
        }
        if (all || std::chrono::steady_clock::now() >= until) return;
        std::this_thread::sleep_for(kPoll);
    }
}

std::vector<TextRow> OutcomeRows(const std::vector<RadioLine>& radios) {
    std::vector<TextRow> rows;
    for (const RadioLine& r : radios) {
        if (!r.found) {
            rows.push_back({r.mac, "no", "", "", "", "", ""});
            continue;
        }
        rows.push_back(
            {r.mac, "yes", r.old_ip, r.given, r.reported ? "yes" : "no", r.now_ip, r.note});
    }
    return rows;
}

int RunSetIp(const SetIpOptions& o) {
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    ip_range_stu range;
    const ValidationResult check = CollectIpRange(o.range, static_cast<int>(o.macs.size()), range);
    if (!check) return Refuse(Translate(check.message));
    if (const std::string short_range = CheckRangeCoversSelection(range, o.macs.size());
        !short_range.empty())
        return Refuse(short_range);

    const auto found = session.FindBatch(o.macs, o.seconds, "set-ip");
    std::vector<RadioLine> radios;
    std::vector<ap_select_stu> selection;
    for (std::size_t i = 0; i < o.macs.size(); ++i) {
        RadioLine& line = radios.emplace_back();
        line.mac = o.macs[i];
        if (!found[i]) continue;
        line.found = true;
        line.old_ip = line.now_ip = found[i]->IpText();
        line.note = session.Engine().UnreachableReason(line.old_ip);
        selection.push_back(SelectionOf(*found[i]));
    }
    // Addresses are handed out over the radios that reported, as the window hands them
    // over the rows that are listed.
    for (const IpAssignment& a : AssignAddresses(selection, range))
        for (RadioLine& r : radios)
            if (r.mac == a.device.mac) r.given = a.new_ip;

    if (o.dry_run) {
        PrintDryRun(BatchIpCommands(selection, range));
        return selection.size() == o.macs.size() ? kExitOk : kExitFailure;
    }
    CStatusChangeLog log(o.format);
    if (!selection.empty()) {
        CBatchIpFlow flow(selection, range);
        session.Run(flow);
        CollectReports(session, radios);
    }
    PrintBatchResult({"MAC", "Found", "From", "Given", "Reported", "IP now", "Note"},
                     OutcomeRows(radios), log, o.format);
    for (const RadioLine& r : radios)
        if (!r.found || r.given.empty() || !r.reported) return kExitFailure;
    return kExitOk;
}

void AddRangeOption(CLI::App& command, const std::string& name, std::string& text,
                    const std::string& help, bool required) {
    CLI::Option* option = command.add_option(name, text, help)->transform(Ipv4Text());
    if (required) option->required();
}

}  // namespace

void AddSetIpCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<SetIpOptions>();
    // What the window reads from a field left empty.
    o->range.end = o->range.dns1 = o->range.dns2 = "0.0.0.0";
    CLI::App* command = cli.add_subcommand(
        "set-ip",
        "give the named radios addresses from a range as the Set IP window does: ascending, "
        "skipping .0 and .255, in the order named; then per radio the address it was given and "
        "whether it reported from there before the wait ended (exit 3: refused, also when the "
        "range is shorter than the selection; 1 unless every radio reported from its new "
        "address)");
    AddMacsOption(*command, o->macs);
    AddRangeOption(*command, "--begin", o->range.begin, "the first address of the range", true);
    AddRangeOption(*command, "--end", o->range.end,
                   "the last address of the range (ignored for a single radio)", false);
    AddRangeOption(*command, "--mask", o->range.mask, "the subnet mask", true);
    AddRangeOption(*command, "--gateway", o->range.gateway, "the gateway", true);
    AddRangeOption(*command, "--dns1", o->range.dns1, "the primary DNS server", false);
    AddRangeOption(*command, "--dns2", o->range.dns2, "the secondary DNS server", false);
    AddBatchSecondsOption(*command, o->seconds);
    command->add_flag("--dry-run", o->dry_run,
                      "print each radio's command (MAC, address now -> given, type, bytes) "
                      "instead of sending");
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunSetIp(*o); });
}

}  // namespace fk::cli
