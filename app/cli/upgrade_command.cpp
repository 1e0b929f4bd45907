// `upgrade`: the upgrade window without a desktop. The named radios are the selection;
// those of the chosen model are upgraded through the window's flow, with the file
// server started and ended as the flow asks. Every status change is printed as it
// happens; at the end each radio's result and the version it reports after its
// restart.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/batch_report.h"
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

struct RadioLine {
    std::string mac;
    bool found = false;
    bool target = false;
    int model = 0;
    std::string version_before;
    std::string result;
    bool back = false;
    std::string version_after;
};

int RunUpgrade(const UpgradeOptions& o) {
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

    const auto found = session.FindBatch(o.macs, o.seconds, "upgrade");
    CStatusChangeLog log(o.format);
    std::vector<RadioLine> radios;
    std::vector<ap_select_stu> selection;
    for (std::size_t i = 0; i < o.macs.size(); ++i) {
        RadioLine& line = radios.emplace_back();
        line.mac = o.macs[i];
        if (!found[i]) continue;
        line.found = true;
        line.model = found[i]->ap_type;
        line.version_before = std::string(found[i]->report.version.View());
        log.Know(line.mac, session.Store().GetStatus(line.mac));
        selection.push_back(SelectionOf(*found[i]));
    }
    if (selection.empty()) return kExitFailure;
    if (const std::string refused = CheckUpgradeModels(selection); !refused.empty())
        return Refuse(Translate(refused));

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

    CFileServerControl server(DefaultFileServerPaths());
    if (o.tftp_port != 0) server.SetPort(static_cast<std::uint16_t>(o.tftp_port));
    std::string server_error;
    log.Restart();
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
            for (const StatusCell& cell : step.statuses) log.Record(cell.mac, cell.status);
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
    PrintBatchResult(header, rows, log, o.format);
    return all_good && outcome == FlowOutcome::Done ? kExitOk : kExitFailure;
}

}  // namespace

void AddUpgradeCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<UpgradeOptions>();
    CLI::App* command = cli.add_subcommand(
        "upgrade",
        "upgrade the named radios of one model (default: the first named radio's) as the upgrade "
        "window does: serve only the chosen image, print each status change, then per radio its "
        "result and the version it reports after its restart (exit 3: refused, 1 unless every "
        "target succeeded and came back)");
    command->add_option("--file", o->file, "the firmware image, a .bin file")->required();
    AddMacsOption(*command, o->macs);
    command->add_option("--type", o->type, "the model to upgrade, by name or code");
    command->add_option("--tftp-port", o->tftp_port, "serve on this port instead of 69, for tests")
        ->check(CLI::Range(1, 65535));
    AddBatchSecondsOption(*command, o->seconds);
    command
        ->add_option("--write-seconds", o->write_seconds,
                     "shorten the 130 s write phase, for tests (at least 9)")
        ->check(CLI::Range(9, 100000));
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunUpgrade(*o); });
}

}  // namespace fk::cli
