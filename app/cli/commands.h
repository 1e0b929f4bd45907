// Subcommands of fieldkit-cli. Each file declares its subcommand's options on the
// command line and adds what runs once the line has been read; to add one, declare
// its Add function here, call it from main.cpp and put its body in a file of its own.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <vector>

namespace fk::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// A window's rule refused the input; its message is on standard error.
inline constexpr int kExitRefused = 3;

// The subcommands and what each runs; the one the line named runs after parsing.
class CCommandTable {
  public:
    void Add(CLI::App* command, std::function<int()> run);
    // The exit code of the subcommand that was parsed.
    int RunParsed() const;

  private:
    struct Entry {
        CLI::App* command;
        std::function<int()> run;
    };
    std::vector<Entry> entries_;
};

void AddAdaptersCommand(CLI::App& cli, CCommandTable& table);
void AddDiscoverCommand(CLI::App& cli, CCommandTable& table);
void AddSendCommand(CLI::App& cli, CCommandTable& table);
void AddShowCommand(CLI::App& cli, CCommandTable& table);
void AddConfigureCommand(CLI::App& cli, CCommandTable& table);
// `reboot` and `restore`.
void AddRebootCommands(CLI::App& cli, CCommandTable& table);
void AddSurveyCommand(CLI::App& cli, CCommandTable& table);
void AddBridgeCommand(CLI::App& cli, CCommandTable& table);
void AddUpgradeCommand(CLI::App& cli, CCommandTable& table);
void AddSetIpCommand(CLI::App& cli, CCommandTable& table);
void AddSwitchCommand(CLI::App& cli, CCommandTable& table);
void AddDoctorCommand(CLI::App& cli, CCommandTable& table);

}  // namespace fk::cli
