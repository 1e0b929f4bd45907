// Subcommands of fieldkit-cli. Each takes the arguments after its own name and
// returns the process exit code. To add one, declare it here, add a row to the
// table in main.cpp and put its body in a file of its own.
#pragma once

#include <string>
#include <vector>

namespace fk::cli {

using CommandArgs = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;    // arguments, shown after the name
    const char* summary;  // one line
    int (*run)(const CommandArgs& args);
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// A window's rule refused the input; its message is on standard error.
inline constexpr int kExitRefused = 3;

// Lists the PC's adapters: ID, Description, MAC and IP.
int RunAdaptersCommand(const CommandArgs& args);
// Searches the local networks as the status page does and lists what answered.
int RunDiscoverCommand(const CommandArgs& args);
// Sends one command to one device and shows the device's stored row afterwards.
int RunSendCommand(const CommandArgs& args);
// Lists every setting the device management window shows for one radio.
int RunShowCommand(const CommandArgs& args);
// The device management window's Save for one radio, from flags.
int RunConfigureCommand(const CommandArgs& args);
// The reboot and restore pages' batch for the radios named, with each one's outcome.
int RunRebootCommand(const CommandArgs& args);
int RunRestoreCommand(const CommandArgs& args);
// The bridge wizard's site survey of one radio, strongest access point first.
int RunSurveyCommand(const CommandArgs& args);
// The bridge wizard for one radio, from flags (exit 3: refused, 1: no answer or failed).
int RunBridgeCommand(const CommandArgs& args);
// The upgrade window for the radios named (exit 3: refused, 1: a radio not upgraded).
int RunUpgradeCommand(const CommandArgs& args);

}  // namespace fk::cli
