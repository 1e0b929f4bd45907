#include <cstdio>
#include <memory>

#include "app/adapter_table.h"
#include "app/cli/commands.h"
#include "app/cli/options.h"
#include "protocol/adapter_source.h"

namespace fk::cli {

// Reading the interface list sends nothing, so this is safe on any network.
void AddAdaptersCommand(CLI::App& cli, CCommandTable& table) {
    auto format = std::make_shared<TextTableFormat>(TextTableFormat::Table);
    CLI::App* command = cli.add_subcommand("adapters", "list the PC's network adapters");
    AddFormatOption(*command, *format);
    table.Add(command, [format] {
        const auto rows = AdapterRows(MakeSystemAdapterSource()->List());
        std::fputs(FormatAdapterRows(rows, *format).c_str(), stdout);
        return kExitOk;
    });
}

}  // namespace fk::cli
