// The whole command line of fieldkit-cli: every subcommand declared on one parser,
// the line read, and the named subcommand run.
#pragma once

#include "app/cli/commands.h"

namespace fk::cli {

// Declares every subcommand on `cli`; what each runs goes into `table`.
void DeclareCommands(CLI::App& cli, CCommandTable& table);

// The process exit code: 0 done, 1 a device did not answer or was not found,
// 2 usage (also for a value its validator refuses, before anything is sent),
// 3 refused by a window's rule.
int RunCommandLine(int argc, const char* const* argv);

}  // namespace fk::cli
