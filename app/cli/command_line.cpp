#include "app/cli/command_line.h"

namespace fk::cli {

void CCommandTable::Add(CLI::App* command, std::function<int()> run) {
    entries_.push_back({command, std::move(run)});
}

int CCommandTable::RunParsed() const {
    for (const Entry& entry : entries_)
        if (entry.command->parsed()) return entry.run();
    return kExitUsage;
}

namespace {

// Help goes to standard output with exit 0; every other parse error is a usage error
// (exit 2) on standard error, so scripts tell it from a radio that did not answer.
int ReportParseError(const CLI::App& cli, const CLI::ParseError& error) {
    const int code = cli.exit(error);
    return code == static_cast<int>(CLI::ExitCodes::Success) ? kExitOk : kExitUsage;
}

}  // namespace

void DeclareCommands(CLI::App& cli, CCommandTable& table) {
    cli.require_subcommand(1);
    cli.failure_message(CLI::FailureMessage::simple);
    AddAdaptersCommand(cli, table);
    AddDiscoverCommand(cli, table);
    AddSendCommand(cli, table);
    AddShowCommand(cli, table);
    AddConfigureCommand(cli, table);
    AddRebootCommands(cli, table);
    AddSurveyCommand(cli, table);
    AddBridgeCommand(cli, table);
    AddUpgradeCommand(cli, table);
    AddSetIpCommand(cli, table);
    AddSwitchCommand(cli, table);
    AddDoctorCommand(cli, table);
}

int RunCommandLine(int argc, const char* const* argv) {
    CLI::App cli{"Finds, configures and upgrades the radios on the PC's local networks.",
                 "fieldkit-cli"};
    CCommandTable table;
    DeclareCommands(cli, table);
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return ReportParseError(cli, error);
    }
    return table.RunParsed();
}

}  // namespace fk::cli
