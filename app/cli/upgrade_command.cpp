// `upgrade`: the upgrade window without a desktop. The named radios are the selection;
// those of the chosen model are upgraded through the window's flow, with the file
// server started and ended as the flow asks. Every status change is printed as it
// happens; at the end each radio's result and the version it reports after its
// restart.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/file_server_control.h"
#include "app/language.h"
#include "app/program_dir.h"
#include "app/text_table.h"
#include "operations/upgrade_flow.h"
#include "store/display_codes.h"

namespace fk::cli {
namespace {

constexpr int kLongestSearch = 30;
// How long a radio that wrote its image may take to report again once the write
// phase is over.
constexpr int kComeBackSeconds = 30;

struct UpgradeOptions {
    SessionOptions session;
    std::string file;
    std::vector<std::string> macs;
    std::string type;
    int tftp_port = 0;
    int seconds = 6;
    int write_seconds = CUpgradeFlow::kWriteSeconds;
    TextTableFormat format = TextTableFormat::Table;
};

std::string TakeOption(const CommandArgs& args, std::size_t& i, UpgradeOptions& o) {
    std::string value;
    bool missing = false;
    const auto take = [&](const char* name) { return TakeValue(args, i, name, value, missing); };
    if (take("--file")) {
        o.file = value;
        return missing ? "--file needs a path" : "";
    }
    if (take("--mac")) {
        std::string mac;
        if (missing || !ParseMacText(value, mac)) return "--mac needs a MAC like 00:11:22:33:44:55";
        for (const std::string& named : o.macs)
            if (named == mac) return "--mac " + mac + " is named twice";
        o.macs.push_back(mac);
        return {};
    }
    if (take("--type")) {
        o.type = value;
        return missing ? "--type needs a model name" : "";
    }
    if (take("--tftp-port")) {
        return missing || !ParseCount(value, o.tftp_port) || o.tftp_port == 0 || o.tftp_port > 65535
                   ? "--tftp-port needs a port number"
                   : "";
    }
    if (take("--seconds")) {
        return missing || !ParseCount(value, o.seconds) ? "--seconds needs whole seconds" : "";
    }
    if (take("--write-seconds")) {
        return missing || !ParseCount(value, o.write_seconds) || o.write_seconds < 9
                   ? "--write-seconds needs at least 9 seconds"
                   : "";
    }
    if (take("--format")) {
        return missing || !ParseTextTableFormat(value, o.format) ? "--format is table, csv or json"
                                                                 : "";
    }
    return "unexpected argument '" + args[i] + "'";
}

int Refuse(const std::string& text) {
    std::fprintf(stderr, "upgrade: %s\n", text.c_str());
    return kExitRefused;
}

const char* ResultText(UpgradeResult result) {
    switch (result) {
        case UpgradeResult::Success:
            return "success";
        case UpgradeResult::Fail:
            return "fail";
        case UpgradeResult::Fetched:
            return "fetched, not written";
        case UpgradeResult::NoAnswer:
            return "no answer";
    }
    return "";
}

std::string Seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f", s);
    return text;
}

struct RadioLine {
    std::string mac;
    bool found = false;
    bool target = false;
    int model = 0;
    std::string version_before;
    std::string result;
    bool back = false;
    std::string version_after;
    int last_status = -1;
};

}  // namespace

