// `configure`: the device management window without a desktop. The radio's record is
// what the window would open with, every setting not given stays as the window would
// show it, and the window's rules, sender order and wait decide what happens.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/cli/message_names.h"
#include "app/cli/settings_input.h"
#include "app/cli/settings_rows.h"
#include "config/management_save.h"
#include "operations/send_and_wait.h"

namespace fk::cli {
namespace {

struct ConfigureOptions {
    SessionOptions session;
    std::string mac;
    int seconds = 10;
    bool dry_run = false;
    bool no_wait = false;
    TextTableFormat format = TextTableFormat::Table;
    std::vector<SettingFlag> settings;
};

std::string TakeOption(const CommandArgs& args, std::size_t& i, ConfigureOptions& o) {
    if (args[i] == "--dry-run") {
        o.dry_run = true;
        return {};
    }
    if (args[i] == "--no-wait") {
        o.no_wait = true;
        return {};
    }
    std::string value;
    bool missing = false;
    const auto take = [&](const char* name) { return TakeValue(args, i, name, value, missing); };
    if (take("--mac")) {
        return missing || !ParseMacText(value, o.mac) ? "--mac needs a MAC like 00:11:22:33:44:55"
                                                      : "";
    }
    if (take("--seconds")) {
        return missing || !ParseCount(value, o.seconds) ? "--seconds needs whole seconds" : "";
    }
    if (take("--format")) {
        return missing || !ParseTextTableFormat(value, o.format) ? "--format is table, csv or json"
                                                                 : "";
    }
    for (const char* flag : SettingFlagNames()) {
        if (!take(flag)) continue;
        if (missing) return std::string(flag) + " needs a value";
        o.settings.push_back({flag, value});
        return {};
    }
    return "unexpected argument '" + args[i] + "'";
}

void PrintDryRun(const std::vector<FlowCommand>& commands) {
    for (const FlowCommand& c : commands) {
        std::printf("%s %zu %s\n", MessageTypeName(c.type).c_str(), c.payload.size(),
                    HexText(c.payload).c_str());
    }
    std::fflush(stdout);
}

struct CommandAnswer {
    const FlowCommand* command;
    std::uint64_t seen;
    bool answered = false;
};

// Answers that have not come during the wait get the engine's whole repetition time.
void CollectAnswers(EngineSession& session, const SessionOptions& options,
                    std::vector<CommandAnswer>& answers) {
    const auto deadline =
        std::chrono::steady_clock::now() +
        std::chrono::milliseconds(static_cast<long long>(options.retransmission_max + 1) *
                                  options.retransmission_interval);
    for (CommandAnswer& a : answers) {
        a.answered = session.Engine().WaitForAnswer(a.command->ip, a.command->mac, a.command->type,
                                                    a.seen, deadline);
    }
}

void PrintOutcome(const std::vector<CommandAnswer>& answers, const ap_info_stu& record,
                  TextTableFormat format) {
    std::vector<TextRow> rows;
    for (const CommandAnswer& a : answers)
        rows.push_back({MessageTypeName(a.command->type), a.answered ? "yes" : "no"});
    const TextRow header{"Command", "Answered"};
    if (format == TextTableFormat::Json) {
        std::printf("{\"commands\": %s, \"settings\": %s}\n",
                    FormatTextRows(header, rows, format).c_str(),
                    FormatTextRows(SettingsHeader(), SettingsRows(record), format).c_str());
    } else {
        std::printf("%s\n%s", FormatTextRows(header, rows, format).c_str(),
                    FormatTextRows(SettingsHeader(), SettingsRows(record), format).c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int RunConfigureCommand(const CommandArgs& args) {
    ConfigureOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (!TakeSessionOption(args, i, o.session, error)) error = TakeOption(args, i, o);
        if (!error.empty()) {
            std::fprintf(stderr, "configure: %s\n", error.c_str());
            return kExitUsage;
        }
    }
    if (o.mac.empty()) {
        std::fprintf(stderr, "configure: --mac is required\n");
        return kExitUsage;
    }
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    ap_info_stu record = ZeroRecord();
    if (!session.FindDevice(o.mac, o.seconds, record)) {
        std::fprintf(stderr, "configure: %s did not report within %d s\n", o.mac.c_str(),
                     o.seconds);
        return kExitFailure;
    }
    ManagementInput input = ManagementShown(record);
    const std::string refused = ApplySettingFlags(record, o.settings, input);
    if (!refused.empty()) {
        std::fprintf(stderr, "%s\n", refused.c_str());
        return kExitRefused;
    }
    std::vector<std::string> stored_ips;
    session.Store().GetAllIps(stored_ips);
    const SavePlan plan =
        PlanSave(record, record.IpText(), record.MacText(), record.ap_type, input, stored_ips);
    if (plan.rejection) {
        std::fprintf(stderr, "%s\n", plan.rejection->text.c_str());
        return kExitRefused;
    }
    const std::vector<FlowCommand> commands = SaveCommands(plan.save);
    if (o.dry_run) {
        PrintDryRun(commands);
        return kExitOk;
    }
    std::vector<CommandAnswer> answers;
    for (const FlowCommand& c : commands)
        answers.push_back({&c, session.Engine().AnswerCount(c.ip, c.mac, c.type)});
    CSendAndWait save(commands, o.no_wait ? std::nullopt : WaitAfterSave(plan.save));
    session.Run(save);
    CollectAnswers(session, o.session, answers);
    session.Store().GetDevice(o.mac, record);
    PrintOutcome(answers, record, o.format);
    for (const CommandAnswer& a : answers)
        if (!a.answered) return kExitFailure;
    return kExitOk;
}

}  // namespace fk::cli
