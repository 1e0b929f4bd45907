// fieldkit-cli: the controller without a desktop, one subcommand per task.
#include <cstdio>
#include <string>
#include <string_view>

#include "app/cli/commands.h"

namespace {

using fk::cli::Command;

constexpr Command kCommands[] = {
    {"adapters", "[--format table|csv|json]", "list the PC's network adapters",
     fk::cli::RunAdaptersCommand},
    {"discover",
     "[--seconds N] [--format table|csv|json] [--retransmission-max N] "
     "[--retransmission-interval MS] [--store-dir DIR] [--ager-period-ms MS]",
     "search the local networks and list the devices found", fk::cli::RunDiscoverCommand},
    {"send",
     "--ip IP --mac MAC --type N [--payload HEX] [--no-retransmit] [--wait SECONDS] "
     "[--discover-first SECONDS] [--set-pending-ip NEWIP] [--hold SECONDS] "
     "[--retransmission-max N] "
     "[--retransmission-interval MS] [--store-dir DIR] [--ager-period-ms MS]",
     "send one command to one device, wait (at most --wait seconds) for its answer and print "
     "its stored row as JSON",
     fk::cli::RunSendCommand},
    {"show", "--mac MAC [--seconds N] [--format table|csv|json]",
     "search until the radio reports, then list every setting its management window shows",
     fk::cli::RunShowCommand},
    {"configure",
     "--mac MAC [--name TEXT] [--ip A --mask M --gateway G --dns1 D --dns2 D] "
     "[--ssid TEXT --ssid-hidden on|off --net-mode TEXT --bandwidth TEXT --power N "
     "--country NAME --channel N|Auto --ext-channel N] [--security TEXT "
     "--cipher AES|TKIP|TKIP&AES --psk KEY --key-interval N] [--wep-auth Open|Share "
     "--wep-default 1-4 --wep-key1..4 TEXT --wep-key1..4-type ASCII|Hex] [--radius-ip A "
     "--radius-port N --radius-key KEY --radius-cipher AES|TKIP|AES/TKIP "
     "--radius-key-interval N] "
     "[--vlan on|off --manage-vlan N --wlan-vlan N --pvid N --lan2-vlan N --lan3-vlan N "
     "--lan4-vlan N] [--timed-reboot on|off --reboot-time HH:MM "
     "--reboot-days mon,...,sun|everyday] [--dry-run] [--no-wait] [--seconds N] "
     "[--format table|csv|json]",
     "change one radio's settings as its management window's Save does (exit 3: refused)",
     fk::cli::RunConfigureCommand},
    {"reboot",
     "--mac MAC [--mac MAC ...] [--seconds N] [--no-wait] [--wait-seconds S] "
     "[--format table|csv|json]",
     "reboot the radios as the reboot page does: search (at least N s, default 6, and until "
     "every named radio has reported, at most 30 s), send in the page's order, wait its 60 s "
     "printing each status change, then list per radio its answer, result byte and when it "
     "was back (exit 1 unless every radio accepted and came back; --no-wait ends once the "
     "answers are in; --wait-seconds shortens the wait for tests, at least 7)",
     fk::cli::RunRebootCommand},
    {"restore",
     "--mac MAC [--mac MAC ...] [--seconds N] [--no-wait] [--wait-seconds S] "
     "[--format table|csv|json]",
     "restore the radios to factory settings as the restore page does; as reboot, with five "
     "rediscovery passes (--wait-seconds at least 13)",
     fk::cli::RunRestoreCommand},
    {"survey", "--mac MAC [--seconds N] [--format table|csv|json]",
     "ask one radio which access points it hears and list them, strongest first",
     fk::cli::RunSurveyCommand},
    {"bridge",
     "--mac MAC --ap AP_MAC [--ssid TEXT] [--channel N|Auto] "
     "[--security None|WEP|WPA-PSK|WPA2-PSK|\"Mixed WPA/WPA2-PSK\"] "
     "[--cipher AES|TKIP|TKIP&AES] [--key KEY] [--key-interval N] "
     "[--key-type ASCII|Hex --wep-default 1..4 --wep-auth Open|Share] "
     "[--ip A --mask M --gateway G --dns1 D --dns2 D] [--dry-run] [--seconds N]",
     "make one radio a station of an access point it hears, as the bridge wizard does "
     "(exit 3: refused, 1: no answer or \"Bridge fail\")",
     fk::cli::RunBridgeCommand},
    {"upgrade",
     "--file PATH --mac MAC [--mac MAC ...] [--type MODEL] [--tftp-port N] [--seconds N] "
     "[--write-seconds S] [--format table|csv|json]",
     "upgrade the named radios of one model (default: the first named radio's) as the upgrade "
     "window does: serve only the chosen image, print each status change, then per radio its "
     "result and the version it reports after its restart (exit 3: refused, 1 unless every "
     "target succeeded and came back; --write-seconds shortens the 130 s write phase for tests)",
     fk::cli::RunUpgradeCommand},
};

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: fieldkit-cli <command> [arguments]\n\ncommands:\n");
    for (const auto& c : kCommands) {
        std::fprintf(to, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return fk::cli::kExitUsage;
    }
    const std::string_view name = argv[1];
    if (name == "help" || name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return fk::cli::kExitOk;
    }
    for (const auto& c : kCommands) {
        if (name == c.name) return c.run(fk::cli::CommandArgs(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "fieldkit-cli: unknown command '%s'\n\n", argv[1]);
    PrintUsage(stderr);
    return fk::cli::kExitUsage;
}