int RunUpgradeCommand(const CommandArgs& args) {
    UpgradeOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (!TakeSessionOption(args, i, o.session, error)) error = TakeOption(args, i, o);
        if (!error.empty()) {
            std::fprintf(stderr, "upgrade: %s\n", error.c_str());
            return kExitUsage;
        }
    }
    if (o.macs.empty()) {
        std::fprintf(stderr, "upgrade: --mac is required\n");
        return kExitUsage;
    }
    // The session loads the language pack the refusals are worded in; nothing is sent
    // before the checks have passed.
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    std::vector<ap_select_stu> named(o.macs.size());
    if (const std::string refused = CheckUpgradeSelection(named); !refused.empty())
        return Refuse(Translate(refused));
    UpgradeFile file;
    if (const std::string refused = CheckUpgradeFile(o.file, file); !refused.empty())
        return Refuse(Translate(refused));

    const std::vector<ap_info_stu> found =
        session.FindDevices(o.macs, o.seconds, std::max(o.seconds, kLongestSearch));
    std::vector<RadioLine> radios;
    std::vector<ap_select_stu> selection;
    for (const std::string& mac : o.macs) {
        RadioLine line;
        line.mac = mac;
        for (const ap_info_stu& record : found) {
            if (record.MacText() != mac) continue;
            line.found = true;
            line.model = record.ap_type;
            line.version_before = std::string(record.report.version.View());
            line.last_status = session.Store().GetStatus(mac);
            selection.push_back(SelectionOf(record));
        }
        if (!line.found)
            std::fprintf(stderr, "upgrade: %s did not report within %d s\n", mac.c_str(),
                         std::max(o.seconds, kLongestSearch));
        radios.push_back(std::move(line));
    }
    if (selection.empty()) return kExitFailure;

    const std::vector<UpgradeType> types = UpgradeTypes(selection);
    std::uint16_t chosen = types.front().code;
    if (!o.type.empty()) {
        bool known = false;
        for (const UpgradeType& t : types)
            if (t.name == o.type || std::to_string(t.code) == o.type) {
                chosen = t.code;
                known = true;
            }
        if (!known) return Refuse("--type " + o.type + " is not the model of a named radio");
    }

    CFileServerControl server(DefaultFileServerPaths(ProgramDirectory()));
    if (o.tftp_port != 0) server.SetPort(static_cast<std::uint16_t>(o.tftp_port));
    std::string server_error;
    std::FILE* live = o.format == TextTableFormat::Table ? stdout : stderr;
    const auto started = std::chrono::steady_clock::now();
    CUpgradeFlow flow(selection, chosen, UpgradePayload(file.name, file.size), session.Store(),
                      o.write_seconds);
    const FlowOutcome outcome = session.Run(
        flow,
        [&](const FlowStep& step) {
            if (step.file_server == FileServerAction::Start) {
                server.EndLeftover();
                const FileServerStart start = server.Start(file.path);
                if (!start.Serving()) server_error = start.message;
            } else if (step.file_server == FileServerAction::Stop) {
                server.Stop();
            }
            for (const StatusCell& cell : step.statuses)
                for (RadioLine& r : radios) {
                    if (r.mac != cell.mac || r.last_status == cell.status) continue;
                    r.last_status = cell.status;
                    const double at =
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - started)
                            .count();
                    std::fprintf(live, "%7s  %s  %s\n", Seconds(at).c_str(), r.mac.c_str(),
                                 StatusName(cell.status).c_str());
                    std::fflush(live);
                }
        },
        [&] { return !server_error.empty(); });
    server.Stop();
    if (!server_error.empty())
        return Refuse(Translate(FK_TR("The file server could not start!")) + " " + server_error);

    // A radio that wrote its image reports again once it has restarted, with the
    // version the image carries.
    const auto back = [&] {
        bool all = true;
        for (RadioLine& r : radios) {
            if (!r.found) continue;
            ap_info_stu record;
            if (session.Store().GetDevice(r.mac, record) &&
                session.Store().GetStatus(r.mac) == STATUS_ONLINE) {
                r.version_after = std::string(record.report.version.View());
            }
        }
        for (const UpgradeTarget& t : flow.Targets()) {
            RadioLine* line = nullptr;
            for (RadioLine& r : radios)
                if (r.mac == t.device.mac) line = &r;
            line->target = true;
            line->result = ResultText(t.result);
            line->back = t.result == UpgradeResult::Success &&
                         session.Store().GetStatus(t.device.mac) == STATUS_ONLINE;
            if (t.result == UpgradeResult::Success && !line->back) all = false;
        }
        return all;
    };
    if (outcome == FlowOutcome::Done && !back()) {
        for (int i = 0; i < kComeBackSeconds && !back(); ++i) {
            if (i % 3 == 0) session.Engine().SearchDevices();
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    }
    back();

    const TextRow header{"MAC",  "Model",          "Upgraded",     "Result",
                         "Back", "Version before", "Version after"};
    std::vector<TextRow> rows;
    bool all_good = true;
    for (const RadioLine& r : radios) {
        if (!r.found) {
            rows.push_back({r.mac, "", "", "not found", "", "", ""});
            all_good = false;
            continue;
        }
        rows.push_back({r.mac, ModelName(r.model), r.target ? "yes" : "no",
                        r.target ? r.result : "", r.target ? (r.back ? "yes" : "no") : "",
                        r.version_before, r.version_after});
        if (r.target && !r.back) all_good = false;
    }
    std::printf("%s", FormatTextRows(header, rows, o.format).c_str());
    std::fflush(stdout);
    return all_good && outcome == FlowOutcome::Done ? kExitOk : kExitFailure;
}

}  // namespace fk::cli
