// `configure`: the device management window without a desktop. The radio's record is
// what the window would open with, every setting not given stays as the window would
// show it, and the window's rules, sender order and wait decide what happens.
#include <cstdio>
#include <map>
#include <memory>
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
    // Given settings by flag, applied in the order SettingFlagNames lists them.
    std::map<std::string, std::string> given;

    std::vector<SettingFlag> Settings() const {
        std::vector<SettingFlag> settings;
        for (const char* flag : SettingFlagNames()) {
            const auto it = given.find(flag);
            if (it != given.end()) settings.push_back({flag, it->second});
        }
        return settings;
    }
};

// A value hint and a line of help for each settings flag, in SettingFlagNames' terms.
struct FlagHelp {
    const char* flag;
    const char* help;
};

constexpr FlagHelp kFlagHelp[] = {
    {"--name", "the radio's name"},
    {"--ip", "its address"},
    {"--mask", "its subnet mask"},
    {"--gateway", "its gateway (empty: none)"},
    {"--dns1", "the first DNS server (empty: none)"},
    {"--dns2", "the second DNS server (empty: none)"},
    {"--ssid", "the network name"},
    {"--ssid-hidden", "on|off: hide the network name"},
    {"--net-mode", "the wireless mode as the tab lists it, e.g. 11a/n"},
    {"--bandwidth", "the channel width as the tab lists it, e.g. 40MHz"},
    {"--power", "the transmit power in dBm"},
    {"--country", "the country as the tab lists it"},
    {"--channel", "a channel number or Auto"},
    {"--ext-channel", "the extension channel"},
    {"--security", "the security mode as the tab lists it"},
    {"--cipher", "AES|TKIP|TKIP&AES"},
    {"--psk", "the pass phrase"},
    {"--key-interval", "the group key interval in seconds"},
    {"--wep-auth", "Open|Share"},
    {"--wep-default", "the WEP key in use, 1-4"},
    {"--wep-key1", "WEP key 1"},
    {"--wep-key2", "WEP key 2"},
    {"--wep-key3", "WEP key 3"},
    {"--wep-key4", "WEP key 4"},
    {"--wep-key1-type", "ASCII|Hex"},
    {"--wep-key2-type", "ASCII|Hex"},
    {"--wep-key3-type", "ASCII|Hex"},
    {"--wep-key4-type", "ASCII|Hex"},
    {"--radius-ip", "the RADIUS server's address"},
    {"--radius-port", "the RADIUS server's port"},
    {"--radius-key", "the RADIUS shared secret"},
    {"--radius-cipher", "AES|TKIP|AES/TKIP"},
    {"--radius-key-interval", "the RADIUS key interval in seconds"},
    {"--vlan", "on|off"},
    {"--manage-vlan", "the management VLAN id"},
    {"--wlan-vlan", "the wireless VLAN id"},
    {"--pvid", "the port VLAN id"},
    {"--lan2-vlan", "LAN2's VLAN id"},
    {"--lan3-vlan", "LAN3's VLAN id"},
    {"--lan4-vlan", "LAN4's VLAN id"},
    {"--timed-reboot", "on|off: the weekly reboot"},
    {"--reboot-time", "HH:MM"},
    {"--reboot-days", "mon,...,sun or everyday"},
};

const char* HelpOf(const std::string& flag) {
    for (const FlagHelp& h : kFlagHelp)
        if (flag == h.flag) return h.help;
    return "";
}

// Addresses are read strictly before any rule sees them; the ones the window may
// leave empty may be given empty.
void CheckAddress(CLI::Option* option) {
    const std::string name = option->get_name();
    if (name == "--ip" || name == "--mask" || name == "--radius-ip") {
        option->transform(Ipv4Text());
    } else if (name == "--gateway" || name == "--dns1" || name == "--dns2") {
        option->transform(Ipv4TextOrEmpty());
    }
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
void CollectAnswers(EngineSession& session, std::vector<CommandAnswer>& answers) {
    const auto deadline = session.AnswerDeadline(std::chrono::steady_clock::now());
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
        const Json document = {{"commands", JsonRows(header, rows)},
                               {"settings", JsonRows(SettingsHeader(), SettingsRows(record))}};
        std::fputs(JsonDocument(document).c_str(), stdout);
    } else {
        std::printf("%s\n%s", FormatTextRows(header, rows, format).c_str(),
                    FormatTextRows(SettingsHeader(), SettingsRows(record), format).c_str());
    }
    std::fflush(stdout);
}

int RunConfigure(const ConfigureOptions& o) {
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    ap_info_stu record = ZeroRecord();
    // A new address is checked against every radio the search finds, as the window
    // checks it against the store after its searches.
    const bool moves = o.given.contains("--ip");
    if (!session.FindDevice(o.mac, o.seconds, "configure", record, moves)) return kExitFailure;
    ManagementInput input = ManagementShown(record);
    const std::string refused = ApplySettingFlags(record, o.Settings(), input);
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
        answers.push_back({&c, session.Engine().WatchAnswers(c.ip, c.mac, c.type)});
    CSendAndWait save(commands, o.no_wait ? std::nullopt : WaitAfterSave(plan.save));
    session.Run(save);
    CollectAnswers(session, answers);
    session.Store().GetDevice(o.mac, record);
    PrintOutcome(answers, record, o.format);
    for (const CommandAnswer& a : answers)
        if (!a.answered) return kExitFailure;
    return kExitOk;
}

}  // namespace

void AddConfigureCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<ConfigureOptions>();
    CLI::App* command = cli.add_subcommand(
        "configure",
        "change one radio's settings as its management window's Save does (exit 3: "
        "refused)");
    AddMacOption(*command, o->mac);
    for (const char* flag : SettingFlagNames()) {
        const std::string name = flag;
        CLI::Option* option = command->add_option_function<std::string>(
            name, [o, name](const std::string& value) { o->given[name] = value; }, HelpOf(name));
        option->group("Settings");
        CheckAddress(option);
    }
    command->add_flag("--dry-run", o->dry_run, "print each command's bytes instead of sending");
    command->add_flag("--no-wait", o->no_wait, "end once the commands are answered");
    AddSecondsOption(*command, o->seconds, "the longest search for the radio");
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunConfigure(*o); });
}

}  // namespace fk::cli
