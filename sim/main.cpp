// fieldkit-devsim: many virtual radios in one process, for end-to-end tests, demos
// and benchmarks. Run it only inside a network namespace of its own.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sim/sim_config.h"
#include "sim/simulator.h"

namespace {

const char* kUsage =
    "usage: fieldkit-devsim [--radios N --base-ip A [--prefix P] [--iface IF]]\n"
    "         [--group count=N,base=A,prefix=P,iface=IF]... [--config FILE]\n"
    "         [--set 'SELECTOR key=value ...']... [--keepalive-ms MS] [--restart-ms MS]\n"
    "         [--state FILE] [--control SOCKET] [--log FILE] [--quiet] [--jitter-ms MS]\n"
    "         [--duration S] [--seed N] [--no-addresses] [--search-port P] [--command-port P]\n"
    "         [--announce-port P] [--keepalive-port P] [--reply-port P] [--group-address A]\n"
    "         [--tftp-port P]   (where radios set tftp=1 fetch upgrades; default 69)\n"
    "         [--storm from=A,rate=N[,count=M][,prefix=P][,iface=IF]]   (from the first\n"
    "         search on, announces a new random MAC from A, N a second, M in all)\n"
    "       fieldkit-devsim --control SOCKET --request 'state|dump [FILE]|set SEL k=v...|"
    "announce SEL|counters|quit'\n"
    "SELECTOR: a MAC text, an IP text, #index or *.\n";

struct Args {
    fk::sim::SimOptions options;
    std::vector<fk::sim::RadioGroup> groups;
    fk::sim::RadioGroup single;
    std::string config;
    std::vector<std::string> sets;
    std::string request;
    int keepalive_ms = 5000;
    int restart_ms = 3000;
};

bool Fail(const std::string& message) {
    std::fprintf(stderr, "fieldkit-devsim: %s\n%s", message.c_str(), kUsage);
    return false;
}

bool ParsePort(const char* text, std::uint16_t& port) {
    const long value = std::strtol(text, nullptr, 10);
    if (value <= 0 || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

bool ParseArgs(int argc, char** argv, Args& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--quiet") {
            a.options.quiet = true;
            continue;
        }
        if (opt == "--no-addresses") {
            a.options.add_addresses = false;
            continue;
        }
        if (i + 1 >= argc) return Fail("missing value after " + opt);
        const char* value = argv[++i];
        bool ok = true;
        std::string error;
        if (opt == "--radios") {
            a.single.count = std::atoi(value);
        } else if (opt == "--base-ip") {
            a.single.base_ip = fk::sim::ParseIp(value, ok);
        } else if (opt == "--prefix") {
            a.single.prefix = std::atoi(value);
            ok = a.single.prefix >= 1 && a.single.prefix <= 32;
        } else if (opt == "--iface") {
            a.single.iface = value;
        } else if (opt == "--group") {
            fk::sim::RadioGroup plan;
            if (!fk::sim::ParseGroup(value, plan, error)) return Fail(error);
            a.groups.push_back(plan);
        } else if (opt == "--config") {
            a.config = value;
        } else if (opt == "--set") {
            a.sets.push_back(value);
        } else if (opt == "--keepalive-ms") {
            a.keepalive_ms = std::atoi(value);
            ok = a.keepalive_ms >= 50;
        } else if (opt == "--restart-ms") {
            a.restart_ms = std::atoi(value);
            ok = a.restart_ms >= 0;
        } else if (opt == "--state") {
            a.options.state_path = value;
        } else if (opt == "--control") {
            a.options.control_path = value;
        } else if (opt == "--log") {
            a.options.log_path = value;
        } else if (opt == "--jitter-ms") {
            a.options.announce_jitter_ms = std::atoi(value);
        } else if (opt == "--duration") {
            a.options.duration_s = std::atoi(value);
        } else if (opt == "--seed") {
            a.options.seed = static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
        } else if (opt == "--request") {
            a.request = value;
        } else if (opt == "--search-port") {
            ok = ParsePort(value, a.options.search_port);
        } else if (opt == "--command-port") {
            ok = ParsePort(value, a.options.command_port);
        } else if (opt == "--announce-port") {
            ok = ParsePort(value, a.options.announce_port);
        } else if (opt == "--keepalive-port") {
            ok = ParsePort(value, a.options.keepalive_port);
        } else if (opt == "--reply-port") {
            ok = ParsePort(value, a.options.reply_port);
        } else if (opt == "--tftp-port") {
            ok = ParsePort(value, a.options.tftp_port);
        } else if (opt == "--storm") {
            fk::sim::StormPlan plan;
            if (!fk::sim::ParseStorm(value, plan, error)) return Fail(error);
            a.options.storm = plan;
        } else if (opt == "--group-address") {
            a.options.group = value;
        } else {
            return Fail("unknown option " + opt);
        }
        if (!ok) return Fail("bad value for " + opt + ": " + value);
    }
    if (a.single.count > 0) {
        if (a.single.base_ip == 0) return Fail("--radios needs --base-ip");
        a.groups.insert(a.groups.begin(), a.single);
    }
    return true;
}

bool BuildRadios(const Args& a, std::vector<fk::sim::SimRadio>& radios) {
    std::vector<fk::sim::RadioGroup> groups = a.groups;
    std::vector<std::string> radio_lines;
    std::vector<std::string> set_lines;
    std::string error;
    if (!a.config.empty() &&
        !fk::sim::LoadConfigFile(a.config, groups, radio_lines, set_lines, error)) {
        return Fail(error);
    }
    set_lines.insert(set_lines.end(), a.sets.begin(), a.sets.end());
    for (const auto& g : groups) {
        auto more = fk::sim::GenerateGroup(g, static_cast<int>(radios.size()), 0);
        radios.insert(radios.end(), more.begin(), more.end());
    }
    for (const std::string& line : radio_lines) {
        fk::sim::SimRadio r = fk::sim::PlainRadio(static_cast<int>(radios.size()) + 1, 0);
        if (!fk::sim::ApplySettings(r, line, error)) return Fail("radio " + line + ": " + error);
        radios.push_back(r);
    }
    for (auto& r : radios) {
        r.keepalive_ms = a.keepalive_ms;
        r.restart_ms = a.restart_ms;
    }
    for (const std::string& line : set_lines) {
        const std::size_t space = line.find_first_of(' ');
        const std::string selector = line.substr(0, space);
        auto chosen = fk::sim::SelectRadios(radios, selector);
        if (chosen.empty()) return Fail("no radio matches '" + selector + "'");
        for (auto* r : chosen) {
            if (space != std::string::npos &&
                !fk::sim::ApplySettings(*r, line.substr(space + 1), error)) {
                return Fail("set " + line + ": " + error);
            }
        }
    }
    if (radios.empty()) return Fail("no radios: give --radios, --group or --config");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Args args;
    if (!ParseArgs(argc, argv, args)) return 2;
    if (!args.request.empty()) {
        std::string reply;
        if (args.options.control_path.empty() ||
            !fk::sim::ControlRequest(args.options.control_path, args.request, reply)) {
            std::fprintf(stderr, "fieldkit-devsim: no simulator answers on %s\n",
                         args.options.control_path.c_str());
            return 1;
        }
        std::fputs(reply.c_str(), stdout);
        return reply.rfind("error", 0) == 0 ? 1 : 0;
    }
    std::vector<fk::sim::SimRadio> radios;
    if (!BuildRadios(args, radios)) return 2;
    fk::sim::Simulator simulator(args.options, std::move(radios));
    return simulator.Run();
}
