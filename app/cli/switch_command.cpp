// `switch`: the status page's "Set Bridge" and "Slotra" buttons without a desktop. The
// named radios are the ticked rows in the order named; the page's rule keeps those
// that have the feature (the others are named and skipped), the same 12-byte block
// goes to each, and each radio's row says whether it answered and with what.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "app/cli/batch_report.h"
#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/language.h"
#include "app/text_table.h"
#include "operations/batch_switch.h"

namespace fk::cli {
namespace {

struct SwitchOptions {
    SessionOptions session;
    std::vector<std::string> macs;
    std::optional<bool> transparent_bridge;
    std::optional<bool> slotra;
    int seconds = 6;
    TextTableFormat format = TextTableFormat::Table;
};

struct RadioLine {
    std::string mac;
    bool found = false;
    bool qualifies = false;
    std::string ip;
    std::uint64_t answers_before = 0;
    bool answered = false;
    int result = -1;
    std::string note;
};

const char* FeatureName(SwitchKind kind) {
    return kind == SwitchKind::TransparentBridge ? "transparent bridging" : "Slotra";
}

std::vector<TextRow> OutcomeRows(const std::vector<RadioLine>& radios) {
    std::vector<TextRow> rows;
    for (const RadioLine& r : radios) {
        if (!r.found) {
            rows.push_back({r.mac, "no", "", "", "", "", ""});
            continue;
        }
        const bool sent = r.qualifies;
        rows.push_back({r.mac, "yes", r.ip, sent ? "yes" : "skipped",
                        sent ? (r.answered ? "yes" : "no") : "",
                        r.result >= 0 ? std::to_string(r.result) : "", r.note});
    }
    return rows;
}

// Marks the radios the page would leave out and names them; the batch that remains.
std::vector<ap_select_stu> QualifyingBatch(SwitchKind kind,
                                           const std::vector<std::optional<ap_info_stu>>& found,
                                           std::vector<RadioLine>& radios) {
    std::vector<ap_info_stu> named;
    for (const auto& record : found)
        if (record) named.push_back(*record);
    std::vector<ap_select_stu> batch = SelectSwitchable(kind, named);
    for (RadioLine& r : radios) {
        if (!r.found) continue;
        for (const ap_select_stu& device : batch) r.qualifies = r.qualifies || device.mac == r.mac;
        if (!r.qualifies) {
            r.note = std::string("has no ") + FeatureName(kind) + " switch";
            std::fprintf(stderr, "switch: %s has no %s switch; skipped\n", r.mac.c_str(),
                         FeatureName(kind));
        }
    }
    return batch;
}

int RunSwitch(const SwitchOptions& o) {
    // Both at once is refused by the parser; neither is a usage error of its own.
    if (!o.transparent_bridge && !o.slotra) {
        std::fprintf(stderr, "switch: give --transparent-bridge on|off or --slotra on|off\n");
        return kExitUsage;
    }
    const SwitchKind kind =
        o.transparent_bridge ? SwitchKind::TransparentBridge : SwitchKind::Slotra;
    const bool enable = o.transparent_bridge ? *o.transparent_bridge : *o.slotra;
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    const auto found = session.FindBatch(o.macs, o.seconds, "switch");
    std::vector<RadioLine> radios;
    for (std::size_t i = 0; i < o.macs.size(); ++i) {
        RadioLine& line = radios.emplace_back();
        line.mac = o.macs[i];
        line.found = found[i].has_value();
        if (line.found) line.ip = found[i]->IpText();
    }
    const std::vector<ap_select_stu> batch = QualifyingBatch(kind, found, radios);
    if (batch.empty()) {
        std::fprintf(stderr, "switch: %s\n",
                     Translate("Please select configurable devices!").c_str());
        return kExitRefused;
    }

    switch_set_stu block = PresetSwitchBlock(session.Store(), kind, batch.front());
    SetSwitchChoice(block, kind, enable);
    CCommEngine& engine = session.Engine();
    const std::uint16_t type = SwitchCommand(kind);
    for (RadioLine& r : radios)
        if (r.qualifies) {
            r.answers_before = engine.WatchAnswers(r.ip, r.mac, type);
            r.note = engine.UnreachableReason(r.ip);
        }
    const auto sent_at = std::chrono::steady_clock::now();
    SendSwitchBatch(engine, kind, block, batch, std::stop_token{}, {});
    const auto deadline = session.AnswerDeadline(sent_at);
    for (RadioLine& r : radios) {
        if (!r.qualifies) continue;
        r.answered = engine.WaitForAnswer(r.ip, r.mac, type, r.answers_before, deadline);
        r.result = r.answered ? engine.LastAnswerResult(r.ip, r.mac, type) : -1;
    }

    CStatusChangeLog log(o.format);
    PrintBatchResult({"MAC", "Found", "IP", "Sent", "Answered", "Result", "Note"},
                     OutcomeRows(radios), log, o.format);
    for (const RadioLine& r : radios)
        if (!r.found || (r.qualifies && !r.answered)) return kExitFailure;
    return kExitOk;
}

CLI::Option* AddOnOffOption(CLI::App& command, const std::string& name, std::optional<bool>& value,
                            const std::string& help) {
    return command
        .add_option_function<std::string>(
            name, [&value](const std::string& text) { value = text == "on"; }, help)
        ->check(CLI::IsMember({"on", "off"}));
}

}  // namespace

void AddSwitchCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<SwitchOptions>();
    CLI::App* command = cli.add_subcommand(
        "switch",
        "switch transparent bridging or Slotra on or off on the named radios as the status "
        "page's \"Set Bridge\" and \"Slotra\" do: radios without the feature are named and "
        "skipped, each of the others is sent the same block and its answer is listed (exit 3: "
        "none has the feature; 1 unless every radio sent to answered)");
    AddMacsOption(*command, o->macs);
    CLI::Option* bridge = AddOnOffOption(*command, "--transparent-bridge", o->transparent_bridge,
                                         "on or off: transparent bridging");
    CLI::Option* slotra = AddOnOffOption(*command, "--slotra", o->slotra, "on or off: Slotra");
    bridge->excludes(slotra);
    AddBatchSecondsOption(*command, o->seconds);
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunSwitch(*o); });
}

}  // namespace fk::cli
