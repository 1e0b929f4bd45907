// fieldkit-cli: the controller without a desktop, one subcommand per task.
#include "app/cli/command_line.h"

int main(int argc, char** argv) {
    return fk::cli::RunCommandLine(argc, argv);
}
