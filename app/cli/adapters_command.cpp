#include <cstdio>

#include "app/adapter_table.h"
#include "app/cli/commands.h"
#include "protocol/adapter_source.h"

namespace fk::cli {

// Reading the interface list sends nothing, so this is safe on any network.
int RunAdaptersCommand(const CommandArgs& args) {
    AdapterTableFormat format = AdapterTableFormat::Table;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i] == "--format" && i + 1 < args.size()) {
            value = args[++i];
        } else if (args[i].starts_with("--format=")) {
            value = args[i].substr(9);
        } else {
            std::fprintf(stderr, "adapters: unexpected argument '%s'\n", args[i].c_str());
            return kExitUsage;
        }
        if (!ParseTextTableFormat(value, format)) {
            std::fprintf(stderr, "adapters: unknown format '%s' (table, csv or json)\n",
                         value.c_str());
            return kExitUsage;
        }
    }
    const auto rows = AdapterRows(MakeSystemAdapterSource()->List());
    std::fputs(FormatAdapterRows(rows, format).c_str(), stdout);
    return kExitOk;
}

}  // namespace fk::cli
