#include "app/cli/options.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

#include "protocol/address_text.h"

namespace fk::cli {
namespace {

constexpr const char* kSessionGroup = "Session";

std::string LowerMac(std::string& text) {
    if (text.size() != 17) return "a MAC is six hex pairs like 00:11:22:33:44:55";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char& c = text[i];
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const bool colon_place = i % 3 == 2;
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (colon_place ? c != ':' : !hex) return "a MAC is six hex pairs like 00:11:22:33:44:55";
    }
    return {};
}

std::string PlainIpv4(std::string& text) {
    Ipv4Octets octets;
    if (!ParseIpv4(text, octets)) return "an address is four numbers of 0 to 255 like 198.18.0.20";
    text = IpOctetsToText(octets);
    return {};
}

}  // namespace

const CLI::Validator& MacText() {
    static const CLI::Validator validator(LowerMac, "MAC", "MAC");
    return validator;
}

const CLI::Validator& Ipv4Text() {
    static const CLI::Validator validator(PlainIpv4, "IPV4", "IPv4");
    return validator;
}

const CLI::Validator& Ipv4TextOrEmpty() {
    static const CLI::Validator validator(
        [](std::string& text) { return text.empty() ? std::string{} : PlainIpv4(text); },
        "IPV4 or empty", "IPv4 or empty");
    return validator;
}

void AddSessionOptions(CLI::App& command, SessionOptions& options) {
    command
        .add_option("--store-dir", options.store_dir,
                    "keep the device store in DIR (default: a scratch folder removed at the end)")
        ->group(kSessionGroup);
    command
        .add_option("--retransmission-max", options.retransmission_max,
                    "how often an unanswered command is repeated")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str()
        ->group(kSessionGroup);
    command
        .add_option("--retransmission-interval", options.retransmission_interval,
                    "milliseconds between the repetitions")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str()
        ->group(kSessionGroup);
    command
        .add_option_function<int>(
            "--ager-period-ms",
            [&options](int ms) { options.ager_period = std::chrono::milliseconds(ms); },
            "how often radios that went quiet are aged (default 10000)")
        ->check(CLI::PositiveNumber)
        ->group(kSessionGroup);
}

void AddFormatOption(CLI::App& command, TextTableFormat& format) {
    static const std::map<std::string, TextTableFormat> kFormats = {
        {"table", TextTableFormat::Table},
        {"csv", TextTableFormat::Csv},
        {"json", TextTableFormat::Json}};
    command
        .add_option_function<std::string>(
            "--format", [&format](const std::string& name) { format = kFormats.at(name); },
            "how the list is written")
        ->check(CLI::IsMember({"table", "csv", "json"}))
        ->default_str("table");
}

void AddSecondsOption(CLI::App& command, int& seconds, const std::string& help) {
    command.add_option("--seconds", seconds, help)
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
}

void AddBatchSecondsOption(CLI::App& command, int& seconds) {
    AddSecondsOption(command, seconds,
                     "search at least this long, and on until every named radio has reported "
                     "(at most 30 s)");
}

CLI::Option* AddMacOption(CLI::App& command, std::string& mac, const std::string& name,
                          const std::string& help) {
    return command.add_option(name, mac, help)->required()->transform(MacText());
}

void AddMacsOption(CLI::App& command, std::vector<std::string>& macs) {
    command.add_option("--mac", macs, "a radio of the batch, in order; repeat for each")
        ->required()
        ->transform(MacText())
        ->take_all();
    command.parse_complete_callback([&macs] {
        for (auto it = macs.begin(); it != macs.end(); ++it) {
            if (std::find(macs.begin(), it, *it) != it)
                throw CLI::ValidationError("--mac", *it + " is named twice");
        }
    });
}

}  // namespace fk::cli
