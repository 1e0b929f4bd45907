// The command line is read in full before anything runs: these lines are parsed on
// the real declarations and never run, so nothing here touches a network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cli/command_line.h"
#include "app/cli/options.h"

namespace fk::cli {
namespace {

enum class Parse { Ok, Usage };

// Parses `args` after the program name; true when the line is accepted.
bool Accepts(const std::vector<std::string>& args) {
    CLI::App cli{"", "fieldkit-cli"};
    CCommandTable table;
    DeclareCommands(cli, table);
    std::vector<const char*> argv{"fieldkit-cli"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    try {
        cli.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError&) {
        return false;
    }
    return true;
}

constexpr const char* kMac = "02:46:4b:00:00:01";

TEST(CommandLine, RefusesWhatItCannotMeanBeforeAnythingRuns) {
    const struct {
        std::vector<std::string> args;
        Parse expected;
    } cases[] = {
        {{}, Parse::Usage},
        {{"frobnicate"}, Parse::Usage},
        {{"discover"}, Parse::Ok},
        {{"discover", "--seconds", "8", "--format", "csv"}, Parse::Ok},
        {{"discover", "--format=json"}, Parse::Ok},
        {{"discover", "--format", "xml"}, Parse::Usage},
        {{"discover", "--seconds", "-1"}, Parse::Usage},
        {{"discover", "--seconds", "six"}, Parse::Usage},
        {{"discover", "--ager-period-ms", "0"}, Parse::Usage},
        {{"discover", "--retransmission-max", "2", "--store-dir", "/tmp/x"}, Parse::Ok},
        {{"discover", "stray"}, Parse::Usage},
        {{"show"}, Parse::Usage},
        {{"show", "--mac", "02:46:4b:00:00"}, Parse::Usage},
        {{"show", "--mac", "02-46-4b-00-00-01"}, Parse::Usage},
        {{"show", "--mac", "02:46:4B:00:00:0G"}, Parse::Usage},
        {{"reboot", "--mac", kMac, "--mac", "02:46:4b:00:00:02"}, Parse::Ok},
        {{"reboot", "--mac", kMac, "--mac", "02:46:4B:00:00:01"}, Parse::Usage},
        {{"reboot"}, Parse::Usage},
        {{"reboot", "--mac", kMac, "--wait-seconds", "6"}, Parse::Usage},
        {{"reboot", "--mac", kMac, "--wait-seconds", "7"}, Parse::Ok},
        {{"restore", "--mac", kMac, "--wait-seconds", "7"}, Parse::Usage},
        {{"restore", "--mac", kMac, "--wait-seconds", "13"}, Parse::Ok},
        {{"send", "--ip", "198.18.0.20", "--mac", kMac, "--type", "1"}, Parse::Ok},
        {{"send", "--ip", "198.18.0.20", "--mac", kMac}, Parse::Usage},
        {{"send", "--ip", "198.18.0.20", "--mac", kMac, "--type", "0"}, Parse::Usage},
        {{"send", "--ip", "198.18.0.20", "--mac", kMac, "--type", "65536"}, Parse::Usage},
        {{"send", "--ip", "10.0.0.300", "--mac", kMac, "--type", "1"}, Parse::Usage},
        {{"send", "--ip", "198.18.0.20", "--mac", kMac, "--type", "1", "--payload", "0a:0b"},
         Parse::Ok},
        {{"send", "--ip", "198.18.0.20", "--mac", kMac, "--type", "1", "--payload", "0a0"},
         Parse::Usage},
        {{"send", "--ip", "198.18.0.20", "--mac", kMac, "--type", "1", "--no-retransmit"},
         Parse::Ok},
        {{"configure", "--mac", kMac, "--ip", "198.18.0.9", "--mask", "255.255.255.0"}, Parse::Ok},
        {{"configure", "--mac", kMac, "--ip", "8.8"}, Parse::Usage},
        {{"configure", "--mac", kMac, "--mask", "255.255.255.256"}, Parse::Usage},
        {{"configure", "--mac", kMac, "--dns2", ""}, Parse::Ok},
        {{"configure", "--mac", kMac, "--ip", "198.18.0.022"}, Parse::Usage},
        {{"configure", "--mac", kMac, "--mask", "000.0.0.0"}, Parse::Usage},
        {{"configure", "--mac", kMac, "--gateway", "198.18.0.041"}, Parse::Usage},
        {{"configure", "--mac", kMac, "--dns1", "999.1.1.1"}, Parse::Usage},
        {{"configure", "--mac", kMac, "--radius-ip", "10.0.0.300"}, Parse::Usage},
        {{"configure", "--mac", kMac, "--ssid", "x", "--channel", "Auto", "--dry-run"}, Parse::Ok},
        {{"bridge", "--mac", kMac, "--ap", "02:aa:00:00:00:01", "--key", "k"}, Parse::Ok},
        {{"bridge", "--mac", kMac}, Parse::Usage},
        {{"bridge", "--mac", kMac, "--ap", "02:aa:00:00:00:01", "--wep-default", "5"},
         Parse::Usage},
        {{"bridge", "--mac", kMac, "--ap", "02:aa:00:00:00:01", "--gateway", "1.2.3.4.5"},
         Parse::Usage},
        {{"upgrade", "--file", "fw.bin", "--mac", kMac}, Parse::Ok},
        {{"upgrade", "--mac", kMac}, Parse::Usage},
        {{"upgrade", "--file", "fw.bin", "--mac", kMac, "--tftp-port", "65536"}, Parse::Usage},
        {{"upgrade", "--file", "fw.bin", "--mac", kMac, "--write-seconds", "8"}, Parse::Usage},
        {{"adapters", "--format", "json"}, Parse::Ok},
        {{"set-ip", "--mac", kMac, "--begin", "198.18.0.9", "--mask", "255.255.255.0", "--gateway",
          "198.18.0.1"},
         Parse::Ok},
        {{"set-ip", "--mac", kMac, "--begin", "198.18.0.9", "--mask", "255.255.255.0"},
         Parse::Usage},
        {{"set-ip", "--mac", kMac, "--begin", "198.18.0.9", "--end", "198.18.0.256", "--mask",
          "255.255.255.0", "--gateway", "198.18.0.1"},
         Parse::Usage},
        {{"set-ip", "--mac", kMac, "--mac", kMac, "--begin", "198.18.0.9", "--mask",
          "255.255.255.0", "--gateway", "198.18.0.1"},
         Parse::Usage},
        {{"switch", "--mac", kMac, "--slotra", "on"}, Parse::Ok},
        {{"switch", "--mac", kMac, "--transparent-bridge", "off"}, Parse::Ok},
        {{"switch", "--mac", kMac, "--slotra", "yes"}, Parse::Usage},
        {{"switch", "--mac", kMac, "--slotra", "on", "--transparent-bridge", "on"}, Parse::Usage},
        {{"doctor"}, Parse::Ok},
        {{"doctor", "--seconds", "2", "--format", "csv"}, Parse::Ok},
        {{"doctor", "--mac", kMac}, Parse::Usage},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += a + " ";
        EXPECT_EQ(Accepts(c.args), c.expected == Parse::Ok) << line;
    }
}

TEST(CommandLine, ExitCodesOfHelpAndUsageErrors) {
    const struct {
        std::vector<const char*> argv;
        int code;
    } cases[] = {
        {{"fieldkit-cli", "--help"}, kExitOk},
        {{"fieldkit-cli", "upgrade", "--help"}, kExitOk},
        {{"fieldkit-cli"}, kExitUsage},
        {{"fieldkit-cli", "reboot", "--mac", "nonsense"}, kExitUsage},
        // Neither switch: nothing to do, said before anything is opened.
        {{"fieldkit-cli", "switch", "--mac", kMac}, kExitUsage},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunCommandLine(static_cast<int>(c.argv.size()), c.argv.data()), c.code)
            << c.argv.back();
}

TEST(CommandLine, ValidatorsStoreThePlainForm) {
    const struct {
        const CLI::Validator& validator;
        std::string in;
        std::string stored;  // empty: refused
    } cases[] = {
        {MacText(), "02:46:4B:0A:0b:FF", "02:46:4b:0a:0b:ff"},
        {MacText(), "02:46:4b:0a:0b:ff ", ""},
        {Ipv4Text(), "198.18.0.20", "198.18.0.20"},
        {Ipv4Text(), "0.0.0.0", "0.0.0.0"},
        {Ipv4Text(), "10.0.0.256", ""},
        {Ipv4Text(), "10.0.0", ""},
        {Ipv4Text(), "10.0.0.1 ", ""},
        {Ipv4Text(), "", ""},
        {Ipv4TextOrEmpty(), "", ""},
        {Ipv4TextOrEmpty(), "8.8.8.8", "8.8.8.8"},
    };
    for (const auto& c : cases) {
        std::string value = c.in;
        const std::string error = c.validator(value);
        const bool empty_allowed = &c.validator == &Ipv4TextOrEmpty() && c.in.empty();
        EXPECT_EQ(error.empty(), !c.stored.empty() || empty_allowed) << c.in;
        if (error.empty()) {
            EXPECT_EQ(value, c.stored) << c.in;
        }
    }
}

}  // namespace
}  // namespace fk::cli
